// The panel buttons and the batch button through the real widgets, with the
// file dialogs answered from a script and real files in a temporary folder.
// The expected lines come from the worked examples of the conversions and
// the hand-made examples of the coordinate-file format.
#define QTEST_QPA_MOUSE_HANDLING

#include "messages.h"
#include "window_harness.h"

#include <QFile>

using hattsheet::conversion::MessageIcon;
using hattsheet::testing::ShownMessage;
using hattsheet::testing::WindowHarness;
namespace msg = hattsheet::conversion::msg;

class tst_Panels : public QObject {
    Q_OBJECT
private slots:
    void clearEmptiesOnlyItsPanel();
    void openAppendsIntoItsPanel_data();
    void openAppendsIntoItsPanel();
    void saveWritesTxtAndTellsSo();
    void batchFillsPanel2BeforeItsMessage();
    void batchRefusesEmptyList();
};

static QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

static QString writeFile(const WindowHarness& h, const QString& name, const QByteArray& bytes)
{
    const QString path = h.temp.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return path;
}

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

void tst_Panels::openAppendsIntoItsPanel_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("panel");
    QTest::newRow("panel 1") << "cmdOp1" << "txtFile1";
    QTest::newRow("panel 2") << "cmdOp2" << "txtFile2";
}

void tst_Panels::openAppendsIntoItsPanel()
{
    QFETCH(QString, button);
    QFETCH(QString, panel);
    WindowHarness h;
    QVERIFY(h.activate());
    const QString path = writeFile(h, QStringLiteral("pts.seq"), "12,1000,2000,30\r\nA,100.12345,-5,\r\n");
    h.panel(panel.toLatin1().constData())->setPlainText(QStringLiteral("kept"));
    h.dialogs.fileAnswers = {path.toStdString(), std::nullopt};
    h.click(button.toLatin1().constData());
    QCOMPARE(h.text(panel.toLatin1().constData()),
             QStringLiteral("kept12, 1000.000, 2000.000, 30.000\nA, 100.123, -5.000, 0.000\n"));
    QCOMPARE(h.dialogs.dialogTitles, std::vector<std::string>{msg::kOpenTitle});
    QCOMPARE(h.dialogs.dialogFilters.front().size(), size_t(3));
    // A cancelled dialog changes nothing and says nothing.
    h.click(button.toLatin1().constData());
    QCOMPARE(h.text(panel.toLatin1().constData()).count(QLatin1Char('\n')), 2);
    QVERIFY(h.dialogs.messages.empty());
}

void tst_Panels::saveWritesTxtAndTellsSo()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.panel("txtFile2")->setPlainText(QStringLiteral("  a, 1.000\n\n   \nb, 2.000  "));
    h.dialogs.fileAnswers = {h.temp.filePath(QStringLiteral("out.seq")).toStdString()};
    h.click("cmdSav2");
    QCOMPARE(readFile(h.temp.filePath(QStringLiteral("out.txt"))), QByteArray("a, 1.000\r\nb, 2.000\r\n"));
    QVERIFY(!QFile::exists(h.temp.filePath(QStringLiteral("out.seq"))));
    const std::vector<ShownMessage> want{{msg::kSaved, msg::kTitleInfoPlain, MessageIcon::Information}};
    QCOMPARE(h.dialogs.messages, want);
    QCOMPARE(h.dialogs.dialogTitles, std::vector<std::string>{msg::kSaveTitle});
    QCOMPARE(h.dialogs.dialogFilters.front().size(), size_t(1));
}

// The completion message must find the converted lines already in panel 2.
void tst_Panels::batchFillsPanel2BeforeItsMessage()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.dialogs.watched = h.panel("txtFile2");
    h.panel("txtFile1")->setPlainText(QStringLiteral("P1, 1000.000, 2000.000, 5\n\nP2,0,0,12.3456\n"));
    h.click("cmdAll");
    const QString want = QStringLiteral("P1, -7429.270, 13107.462, 5.000\nP2, -8431.552, 11108.603, 12.346\n");
    QCOMPARE(h.text("txtFile2"), want);
    const std::vector<ShownMessage> done{{msg::kBatchDone, msg::kTitleInfo, MessageIcon::Information}};
    QCOMPARE(h.dialogs.messages, done);
    QCOMPARE(h.dialogs.watchedAtMessage, std::vector<QString>{want});
}

void tst_Panels::batchRefusesEmptyList()
{
    WindowHarness h;
    QVERIFY(h.activate());
    h.panel("txtFile1")->setPlainText(QStringLiteral("   "));
    h.click("cmdAll");
    const std::vector<ShownMessage> want{{msg::kNoList, msg::kTitleWarning, MessageIcon::Critical}};
    QCOMPARE(h.dialogs.messages, want);
    QCOMPARE(h.text("txtFile2"), QString());
}

QTEST_MAIN(tst_Panels)
#include "tst_panels.moc"
