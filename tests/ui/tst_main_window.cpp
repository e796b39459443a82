// The main window as a whole: its layout and start state, the buttons wired
// to their operations (checked by the digits of the worked examples), the
// quit question and the About window.
#define QTEST_QPA_MOUSE_HANDLING

#include "about_window.h"
#include "messages.h"
#include "window_harness.h"

#include <QAction>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTest>

using hattsheet::conversion::MessageIcon;
using hattsheet::testing::ShownMessage;
using hattsheet::testing::WindowHarness;
namespace msg = hattsheet::conversion::msg;

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void titleAndFixedSize();
    void geometryFromTwips_data();
    void geometryFromTwips();
    void startTexts_data();
    void startTexts();
    void captionsAndColours();
    void panelsLookAndWrap();

    void convertButtons_data();
    void convertButtons();
    void refusedCentreChangesNothing();
    void clearButtonsEmptyTheirPanel();

    void quitNoKeepsEverything();
    void quitYesClosesAboutToo();

    void aboutCentredAfterMove();
    void aboutOpensOnce();
    void aboutLeavesMainUsable();
    void aboutCloses_data();
    void aboutCloses();
};

void tst_MainWindow::titleAndFixedSize()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]"));
    QCOMPARE(h.window->objectName(), QStringLiteral("frmMyHatt"));
    // Client area 9780 × 8790 twips below the menu bar; not resizable.
    QCOMPARE(h.window->centralWidget()->size(), QSize(652, 586));
    QCOMPARE(h.window->size(), QSize(652, 586 + h.window->menuBar()->height()));
    QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
    h.window->resize(900, 900);
    QCoreApplication::processEvents();
    QCOMPARE(h.window->centralWidget()->size(), QSize(652, 586));
    QCOMPARE(h.child("cmdSav2")->geometry(), QRect(544, 552, 105, 17));
}

// Pixel rectangles worked out by hand from the layout table (twips / 15).
void tst_MainWindow::geometryFromTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("old frame") << "Frame1" << "client" << QRect(4, 0, 321, 57);
    QTest::newRow("new frame") << "Frame2" << "client" << QRect(328, 0, 321, 57);
    QTest::newRow("geodetic frame") << "Frame3" << "client" << QRect(4, 56, 645, 41);
    QTest::newRow("old φ field") << "txtPhiOld" << "Frame1" << QRect(60, 12, 69, 19);
    QTest::newRow("new Y field") << "txtY2" << "Frame2" << QRect(208, 32, 85, 19);
    QTest::newRow("> button") << "cmdOne" << "Frame1" << QRect(296, 24, 21, 17);
    QTest::newRow("Greenwich λ field") << "txtl" << "Frame3" << QRect(508, 16, 129, 19);
    QTest::newRow("Athens Δλ field") << "txtm" << "Frame3" << QRect(276, 16, 121, 19);
    QTest::newRow("batch button") << "cmdAll" << "client" << QRect(4, 100, 645, 17);
    QTest::newRow("panel 1") << "txtFile1" << "client" << QRect(4, 120, 321, 429);
    QTest::newRow("panel 2") << "txtFile2" << "client" << QRect(328, 120, 321, 429);
    QTest::newRow("clear panel 2") << "cmdEr2" << "client" << QRect(436, 552, 105, 17);
    QTest::newRow("credits line") << "Label12" << "client" << QRect(4, 572, 645, 13);
    QTest::newRow("Χ label of the new frame") << "Label7" << "Frame2" << QRect(184, 12, 21, 17);
}

void tst_MainWindow::geometryFromTwips()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, rect);
    WindowHarness h;
    QWidget* widget = h.child(name.toLatin1().constData());
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), rect);
}

void tst_MainWindow::startTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("old φ") << "txtPhiOld" << "40.51";
    QTest::newRow("old Δλ") << "txtLamdaOld" << "-0.51";
    QTest::newRow("new φ") << "txtPhiNew" << "40.45";
    QTest::newRow("new Δλ") << "txtLamdaNew" << "-0.45";
    for (const char* name : {"txtX1", "txtY1", "txtX2", "txtY2"}) QTest::addRow("%s", name) << name << "0.000";
    for (const char* name : {"txtf", "txtm", "txtl", "txtFile1", "txtFile2"})
        QTest::addRow("%s empty", name) << name << "";
}

