// The eight input fields on the real window: the focus order, Enter as Tab,
// select-all on entering, and the numeric test that keeps the focus in a
// field without a number. Mouse clicks go through the window system layer
// (QTEST_QPA_MOUSE_HANDLING), so a click gives the focus the way a user's does.
#define QTEST_QPA_MOUSE_HANDLING

#include "field_guard.h"
#include "window_harness.h"

#include <QAction>
#include <QLocale>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using hattsheet::testing::WindowHarness;
using hattsheet::ui::testNumeric;

class tst_FieldBehaviour : public QObject {
    Q_OBJECT
private slots:
    void testNumericText_data();
    void testNumericText();
    void testNumericIgnoresLocale();

    void focusStartsInPanel1();
    void tabGoesAroundTheRing();
    void backtabGoesBackwards();
    void enterMovesOn_data();
    void enterMovesOn();
    void enterOnButtonPressesIt();
    void enterInDisplayFieldStays_data();
    void enterInDisplayFieldStays();
    void enterInPanelAddsLine();
    void entrySelectsWholeText_data();
    void entrySelectsWholeText();
    void leavingIsTested_data();
    void leavingIsTested();
    void refusedFieldKeepsTextSelected();
    void twoFailingFieldsDoNotBounce();
    void refusedClickDoesNotRunButton();
    void clickRunsOnceFieldIsMended();
    void deactivationDoesNotTest();
    void aboutWindowDoesNotTest();
    void menuBarKeyboardDoesNotTest();
};

// What a user may leave a field with: hand-made from the rule "one number,
// spaces around it, '.' the only decimal point".
void tst_FieldBehaviour::testNumericText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("default centre") << "40.51" << true;
    QTest::newRow("negative centre") << "-0.51" << true;
    QTest::newRow("spaces around a number") << " 12.5 " << true;
    QTest::newRow("leading plus") << "+3" << true;
    QTest::newRow("point first") << ".5" << true;
    QTest::newRow("point last") << "5." << true;
    QTest::newRow("exponent") << "1E3" << true;
    QTest::newRow("small exponent with sign") << "2.5e-3" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("spaces only") << "   " << false;
    QTest::newRow("trailing letter") << "12a" << false;
    QTest::newRow("decimal comma") << "1,5" << false;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("inner space") << "12 5" << false;
    QTest::newRow("sign alone") << "-" << false;
    QTest::newRow("exponent without digits") << "1E" << false;
    QTest::newRow("beyond a double") << "1E999" << false;
    QTest::newRow("infinity word") << "inf" << false;
    QTest::newRow("not a number word") << "nan" << false;
    QTest::newRow("hexadecimal") << "0x10" << false;
    QTest::newRow("Greek text") << "σαράντα" << false;
}

void tst_FieldBehaviour::testNumericText()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(testNumeric(text), numeric);
}

// Under a locale whose decimal mark is the comma the test still reads "." only,
// as the conversions do.
void tst_FieldBehaviour::testNumericIgnoresLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    const bool point = testNumeric(QStringLiteral("1.5"));
    const bool comma = testNumeric(QStringLiteral("1,5"));
    QLocale::setDefault(before);
    QVERIFY(point);
    QVERIFY(!comma);
}

void tst_FieldBehaviour::focusStartsInPanel1()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtFile1"));
}

static const QStringList kRing = {
    "txtFile1", "txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2",
    "cmdAll", "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne",
    "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl",
};

void tst_FieldBehaviour::tabGoesAroundTheRing()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QStringList visited{WindowHarness::focusName()};
    for (int i = 0; i < kRing.size(); ++i) {
        WindowHarness::press(Qt::Key_Tab);
        visited << WindowHarness::focusName();
    }
    QCOMPARE(visited, kRing + QStringList{"txtFile1"});
}

void tst_FieldBehaviour::backtabGoesBackwards()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QStringList visited;
    for (int i = 0; i < kRing.size(); ++i) {
        WindowHarness::press(Qt::Key_Backtab);
        visited.prepend(WindowHarness::focusName());
    }
    QCOMPARE(visited, kRing);
}

