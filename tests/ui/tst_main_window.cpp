// The real window on the offscreen platform, and its adapters to the operations. Clicks go through
// the window system layer (QTEST_QPA_MOUSE_HANDLING), so they give the focus as a user's do.
// Coordinates expected after a conversion are those of tests/operations/tst_single_point.cpp between
// the window's start sheets (40.51, -0.51 to 40.45, -0.45): (1000, 2000) gives (-7429.270, 13107.462),
// (0, 0) gives (-8431.552, 11108.603), and back from (0, 0) X is 8444.215.
#define QTEST_QPA_MOUSE_HANDLING

#include "dark_palette.h"  // tools/
#include "operations/messages.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "ui/about_window.h"
#include "ui/field_edit.h"
#include "ui/main_window.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_greek.h"
#include "ui/sheet_map.h"
#include "ui/widget_fields.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace hattsheet::testing;
using namespace hattsheet::ui;
using hattsheet::operations::DefaultAnswer;
using hattsheet::operations::MessageIcon;
namespace msg = hattsheet::operations::msg;

namespace {

// Scripted dialogs that also note what panel 2 held when a message came.
struct Dialogs : FakeDialogs {
    const QPlainTextEdit* watched = nullptr;
    std::vector<QString> watchedAtMessage;
    void showMessage(const std::string& text, const std::string& title, MessageIcon icon) override
    {
        watchedAtMessage.push_back(watched ? watched->toPlainText() : QString());
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
    QPlainTextEdit* panel(const char* name) const { return w.findChild<QPlainTextEdit*>(name); }
    QString text(const QString& name) const  // "name=text"
    {
        return name + '=' + child(name)->property(name.startsWith("txtFile") ? "plainText" : "text").toString();
    }
    void set(const QString& nameText) const  // "name=text" typed in
    {
        const QString name = nameText.section('=', 0, 0);
        child(name)->setProperty(name.startsWith("txtFile") ? "plainText" : "text", nameText.section('=', 1));
    }
    void click(const QString& name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
};

QString focusName() { return qApp->focusWidget() ? qApp->focusWidget()->objectName() : "(none)"; }

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

// Runs act on the next modal dialog once it shows, from inside its own event loop.
void whenModal(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        poll->deleteLater();
        poll->stop();
        act(modal);
    });
    poll->start(10);
}

// What a file dialog shows in `folder`: its column headings and button tips,
// the size of the first file, and whether every column, its heading whole,
// lies within the view (no scrolling sideways to see a size).
struct FileDialogSeen {
    QStringList texts;
    QString size;
    bool columnsFit = false;
};
FileDialogSeen lookInto(QFileDialog& files, const QString& folder)
{
    FileDialogSeen seen;
    auto* tree = files.findChild<QTreeView*>();
    const QHeaderView* header = tree->header();
    for (int c = 0; c < header->count(); ++c) seen.texts << tree->model()->headerData(c, Qt::Horizontal).toString();
    for (auto* b : files.findChildren<QToolButton*>()) if (!b->toolTip().isEmpty()) seen.texts << b->toolTip();
    files.setDirectory(folder);
    for (int wait = 0; wait < 250 && seen.size.isEmpty(); ++wait) {
        QTest::qWait(20);
        seen.size = tree->model()->index(0, 1, tree->rootIndex()).data().toString();
    }
    seen.columnsFit = header->length() <= tree->viewport()->width();
    for (int c = 0; c < header->count(); ++c)
        seen.columnsFit = seen.columnsFit && header->sectionSize(c) >= QFontMetrics(header->font()).horizontalAdvance(seen.texts[c]);
    return seen;
}

void expectGreek(const QStringList& texts)
{
    QVERIFY(!texts.isEmpty());
    for (const QString& t : texts) QVERIFY2(t.contains(QRegularExpression("[\\x{0370}-\\x{03FF}]")), qPrintable(t));
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
    void useFont(double points)  // 0: the desktop's own
    {
        QFont font = m_font;
        if (points > 0) font.setPointSizeF(points);
        QApplication::setFont(font);
    }
private slots:
    // Qt's own texts from the program's Greek catalogue: the context menus of the fields and panels here,
    // the message boxes and file dialogs in qtDialogs.
    void initTestCase()
    {
        QVERIFY(installGreek(*qApp));  // also makes Greek, a comma locale, the default
        QLineEdit field;
        QPlainTextEdit panel;
        for (QMenu* menu : {field.createStandardContextMenu(), panel.createStandardContextMenu()}) {
            QStringList texts;
            for (QAction* a : menu->actions()) if (!a->isSeparator()) texts << a->text();
            delete menu;
            expectGreek(texts);
        }
    }
    void cleanup()  // the desktop's palette and font as a test found them
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }

