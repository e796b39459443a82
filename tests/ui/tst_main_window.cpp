// The main window as a whole: its layout and start state, the buttons wired
// to their operations (checked by the digits of the worked examples), the
// quit question and the About window.
#define QTEST_QPA_MOUSE_HANDLING

#include "messages.h"
#include "window_harness.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>

using hattsheet::conversion::MessageIcon;
using hattsheet::testing::ShownMessage;
using hattsheet::testing::WindowHarness;
using hattsheet::ui::AboutWindow;
namespace msg = hattsheet::conversion::msg;

class tst_MainWindow : public QObject {
    Q_OBJECT
private slots:
    void titleAndFixedSize();
    void geometryFromTwips_data();
    void geometryFromTwips();
    void startTexts();
    void captionsAndColours();
    void convertButtons_data();
    void convertButtons();
    void refusedCentreChangesNothing();
    void quit_data();
    void quit();
    void aboutCentredAfterMove();
    void aboutOpensOnceAndLeavesMainUsable();
    void aboutCloses_data();
    void aboutCloses();
};

static QAction* aboutEntry(const WindowHarness& h)
{
    return h.window->findChild<QAction*>(QStringLiteral("mnuabout"));
}

void tst_MainWindow::titleAndFixedSize()
{
    WindowHarness h;
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Αλλαγή Κέντρου Φύλλου Χάρτη στην προβολή HATT [Olvani 2006]"));
    QCOMPARE(aboutEntry(h)->text(), QStringLiteral("Πρόγραμμα"));
    // Client area 9780 × 8790 twips below the menu bar; not resizable.
    QCOMPARE(h.window->centralWidget()->size(), QSize(652, 586));
    QCOMPARE(h.window->size(), QSize(652, 586 + h.window->menuBar()->height()));
    QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
}

// Pixel rectangles worked out by hand from the layout table (twips / 15).
void tst_MainWindow::geometryFromTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("old frame") << "Frame1" << "client" << QRect(4, 0, 321, 57);
    QTest::newRow("geodetic frame") << "Frame3" << "client" << QRect(4, 56, 645, 41);
    QTest::newRow("> button in its frame") << "cmdOne" << "Frame1" << QRect(296, 24, 21, 17);
    QTest::newRow("λ field in its frame") << "txtl" << "Frame3" << QRect(508, 16, 129, 19);
    QTest::newRow("panel 2") << "txtFile2" << "client" << QRect(328, 120, 321, 429);
    QTest::newRow("save panel 2") << "cmdSav2" << "client" << QRect(544, 552, 105, 17);
    QTest::newRow("credits line") << "Label12" << "client" << QRect(4, 572, 645, 13);
}

void tst_MainWindow::geometryFromTwips()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, rect);
    WindowHarness h;
    QWidget* widget = h.child(name.toLatin1().constData());
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), rect);
}

void tst_MainWindow::startTexts()
{
    WindowHarness h;
    QStringList texts;
    for (const char* name : {"txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "txtX2",
                             "txtY2", "txtf", "txtm", "txtl", "txtFile1", "txtFile2"})
        texts << h.text(name);
    QCOMPARE(texts, (QStringList{"40.51", "-0.51", "40.45", "-0.45", "0.000", "0.000", "0.000", "0.000", "", "", "",
                                 "", ""}));
    QVERIFY(h.field("txtY2")->alignment() & Qt::AlignRight);
    QCOMPARE(h.panel("txtFile1")->toolTip(), QStringLiteral("Format αρχείου: Κωδικός, Χ, Υ, Η"));
    QCOMPARE(h.panel("txtFile2")->font().pointSizeF(), 9.0);
    QVERIFY(QFontInfo(h.panel("txtFile2")->font()).fixedPitch());
}

void tst_MainWindow::captionsAndColours()
{
    WindowHarness h;
    QCOMPARE(h.child<QGroupBox>("Frame3")->title(), QStringLiteral("Γεωδαιτικές συντεταγμένες"));
    QCOMPARE(h.child<QLabel>("Label5")->text(), QString(QChar(0x03A7)) + QStringLiteral(" ="));  // Greek Chi
    QCOMPARE(h.child<QLabel>("Label8")->text(), QString(QChar(0x03A5)) + QStringLiteral(" ="));  // Greek Upsilon
    const QColor green(192, 255, 192), yellow(255, 255, 192);
    QCOMPARE(h.child("Label11")->palette().color(QPalette::Window), green);
    QCOMPARE(h.child("Label4")->palette().color(QPalette::Window), yellow);
    QCOMPARE(h.child("txtFile1")->palette().color(QPalette::Base), green);
    QCOMPARE(h.child("txtFile2")->palette().color(QPalette::Base), yellow);
    QCOMPARE(h.child("Frame3")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // The blue of a frame caption must not reach the controls inside it.
    QCOMPARE(h.child("Label1")->palette().color(QPalette::WindowText),
             QApplication::palette().color(QPalette::WindowText));
    QCOMPARE(h.child("txtPhiOld")->palette().color(QPalette::Text), QApplication::palette().color(QPalette::Text));
}

// The worked examples of the single-point conversions, typed and clicked.
void tst_MainWindow::convertButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("inputs");    // field=text typed first
    QTest::addColumn<QStringList>("expected");  // field=text afterwards
    QTest::newRow("> of X1 1000, Y1 2000")
        << "cmdOne" << QStringList{"txtX1=1000", "txtY1=2000"}
        << QStringList{"txtX2=-7429.270", "txtY2=13107.462", "txtf=40° 52' 4.83982''",
                       "txtm=-0° 50' 17.29165''", "txtl=22° 52' 41.52335''"};
    QTest::newRow("> east of the Athens meridian")
        << "cmdOne"
        << QStringList{"txtPhiOld=38.15", "txtLamdaOld=1.45", "txtPhiNew=38.45", "txtLamdaNew=1.15",
                       "txtX1=-12345.678", "txtY1=9876.543"}
        << QStringList{"txtX2=31362.630", "txtY2=-45568.618", "txtm=1° 36' 31.57684''"};
    QTest::newRow("< of X2 1000, Y2 2000, display untouched")
        << "cmd2" << QStringList{"txtX2=1000", "txtY2=2000"}
        << QStringList{"txtX1=9441.934", "txtY1=-9097.840", "txtf="};
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
    QCOMPARE(h.text("txtX2") + h.text("txtf"), QStringLiteral("-8431.55240° 50' 60.00000''"));
    const std::vector<ShownMessage> want{{msg::kLatitude, msg::kTitleWarning, MessageIcon::Critical}};
    QCOMPARE(h.dialogs.messages, want);
}