// The Enter paths of the two frames; Enter in txtLamdaOld crosses to the
// other frame, in the focus order, not to txtX1.
void tst_FieldBehaviour::enterMovesOn_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("key");
    QTest::newRow("old φ to old Δλ") << "txtPhiOld" << "txtLamdaOld" << int(Qt::Key_Return);
    QTest::newRow("old Δλ to new φ, not to X1") << "txtLamdaOld" << "txtPhiNew" << int(Qt::Key_Return);
    QTest::newRow("new φ to new Δλ") << "txtPhiNew" << "txtLamdaNew" << int(Qt::Key_Return);
    QTest::newRow("new Δλ to X1") << "txtLamdaNew" << "txtX1" << int(Qt::Key_Return);
    QTest::newRow("X1 to Y1") << "txtX1" << "txtY1" << int(Qt::Key_Return);
    QTest::newRow("Y1 to the > button") << "txtY1" << "cmdOne" << int(Qt::Key_Return);
    QTest::newRow("X2 to Y2") << "txtX2" << "txtY2" << int(Qt::Key_Return);
    QTest::newRow("Y2 to the < button") << "txtY2" << "cmd2" << int(Qt::Key_Return);
    QTest::newRow("keypad Enter as well") << "txtX1" << "txtY1" << int(Qt::Key_Enter);
}

void tst_FieldBehaviour::enterMovesOn()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, key);
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* start = h.field(from.toLatin1().constData());
    const QString before = start->text();
    start->setFocus(Qt::OtherFocusReason);
    WindowHarness::press(Qt::Key(key));
    QCOMPARE(WindowHarness::focusName(), to);
    QCOMPARE(start->text(), before);  // swallowed: no character reached the field
    QVERIFY(h.dialogs.messages.empty());
}

// The Enter path ends on ">"; one more Enter converts.
void tst_FieldBehaviour::enterOnButtonPressesIt()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.field("txtY1")->setFocus(Qt::OtherFocusReason);
    WindowHarness::press(Qt::Key_Return);
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("cmdOne"));
    WindowHarness::press(Qt::Key_Return);
    QCOMPARE(h.text("txtX2"), QStringLiteral("-8431.552"));
}

void tst_FieldBehaviour::enterInDisplayFieldStays_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("latitude display") << "txtf";
    QTest::newRow("Athens longitude display") << "txtm";
    QTest::newRow("Greenwich longitude display") << "txtl";
}

void tst_FieldBehaviour::enterInDisplayFieldStays()
{
    QFETCH(QString, name);
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* field = h.field(name.toLatin1().constData());
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, QStringLiteral("abc"));
    WindowHarness::press(Qt::Key_Return);
    QCOMPARE(WindowHarness::focusName(), name);
    QCOMPARE(field->text(), QStringLiteral("abc"));
}

void tst_FieldBehaviour::enterInPanelAddsLine()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1,2,3,4"));
    WindowHarness::press(Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5,6,7,8"));
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtFile1"));
    QCOMPARE(h.text("txtFile1"), QStringLiteral("1,2,3,4\n5,6,7,8"));
}

// Each way into a field selects its whole text, so the next key replaces it.
void tst_FieldBehaviour::entrySelectsWholeText_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("by Tab") << "tab";
    QTest::newRow("by Backtab") << "backtab";
    QTest::newRow("by Enter from the previous field") << "enter";
    QTest::newRow("by a mouse click in its middle") << "mouse";
}

void tst_FieldBehaviour::entrySelectsWholeText()
{
    QFETCH(QString, how);
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* target = h.field("txtLamdaOld");
    if (how == "tab" || how == "enter") {
        h.field("txtPhiOld")->setFocus(Qt::OtherFocusReason);
        WindowHarness::press(how == "tab" ? Qt::Key_Tab : Qt::Key_Return);
    } else if (how == "backtab") {
        h.field("txtPhiNew")->setFocus(Qt::OtherFocusReason);
        WindowHarness::press(Qt::Key_Backtab);
    } else {
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
    }
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtLamdaOld"));
    QCOMPARE(target->selectedText(), QStringLiteral("-0.51"));
    QTest::keyClicks(target, QStringLiteral("1.05"));
    QCOMPARE(target->text(), QStringLiteral("1.05"));
}

// Leaving txtX1 towards txtY1, by Tab, by Enter and by a click.
void tst_FieldBehaviour::leavingIsTested_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("leaves");
    for (const char* how : {"tab", "enter", "mouse"}) {
        QTest::addRow("12a kept, %s", how) << "12a" << how << false;
        QTest::addRow("spaced 12.5 released, %s", how) << " 12.5 " << how << true;
        QTest::addRow("empty kept, %s", how) << "" << how << false;
        QTest::addRow("decimal comma kept, %s", how) << "1000,5" << how << false;
    }
}