    // At the desktop's font and at larger ones that grow it, on a light and on a dark desktop palette, the
    // window fixed in size: every control inside its parent and clear of every other (two frames may share
    // their outline: Frame1 ends at 855 twips, Frame3 starts at 840), and its text readable (4.5:1) against
    // the colour behind it, whether the window fixes that colour (labels, panels, frame captions) or takes
    // the desktop's (but the credits line Label12: red on the menu-text colour is its look, 3.2:1 on a dark
    // desktop). A text wider than its field is marked cut and offered whole as tooltip; the ones the
    // window must show (plane coordinates within 100 km, the geodetic texts) fit.
    void layoutAndColours_data()
    {
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("text");  // name=text
        QTest::addColumn<bool>("cut");
        QTest::newRow("12-digit X at the desktop font") << 0.0 << false << "txtX1=-12345678.901" << true;
        QTest::newRow("dark: X 100 km out at the desktop font") << 0.0 << true << "txtX1=-99999.999" << false;
        QTest::newRow("latitude at 11 pt") << 11.0 << false << "txtf=40° 50' 60.00000''" << false;
        QTest::newRow("dark: Δλ at 11 pt") << 11.0 << true << "txtm=-0° 51' 0.00000''" << false;
        QTest::newRow("Δλ at 14 pt") << 14.0 << false << "txtm=-4° 59' 59.99999''" << false;
        QTest::newRow("dark: λ at 14 pt") << 14.0 << true << "txtl=22° 51' 58.81500''" << false;
        QTest::newRow("Y 100 km out at 14 pt") << 14.0 << false << "txtY2=-99999.999" << false;
        QTest::newRow("dark: 15-digit Y at 14 pt") << 14.0 << true << "txtY2=-123456789012.345" << true;
    }
    void layoutAndColours()
    {
        QFETCH(double, points);
        QFETCH(bool, dark);
        QFETCH(QString, text);
        useFont(points);
        if (dark) QApplication::setPalette(hattsheet::tools::darkPalette());
        Window h;
        QWidget* client = h.child("client");
        QList<QWidget*> controls;
        for (QWidget* c : client->findChildren<QWidget*>())
            if (QRegularExpression("^(Frame|Label|txt|cmd)").match(c->objectName()).hasMatch()) controls << c;
        QCOMPARE(controls.size(), 37);  // 3 frames, 12 labels, 11 fields, 2 panels, 9 buttons: none missed
        const auto inClient = [client](const QWidget* c) { return QRect(c->mapTo(client, QPoint()), c->size()); };
        const QImage seen = client->grab().toImage();  // as the window shows it, each control over its parent
        for (QWidget* c : controls) {
            QVERIFY2(c->isVisible() && c->parentWidget()->rect().contains(c->geometry()), qPrintable(c->objectName()));
            for (const QWidget* other : controls) {
                if (other == c || other->isAncestorOf(c) || c->isAncestorOf(other)) continue;
                if (c->inherits("QGroupBox") && other->inherits("QGroupBox")) continue;
                QVERIFY2(!inClient(c).intersects(inClient(other)),
                         qPrintable(c->objectName() + " overlaps " + other->objectName()));
            }
            const QPalette p = c->palette();
            const bool label = c->inherits("QLabel"), frame = c->inherits("QGroupBox"), button = c->inherits("QPushButton");
            const QColor ink = p.color(label || frame ? QPalette::WindowText : button ? QPalette::ButtonText : QPalette::Text);
            const QColor behind = frame ? QApplication::palette().color(QPalette::Window)
                                        : p.color(label ? QPalette::Window : button ? QPalette::Button : QPalette::Base);
            QVERIFY2(contrast(ink, behind) >= 4.5 || c->objectName() == "Label12", qPrintable(c->objectName() + ": " + ink.name() + " on " + behind.name()));
            if (QRegularExpression("^(txtFile.|Label\\d|Label1[01])$").match(c->objectName()).hasMatch())  // the tints, on any desktop
                QCOMPARE(seen.pixelColor(inClient(c).topLeft() + QPoint(1, 1)), QRegularExpression("^(txtFile2|Label[3478])$").match(c->objectName()).hasMatch() ? QColor(255, 255, 192) : QColor(192, 255, 192));
        }
        h.set(text);
        QFETCH(bool, cut);
        QCOMPARE(h.child(text.section('=', 0, 0))->toolTip(), cut ? text.section('=', 1) : QString());
        QCOMPARE(h.w.minimumSize(), h.w.maximumSize());
        auto* field = qobject_cast<QLineEdit*>(h.child(text.section('=', 0, 0)));
        field->setFont(QFont(field->font().family(), field->font().pointSize() + 4));  // a new font reaches its text layout too
        const int end = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        field->home(false);
        QVERIFY(std::abs(end - field->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() - QFontMetricsF(field->font()).horizontalAdvance(field->text())) <= 1);
    }

