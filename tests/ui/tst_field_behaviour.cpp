// The eight input fields on the real window: the focus order, Enter as Tab,
// select-all on entering, and the numeric test that keeps the focus in a
// field without a number. Mouse clicks go through the window system layer
// (QTEST_QPA_MOUSE_HANDLING), so a click gives the focus the way a user's does.
#define QTEST_QPA_MOUSE_HANDLING

#include "window_harness.h"

#include <QLocale>
#include <QMenuBar>
#include <QSignalSpy>

using hattsheet::testing::WindowHarness;

class tst_FieldBehaviour : public QObject {
    Q_OBJECT
private slots:
    void tabGoesAroundTheRing();
    void enterMovesOn_data();
    void enterMovesOn();
    void enterStaysInOtherFields_data();
    void enterStaysInOtherFields();
    void entrySelectsWholeText_data();
    void entrySelectsWholeText();
    void leavingIsTested_data();
    void leavingIsTested();
    void twoFailingFieldsDoNotBounce();
    void refusedClickDoesNotRunButton();
    void borrowedFocusIsNotTested_data();
    void borrowedFocusIsNotTested();
};

// The focus order of the layout table, from txtFile1 (the focus at start).
void tst_FieldBehaviour::tabGoesAroundTheRing()
{
    const QStringList ring{"txtFile1", "txtFile2", "cmdOp1", "cmdSav1", "cmdEr1", "cmdOp2", "cmdSav2", "cmdEr2",
                           "cmdAll", "txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1",
                           "cmdOne", "txtX2", "txtY2", "cmd2", "txtf", "txtm", "txtl", "txtFile1"};
    WindowHarness h;
    QVERIFY(h.activate());
    QStringList visited{WindowHarness::focusName()};
    for (int i = 1; i < ring.size(); ++i) {
        WindowHarness::press(Qt::Key_Tab);
        visited << WindowHarness::focusName();
    }
    QCOMPARE(visited, ring);
}

// The Enter paths of the two frames (each Enter swallowed, no text changed);
// Enter in txtLamdaOld crosses to the other frame, not to txtX1. One more
// Enter on the button at the end converts.
void tst_FieldBehaviour::enterMovesOn_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("converted");  // field=text after the last Enter
    const QStringList oldToNew{"txtPhiOld", "txtLamdaOld", "txtPhiNew", "txtLamdaNew", "txtX1", "txtY1", "cmdOne"};
    QTest::newRow("old sheet to >") << oldToNew << int(Qt::Key_Return) << "txtX2=-8431.552";
    QTest::newRow("new sheet to <") << QStringList{"txtX2", "txtY2", "cmd2"} << int(Qt::Key_Return) << "txtX1=8444.215";
    QTest::newRow("keypad Enter") << oldToNew.mid(3) << int(Qt::Key_Enter) << "txtY2=11108.603";
}

void tst_FieldBehaviour::enterMovesOn()
{
    QFETCH(QStringList, path);
    QFETCH(int, key);
    QFETCH(QString, converted);
    WindowHarness h;
    QVERIFY(h.activate());
    h.child(path.front().toLatin1().constData())->setFocus(Qt::OtherFocusReason);
    QStringList visited{WindowHarness::focusName()};
    for (int i = 1; i < path.size(); ++i) {
        WindowHarness::press(Qt::Key(key));
        visited << WindowHarness::focusName();
    }
    QCOMPARE(visited, path);
    QCOMPARE(h.text("txtPhiOld") + h.text("txtX2"), QStringLiteral("40.510.000"));
    WindowHarness::press(Qt::Key(key));
    const QStringList pair = converted.split(QLatin1Char('='));
    QCOMPARE(h.text(pair[0].toLatin1().constData()), pair[1]);
}

// Enter in the display fields does nothing; in a panel it starts a line.
void tst_FieldBehaviour::enterStaysInOtherFields_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("latitude display") << "txtf" << "abcdef";
    QTest::newRow("Athens longitude display") << "txtm" << "abcdef";
    QTest::newRow("Greenwich longitude display") << "txtl" << "abcdef";
    QTest::newRow("panel 1") << "txtFile1" << "abc\ndef";
}

void tst_FieldBehaviour::enterStaysInOtherFields()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    WindowHarness h;
    QVERIFY(h.activate());
    h.child(name.toLatin1().constData())->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
    WindowHarness::press(Qt::Key_Return);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("def"));
    QCOMPARE(WindowHarness::focusName(), name);
    QCOMPARE(h.text(name.toLatin1().constData()), text);
}

// Each way into a field selects its whole text, so the next key replaces it.
void tst_FieldBehaviour::entrySelectsWholeText_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");  // 0: a mouse click in the field's middle
    QTest::newRow("by Tab") << "txtPhiOld" << int(Qt::Key_Tab);
    QTest::newRow("by Backtab") << "txtPhiNew" << int(Qt::Key_Backtab);
    QTest::newRow("by Enter from the previous field") << "txtPhiOld" << int(Qt::Key_Return);
    QTest::newRow("by a mouse click") << "txtFile1" << 0;
}

