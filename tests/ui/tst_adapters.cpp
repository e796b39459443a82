// The adapters between the operations and the widgets: panel texts with
// CR LF both ways, the speed of a large append, and the message boxes and
// file dialogs as they are built (without running their modal loops).

#include "messages.h"
#include "qt_dialogs.h"
#include "widget_fields.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTest>

using hattsheet::conversion::FieldId;
using hattsheet::conversion::FileFilter;
using hattsheet::conversion::MessageIcon;
using namespace hattsheet::ui;
namespace msg = hattsheet::conversion::msg;

Q_DECLARE_METATYPE(MessageIcon)

class tst_Adapters : public QObject {
    Q_OBJECT
private slots:
    void panelTextInWidget_data();
    void panelTextInWidget();
    void panelTextRoundTrip_data();
    void panelTextRoundTrip();
    void fieldsReadAndWrite();
    void appendKeepsWhatWasThere();
    void appendShowsOnFlush();
    void appendMillionLinesIsFast_data();
    void appendMillionLinesIsFast();

    void messageBoxes_data();
    void messageBoxes();
    void questionBox();
    void fileDialogs_data();
    void fileDialogs();
    void lastPathOfferedAgain();
};

// Line ends as the operations and the files may bring them.
void tst_Adapters::panelTextInWidget_data()
{
    QTest::addColumn<QByteArray>("panel");
    QTest::addColumn<QString>("widget");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("CR LF between lines") << QByteArray("a, 1\r\nb, 2\r\n") << QString("a, 1\nb, 2\n");
    QTest::newRow("no final line end") << QByteArray("a, 1\r\nb, 2") << QString("a, 1\nb, 2");
    QTest::newRow("lone LF") << QByteArray("a\nb") << QString("a\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QString("a\nb");
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\nb") << QString("a\n\nb");
    QTest::newRow("blank lines kept") << QByteArray("\r\n\r\na\r\n") << QString("\n\na\n");
    QTest::newRow("Greek code") << QByteArray("Τριγ.1, 10.000\r\n") << QString("Τριγ.1, 10.000\n");
}

void tst_Adapters::panelTextInWidget()
{
    QFETCH(QByteArray, panel);
    QFETCH(QString, widget);
    QCOMPARE(panelTextToWidget(panel.toStdString()), widget);
}

// What the user types (\n in the widget) reaches the operations with CR LF.
void tst_Adapters::panelTextRoundTrip_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QByteArray>("panel");
    QTest::newRow("two lines") << QString("1,2,3,4\n5,6,7,8") << QByteArray("1,2,3,4\r\n5,6,7,8");
    QTest::newRow("trailing line end") << QString("1,2,3,4\n") << QByteArray("1,2,3,4\r\n");
    QTest::newRow("only line ends") << QString("\n\n") << QByteArray("\r\n\r\n");
    QTest::newRow("Greek and spaces") << QString("  Σ1 , 2 ") << QByteArray("  Σ1 , 2 ");
}

void tst_Adapters::panelTextRoundTrip()
{
    QFETCH(QString, widget);
    QFETCH(QByteArray, panel);
    QCOMPARE(QByteArray::fromStdString(widgetTextToPanel(widget)), panel);
    QCOMPARE(panelTextToWidget(panel.toStdString()), widget);
}

void tst_Adapters::fieldsReadAndWrite()
{
    QLineEdit line;
    QPlainTextEdit panel;
    WidgetFields fields;
    fields.bindLine(FieldId::X1, &line);
    fields.bindPanel(FieldId::File2, &panel);
    fields.setText(FieldId::X1, "-7429.270");
    QCOMPARE(line.text(), QStringLiteral("-7429.270"));
    line.setText(QStringLiteral("φ 40°"));
    QCOMPARE(fields.text(FieldId::X1), std::string("φ 40°"));
    fields.setText(FieldId::File2, "a, 1.000\r\nb, 2.000\r\n");
    QCOMPARE(panel.toPlainText(), QStringLiteral("a, 1.000\nb, 2.000\n"));
    QCOMPARE(fields.text(FieldId::File2), std::string("a, 1.000\r\nb, 2.000\r\n"));
    // A field without a widget reads as empty and ignores writes.
    fields.setText(FieldId::Y1, "5");
    QCOMPARE(fields.text(FieldId::Y1), std::string());
}