    // Keys and clicks, each followed by where the focus is then: the Tab ring, Enter as Tab in the fields
    // and as a press on a button, and a field left only with a text that reads as a number ("." only, as
    // the conversions read it). A refused field keeps the focus, its text neither restored nor changed,
    // never shows a message, and the button of a refused click does not run; mended, the same click goes
    // through. A field the focus moves into has its whole text selected, so the next key replaces it.
    // Steps: "name=text" typed; "?name=text" shown; "KEY>focus", "click NAME>focus", "clear>focus".
    void keysAndClicks_data()
    {
        QTest::addColumn<QString>("start");  // the control given the focus; "@name": where it is by itself
        QTest::addColumn<QStringList>("steps");
        const auto walk = [](const QString& key, const QStringList& path) {
            QStringList steps;
            for (const QString& p : path) steps << key + '>' + p;
            return steps;
        };
        QTest::newRow("Tab round the ring from the start focus")
            << "@txtFile1"
            << walk("Tab", {"txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2", "cmdAll",
                            "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
                            "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl", "txtFile1"}) + QStringList{"?txtX2=0.000"};
        // Enter in txtLamdaOld crosses to the other frame, not to txtX1.
        QTest::newRow("Enter from the old centre to >")
            << "txtPhiOld" << walk("Return", {"txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
                                              "cmdOne"}) + QStringList{"?txtX2=-8431.552"};
        QTest::newRow("Enter from the new point to <")
            << "txtX2" << walk("Return", {"txtY2", "cmd2", "cmd2"}) + QStringList{"?txtX1=8444.215"};
        QTest::newRow("keypad Enter") << "txtX1" << walk("Enter", {"txtY1", "cmdOne", "cmdOne"}) + QStringList{"?txtY2=11108.603"};
        QTest::newRow("Enter stays in a display") << "txtm" << QStringList{"Return>txtm", "?txtm="};
        QTest::newRow("Enter starts a line in a panel") << "txtFile1" << QStringList{"Return>txtFile1", "?txtFile1=\n"};
        QTest::newRow("12a kept by Tab") << "txtX1" << QStringList{"txtX1=12a", "Tab>txtX1", "?txtX1=12a"};
        QTest::newRow("12a kept by a click, mended")
            << "txtX1" << QStringList{"txtX1=12a", "click txtY1>txtX1", "?txtX1=12a", "txtX1=5", "click txtY1>txtY1"};
        QTest::newRow("empty kept by Enter") << "txtX1" << QStringList{"txtX1=", "Return>txtX1", "?txtX1="};
        QTest::newRow("decimal comma kept") << "txtX1" << QStringList{"txtX1=1000,5", "Tab>txtX1", "?txtX1=1000,5"};
        QTest::newRow("spaced 12.5 released by Enter") << "txtX1" << QStringList{"txtX1= 12.5 ", "Return>txtY1", "?txtX1= 12.5 "};
        QTest::newRow("exponent released by a click") << "txtX1" << QStringList{"txtX1=1.5E3", "click txtY1>txtY1", "?txtX1=1.5E3"};
        QTest::newRow("refused click on > does not convert, mended it does")
            << "txtX1" << QStringList{"txtY1=2000", "txtX1=1000m", "click cmdOne>txtX1", "?txtX1=1000m", "?txtX2=0.000",
                                      "txtX1=1000", "click cmdOne>cmdOne", "?txtX1=1000", "?txtX2=-7429.270"};
        // Alt lends the keyboard to the menu bar for a moment: no test, or the focus would come straight back.
        QTest::newRow("abc untested while the menu bar has the keys") << "txtX1" << QStringList{"txtX1=abc", "Alt>", "?txtX1=abc"};
        QTest::newRow("12a let go when the focus goes nowhere") << "txtX1" << QStringList{"txtX1=12a", "clear>(none)", "?txtX1=12a"};
        // Fault: two fields without a number could hand the focus to each other for ever.
        QTest::newRow("two empty fields do not bounce")
            << "txtX1" << QStringList{"txtX1=", "txtY1=", "click txtY1>txtX1", "Tab>txtX1", "txtX1=5", "click txtY1>txtY1",
                                      "click txtX1>txtY1"};
    }
    void keysAndClicks()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, steps);
        static const QMap<QString, Qt::Key> keys{
            {"Tab", Qt::Key_Tab}, {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Alt", Qt::Key_Alt}};
        Window h;
        if (start.startsWith('@')) QCOMPARE(focusName(), start.mid(1));
        else h.child(start)->setFocus(Qt::OtherFocusReason);
        for (const QString& step : steps) {
            if (step.startsWith('?')) {
                QCOMPARE(h.text(step.mid(1).section('=', 0, 0)), step.mid(1));
            } else if (!step.contains('>')) {
                h.set(step);
            } else {
                const QString act = step.section('>', 0, 0);
                if (keys.contains(act)) QTest::keyClick(QApplication::focusWidget(), keys[act]);
                else if (act == "clear") QApplication::focusWidget()->clearFocus();
                else h.click(act.section(' ', 1));
                QVERIFY2(focusName() == step.section('>', 1), qPrintable(step + " left the focus in " + focusName()));
                auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                QVERIFY2(!field || field->selectedText() == field->text(), qPrintable(step));
            }
        }
        QVERIFY(h.dialogs.messages.empty());
    }

    // A panel text into a real panel and back: every kind of line end is one line end, and every
    // character of the data comes back as it was, also those the text document takes as breaks
    // (U+2029, U+FDD0, U+FDD1, and U+2028, which it shows as one) or spaces (U+00A0). `lines` is
    // what the user sees: one per line, so no character splits a line. A batch may append a million
    // lines (40 MB) one by one, grouped a hundred to a paragraph; typed text then joins the last
    // line. A text set replaces what was appended but not yet shown.
    void panelTextKept_data()
    {
        QTest::addColumn<QByteArray>("panel");
        QTest::addColumn<QByteArray>("back");  // empty: the panel text itself
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("appends");      // of one record line after the panel text
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray() << 2 << 0;
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n") << 3 << 0;
        QTest::newRow("CR then CR LF is two ends") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb") << 3 << 0;
        QTest::newRow("LF then CR is two ends") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb") << 3 << 0;
        QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ\r\n") << QByteArray() << 2 << 0;
        const QByteArray kept = "\xEF\xBB\xBFP\xC2\xA0" "1\xE2\x80\xA8" "2\xE2\x80\xA9" "3\xEF\xB7\x90" "4\xEF\xB7\x91"
                                "\xF0\x90\x80\xA8, 1, 2\r\nB";  // BOM, U+00A0, 2028, 2029, FDD0, FDD1, U+10028
        QTest::newRow("breaking and odd characters kept, in their line") << kept << QByteArray() << 2 << 0;
        // A text goes into the document a MiB at a time; no cut may split a character or a CR LF.
        const QByteArray mib(1 << 20, 'a');
        QTest::newRow("Greek letter across the MiB mark") << mib.left(mib.size() - 1) + "Σ\r\nb" << QByteArray() << 2 << 0;
        QTest::newRow("CR LF across the MiB mark") << mib.left(mib.size() - 1) + "\r\nb" << QByteArray() << 2 << 0;
        QTest::newRow("CR LF before the MiB mark") << "a\r\n" + mib << QByteArray() << 2 << 0;
        QTest::newRow("a million lines appended") << QByteArray("typed") << QByteArray() << 1 + 1000000 / 100 << 1000000;
    }
    void panelTextKept()
    {
        QFETCH(QByteArray, panel);
        QFETCH(QByteArray, back);
        QFETCH(int, appends);
        QPlainTextEdit widget;
        WidgetFields fields;
        fields.bindPanel(FieldId::File1, &widget);
        fields.setText(FieldId::File1, panel.toStdString());
        if (panel.size() < 1000) QVERIFY(!widget.grab().isNull());  // the stand-ins drawn
        const std::string line = "P1, -7429.270, 13107.462, 123.456\r\n";
        std::string want = (back.isEmpty() ? panel : back).toStdString();
        for (int i = 0; i < appends; ++i, want += line) fields.appendText(FieldId::File1, line);
        QVERIFY(fields.text(FieldId::File1) == want);
        QTEST(widget.document()->blockCount(), "lines");
        if (appends > 0) {  // typed at the end of grouped lines
            widget.show();
            widget.moveCursor(QTextCursor::End);
            QTest::keyClicks(&widget, QStringLiteral("Z, 1"));
            QVERIFY(fields.text(FieldId::File1) == want + "Z, 1");
        }
        fields.appendText(FieldId::File1, line);
        fields.setText(FieldId::File1, "");
        QCOMPARE(fields.text(FieldId::File1), std::string());
    }

    // Every panel button in turn, each on its own panel (a swapped connection would open, clear or save the
    // other one); the batch's message only once its lines are in panel 2, and one undo takes the whole
    // output of the last batch back, also when it reaches the panel in several pieces (40,000 lines, 1.3 MB).
    // The characters the text document would change or break a line at are panelTextKept's.
    void panelButtons()
    {
        Window h;
        h.dialogs.watched = h.panel("txtFile2");
        const auto path = [&](const char* name) { return h.temp.filePath(name); };
        QVERIFY(writeFile(path("list.seq"), QByteArray("P, 1000, 2000, 5\r\nB, 0, 0, 1\r\n").repeated(20000)));
        for (const char* name : {"list.seq", "1.txt", "2.txt", "list.seq", "3.txt"})
            h.dialogs.fileAnswers.push_back(path(name).toStdString());
        QString afterBatch;
        for (const QString button : {"cmdOp1", "cmdSav1", "cmdAll", "cmdAll", "undo", "cmdSav2", "cmdEr1", "cmdOp2",
                                     "cmdSav2", "cmdEr2"}) {
            if (button == "undo") h.panel("txtFile2")->undo();
            else h.click(button);
            if (button == "cmdAll" && afterBatch.isEmpty()) afterBatch = h.panel("txtFile2")->toPlainText();
            if (button == "cmdEr1") QCOMPARE(h.text("txtFile1"), "txtFile1=");
        }
        const QByteArray read = QByteArray("P, 1000.000, 2000.000, 5.000\r\nB, 0.000, 0.000, 1.000\r\n").repeated(20000);
        const QByteArray converted = QByteArray("P, -7429.270, 13107.462, 5.000\r\nB, -8431.552, 11108.603, 1.000\r\n").repeated(20000);
        QCOMPARE(readFile(path("1.txt")), read);
        QCOMPARE(readFile(path("2.txt")), converted);
        QCOMPARE(readFile(path("3.txt")), converted + read);  // opened below the batch's lines
        QCOMPARE(h.text("txtFile2"), "txtFile2=");
        const ShownMessage done{msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information};
        const auto at = std::find(h.dialogs.messages.begin(), h.dialogs.messages.end(), done) - h.dialogs.messages.begin();
        QVERIFY(at < qsizetype(h.dialogs.messages.size()) && afterBatch.size() > 30);
        QCOMPARE(h.dialogs.watchedAtMessage[at], afterBatch);
    }

    // The About window opened, then a click in it or a close request (close box, Alt+F4...), which asks.
    void aboutAndQuit_data()
    {
        QTest::addColumn<QString>("where");  // a child, "" for the background, or the answer to the quit question
        QTest::addColumn<bool>("closes");    // the About window
        QTest::newRow("About's Χ button") << "Command1" << true;
        QTest::newRow("About's background between the lines") << "" << true;
        QTest::newRow("About's name label") << "Label3" << false;
        QTest::newRow("a release on the background, pressed elsewhere") << "release" << false;
        QTest::newRow("quit answered No keeps everything") << "No" << false;
        QTest::newRow("quit answered Yes closes About too") << "Yes" << true;
    }
    void aboutAndQuit()
    {
        QFETCH(QString, where);
        Window h;
        h.set("txtX1=123");
        QAction* about = h.w.findChild<QAction*>(QStringLiteral("mnuabout"));
        about->trigger();
        QPointer<AboutWindow> window = h.w.findChild<AboutWindow*>();
        // The main window moved while it is open, and chosen again: still one, centred anew, modeless.
        h.w.move(140, 90);
        about->trigger();
        QTRY_VERIFY((window->frameGeometry().center() - h.w.frameGeometry().center()).manhattanLength() <= 1);
        QVERIFY(h.w.findChildren<AboutWindow*>().size() == 1 && !window->isModal() && QTest::qWaitForWindowActive(window.data()));
        // Its look: a black one-pixel border, Shape1's light green outline within it, the light blue ground.
        const QImage look = window->grab().toImage();
        QVERIFY(look.pixelColor(150, 0) == QColor(Qt::black) && look.pixelColor(150, 3) == QColor(192, 255, 192));  // 3: the outline's inner edge
        for (int k = 0; k < 6; ++k)  // the top as the left; the bottom as the right, both cut by the pixel Shape1 runs past
            QVERIFY(look.pixelColor(150, k) == look.pixelColor(k, 100) && look.pixelColor(150, 199 - k) == look.pixelColor(303 - k, 100));
        QCOMPARE(look.pixelColor(10, 100), QColor(192, 192, 255));
        for (const char* title : {"Label7", "Label8"})  // the three title lines in one font
            QCOMPARE(window->findChild<QWidget*>(title)->font(), window->findChild<QWidget*>("Label1")->font());
        if (where == "Yes" || where == "No") {
            h.dialogs.yesNoAnswers = {where == "Yes"};
            QCOMPARE(h.w.close(), where == "Yes");
            const ShownMessage asked{msg::kQuit, msg::kTitleQuit, MessageIcon::Question};
            QCOMPARE(h.dialogs.questions, std::vector<ShownMessage>{asked});
            QCOMPARE(h.dialogs.yesNoDefaults, std::vector<DefaultAnswer>{DefaultAnswer::Yes});
        } else {  // the background between Label8 (ends at 1095 twips) and Label2 (starts at 1260)
            QWidget* target = where.isEmpty() || where == "release" ? window.data() : window->findChild<QWidget*>(where);
            const QPoint at = target == window ? QPoint(20, 78) : QPoint(5, 5);
            QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton, {}, {});
            if (where == "release") QApplication::sendEvent(target, &release); else QTest::mouseClick(target, Qt::LeftButton, {}, at);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTEST(window.isNull(), "closes");
        QCOMPARE(h.w.isVisible(), where != "Yes");
        QCOMPARE(h.text("txtX1"), "txtX1=123");
    }

    // Qt's own boxes and file dialogs, answered by a key or a click from inside their modal loops; their
    // texts from the program's Greek catalogue, a file's size the Greek way.
    void qtDialogs_data()
    {
        QTest::addColumn<QString>("ask");     // message, Yes, No: the box and its default answer; save: a file
        QTest::addColumn<QString>("answer");  // a key, or the Greek text of the button clicked
        QTest::addColumn<bool>("yes");        // a question's answer; a file chosen
        QTest::newRow("Enter takes the default Yes") << "Yes" << "Enter" << true;
        QTest::newRow("Enter takes the default No") << "No" << "Enter" << false;
        QTest::newRow("Escape answers No") << "Yes" << "Escape" << false;
        QTest::newRow("Ναι clicked") << "No" << "Ναι" << true;
        QTest::newRow("Όχι clicked") << "Yes" << "Όχι" << false;
        QTest::newRow("Εντάξει closes a message") << "message" << "Εντάξει" << false;
        QTest::newRow("a saved name is offered again") << "save" << "Enter" << true;
        QTest::newRow("a cancelled save chooses nothing") << "save" << "Escape" << false;
    }
    void qtDialogs()
    {
        QFETCH(QString, ask);
        QFETCH(QString, answer);
        QTemporaryDir temp;
        QVERIFY(writeFile(temp.filePath("size.txt"), QByteArray(1500, 'x')));
        QtDialogs dialogs(nullptr);
        QStringList texts;
        QString chosen;
        FileDialogSeen seen;  // checked once the dialog is closed: a check that failed inside would leave it open
        int titleRoom = -1;  // a message's width beyond its title: a window manager cuts a title with too little
        whenModal([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                QFont bold = box->font();
                bold.setBold(true);
                titleRoom = box->width() - QFontMetrics(bold).horizontalAdvance(box->windowTitle());
                for (auto* b : box->buttons()) texts << b->text();
            }
            if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                seen = lookInto(*files, temp.path());
                texts << seen.texts;
                if (answer == "Enter") files->findChild<QLineEdit*>("fileNameEdit")->setText(temp.filePath("pts.txt"));
            }
            if (answer == "Enter" || answer == "Escape") {
                QTest::keyClick(modal, answer == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
                return;
            }
            for (auto* b : modal->findChildren<QAbstractButton*>())
                if (b->text() == answer) b->click();
        });
        bool yes = false;
        if (ask == "message") {
            dialogs.showMessage(msg::kBatchFailed, msg::kTitleWarning, MessageIcon::Critical);
            QVERIFY(titleRoom >= 100);
        } else if (ask == "save") {
            const auto file = dialogs.chooseSaveFile(msg::kSaveTitle, {{msg::kFilterTxt, "*.txt"}});
            yes = file.has_value();
            QCOMPARE(seen.size, QStringLiteral("1,46 KiB"));
            QVERIFY(seen.columnsFit);
            whenModal([&](QWidget* modal) {
                chosen = qobject_cast<QFileDialog*>(modal)->selectedFiles().value(0);
                QTest::keyClick(modal, Qt::Key_Escape);
            });
            QVERIFY(!dialogs.chooseOpenFile(msg::kOpenTitle, {{msg::kFilterTxt, "*.txt"}}));
            if (yes) QCOMPARE(chosen, QString::fromStdString(*file));
        } else {
            yes = dialogs.askYesNo(msg::kQuit, msg::kTitleQuit, ask == "Yes" ? DefaultAnswer::Yes : DefaultAnswer::No);
        }
        QTEST(yes, "yes");
        expectGreek(texts);
    }