void tst_MainWindow::startTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    WindowHarness h;
    QCOMPARE(h.text(name.toLatin1().constData()), text);
    if (QLineEdit* field = h.field(name.toLatin1().constData())) {
        QVERIFY(field->alignment() & Qt::AlignRight);
    }
}

void tst_MainWindow::captionsAndColours()
{
    WindowHarness h;
    const auto caption = [&](const char* name) {
        if (auto* frame = h.child<QGroupBox>(name)) return frame->title();
        if (auto* label = h.child<QLabel>(name)) return label->text();
        return h.child<QPushButton>(name)->text();
    };
    QCOMPARE(caption("Frame1"), QStringLiteral("Από Κ.Φ."));
    QCOMPARE(caption("Frame2"), QStringLiteral("Σε Κ.Φ."));
    QCOMPARE(caption("Frame3"), QStringLiteral("Γεωδαιτικές συντεταγμένες"));
    QCOMPARE(caption("Label5"), QString(QChar(0x03A7)) + QStringLiteral(" ="));  // Greek Chi
    QCOMPARE(caption("Label8"), QString(QChar(0x03A5)) + QStringLiteral(" ="));  // Greek Upsilon
    QCOMPARE(caption("Label10"), QStringLiteral("Δλ"));
    QCOMPARE(caption("cmdAll"), QStringLiteral("Μετατροπή ομάδας σημείων"));
    QCOMPARE(caption("cmdEr1"), QStringLiteral("Απαλοιφή"));
    QCOMPARE(caption("cmdSav2"), QStringLiteral("Αποθήκευση"));
    QCOMPARE(h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->text(), QStringLiteral("Πρόγραμμα"));

    const QColor green(192, 255, 192), yellow(255, 255, 192);
    QCOMPARE(h.child("Label1")->palette().color(QPalette::Window), green);
    QCOMPARE(h.child("Label11")->palette().color(QPalette::Window), green);
    QCOMPARE(h.child("Label4")->palette().color(QPalette::Window), yellow);
    QCOMPARE(h.child("txtFile1")->palette().color(QPalette::Base), green);
    QCOMPARE(h.child("txtFile2")->palette().color(QPalette::Base), yellow);
    QCOMPARE(h.child("Frame3")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // The blue of a frame caption must not reach the controls inside it.
    QCOMPARE(h.child("Label1")->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
    QCOMPARE(h.child("txtPhiOld")->palette().color(QPalette::Text), QApplication::palette().color(QPalette::Text));
    QCOMPARE(h.child("Label12")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(h.child<QLabel>("Label12")->text().contains(QStringLiteral("hattsheet")));
    QVERIFY(h.child<QLabel>("Label12")->text().contains(QStringLiteral("MIT")));
}

void tst_MainWindow::panelsLookAndWrap()
{
    WindowHarness h;
    for (const char* name : {"txtFile1", "txtFile2"}) {
        QPlainTextEdit* panel = h.panel(name);
        QCOMPARE(panel->toolTip(), QStringLiteral("Format αρχείου: Κωδικός, Χ, Υ, Η"));
        QCOMPARE(panel->font().pointSizeF(), 9.0);
        QVERIFY(QFontInfo(panel->font()).fixedPitch());
        QCOMPARE(panel->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(panel->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }
}

// The worked examples of the single-point conversions, through the buttons.
void tst_MainWindow::convertButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("inputs");   // name=text pairs typed first
    QTest::addColumn<QStringList>("expected");  // name=text pairs afterwards
    QTest::newRow("> with the default fields")
        << "cmdOne" << QStringList{}
        << QStringList{"txtX2=-8431.552", "txtY2=11108.603", "txtf=40° 50' 60.00000''",
                       "txtm=-0° 51' 0.00000''", "txtl=22° 51' 58.81500''"};
    QTest::newRow("> of X1 1000, Y1 2000")
        << "cmdOne" << QStringList{"txtX1=1000", "txtY1=2000"}
        << QStringList{"txtX2=-7429.270", "txtY2=13107.462", "txtf=40° 52' 4.83982''",
                       "txtm=-0° 50' 17.29165''", "txtl=22° 52' 41.52335''"};
    QTest::newRow("> east of the Athens meridian")
        << "cmdOne"
        << QStringList{"txtPhiOld=38.15", "txtLamdaOld=1.45", "txtPhiNew=38.45", "txtLamdaNew=1.15",
                       "txtX1=-12345.678", "txtY1=9876.543"}
        << QStringList{"txtX2=31362.630", "txtY2=-45568.618", "txtf=38° 20' 20.04305''",
                       "txtm=1° 36' 31.57684''", "txtl=25° 19' 30.39184''"};
    QTest::newRow("< with the default fields")
        << "cmd2" << QStringList{} << QStringList{"txtX1=8444.215", "txtY1=-11098.981", "txtf="};
    QTest::newRow("< of X2 1000, Y2 2000")
        << "cmd2" << QStringList{"txtX2=1000", "txtY2=2000"} << QStringList{"txtX1=9441.934", "txtY1=-9097.840"};
    QTest::newRow("< back from the > example")
        << "cmd2" << QStringList{"txtX2=-7429.270", "txtY2=13107.462"}
        << QStringList{"txtX1=1000.000", "txtY1=1999.999"};
}

void tst_MainWindow::convertButtons()
{
    QFETCH(QString, button);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, expected);
    WindowHarness h;
    QVERIFY(h.activate());
    for (const QString& input : inputs) {
        const QStringList pair = input.split(QLatin1Char('='));
        QLineEdit* field = h.field(pair[0].toLatin1().constData());
        QTest::mouseClick(field, Qt::LeftButton);  // entering selects all: typing replaces
        QTest::keyClicks(field, pair[1]);
    }
    h.click(button.toLatin1().constData());
    for (const QString& want : expected) {
        const QStringList pair = want.split(QLatin1Char('='));
        QCOMPARE(h.text(pair[0].toLatin1().constData()), pair[1]);
    }
    QVERIFY(h.dialogs.messages.empty());
}

void tst_MainWindow::refusedCentreChangesNothing()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.click("cmdOne");
    h.field("txtPhiNew")->setText(QStringLiteral("43.00"));
    h.field("txtX1")->setText(QStringLiteral("1000"));
    h.click("cmdOne");
    QCOMPARE(h.text("txtX2"), QStringLiteral("-8431.552"));
    QCOMPARE(h.text("txtf"), QStringLiteral("40° 50' 60.00000''"));
    const std::vector<ShownMessage> want{{msg::kLatitude, msg::kTitleWarning, MessageIcon::Critical}};
    QCOMPARE(h.dialogs.messages, want);
}

void tst_MainWindow::clearButtonsEmptyTheirPanel()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.panel("txtFile1")->setPlainText(QStringLiteral("1, 2, 3, 4"));
    h.panel("txtFile2")->setPlainText(QStringLiteral("5, 6, 7, 8"));
    h.click("cmdEr2");
    QCOMPARE(h.text("txtFile1"), QStringLiteral("1, 2, 3, 4"));
    QCOMPARE(h.text("txtFile2"), QString());
    h.click("cmdEr1");
    QCOMPARE(h.text("txtFile1"), QString());
    QVERIFY(h.dialogs.messages.empty());  // clearing never asks
}

void tst_MainWindow::quitNoKeepsEverything()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.field("txtX1")->setText(QStringLiteral("123"));
    h.panel("txtFile1")->setPlainText(QStringLiteral("a, 1, 2, 3"));
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    QPointer<hattsheet::ui::AboutWindow> about = h.window->aboutWindow();
    h.dialogs.yesNoAnswers = {false};
    QVERIFY(!h.window->close());
    const std::vector<ShownMessage> want{{msg::kQuit, msg::kTitleQuit, MessageIcon::Question}};
    QCOMPARE(h.dialogs.messages, want);
    QVERIFY(h.window->isVisible());
    QVERIFY(about && about->isVisible());
    QCOMPARE(h.text("txtX1"), QStringLiteral("123"));
    QCOMPARE(h.text("txtFile1"), QStringLiteral("a, 1, 2, 3"));
}