void tst_FieldBehaviour::leavingIsTested()
{
    QFETCH(QString, text);
    QFETCH(QString, how);
    QFETCH(bool, leaves);
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(x1, Qt::Key_Delete);
    } else {
        QTest::keyClicks(x1, text);
    }
    QCOMPARE(x1->text(), text);
    if (how == "tab") WindowHarness::press(Qt::Key_Tab);
    if (how == "enter") WindowHarness::press(Qt::Key_Return);
    if (how == "mouse") QTest::mouseClick(h.field("txtY1"), Qt::LeftButton);
    QCOMPARE(WindowHarness::focusName(), leaves ? QStringLiteral("txtY1") : QStringLiteral("txtX1"));
    QCOMPARE(x1->text(), text);  // neither restored nor changed
    QVERIFY(h.dialogs.messages.empty());  // and no message
}

void tst_FieldBehaviour::refusedFieldKeepsTextSelected()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* phi = h.field("txtPhiOld");
    phi->setFocus(Qt::OtherFocusReason);
    phi->setText(QStringLiteral("40.5x"));
    phi->setCursorPosition(2);
    QTest::mouseClick(h.panel("txtFile2")->viewport(), Qt::LeftButton);
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtPhiOld"));
    QCOMPARE(phi->selectedText(), QStringLiteral("40.5x"));
    QVERIFY(phi->hasFocus());
}

// Fault: two fields without a number could hand the focus to each other for ever.
void tst_FieldBehaviour::twoFailingFieldsDoNotBounce()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    QLineEdit* y1 = h.field("txtY1");
    y1->setText(QString());
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(QString());
    QSignalSpy changes(qApp, &QApplication::focusChanged);
    QTest::mouseClick(y1, Qt::LeftButton);
    WindowHarness::press(Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
    QVERIFY2(changes.size() < 10, qPrintable(QString::number(changes.size())));
    // Mending the first lets the focus go to the second, which then holds it.
    QTest::keyClicks(x1, QStringLiteral("5"));
    QTest::mouseClick(y1, Qt::LeftButton);
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtY1"));
    QTest::mouseClick(x1, Qt::LeftButton);
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtY1"));
}

// Fault: the click that the numeric test refuses could still run its button.
void tst_FieldBehaviour::refusedClickDoesNotRunButton()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(QStringLiteral("1000m"));
    QSignalSpy clicked(h.child<QPushButton>("cmdOne"), &QPushButton::clicked);
    h.click("cmdOne");
    QCOMPARE(clicked.size(), 0);
    QCOMPARE(h.text("txtX2"), QStringLiteral("0.000"));
    QCOMPARE(h.text("txtf"), QString());
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
}

void tst_FieldBehaviour::clickRunsOnceFieldIsMended()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(QStringLiteral("1000m"));
    h.click("cmdOne");
    QTest::keyClick(x1, Qt::Key_End);
    QTest::keyClick(x1, Qt::Key_Backspace);
    h.field("txtY1")->setText(QStringLiteral("2000"));
    h.click("cmdOne");
    QCOMPARE(h.text("txtX2"), QStringLiteral("-7429.270"));
    QCOMPARE(h.text("txtY2"), QStringLiteral("13107.462"));
}

// Fault: testing on window deactivation would pull the focus back from a
// message box, a file dialog or another program.
void tst_FieldBehaviour::deactivationDoesNotTest()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(QStringLiteral("abc"));
    QWidget other;
    other.setObjectName(QStringLiteral("otherWindow"));
    auto* button = new QPushButton(QStringLiteral("ok"), &other);
    button->setObjectName(QStringLiteral("otherButton"));
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    button->setFocus();
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("otherButton"));
    other.hide();
    h.window->activateWindow();
    QVERIFY(h.activate());
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
    QCOMPARE(x1->text(), QStringLiteral("abc"));
}

// Opening the About window from the menu while a field holds no number
// leaves the About window open and the field as it was.
void tst_FieldBehaviour::aboutWindowDoesNotTest()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* y2 = h.field("txtY2");
    y2->setFocus(Qt::OtherFocusReason);
    y2->setText(QStringLiteral("-"));
    h.window->findChild<QAction*>(QStringLiteral("mnuabout"))->trigger();
    QVERIFY(h.window->aboutWindow() != nullptr);
    QTRY_COMPARE(WindowHarness::focusName(), QStringLiteral("Command1"));
    QCOMPARE(h.window->focusWidget(), y2);
    QCOMPARE(y2->text(), QStringLiteral("-"));
}

// Alt lends the keyboard to the menu bar for a moment; that is no move to
// another control, so a field without a number does not take it back.
void tst_FieldBehaviour::menuBarKeyboardDoesNotTest()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(QStringLiteral("abc"));
    WindowHarness::press(Qt::Key_Alt);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.window->menuBar()));
    WindowHarness::press(Qt::Key_Escape);
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
    QCOMPARE(x1->text(), QStringLiteral("abc"));
}

QTEST_MAIN(tst_FieldBehaviour)
#include "tst_field_behaviour.moc"
