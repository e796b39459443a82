// The real window on the offscreen platform, and its adapters to the operations. Clicks go through
// the window system layer (QTEST_QPA_MOUSE_HANDLING), so they give the focus as a user's do.
#define QTEST_QPA_MOUSE_HANDLING

#include "dark_palette.h"
#include "fake_window.h"
#include "field_edit.h"
#include "main_window.h"
#include "messages.h"
#include "qt_dialogs.h"
#include "qt_greek.h"
#include "temp_workspace.h"
#include "widget_fields.h"

#include <QAction>
#include <cmath>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace hattsheet::testing;
using namespace hattsheet::ui;
using hattsheet::conversion::DefaultAnswer;
using hattsheet::conversion::FieldId;
using hattsheet::conversion::MessageIcon;
namespace msg = hattsheet::conversion::msg;

namespace {

// Scripted dialogs that also note what panel 2 held when a message came.
struct Dialogs : FakeDialogs {
    const QPlainTextEdit* watched = nullptr;
    std::vector<QString> watchedAtMessage;
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override
    {
        if (watched) watchedAtMessage.push_back(watched->toPlainText());
        FakeDialogs::showMessage(text, title, icon);
    }
};

// A shown and active main window in its own temporary folder.
struct Window {
    QTemporaryDir temp;
    Dialogs dialogs;
    MainWindow w{{temp.path().toStdString(), temp.path().toStdString()}, &dialogs};
    Window() { w.show(); if (!QTest::qWaitForWindowActive(&w)) qFatal("the main window never became active"); }

