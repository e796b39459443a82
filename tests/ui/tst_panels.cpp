// The panel buttons through the real widgets.
#define QTEST_QPA_MOUSE_HANDLING

#include "messages.h"
#include "window_harness.h"


using hattsheet::conversion::MessageIcon;
using hattsheet::testing::ShownMessage;
using hattsheet::testing::WindowHarness;
namespace msg = hattsheet::conversion::msg;

class tst_Panels : public QObject {
    Q_OBJECT
private slots:
    void clearEmptiesOnlyItsPanel();
};

void tst_Panels::clearEmptiesOnlyItsPanel()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.panel("txtFile1")->setPlainText(QStringLiteral("1, 2, 3, 4"));
    h.panel("txtFile2")->setPlainText(QStringLiteral("5, 6, 7, 8"));
    h.click("cmdEr2");
    QCOMPARE(h.text("txtFile1") + "|" + h.text("txtFile2"), QStringLiteral("1, 2, 3, 4|"));
    h.click("cmdEr1");
    QCOMPARE(h.text("txtFile1"), QString());
    QVERIFY(h.dialogs.messages.empty() && h.dialogs.dialogTitles.empty());  // never asks
}

QTEST_MAIN(tst_Panels)
#include "tst_panels.moc"