void tst_FieldBehaviour::entrySelectsWholeText()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* target = h.field("txtLamdaOld");
    h.child(from.toLatin1().constData())->setFocus(Qt::OtherFocusReason);
    if (key != 0) {
        WindowHarness::press(Qt::Key(key));
    } else {
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->rect().center());
    }
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtLamdaOld"));
    QCOMPARE(target->selectedText(), QStringLiteral("-0.51"));
    QTest::keyClicks(target, QStringLiteral("1.05"));
    QCOMPARE(target->text(), QStringLiteral("1.05"));
}

// Leaving txtX1 towards txtY1 by Tab, Enter and a click, under a locale whose
// decimal mark is the comma: the test reads "." only, as the conversions do.
void tst_FieldBehaviour::leavingIsTested_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");  // 0: a click on txtY1
    QTest::addColumn<bool>("leaves");
    for (const int key : {int(Qt::Key_Tab), int(Qt::Key_Return), 0}) {
        const char* how = key == Qt::Key_Tab ? "Tab" : key == 0 ? "click" : "Enter";
        QTest::addRow("12a kept, %s", how) << "12a" << key << false;
        QTest::addRow("spaced 12.5 released, %s", how) << " 12.5 " << key << true;
        QTest::addRow("empty kept, %s", how) << "" << key << false;
        QTest::addRow("decimal comma kept, %s", how) << "1000,5" << key << false;
        QTest::addRow("exponent released, %s", how) << "1.5E3" << key << true;
    }
}

void tst_FieldBehaviour::leavingIsTested()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(bool, leaves);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(text);
    x1->setCursorPosition(0);
    if (key != 0) {
        WindowHarness::press(Qt::Key(key));
    } else {
        QTest::mouseClick(h.field("txtY1"), Qt::LeftButton);
    }
    QLocale::setDefault(before);
    QCOMPARE(WindowHarness::focusName(), leaves ? QStringLiteral("txtY1") : QStringLiteral("txtX1"));
    QCOMPARE(x1->text(), text);  // neither restored nor changed
    if (!leaves) QCOMPARE(x1->selectedText(), text);
    QVERIFY(h.dialogs.messages.empty());  // and no message
}

// Fault: two fields without a number could hand the focus to each other for ever.
void tst_FieldBehaviour::twoFailingFieldsDoNotBounce()
{
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    QLineEdit* y1 = h.field("txtY1");
    y1->clear();
    x1->setFocus(Qt::OtherFocusReason);
    x1->clear();
    QSignalSpy changes(qApp, &QApplication::focusChanged);
    QTest::mouseClick(y1, Qt::LeftButton);
    WindowHarness::press(Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
    QVERIFY2(changes.size() < 10, qPrintable(QString::number(changes.size())));
    // Mended, the first lets the focus go to the second, which then holds it.
    QTest::keyClicks(x1, QStringLiteral("5"));
    QTest::mouseClick(y1, Qt::LeftButton);
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
    QCOMPARE(h.text("txtX2") + h.text("txtf"), QStringLiteral("0.000"));
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
    // Mended, the next click runs.
    x1->setText(QStringLiteral("1000"));
    h.field("txtY1")->setText(QStringLiteral("2000"));
    h.click("cmdOne");
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(h.text("txtX2"), QStringLiteral("-7429.270"));
}

// Fault: testing when another window takes the activation (a message box,
// a file dialog, another program) or when Alt lends the keyboard to the menu
// bar would pull the focus back from there.
void tst_FieldBehaviour::borrowedFocusIsNotTested_data()
{
    QTest::addColumn<bool>("menuBar");
    QTest::newRow("another window active") << false;
    QTest::newRow("Alt to the menu bar") << true;
}

void tst_FieldBehaviour::borrowedFocusIsNotTested()
{
    QFETCH(bool, menuBar);
    WindowHarness h;
    QVERIFY(h.activate());
    QLineEdit* x1 = h.field("txtX1");
    x1->setFocus(Qt::OtherFocusReason);
    x1->setText(QStringLiteral("abc"));
    QWidget other;
    if (menuBar) {
        WindowHarness::press(Qt::Key_Alt);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.window->menuBar()));
        WindowHarness::press(Qt::Key_Escape);
    } else {
        auto* button = new QPushButton(QStringLiteral("ok"), &other);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        button->setFocus();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(button));
        other.hide();
        h.window->activateWindow();
        QVERIFY(h.activate());
    }
    QCOMPARE(WindowHarness::focusName(), QStringLiteral("txtX1"));
    QCOMPARE(x1->text(), QStringLiteral("abc"));
}

QTEST_MAIN(tst_FieldBehaviour)
#include "tst_field_behaviour.moc"