private:
    const QFont m_font = QApplication::font();
    const QPalette m_palette = QApplication::palette();
private slots:

    // The menus after "Πρόγραμμα" (still first, still the About window): the sheet chooser, typed into
    // or clicked on its map, fills the frame it was opened for; the ΕΓΣΑ87 entries convert panel 1 into
    // panel 2 with the batch's messages; ">" names the point's sheet in its tooltip. Digits and sheets:
    // tests/operations/tst_sheets.cpp (centre 40.15, 0.15; (10, 10) is 497156.350, 4455309.902 on Καρυαί).
    void sheetsAndGrid()
    {
        Window win;
        const QList<QAction*> bar = win.w.menuBar()->actions();
        QVERIFY(bar.size() >= 3);
        QCOMPARE(bar[0]->objectName(), QString("mnuabout"));
        QCOMPARE(bar[0]->menu(), nullptr);
        QStringList menus;
        for (QAction* a : bar) if (a->menu()) menus << a->menu()->objectName();
        QVERIFY2(menus.indexOf("mnuSheets") >= 0 && menus.indexOf("mnuGrid") > menus.indexOf("mnuSheets"),
                 qPrintable(menus.join(',')));

        // Typed: "ιερισ" leaves Ιερισσός alone; Enter accepts it into "Από Κ.Φ.".
        int listed = -1;
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (!chooser) return;
            // Greek letters as key events with their text (keyClicks takes ASCII only).
            for (const QChar ch : QString("ιερισ")) {
                QTest::sendKeyEvent(QTest::Click, chooser->findChild<QLineEdit*>("txtSheetFilter"), Qt::Key_unknown,
                                    QString(ch), Qt::NoModifier);
            }
            listed = chooser->findChild<QListWidget*>("lstSheets")->count();
            QTest::keyClick(chooser->findChild<QListWidget*>("lstSheets"), Qt::Key_Return);
        });
        win.w.findChild<QAction*>("mnuSheetFrom")->trigger();
        QCOMPARE(listed, 1);
        QCOMPARE(win.text("txtPhiOld") + ' ' + win.text("txtLamdaOld"), QString("txtPhiOld=40.15 txtLamdaOld=0.15"));

        // It opens on a sheet of the frame's centre (40.45, -0.45: Θεσσαλονίκη's); on the map, a click in
        // the middle of Λάρισα (id 186) chooses it for "Σε Κ.Φ.".
        QString initial, chosen;
        QTimer::singleShot(0, [&] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (!chooser) return;
            initial = chooser->findChild<QListWidget*>("lstSheets")->currentItem()->text();
            auto* map = chooser->findChild<SheetMap*>();
            const auto& larisa = *hattsheet::geodesy::sheetById(186);
            const QPointF at = map->toWidget((larisa.outline[0].phiDeg + larisa.outline[1].phiDeg) / 2,
                                             (larisa.outline[0].lambdaDeg + larisa.outline[2].lambdaDeg) / 2);
            QTest::mouseClick(map, Qt::LeftButton, {}, at.toPoint());
            chosen = chooser->findChild<QListWidget*>("lstSheets")->currentItem()->text();
            QMetaObject::invokeMethod(chooser, "accept");
        });
        win.w.findChild<QAction*>("mnuSheetTo")->trigger();
        QVERIFY2(initial.endsWith(" · 40.45, -0.45"), qPrintable(initial));
        QVERIFY2(chosen.startsWith("Λάρισα · 184 · 39.45, -1.15"), qPrintable(chosen));
        QCOMPARE(win.text("txtPhiNew") + ' ' + win.text("txtLamdaNew"), QString("txtPhiNew=39.45 txtLamdaNew=-1.15"));

        // Panel 1 to ΕΓΣΑ87 from "Από Κ.Φ.", and back to "Σε Κ.Φ." on the same centre.
        win.set("txtFile1=P1, 10, 10, 5");
        win.w.findChild<QAction*>("mnuListToGrid")->trigger();
        QCOMPARE(win.text("txtFile2"), QString("txtFile2=P1, 497156.350, 4455309.902, 5.000\n"));
        QCOMPARE(win.dialogs.messages.back().text, std::string(msg::kBatchDone));
        win.set("txtPhiNew=40.15");
        win.set("txtLamdaNew=0.15");
        win.set("txtFile1=" + win.text("txtFile2").section('=', 1));
        win.set("txtFile2=");
        win.w.findChild<QAction*>("mnuListFromGrid")->trigger();
        QCOMPARE(win.text("txtFile2"), QString("txtFile2=P1, 10.000, 10.000, 5.000\n"));

        // ">" from (10, 10) to the same centre: the point lies on Καρυαί.
        win.set("txtX1=10");
        win.set("txtY1=10");
        win.click("cmdOne");
        QVERIFY2(win.child("cmdOne")->toolTip().contains("Καρυαί"), qPrintable(win.child("cmdOne")->toolTip()));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