// Every close request (close box, Alt+F4, the window manager, session end)
// reaches the window as a close event and asks first.
void tst_MainWindow::quit_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No keeps everything") << false;
    QTest::newRow("Yes closes the About window too") << true;
}

void tst_MainWindow::quit()
{
    QFETCH(bool, yes);
    WindowHarness h;
    QVERIFY(h.activate());
    h.field("txtX1")->setText(QStringLiteral("123"));
    h.panel("txtFile1")->setPlainText(QStringLiteral("a, 1, 2, 3"));
    aboutEntry(h)->trigger();
    QPointer<AboutWindow> about = h.window->aboutWindow();
    h.dialogs.yesNoAnswers = {yes};
    QCOMPARE(h.window->close(), yes);
    const std::vector<ShownMessage> want{{msg::kQuit, msg::kTitleQuit, MessageIcon::Question}};
    QCOMPARE(h.dialogs.messages, want);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(h.window->isVisible(), !yes);
    QCOMPARE(about.isNull(), yes);
    QCOMPARE(h.text("txtX1") + h.text("txtFile1"), QStringLiteral("123a, 1, 2, 3"));
}

void tst_MainWindow::aboutCentredAfterMove()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.window->move(140, 90);
    QTRY_COMPARE(h.window->frameGeometry().topLeft(), QPoint(140, 90));
    aboutEntry(h)->trigger();
    AboutWindow* about = h.window->aboutWindow();
    QCOMPARE(about->size(), QSize(304, 200));  // 4560 × 3000 twips
    const QRect outer = h.window->frameGeometry();
    const QPoint want(outer.left() + (outer.width() - 304) / 2, outer.top() + (outer.height() - 200) / 2);
    QTRY_COMPARE(about->frameGeometry().topLeft(), want);
    // Moved again while it is open: the next choice centres it anew.
    h.window->move(20, 30);
    QTRY_COMPARE(h.window->frameGeometry().topLeft(), QPoint(20, 30));
    aboutEntry(h)->trigger();
    QTRY_COMPARE(about->frameGeometry().topLeft(), want - QPoint(120, 60));
}

void tst_MainWindow::aboutOpensOnceAndLeavesMainUsable()
{
    WindowHarness h;
    QVERIFY(h.activate());
    aboutEntry(h)->trigger();
    QPointer<AboutWindow> first = h.window->aboutWindow();
    aboutEntry(h)->trigger();
    QCOMPARE(h.window->findChildren<AboutWindow*>().size(), 1);
    QVERIFY(first && (first->windowFlags() & Qt::FramelessWindowHint) && !first->isModal());
    QVERIFY(QTest::qWaitForWindowActive(first.data()));
    h.field("txtX1")->setText(QStringLiteral("1000"));
    h.field("txtY1")->setText(QStringLiteral("2000"));
    h.click("cmdOne");
    QCOMPARE(h.text("txtX2"), QStringLiteral("-7429.270"));
    QVERIFY(first->isVisible());
    // Closed, it is discarded; the next choice builds a new one.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());
    aboutEntry(h)->trigger();
    QCOMPARE(h.window->findChildren<AboutWindow*>().size(), 1);
}

void tst_MainWindow::aboutCloses_data()
{
    QTest::addColumn<QString>("where");  // a child, or "" for the background
    QTest::addColumn<bool>("closes");
    QTest::newRow("its Χ button") << "Command1" << true;
    QTest::newRow("the background between the lines") << "" << true;
    QTest::newRow("the name label") << "Label3" << false;
    QTest::newRow("a title line") << "Label1" << false;
}

void tst_MainWindow::aboutCloses()
{
    QFETCH(QString, where);
    QFETCH(bool, closes);
    WindowHarness h;
    QVERIFY(h.activate());
    aboutEntry(h)->trigger();
    QPointer<AboutWindow> about = h.window->aboutWindow();
    QVERIFY(QTest::qWaitForWindowActive(about.data()));
    if (where.isEmpty()) {
        // Between Label8 (ends at 1095 twips) and Label2 (starts at 1260): pixel row 78.
        QVERIFY(about->childAt(QPoint(20, 78)) == nullptr);
        QTest::mouseClick(about.data(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 78));
    } else {
        QTest::mouseClick(about->findChild<QWidget*>(where), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(about.isNull(), closes);
    QVERIFY(h.window->isVisible());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_main_window.moc"
