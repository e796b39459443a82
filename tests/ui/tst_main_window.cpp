// The real window on the offscreen platform, and its adapters to the operations. Clicks go through
// the window system layer (QTEST_QPA_MOUSE_HANDLING), so they give the focus as a user's do.
#define QTEST_QPA_MOUSE_HANDLING

#include "dark_palette.h"  // tools/
#include "support/fake_window.h"
#include "ui/field_edit.h"
#include "ui/main_window.h"
#include "operations/messages.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_greek.h"
#include "support/temp_workspace.h"
#include "ui/widget_fields.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
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

#include <cmath>
#include <functional>

using namespace hattsheet::testing;
using namespace hattsheet::ui;
using hattsheet::operations::DefaultAnswer;
using hattsheet::operations::FieldId;
using hattsheet::operations::MessageIcon;
namespace msg = hattsheet::operations::msg;

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

bool hasGreek(const QString& text) { return text.contains(QRegularExpression(QStringLiteral("[\\x{0370}-\\x{03FF}]"))); }

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(installGreek(*qApp));  // also makes Greek, a comma locale, the default
    }
    void cleanup()  // the desktop's palette and font as a test found them
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }
    // Every control of the layout table inside its parent and clear of every other control, at the
    // desktop's font and at a large one that grows the layout; the window fixed in size. Two frames
    // may share their outline (Frame1 ends at 855 twips, Frame3 starts at 840), not a control.
    void layoutHolds_data()
    {
        QTest::addColumn<double>("points");  // 0: the desktop's own font
        QTest::newRow("desktop font") << 0.0;
        QTest::newRow("14 pt") << 14.0;
    }
    void layoutHolds()
    {
        QFETCH(double, points);
        if (points > 0) {
            QFont font = m_font;
            font.setPointSizeF(points);
            QApplication::setFont(font);
        }
        Window h;
        QCOMPARE(h.w.minimumSize(), h.w.maximumSize());
        const QWidget* client = h.child("client");
        QList<QWidget*> controls;
        for (QWidget* c : client->findChildren<QWidget*>())
            if (QRegularExpression("^(Frame|Label|txt|cmd)").match(c->objectName()).hasMatch()) controls << c;
        QCOMPARE(controls.size(), 37);  // 3 frames, 12 labels, 11 fields, 2 panels, 9 buttons
        const auto inClient = [client](const QWidget* c) { return QRect(c->mapTo(client, QPoint()), c->size()); };
        for (const QWidget* c : controls) {
            QVERIFY2(c->isVisible() && c->parentWidget()->rect().contains(c->geometry()), qPrintable(c->objectName()));
            for (const QWidget* other : controls) {
                if (other == c || other->isAncestorOf(c) || c->isAncestorOf(other)) continue;
                if (c->inherits("QGroupBox") && other->inherits("QGroupBox")) continue;
                QVERIFY2(!inClient(c).intersects(inClient(other)),
                         qPrintable(c->objectName() + " overlaps " + other->objectName()));
            }
        }
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
        QTest::addColumn<int>("key");        // 0: a click on the target, -1: the program clears the focus
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
        QTest::newRow("12a let go when the focus goes nowhere") << "12a" << -1 << "" << "(none)";
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
        if (key > 0) QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        if (key == 0) h.click(target);
        if (key < 0) h.child("txtX1")->clearFocus();
        QCOMPARE(focusName(), focus);
        h.expect({"txtX1=" + text});
        QVERIFY(focusFieldAllSelected());
        QCOMPARE(h.text("txtX2") != "txtX2=0.000", focus == "cmdOne");  // the button ran only if it got the focus
        QVERIFY(h.dialogs.messages.empty());
        if (key == 0 && focus == "txtX1") {  // mended, the same click goes through
            h.set({"txtX1=5"});
            h.click(target);
            QCOMPARE(focusName(), target);
            QCOMPARE(h.text("txtX2") != "txtX2=0.000", target == "cmdOne");
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

    // A panel text into a real panel and back: every kind of line end is one line end, and every
    // character of the data comes back as it was, also those the text document takes as breaks
    // (U+2029, U+FDD0, U+FDD1, and U+2028, which it shows as one) or spaces (U+00A0). `lines` is
    // what the user sees: one per line, so no character splits a line.
    void panelTextKept_data()
    {
        QTest::addColumn<QByteArray>("panel");
        QTest::addColumn<QByteArray>("back");  // empty: the panel text itself
        QTest::addColumn<int>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray() << 2;
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QByteArray("a\r\nb\r\n") << 3;
        QTest::newRow("CR then CR LF is two ends") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb") << 3;
        QTest::newRow("LF then CR is two ends") << QByteArray("a\n\rb") << QByteArray("a\r\n\r\nb") << 3;
        QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ\r\n") << QByteArray() << 2;
        const QByteArray kept = "\xEF\xBB\xBFP\xC2\xA0" "1\xE2\x80\xA8" "2\xE2\x80\xA9" "3\xEF\xB7\x90" "4\xEF\xB7\x91"
                                "\xF0\x90\x80\xA8, 1, 2\r\nB";  // BOM, U+00A0, 2028, 2029, FDD0, FDD1, U+10028
        QTest::newRow("breaking and odd characters kept, in their line") << kept << QByteArray() << 2;
        // A text goes into the document a MiB at a time; no cut may split a character or a CR LF.
        const QByteArray mib(1 << 20, 'a');
        QTest::newRow("Greek letter across the MiB mark") << mib.left(mib.size() - 1) + "Σ\r\nb" << QByteArray() << 2;
        QTest::newRow("CR LF across the MiB mark") << mib.left(mib.size() - 1) + "\r\nb" << QByteArray() << 2;
        QTest::newRow("CR LF before the MiB mark") << "a\r\n" + mib << QByteArray() << 2;
    }
    void panelTextKept()
    {
        QFETCH(QByteArray, panel);
        QFETCH(QByteArray, back);
        QPlainTextEdit widget;
        WidgetFields fields;
        fields.bindPanel(FieldId::File1, &widget);
        fields.setText(FieldId::File1, panel.toStdString());
        if (panel.size() < 1000) QVERIFY(!widget.grab().isNull());  // the stand-ins drawn
        QVERIFY(QByteArray::fromStdString(fields.text(FieldId::File1)) == (back.isEmpty() ? panel : back));
        QTEST(widget.document()->blockCount(), "lines");
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

    // A batch whose output reaches panel 2 in several pieces (40,000 lines, 1.3 MB) shows every line
    // after what the panel held, and one undo takes the whole output of the last batch back.
    void largeBatchIsOneUndoStep()
    {
        Window h;
        std::string list;
        for (int i = 0; i < 40000; ++i) list += "P, 1000, 2000, 5\r\n";
        h.w.findChild<QPlainTextEdit*>(QStringLiteral("txtFile1"))->setPlainText(QString::fromStdString(list));
        auto* panel2 = h.w.findChild<QPlainTextEdit*>(QStringLiteral("txtFile2"));
        panel2->setPlainText(QStringLiteral("kept\n"));
        std::string want = "kept\r\n";
        for (int i = 0; i < 40000; ++i) want += "P, -7429.270, 13107.462, 5.000\r\n";
        h.click("cmdAll");
        h.click("cmdAll");
        panel2->undo();
        WidgetFields fields;
        fields.bindPanel(FieldId::File2, panel2);
        QVERIFY(fields.text(FieldId::File2) == want);
    }

    // A code holding a character the text document would change (U+00A0 into a space) or break a
    // line at (U+2028, U+2029, U+FDD0) reaches the saved files and the batch's lines byte for byte
    // and splits no record. Digits: the worked example (1000, 2000) and the old sheet's centre.
    void codeKeptBySaveAndBatch_data()
    {
        QTest::addColumn<QByteArray>("code");   // UTF-8, in the opened list
        QTest::addColumn<QByteArray>("saved");  // in the saved files
        QTest::newRow("no-break space, saved in Windows-1253") << QByteArray("P\xC2\xA0" "1") << QByteArray("P\xA0" "1");
        for (const char* c : {"P\xE2\x80\xA8" "1", "P\xE2\x80\xA9" "1", "P\xEF\xB7\x90" "1"})
            QTest::addRow("U+%04X, saved in UTF-8", QString::fromUtf8(c).at(1).unicode()) << QByteArray(c) << QByteArray(c);
    }
    void codeKeptBySaveAndBatch()
    {
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, saved);
        Window h;
        const QString list = h.temp.filePath("list.seq"), one = h.temp.filePath("1.txt"), two = h.temp.filePath("2.txt");
        QVERIFY(writeFile(list, code + ", 1000, 2000, 5\r\nB, 0, 0, 1\r\n"));
        h.dialogs.fileAnswers = {list.toStdString(), one.toStdString(), two.toStdString()};
        for (const char* button : {"cmdOp1", "cmdSav1", "cmdAll", "cmdSav2"}) h.click(button);
        QCOMPARE(readFile(one), saved + ", 1000.000, 2000.000, 5.000\r\nB, 0.000, 0.000, 1.000\r\n");
        QCOMPARE(readFile(two), saved + ", -7429.270, 13107.462, 5.000\r\nB, -8431.552, 11108.603, 1.000\r\n");
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
        QPointer<AboutWindow> about = h.w.findChild<AboutWindow*>();
        // The main window moved while it is open, and chosen again: still one, centred anew, modeless.
        h.w.move(140, 90);
        h.about();
        QTRY_VERIFY((about->frameGeometry().center() - h.w.frameGeometry().center()).manhattanLength() <= 1);
        QVERIFY(h.w.findChildren<AboutWindow*>().size() == 1 && !about->isModal());
        QVERIFY(QTest::qWaitForWindowActive(about.data()));
        // Its look: a black one-pixel border, Shape1's light green outline within it, the light blue ground.
        const QImage look = about->grab().toImage();
        const QColor green(192, 255, 192);
        QCOMPARE(look.pixelColor(150, 0), QColor(Qt::black));
        QCOMPARE(look.pixelColor(150, 3), green);    // the outline's inner edge at the top
        QCOMPARE(look.pixelColor(150, 198), green);  // and its outer edge at the bottom
        QCOMPARE(look.pixelColor(10, 100), QColor(192, 192, 255));
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

    // A batch may append a million lines (40 MB) one by one; grouped a hundred to a paragraph, they come back
    // unchanged and edit as lines.
    void millionLinesKept()
    {
        QPlainTextEdit panel(QStringLiteral("typed"));
        panel.show();
        WidgetFields fields;
        fields.bindPanel(FieldId::File2, &panel);
        std::string all = "typed";
        for (int i = 0; i < 1000000; ++i) {
            const std::string line = std::to_string(i) + ", -7429.270, 13107.462, 123.456\r\n";
            fields.appendText(FieldId::File2, line);
            all += line;
        }
        QVERIFY(fields.text(FieldId::File2) == all);
        QVERIFY(panel.blockCount() <= 1 + 1000000 / 100);  // a hundred lines to a paragraph
        panel.moveCursor(QTextCursor::End);
        QTest::keyClicks(&panel, QStringLiteral("Z, 1, 2, 3"));
        QVERIFY(fields.text(FieldId::File2) == all + "Z, 1, 2, 3");
        fields.appendText(FieldId::File2, "lost\r\n");  // a new text replaces what was not yet shown
        fields.setText(FieldId::File2, "");
        QCOMPARE(fields.text(FieldId::File2), std::string());
    }

    // Qt's own boxes and file dialogs, answered by a key or a click from inside their modal loops.
    void qtDialogsAnswer_data()
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
    void qtDialogsAnswer()
    {
        QFETCH(QString, ask);
        QFETCH(QString, answer);
        QTemporaryDir temp;
        QtDialogs dialogs(nullptr);
        QString chosen;
        int titleRoom = -1;  // a message's width beyond its title: a window manager cuts a title with too little
        whenModal([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                QFont bold = box->font();
                bold.setBold(true);
                titleRoom = box->width() - QFontMetrics(bold).horizontalAdvance(box->windowTitle());
            }
            if (auto* files = qobject_cast<QFileDialog*>(modal); files && answer == "Enter")
                files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(temp.filePath("pts.txt"));
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
        if (dark) QApplication::setPalette(hattsheet::tools::darkPalette());
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
    // menus, the file dialog's columns and tool buttons; and the dialog's file sizes in the Greek way.
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
        if (auto* field = qobject_cast<QLineEdit*>(h.child(where))) menu.reset(field->createStandardContextMenu());
        if (auto* panel = qobject_cast<QPlainTextEdit*>(h.child(where))) menu.reset(panel->createStandardContextMenu());
        if (menu) {
            for (QAction* a : menu->actions()) if (!a->isSeparator()) texts << a->text();
        } else {
            QVERIFY(writeFile(h.temp.filePath("pts.txt"), QByteArray(1500, 'x')));
            QString size;
            whenModal([&](QWidget* dialog) {
                auto* tree = dialog->findChild<QTreeView*>();
                QAbstractItemModel* columns = tree->model();
                for (int c = 0; c < columns->columnCount(); ++c) texts << columns->headerData(c, Qt::Horizontal).toString();
                for (auto* b : dialog->findChildren<QToolButton*>()) if (!b->toolTip().isEmpty()) texts << b->toolTip();
                static_cast<QFileDialog*>(dialog)->setDirectory(h.temp.path());
                for (int wait = 0; wait < 250 && size.isEmpty(); ++wait) {
                    QTest::qWait(20);
                    size = columns->index(0, 1, tree->rootIndex()).data().toString();
                }
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            QtDialogs(&h.w).chooseSaveFile(msg::kSaveTitle, {{msg::kFilterTxt, "*.txt"}});
            QCOMPARE(size, QStringLiteral("1,46 KiB"));
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