void tst_Adapters::appendKeepsWhatWasThere()
{
    QPlainTextEdit panel;
    WidgetFields fields;
    fields.bindPanel(FieldId::File1, &panel);
    panel.setPlainText(QStringLiteral("typed by hand"));  // no line end at its end
    fields.appendText(FieldId::File1, "p1, 1.000, 2.000, 3.000\r\n");
    fields.appendText(FieldId::File1, "p2, 4.000, 5.000, 6.000\r");
    fields.appendText(FieldId::File1, "\n");  // one CR LF split over two appends
    QCOMPARE(fields.text(FieldId::File1),
             std::string("typed by handp1, 1.000, 2.000, 3.000\r\np2, 4.000, 5.000, 6.000\r\n"));
    // A new text replaces what was collected and not yet shown.
    fields.appendText(FieldId::File1, "lost\r\n");
    fields.setText(FieldId::File1, "");
    fields.flush();
    QCOMPARE(panel.toPlainText(), QString());
}

// Collected appends reach the widget on flush, not before.
void tst_Adapters::appendShowsOnFlush()
{
    QPlainTextEdit panel;
    WidgetFields fields;
    fields.bindPanel(FieldId::File2, &panel);
    fields.appendText(FieldId::File2, "a, 1.000, 2.000, 0.000\r\n");
    QCOMPARE(panel.toPlainText(), QString());
    fields.flush();
    QCOMPARE(panel.toPlainText(), QStringLiteral("a, 1.000, 2.000, 0.000\n"));
    fields.flush();  // nothing twice
    QCOMPARE(panel.document()->blockCount(), 2);
}

// A batch may append a million point lines (about 40 MB), in one call or one
// call per line; the panel must take them within a couple of seconds, keep
// every line and give them back unchanged.
void tst_Adapters::appendMillionLinesIsFast_data()
{
    QTest::addColumn<bool>("perLine");
    QTest::newRow("in one call") << false;
    QTest::newRow("one call per line") << true;
}

void tst_Adapters::appendMillionLinesIsFast()
{
    QFETCH(bool, perLine);
    constexpr int kLines = 1000000;
    constexpr qint64 kBudgetMs = 2000;
    std::vector<std::string> lines;
    lines.reserve(kLines);
    std::string all;
    all.reserve(kLines * 40);
    for (int i = 0; i < kLines; ++i) {
        lines.push_back("P" + std::to_string(i) + ", -7429.270, 13107.462, 123.456\r\n");
        all += lines.back();
    }
    QPlainTextEdit panel;
    panel.resize(321, 429);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    WidgetFields fields;
    fields.bindPanel(FieldId::File2, &panel);
    QElapsedTimer clock;
    clock.start();
    if (perLine) {
        for (const std::string& line : lines) fields.appendText(FieldId::File2, line);
    } else {
        fields.appendText(FieldId::File2, all);
    }
    fields.flush();
    QCoreApplication::processEvents();  // the panel lays out and paints
    const qint64 elapsed = clock.elapsed();
    qInfo("appending %d lines (%zu bytes) took %lld ms", kLines, all.size(), elapsed);
    QVERIFY2(elapsed <= kBudgetMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QVERIFY(fields.text(FieldId::File2) == all);
    // The panel still edits as lines: Enter at the very end adds one more.
    panel.moveCursor(QTextCursor::End);
    QTest::keyClicks(&panel, QStringLiteral("Z, 1, 2, 3"));
    QVERIFY(fields.text(FieldId::File2) == all + "Z, 1, 2, 3");
}

void tst_Adapters::messageBoxes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<int>("qtIcon");
    QTest::newRow("refused centre") << msg::kLatitude << msg::kTitleWarning << MessageIcon::Critical
                                    << int(QMessageBox::Critical);
    QTest::newRow("invalid file, title without !") << msg::kInvalidFile << msg::kTitleWarningPlain
                                                   << MessageIcon::Critical << int(QMessageBox::Critical);
    QTest::newRow("batch done") << msg::kBatchDone << msg::kTitleInfo << MessageIcon::Information
                                << int(QMessageBox::Information);
    QTest::newRow("saved") << msg::kSaved << msg::kTitleInfoPlain << MessageIcon::Information
                           << int(QMessageBox::Information);
}