// Every close request asks, whatever its source; Yes closes the About window too.
void tst_MainWindow::quitYesClosesAboutToo()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    QPointer<hattsheet::ui::AboutWindow> about = h.window->aboutWindow();
    QVERIFY(about);
    h.dialogs.yesNoAnswers = {true};
    // Every request (close box, Alt+F4, the window manager, session end)
    // reaches the window as one close event.
    QVERIFY(h.window->close());
    const std::vector<ShownMessage> want{{msg::kQuit, msg::kTitleQuit, MessageIcon::Question}};
    QCOMPARE(h.dialogs.messages, want);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(about.isNull());  // closed and discarded
    QVERIFY(!h.window->isVisible());
}

void tst_MainWindow::aboutCentredAfterMove()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.window->move(140, 90);
    QTRY_COMPARE(h.window->frameGeometry().topLeft(), QPoint(140, 90));
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    hattsheet::ui::AboutWindow* about = h.window->aboutWindow();
    QCOMPARE(about->size(), QSize(304, 200));  // 4560 × 3000 twips
    const QRect outer = h.window->frameGeometry();
    const QPoint wantTopLeft(outer.left() + (outer.width() - 304) / 2, outer.top() + (outer.height() - 200) / 2);
    QTRY_COMPARE(about->frameGeometry().topLeft(), wantTopLeft);
    // Moved again while open: the next choice centres it anew.
    h.window->move(20, 30);
    QTRY_COMPARE(h.window->frameGeometry().topLeft(), QPoint(20, 30));
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    const QRect moved = h.window->frameGeometry();
    QTRY_COMPARE(about->frameGeometry().center(), QPoint(moved.left() + (moved.width() - 304) / 2 + 151,
                                                         moved.top() + (moved.height() - 200) / 2 + 99));
}

