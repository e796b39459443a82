// The adapters between the operations and the widgets: panel texts with
// CR LF both ways, collected appends and their speed, and the message boxes
// and file dialogs as they are built (without running their modal loops).

#include "messages.h"
#include "qt_dialogs.h"
#include "widget_fields.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

using hattsheet::conversion::FieldId;
using hattsheet::conversion::FileFilter;
using hattsheet::conversion::MessageIcon;
using namespace hattsheet::ui;
namespace msg = hattsheet::conversion::msg;

Q_DECLARE_METATYPE(MessageIcon)

class tst_Adapters : public QObject {
    Q_OBJECT
private slots:
    void panelText_data();
    void panelText();
    void appendsWaitForFlush();
    void appendMillionLinesIsFast_data();
    void appendMillionLinesIsFast();
    void messageBoxes_data();
    void messageBoxes();
    void questionBox();
    void fileDialogs_data();
    void fileDialogs();
};

// Line ends as the operations and the files may bring them, in the widget,
// and back as the operations read them.
void tst_Adapters::panelText_data()
{
    QTest::addColumn<QByteArray>("panel");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QByteArray>("back");
    QTest::newRow("empty") << QByteArray() << QString() << QByteArray();
    QTest::newRow("CR LF, trailing") << QByteArray("a, 1\r\nb, 2\r\n") << QString("a, 1\nb, 2\n")
                                     << QByteArray("a, 1\r\nb, 2\r\n");
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << QString("a\nb") << QByteArray("a\r\nb");
    QTest::newRow("lone LF") << QByteArray("a\nb") << QString("a\nb") << QByteArray("a\r\nb");
    QTest::newRow("lone CR") << QByteArray("a\rb") << QString("a\nb") << QByteArray("a\r\nb");
    QTest::newRow("CR CR LF is two line ends") << QByteArray("a\r\r\nb") << QString("a\n\nb")
                                               << QByteArray("a\r\n\r\nb");
    QTest::newRow("Greek code, spaces") << QByteArray(" Τριγ.1 , 10.000\r\n") << QString(" Τριγ.1 , 10.000\n")
                                        << QByteArray(" Τριγ.1 , 10.000\r\n");
}

void tst_Adapters::panelText()
{
    QFETCH(QByteArray, panel);
    QFETCH(QString, widget);
    QFETCH(QByteArray, back);
    QCOMPARE(panelTextToWidget(panel.toStdString()), widget);
    QCOMPARE(QByteArray::fromStdString(widgetTextToPanel(widget)), back);
}

void tst_Adapters::appendsWaitForFlush()
{
    QPlainTextEdit panel;
    WidgetFields fields;
    fields.bindPanel(FieldId::File1, &panel);
    panel.setPlainText(QStringLiteral("typed by hand"));  // no line end at its end
    fields.appendText(FieldId::File1, "p1, 1.000, 2.000, 3.000\r\n");
    fields.appendText(FieldId::File1, "p2, 4.000, 5.000, 6.000\r");
    fields.appendText(FieldId::File1, "\n");  // one CR LF split over two appends
    QCOMPARE(panel.toPlainText(), QStringLiteral("typed by hand"));
    fields.flush();
    QCOMPARE(panel.document()->blockCount(), 3);
    // Reading flushes too.
    fields.appendText(FieldId::File1, "p3, 0.000, 0.000, 0.000\r\n");
    QCOMPARE(fields.text(FieldId::File1), std::string("typed by handp1, 1.000, 2.000, 3.000\r\n"
                                                      "p2, 4.000, 5.000, 6.000\r\np3, 0.000, 0.000, 0.000\r\n"));
    // A new text replaces what was collected and not yet shown.
    fields.appendText(FieldId::File1, "lost\r\n");
    fields.setText(FieldId::File1, "");
    fields.flush();
    QCOMPARE(panel.toPlainText(), QString());
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
#ifdef HATTSHEET_UNOPTIMISED
    constexpr qint64 kBudgetMs = 60000;  // a debug or sanitizer build checks the text, not the time
#else
    constexpr qint64 kBudgetMs = 2000;
#endif
    std::vector<std::string> lines;
    std::string all;
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
    // The panel still edits as lines: typing at the very end adds to the last.
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
    QCOMPARE(box->text() + "|" + box->windowTitle(), text + "|" + title);
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
    QCOMPARE(box->buttons().size(), 2);
    QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("Ναι"));
    QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("Όχι"));
    QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
    QCOMPARE(box->escapeButton(), box->button(QMessageBox::No));
}

void tst_Adapters::fileDialogs_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("lastPath");
    QTest::newRow("open, first use")
        << int(QFileDialog::AcceptOpen) << msg::kOpenTitle
        << QStringList{"Αρχεία κειμένου txt (*.txt)", "Αρχεία συν/νων seq (*.seq)", "Αρχεία συν/νων xyh (*.xyh)"}
        << QString();
    QTest::newRow("save, the path of an earlier open offered")
        << int(QFileDialog::AcceptSave) << msg::kSaveTitle << QStringList{"Αρχεία κειμένου txt (*.txt)"}
        << QDir::temp().filePath(QStringLiteral("σημεία.seq"));
}

void tst_Adapters::fileDialogs()
{
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QStringList, filters);
    QFETCH(QString, lastPath);
    const auto acceptMode = QFileDialog::AcceptMode(mode);
    std::vector<FileFilter> given{{msg::kFilterTxt, "*.txt"}, {msg::kFilterSeq, "*.seq"}, {msg::kFilterXyh, "*.xyh"}};
    given.resize(static_cast<size_t>(filters.size()));
    auto dialog = makeFileDialog(nullptr, title.toStdString(), given, acceptMode, lastPath);
    QCOMPARE(dialog->windowTitle(), title);
    QCOMPARE(dialog->nameFilters(), filters);
    QCOMPARE(dialog->selectedNameFilter(), filters.front());
    QCOMPARE(dialog->acceptMode(), acceptMode);
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    QCOMPARE(dialog->testOption(QFileDialog::DontConfirmOverwrite), acceptMode == QFileDialog::AcceptSave);
    QCOMPARE(dialog->labelText(QFileDialog::Accept),
             QString::fromUtf8(acceptMode == QFileDialog::AcceptSave ? "Αποθήκευση" : "Άνοιγμα"));
    QCOMPARE(dialog->labelText(QFileDialog::Reject), QStringLiteral("Άκυρο"));
    if (!lastPath.isEmpty()) {
        QCOMPARE(dialog->directory().absolutePath(), QDir::temp().absolutePath());
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("σημεία.seq"));
    }
}

QTEST_MAIN(tst_Adapters)
#include "tst_adapters.moc"