    QWidget* child(const QString& name) const { return w.findChild<QWidget*>(name); }
    QString text(const QString& name) const  // "name=text": the caption or text of any control
    {
        QObject* c = child(name);
        const char* p = c->inherits("QGroupBox") ? "title" : c->inherits("QPlainTextEdit") ? "plainText" : "text";
        return name + '=' + c->property(p).toString();
    }
    void set(const QStringList& texts) const  // each "name=text" typed in
    {
        for (const QString& t : texts)
            child(t.section('=', 0, 0))->setProperty(t.startsWith("txtFile") ? "plainText" : "text", t.section('=', 1));
    }
    void expect(const QStringList& all) const { for (const QString& t : all) QCOMPARE(text(t.section('=', 0, 0)), t); }
    void click(const QString& name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
    void about() const { w.findChild<QAction*>(QStringLiteral("mnuabout"))->trigger(); }
};

QString focusName() { return qApp->focusWidget() ? qApp->focusWidget()->objectName() : "(none)"; }
// A field the focus moves into has its whole text selected, so the next key replaces it.
bool focusFieldAllSelected()
{
    auto* f = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return f == nullptr || f->selectedText() == f->text();
}

// The contrast ratio of two colours (1 to 21), from their relative luminances as the accessibility
// guidelines for the web define them; 4.5 is their threshold for body text.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool hasGreek(const QString& text) { return text.contains(QRegularExpression(QStringLiteral("[\\x{0370}-\\x{03FF}]"))); }

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));  // a comma locale
        QVERIFY(installGreek(*qApp));
    }
    void cleanup()  // the desktop's palette and font as a test found them
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }
    void window()
    {
        Window h;
        QCOMPARE(h.w.windowTitle(), QStringLiteral("Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]"));
        QCOMPARE(h.w.findChild<QAction*>(QStringLiteral("mnuabout"))->text(), QStringLiteral("Πρόγραμμα"));
        // Client area 9780 × 8790 twips below the menu bar; not resizable.
        QCOMPARE(h.w.size(), QSize(652, 586 + h.w.menuBar()->height()));
        QCOMPARE(h.w.minimumSize(), h.w.maximumSize());
        QCOMPARE(h.child("txtFile1")->toolTip(), QStringLiteral("Format αρχείου: Κωδικός, Χ, Υ, Η"));
    }

    // A sample of the layout table, rectangles worked out by hand (twips / 15).
    void layout_data()
    {
        QTest::addColumn<QString>("text");  // name=text
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QColor>("background");
        const QColor green(192, 255, 192), yellow(255, 255, 192), system;
        QTest::newRow("old frame") << "Frame1=Από Κ.Φ." << "client" << QRect(4, 0, 321, 57) << system;
        QTest::newRow("φ of the old centre") << "txtPhiOld=40.51" << "Frame1" << QRect(60, 12, 69, 19) << system;
        QTest::newRow("Chi of the old X") << "Label5=\u03A7 =" << "Frame1" << QRect(184, 12, 21, 17) << green;
        QTest::newRow("Upsilon of the new Y") << "Label8=\u03A5 =" << "Frame2" << QRect(184, 32, 21, 17) << yellow;
        QTest::newRow("panel 2") << "txtFile2=" << "client" << QRect(328, 120, 321, 429) << yellow;
        QTest::newRow("save panel 2") << "cmdSav2=Αποθήκευση" << "client" << QRect(544, 552, 105, 17) << system;
    }
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(QColor, background);
        Window h;
        h.expect({text});
        QWidget* c = h.child(text.section('=', 0, 0));
        QTEST(c->parentWidget()->objectName(), "parent");
        QTEST(c->geometry(), "rect");
        if (auto* field = qobject_cast<QLineEdit*>(c)) QVERIFY(field->alignment() & Qt::AlignRight);
        QCOMPARE(c->palette().color(QPalette::WindowText),  // a frame's blue caption stays out of its controls
                 c->inherits("QGroupBox") ? QColor(0, 0, 255)
                 : qobject_cast<QLabel*>(c) ? QColor(Qt::black) : qApp->palette().color(QPalette::WindowText));
        if (background.isValid())
            QCOMPARE(c->palette().color(c->inherits("QPlainTextEdit") ? QPalette::Base : QPalette::Window), background);
    }

    // Where the focus is after each key from the path's first control, and a name=text once done.
    void focusMoves_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QString>("after");
        QTest::newRow("Tab round the ring from the start focus")
            << int(Qt::Key_Tab)
            << QStringList{"txtFile1", "txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2",
                           "cmdAll", "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1",
                           "cmdOne", "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl", "txtFile1"}
            << "txtX2=0.000";
        // Enter in txtLamdaOld crosses to the other frame, not to txtX1; Enter on a button presses it.
        QTest::newRow("Enter from the old centre to >")
            << int(Qt::Key_Return)
            << QStringList{"txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
                           "cmdOne"} << "txtX2=-8431.552";
        QTest::newRow("Enter from the new point to <")
            << int(Qt::Key_Return) << QStringList{"txtX2", "txtY2", "cmd2", "cmd2"} << "txtX1=8444.215";
        QTest::newRow("keypad Enter")
            << int(Qt::Key_Enter) << QStringList{"txtX1", "txtY1", "cmdOne", "cmdOne"} << "txtY2=11108.603";
        QTest::newRow("Enter stays in a display") << int(Qt::Key_Return) << QStringList{"txtm", "txtm"} << "txtm=";
        QTest::newRow("Enter starts a line in a panel")
            << int(Qt::Key_Return) << QStringList{"txtFile1", "txtFile1"} << "txtFile1=\n";
    }
    void focusMoves()
    {
        QFETCH(int, key);
        QFETCH(QStringList, path);
        Window h;
        if (key != Qt::Key_Tab) h.child(path.front())->setFocus(Qt::OtherFocusReason);
        QStringList visited{focusName()};
        while (visited.size() < path.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            visited << focusName();
            QVERIFY(focusFieldAllSelected());
        }
        QCOMPARE(visited, path);
        QFETCH(QString, after);
        h.expect({after});
    }

    // Leaving txtX1; the test reads "." only, as the conversions do. Never a message, the text neither
    // restored nor changed, and the button of a refused click does not run.
    void leavingIsTested_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");        // 0: a click on the target
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("focus");  // where it is afterwards
        QTest::newRow("12a kept by Tab") << "12a" << int(Qt::Key_Tab) << "" << "txtX1";
        QTest::newRow("12a kept by a click") << "12a" << 0 << "txtY1" << "txtX1";
        QTest::newRow("empty kept by Enter") << "" << int(Qt::Key_Return) << "" << "txtX1";
        QTest::newRow("decimal comma kept") << "1000,5" << int(Qt::Key_Tab) << "" << "txtX1";
        QTest::newRow("spaced 12.5 released by Enter") << " 12.5 " << int(Qt::Key_Return) << "" << "txtY1";
        QTest::newRow("exponent released by a click") << "1.5E3" << 0 << "txtY1" << "txtY1";
        QTest::newRow("refused click on > does not convert") << "1000m" << 0 << "cmdOne" << "txtX1";
        QTest::newRow("released click on > converts") << "1000" << 0 << "cmdOne" << "cmdOne";
        // Alt lends the keyboard to the menu bar for a moment: no test, or the focus would come straight back.
        QTest::newRow("abc untested while the menu bar has the keys") << "abc" << int(Qt::Key_Alt) << "" << "";
    }
    void leavingIsTested()
    {
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(QString, target);
        QFETCH(QString, focus);
        Window h;
        h.child("txtX1")->setFocus(Qt::OtherFocusReason);
        h.set({"txtX1=" + text});
        key ? QTest::keyClick(QApplication::focusWidget(), Qt::Key(key)) : h.click(target);
        QCOMPARE(focusName(), focus);
        h.expect({"txtX1=" + text});
        QVERIFY(focusFieldAllSelected());
        QCOMPARE(h.text("txtX2") != "txtX2=0.000", focus == "cmdOne");  // the button ran only if it got the focus
        QVERIFY(h.dialogs.messages.empty());
        if (key == 0 && focus == "txtX1") {  // mended, the same click goes through
            h.set({"txtX1=5"});
            h.click(target);
            QCOMPARE(focusName(), target);
        }
    }

    // Fault: two fields without a number could hand the focus to each other for ever.
    void twoFailingFieldsDoNotBounce()
    {
        Window h;
        h.child("txtX1")->setFocus(Qt::OtherFocusReason);
        h.set({"txtX1=", "txtY1="});
        h.click("txtY1");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusName(), QStringLiteral("txtX1"));
        h.set({"txtX1=5"});  // mended, it lets the focus go to the other, which then holds it
        h.click("txtY1");
        h.click("txtX1");
        QCOMPARE(focusName(), QStringLiteral("txtY1"));
    }

    // The panels show "\n" and give CR LF back: every kind of line end is
    // one line end, so no line is lost or doubled on the way in or out.
    void panelLineEnds_data()
    {
        QTest::addColumn<QByteArray>("panel");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("back");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << "a\nb" << QByteArray("a\r\nb");
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << "a\nb\n" << QByteArray("a\r\nb\r\n");
        QTest::newRow("CR then CR LF is two ends") << QByteArray("a\r\r\nb") << "a\n\nb" << QByteArray("a\r\n\r\nb");
        QTest::newRow("LF then CR is two ends") << QByteArray("a\n\rb") << "a\n\nb" << QByteArray("a\r\n\r\nb");
        QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ\r\n") << "ΣΤΑΣΗ\n" << QByteArray("ΣΤΑΣΗ\r\n");
    }
    void panelLineEnds()
    {
        QFETCH(QByteArray, panel);
        QFETCH(QString, shown);
        QFETCH(QByteArray, back);
        const QString widget = panelTextToWidget(panel.toStdString());
        QCOMPARE(widget, shown);
        QCOMPARE(QByteArray::fromStdString(widgetTextToPanel(widget)), back);
    }

    // Each panel button acts on its own panel: a swapped connection would
    // open, clear or save the other one.
    void panelButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QByteArray>("saved");
        const QString read = "A, 1.000, 2.000, 3.000\n";
        QTest::newRow("open 1") << "cmdOp1" << QStringList{"txtFile1=one\n" + read, "txtFile2=two\n"} << QByteArray();
        QTest::newRow("open 2") << "cmdOp2" << QStringList{"txtFile1=one\n", "txtFile2=two\n" + read} << QByteArray();
        QTest::newRow("clear 1") << "cmdEr1" << QStringList{"txtFile1=", "txtFile2=two\n"} << QByteArray();
        QTest::newRow("clear 2") << "cmdEr2" << QStringList{"txtFile1=one\n", "txtFile2="} << QByteArray();
        QTest::newRow("save 1") << "cmdSav1" << QStringList{"txtFile1=one\n", "txtFile2=two\n"} << QByteArray("one\r\n");
        QTest::newRow("save 2") << "cmdSav2" << QStringList{"txtFile1=one\n", "txtFile2=two\n"} << QByteArray("two\r\n");
    }
    void panelButtons()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, after);
        QFETCH(QByteArray, saved);
        Window h;
        const QString file = h.temp.filePath("list.txt");
        QVERIFY(writeFile(file, saved.isEmpty() ? QByteArray("A,1,2,3\r\n") : QByteArray()));
        h.dialogs.fileAnswers = {file.toStdString()};
        h.set({"txtFile1=one\n", "txtFile2=two\n"});
        h.click(button);
        h.expect(after);
        if (!saved.isEmpty()) QCOMPARE(readFile(file), saved);
    }

    // The completion message must find the converted lines already in panel 2.
    void batchFillsPanel2BeforeItsMessage()
    {
        Window h;
        h.dialogs.watched = h.w.findChild<QPlainTextEdit*>(QStringLiteral("txtFile2"));
        h.set({"txtFile1=P1, 1000.000, 2000.000, 5\n\nP2,0,0,12.3456\n"});
        h.click("cmdAll");
        const QString want = QStringLiteral("P1, -7429.270, 13107.462, 5.000\nP2, -8431.552, 11108.603, 12.346\n");
        h.expect({"txtFile2=" + want});
        const ShownMessage done{msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information};
        QCOMPARE(h.dialogs.messages, std::vector<ShownMessage>{done});
        QCOMPARE(h.dialogs.watchedAtMessage, std::vector<QString>{want});
    }

    // The About window opened, then a click in it or a close request (close box, Alt+F4...), which asks.
    void aboutAndQuit_data()
    {
        QTest::addColumn<QString>("where");  // a child, "" for the background, or the answer to the quit question
        QTest::addColumn<bool>("closes");    // the About window
        QTest::newRow("About's Χ button") << "Command1" << true;
        QTest::newRow("About's background between the lines") << "" << true;
        QTest::newRow("About's name label") << "Label3" << false;
        QTest::newRow("quit answered No keeps everything") << "No" << false;
        QTest::newRow("quit answered Yes closes About too") << "Yes" << true;
    }
    void aboutAndQuit()
    {
        QFETCH(QString, where);
        Window h;
        h.set({"txtX1=123"});
        h.about();
        QPointer<AboutWindow> about = h.w.aboutWindow();
        QCOMPARE(about->size(), QSize(304, 200));  // 4560 × 3000 twips
        // The main window moved while it is open, and chosen again: still one, centred anew, modeless.
        h.w.move(140, 90);
        h.about();
        const QRect outer = h.w.frameGeometry();
        QTRY_COMPARE(about->frameGeometry().topLeft(),
                     QPoint(outer.left() + (outer.width() - 304) / 2, outer.top() + (outer.height() - 200) / 2));
        QVERIFY(h.w.findChildren<AboutWindow*>().size() == 1 && !about->isModal());
        QVERIFY(about->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(QTest::qWaitForWindowActive(about.data()));
        if (where == "Yes" || where == "No") {
            h.dialogs.yesNoAnswers = {where == "Yes"};
            QCOMPARE(h.w.close(), where == "Yes");
            const ShownMessage asked{"Θέλετε σίγουρα να εγκαταλείψετε το πρόγραμμα;", "Έξοδος", MessageIcon::Question};
            QCOMPARE(h.dialogs.questions, std::vector<ShownMessage>{asked});
            QCOMPARE(h.dialogs.yesNoDefaults, std::vector<DefaultAnswer>{DefaultAnswer::Yes});
        } else {  // the background between Label8 (ends at 1095 twips) and Label2 (starts at 1260)
            QWidget* target = where.isEmpty() ? about.data() : about->findChild<QWidget*>(where);
            QTest::mouseClick(target, Qt::LeftButton, {}, where.isEmpty() ? QPoint(20, 78) : QPoint(5, 5));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTEST(about.isNull(), "closes");
        QCOMPARE(h.w.isVisible(), where != "Yes");
        h.expect({"txtX1=123"});
    }

    // A batch may append a million lines (40 MB) one by one; grouped into paragraphs, they must come back
    // unchanged and edit as lines. The bound catches line-by-line insertion (minutes), not a busy machine.
    void millionLinesKept()
    {
        QPlainTextEdit panel(QStringLiteral("typed"));
        panel.show();
        WidgetFields fields;
        fields.bindPanel(FieldId::File2, &panel);
        std::string all = "typed";
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 1000000; ++i) {
            const std::string line = std::to_string(i) + ", -7429.270, 13107.462, 123.456\r\n";
            fields.appendText(FieldId::File2, line);
            all += line;
        }
        QVERIFY(fields.text(FieldId::File2) == all);
        QVERIFY2(clock.elapsed() < 60000, qPrintable(QString::number(clock.elapsed())));
        panel.moveCursor(QTextCursor::End);
        QTest::keyClicks(&panel, QStringLiteral("Z, 1, 2, 3"));
        QVERIFY(fields.text(FieldId::File2) == all + "Z, 1, 2, 3");
        fields.appendText(FieldId::File2, "lost\r\n");  // a new text replaces what was not yet shown
        fields.setText(FieldId::File2, "");
        QCOMPARE(fields.text(FieldId::File2), std::string());
    }

    void dialogsInGreek()  // the boxes' buttons, built without their modal loops
    {
        auto ok = makeMessageBox(nullptr, msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information);
        QCOMPARE(ok->defaultButton()->text() + "|" + ok->windowTitle(), QStringLiteral("Εντάξει|Πληροφορία"));
        auto ask = makeQuestionBox(nullptr, msg::kQuit, msg::kTitleQuit, DefaultAnswer::Yes);
        QCOMPARE(ask->defaultButton()->text() + "|" + ask->escapeButton()->text(), QStringLiteral("Ναι|Όχι"));
        auto replace = makeQuestionBox(nullptr, msg::replaceExisting("/x/pts.txt"), msg::kSaveTitle, DefaultAnswer::No);
        QCOMPARE(replace->defaultButton()->text() + "|" + replace->escapeButton()->text(), QStringLiteral("Όχι|Όχι"));
        // A short box leaves a window manager room for its title beside the title bar's buttons (about 100 px).
        auto shortBox = makeMessageBox(nullptr, msg::kBatchFailed, msg::kTitleWarning, MessageIcon::Critical);
        QFont bold = shortBox->font();
        bold.setBold(true);
        QVERIFY(shortBox->sizeHint().width() >= QFontMetrics(bold).horizontalAdvance(shortBox->windowTitle()) + 100);
    }

    // Text against the colour behind it on a light and on a dark desktop palette: readable (4.5:1) wherever the
    // window fixes a background (labels, panels) or a text colour (frame captions), and on the system's colours.
    void readableColours_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("control");
        for (bool dark : {false, true}) {
            const char* theme = dark ? "dark" : "light";
            QTest::addRow("%s: φ on light green", theme) << dark << "Label1";
            QTest::addRow("%s: Υ = on light yellow", theme) << dark << "Label8";
            QTest::addRow("%s: panel 1 on light green", theme) << dark << "txtFile1";
            QTest::addRow("%s: panel 2 on light yellow", theme) << dark << "txtFile2";
            QTest::addRow("%s: blue caption of the geodetic frame", theme) << dark << "Frame3";
            QTest::addRow("%s: a field in system colours", theme) << dark << "txtX1";
        }
    }
    void readableColours()
    {
        QFETCH(bool, dark);
        QFETCH(QString, control);
        if (dark) QApplication::setPalette(darkPalette());
        Window h;
        QWidget* c = h.child(control);
        const QPalette p = c->palette();
        const bool label = qobject_cast<QLabel*>(c) != nullptr;
        const QColor text = label || qobject_cast<QGroupBox*>(c) ? p.color(QPalette::WindowText) : p.color(QPalette::Text);
        const QColor behind = label ? p.color(QPalette::Window)
                              : qobject_cast<QGroupBox*>(c) ? QApplication::palette().color(QPalette::Window)
                                                             : p.color(QPalette::Base);
        QVERIFY2(contrast(text, behind) >= 4.5, qPrintable(text.name() + " on " + behind.name()));
    }

    // Texts wider than their field are marked cut and offered whole as tooltip; the ones the window must show
    // (plane coordinates within 100 km, the geodetic texts) fit at desktop fonts from 9 to 14 pt, the window
    // growing with the font and staying fixed. 0 pt: the desktop's own font.
    void textsInTheirFields_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("text");  // name=text
        QTest::addColumn<bool>("cut");
        QTest::newRow("12-digit X at the desktop font") << 0.0 << "txtX1=-12345678.901" << true;
        QTest::newRow("X 100 km out at the desktop font") << 0.0 << "txtX1=-99999.999" << false;
        QTest::newRow("latitude at 11 pt") << 11.0 << "txtf=40° 50' 60.00000''" << false;
        QTest::newRow("Δλ at 11 pt") << 11.0 << "txtm=-0° 51' 0.00000''" << false;
        QTest::newRow("Δλ at 14 pt") << 14.0 << "txtm=-4° 59' 59.99999''" << false;
        QTest::newRow("λ at 14 pt") << 14.0 << "txtl=22° 51' 58.81500''" << false;
        QTest::newRow("Y 100 km out at 14 pt") << 14.0 << "txtY2=-99999.999" << false;
        QTest::newRow("15-digit Y at 14 pt") << 14.0 << "txtY2=-123456789012.345" << true;
    }
    void textsInTheirFields()
    {
        QFETCH(double, points);
        QFETCH(QString, text);
        QFETCH(bool, cut);
        if (points > 0) {
            QFont font = m_font;
            font.setPointSizeF(points);
            QApplication::setFont(font);
        }
        Window h;
        h.set({text});
        auto* field = qobject_cast<FieldEdit*>(h.child(text.section('=', 0, 0)));
        QCOMPARE(field->isCut(), cut);
        QCOMPARE(field->toolTip(), cut ? text.section('=', 1) : QString());
        QCOMPARE(h.w.minimumSize(), h.w.maximumSize());
    }

    // Saving over an existing file asks first, about the name really written (".txt" forced), No the default;
    // No writes nothing. The question never comes for a new name.
    void saveAsksBeforeReplacing_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("existing");  // files holding "old" before the save
        QTest::addColumn<QString>("answer");        // "" when no question may come
        QTest::addColumn<QByteArray>("txtAfter");   // pts.txt
        QTest::newRow("new name: no question") << "pts.txt" << QStringList{} << "" << QByteArray("two\r\n");
        QTest::newRow("existing, No keeps it") << "pts.txt" << QStringList{"pts.txt"} << "No" << QByteArray("old");
        QTest::newRow("existing, Yes replaces it") << "pts.txt" << QStringList{"pts.txt"} << "Yes" << QByteArray("two\r\n");
        QTest::newRow("pts.seq chosen, pts.txt exists") << "pts.seq" << QStringList{"pts.txt"} << "No" << QByteArray("old");
        QTest::newRow("pts.seq exists, pts.txt is new") << "pts.seq" << QStringList{"pts.seq"} << "" << QByteArray("two\r\n");
    }
    void saveAsksBeforeReplacing()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, existing);
        QFETCH(QString, answer);
        Window h;
        for (const QString& name : existing) QVERIFY(writeFile(h.temp.filePath(name), "old"));
        h.dialogs.fileAnswers = {h.temp.filePath(chosen).toStdString()};
        if (!answer.isEmpty()) h.dialogs.yesNoAnswers = {answer == "Yes"};
        h.set({"txtFile2=two\n"});
        h.click("cmdSav2");
        QTEST(readFile(h.temp.filePath("pts.txt")), "txtAfter");
        if (existing.contains("pts.seq")) QCOMPARE(readFile(h.temp.filePath("pts.seq")), QByteArray("old"));
        const std::string target = h.temp.filePath("pts.txt").toStdString();
        const auto asked = answer.isEmpty() ? std::vector<ShownMessage>{}
                                            : std::vector<ShownMessage>{{msg::replaceExisting(target), msg::kSaveTitle,
                                                                         MessageIcon::Question}};
        QCOMPARE(h.dialogs.questions, asked);
        QCOMPARE(h.dialogs.yesNoDefaults, std::vector<DefaultAnswer>(asked.size(), DefaultAnswer::No));
        QCOMPARE(h.dialogs.messages.size(), std::size_t(answer == "No" ? 0 : 1));  // "Η εγγραφή ολοκληρώθηκε"
    }

    // Qt's own texts, loaded from the program's Greek catalogue: every entry of the fields' and panels' context
    // menus, the file dialog's columns and tool buttons.
    void qtTextsInGreek_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("context menu of a field") << "txtX1";
        QTest::newRow("context menu of a panel") << "txtFile1";
        QTest::newRow("file dialog") << "";
    }
    void qtTextsInGreek()
    {
        QFETCH(QString, where);
        QStringList texts;
        Window h;
        std::unique_ptr<QMenu> menu;
        std::unique_ptr<QFileDialog> dialog;
        if (auto* field = qobject_cast<QLineEdit*>(h.child(where))) menu.reset(field->createStandardContextMenu());
        if (auto* panel = qobject_cast<QPlainTextEdit*>(h.child(where))) menu.reset(panel->createStandardContextMenu());
        if (menu) {
            for (QAction* a : menu->actions()) if (!a->isSeparator()) texts << a->text();
        } else {
            dialog = makeFileDialog(nullptr, msg::kSaveTitle, {{msg::kFilterTxt, "*.txt"}}, QFileDialog::AcceptSave, {});
            QAbstractItemModel* columns = dialog->findChild<QTreeView*>()->model();
            for (int c = 0; c < columns->columnCount(); ++c) texts << columns->headerData(c, Qt::Horizontal).toString();
            for (auto* b : dialog->findChildren<QToolButton*>()) if (!b->toolTip().isEmpty()) texts << b->toolTip();
        }
        QVERIFY(texts.size() >= 4);
        for (const QString& t : texts) QVERIFY2(hasGreek(t), qPrintable(t));
    }

private:
    const QFont m_font = QApplication::font();
    const QPalette m_palette = QApplication::palette();
};

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