void tst_MainWindow::aboutOpensOnce()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QAction* menu = h.window->findChild<QAction*>(QStringLiteral("mnuabout"));
    menu->trigger();
    QPointer<hattsheet::ui::AboutWindow> first = h.window->aboutWindow();
    menu->trigger();
    QCOMPARE(h.window->aboutWindow(), first.data());
    QCOMPARE(h.window->findChildren<hattsheet::ui::AboutWindow*>().size(), 1);
    QVERIFY(first->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!first->isModal());
    // Closed, it is discarded; the next choice builds a new one.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    menu->trigger();
    QVERIFY(h.window->aboutWindow() != nullptr);
    QCOMPARE(h.window->findChildren<hattsheet::ui::AboutWindow*>().size(), 1);
}

void tst_MainWindow::aboutLeavesMainUsable()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    QVERIFY(QTest::qWaitForWindowActive(h.window->aboutWindow()));
    h.field("txtX1")->setText(QStringLiteral("1000"));
    h.field("txtY1")->setText(QStringLiteral("2000"));
    h.click("cmdOne");
    QCOMPARE(h.text("txtX2"), QStringLiteral("-7429.270"));
    QVERIFY(h.window->aboutWindow()->isVisible());
}

void tst_MainWindow::aboutCloses_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("closes");
    QTest::newRow("its Χ button") << "Command1" << true;
    QTest::newRow("the background between the lines") << "background" << true;
    QTest::newRow("the name label") << "Label3" << false;
    QTest::newRow("a title line") << "Label1" << false;
}

void tst_MainWindow::aboutCloses()
{
    QFETCH(QString, where);
    QFETCH(bool, closes);
    WindowHarness h;
    QVERIFY(h.activate());
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    QPointer<hattsheet::ui::AboutWindow> about = h.window->aboutWindow();
    QVERIFY(QTest::qWaitForWindowActive(about.data()));
    QCOMPARE(about->findChild<QPushButton*>(QStringLiteral("Command1"))->text(), QString(QChar(0x03A7)));
    if (where == "background") {
        // Between Label8 (ends 1095 twips) and Label2 (starts 1260): pixel row 78.
        QVERIFY(about->childAt(QPoint(20, 78)) == nullptr);
        QTest::mouseClick(about.data(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 78));
    } else {
        QWidget* target = about->findChild<QWidget*>(where);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(about.isNull(), closes);
    QVERIFY(h.window->isVisible());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