void tst_Adapters::messageBoxes()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(MessageIcon, icon);
    QFETCH(int, qtIcon);
    QWidget parent;
    auto box = makeMessageBox(&parent, text.toStdString(), title.toStdString(), icon);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->windowTitle(), title);
    QCOMPARE(int(box->icon()), qtIcon);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().front()->text(), QStringLiteral("Εντάξει"));
    QCOMPARE(box->parentWidget(), &parent);
}

void tst_Adapters::questionBox()
{
    auto box = makeQuestionBox(nullptr, msg::kQuit, msg::kTitleQuit);
    QCOMPARE(box->text(), QStringLiteral("Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Έξοδος"));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("Ναι"));
    QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("Όχι"));
    QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
    QCOMPARE(box->escapeButton(), box->button(QMessageBox::No));
    QCOMPARE(box->buttons().size(), 2);
}

static std::vector<FileFilter> openFilters()
{
    return {{msg::kFilterTxt, "*.txt"}, {msg::kFilterSeq, "*.seq"}, {msg::kFilterXyh, "*.xyh"}};
}

void tst_Adapters::fileDialogs_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("acceptLabel");
    QTest::newRow("open") << int(QFileDialog::AcceptOpen) << msg::kOpenTitle
                          << QStringList{"Αρχεία κειμένου txt (*.txt)", "Αρχεία συν/νων seq (*.seq)",
                                         "Αρχεία συν/νων xyh (*.xyh)"}
                          << "Άνοιγμα";
    QTest::newRow("save") << int(QFileDialog::AcceptSave) << msg::kSaveTitle
                          << QStringList{"Αρχεία κειμένου txt (*.txt)"} << "Αποθήκευση";
}

void tst_Adapters::fileDialogs()
{
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QStringList, filters);
    QFETCH(QString, acceptLabel);
    const auto acceptMode = QFileDialog::AcceptMode(mode);
    std::vector<FileFilter> given = openFilters();
    given.resize(static_cast<size_t>(filters.size()));
    auto dialog = makeFileDialog(nullptr, title.toStdString(), given, acceptMode, QString());
    QCOMPARE(dialog->windowTitle(), title);
    QCOMPARE(dialog->nameFilters(), filters);
    QCOMPARE(dialog->acceptMode(), acceptMode);
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog->testOption(QFileDialog::DontConfirmOverwrite), acceptMode == QFileDialog::AcceptSave);
    QCOMPARE(dialog->labelText(QFileDialog::Accept), acceptLabel);
    QCOMPARE(dialog->labelText(QFileDialog::Reject), QStringLiteral("Άκυρο"));
    // The filter list the user sees, and the patterns Qt read from it.
    auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(types);
    QCOMPARE(types->count(), int(filters.size()));
    QCOMPARE(dialog->selectedNameFilter(), filters.front());
}

void tst_Adapters::lastPathOfferedAgain()
{
    const QString last = QDir::temp().filePath(QStringLiteral("σημεία.seq"));
    auto dialog = makeFileDialog(nullptr, msg::kSaveTitle, {{msg::kFilterTxt, "*.txt"}}, QFileDialog::AcceptSave,
                                 last);
    QCOMPARE(dialog->directory().absolutePath(), QDir::temp().absolutePath());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("σημεία.seq"));
    // A description without parentheses gets its pattern, so Qt still filters.
    auto plain = makeFileDialog(nullptr, msg::kOpenTitle, {{"Σημεία", "*.xyh"}}, QFileDialog::AcceptOpen, QString());
    QCOMPARE(plain->nameFilters(), QStringList{"Σημεία (*.xyh)"});
}

QTEST_MAIN(tst_Adapters)
#include "tst_adapters.moc"
