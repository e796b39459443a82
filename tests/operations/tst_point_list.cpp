// The batch conversion on a window without a window, and hattsheet-convert
// on the same long lists: refusals, the by-products, appending, and
// byte-for-byte agreement of the two. The batch's lines for damaged lists
// are the rows of bad_inputs.h (tst_bad_files).

#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"
#include "operations/single_point.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

using namespace hattsheet;
using operations::FieldId;
using operations::MessageIcon;
using testing::FakeDialogs;
using testing::FakeFields;
using testing::readFile;
using testing::CliRun;
using testing::kDefaultCentres;
using testing::runConvert;
namespace msg = operations::msg;

class tst_PointList : public QObject {
    Q_OBJECT
private slots:
    void init();
    void refusalsTouchNothing_data();
    void refusalsTouchNothing();
    void sameDigitsAsOnePoint();
    void noPlaceForTheFeedFile();
    void twoWindowsOneFolder();
    void appendsOnANewLine_data();
    void appendsOnANewLine();
    void cliAcrossBlockBoundaries();
    void cliLongListsMatchBatch_data();
    void cliLongListsMatchBatch();

private:
    testing::TempWorkspace m_work;
    operations::TempPlaces places() const { return m_work.places(); }
};

void tst_PointList::init()
{
    QVERIFY(m_work.reset());
}

void tst_PointList::refusalsTouchNothing_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("lamdaOld");
    QTest::addColumn<QString>("phiNew");
    QTest::addColumn<QString>("message");
    QTest::newRow("panel of spaces") << "    " << "-0.51" << "40.45" << msg::kNoList;
    QTest::newRow("empty panel") << "" << "-0.51" << "40.45" << msg::kNoList;
    QTest::newRow("old Δλ and new φ wrong: only Δλ") << "A,0,0,0" << "-4.31" << "43.00" << msg::kLongitude;
    QTest::newRow("new φ wrong") << "A,0,0,0" << "-0.51" << "33.59" << msg::kLatitude;
}

void tst_PointList::refusalsTouchNothing()
{
    QFETCH(QString, list);
    QFETCH(QString, lamdaOld);
    QFETCH(QString, phiNew);
    QFETCH(QString, message);
    FakeFields fields;
    fields.setText(FieldId::File1, list.toStdString());
    fields.setText(FieldId::LambdaOld, lamdaOld.toStdString());
    fields.setText(FieldId::PhiNew, phiNew.toStdString());
    const auto before = fields.all();
    FakeDialogs dialogs;
    operations::convertPointList(fields, dialogs, places());
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(dialogs.messages[0].text), message);
    QVERIFY(dialogs.messages[0].icon == MessageIcon::Critical);
    QVERIFY(fields.all() == before);
    QVERIFY(!QFile::exists(m_work.path() + "/prog/TempFeed.Dat"));
    QVERIFY(!QFile::exists(m_work.path() + "/prog/TempFile.Dat"));
}

// The same X, Y and centres give the numbers ">" shows, over a spread of
// points and centres.
void tst_PointList::sameDigitsAsOnePoint()
{
    QRandomGenerator rng(7);
    for (int i = 0; i < 200; ++i) {
        const QString x = QString::number((rng.bounded(120000.0) - 60000.0), 'f', 3);
        const QString y = QString::number((rng.bounded(120000.0) - 60000.0), 'f', 3);
        const QString phi = QString("%1.%2").arg(34 + rng.bounded(8)).arg(rng.bounded(60), 2, 10, QChar('0'));
        const QString lam = QString("%1.%2").arg(rng.bounded(-3, 4)).arg(rng.bounded(60), 2, 10, QChar('0'));
        FakeFields fields;
        fields.setText(FieldId::PhiOld, phi.toStdString());
        fields.setText(FieldId::LambdaOld, lam.toStdString());
        fields.setText(FieldId::X1, x.toStdString());
        fields.setText(FieldId::Y1, y.toStdString());
        fields.setText(FieldId::File1, ("P, " + x + ", " + y + ", 0").toStdString());
        FakeDialogs dialogs;
        operations::convertOldToNew(fields, dialogs);
        operations::convertPointList(fields, dialogs, places());
        QCOMPARE(fields.text(FieldId::File2),
                 "P, " + fields.text(FieldId::X2) + ", " + fields.text(FieldId::Y2) + ", 0.000\r\n");
    }
}

// The batch does not depend on its by-products: with no place for them it
// names TempFeed.Dat and still converts.
void tst_PointList::noPlaceForTheFeedFile()
{
    const QString blocker = m_work.path() + "/file";
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    FakeFields fields;
    fields.setText(FieldId::File1, "P1, 1000, 2000, 5");
    FakeDialogs dialogs;
    operations::convertPointList(fields, dialogs, {(blocker + "/a").toStdString(), (blocker + "/b").toStdString()});
    QCOMPARE(dialogs.messages.size(), size_t(2));
    QVERIFY(QString::fromStdString(dialogs.messages[0].text).contains("TempFeed.Dat"));
    QVERIFY(dialogs.messages[0].icon == MessageIcon::Critical);
    QCOMPARE(dialogs.messages[1].text, std::string(msg::kBatchDone));
    QCOMPARE(fields.text(FieldId::File2), std::string("P1, -7429.270, 13107.462, 5.000\r\n"));
}

// Two windows started from one folder, each converting its own list again
// and again: every run gives its own list's lines (the lists were once read
// back from the shared TempFeed.Dat, which the other window overwrote).
void tst_PointList::twoWindowsOneFolder()
{
    constexpr int kRuns = 150;
    std::string lists[2], expected[2];
    for (int w = 0; w < 2; ++w) {
        for (int i = 0; i < 200; ++i) {
            std::string code(1, w == 0 ? 'A' : 'B');
            code += std::to_string(i);
            lists[w] += code + ", " + std::to_string(1000 + i) + ", 2000, 5\r\n";
            FakeFields one;
            FakeDialogs quiet;
            one.setText(FieldId::X1, std::to_string(1000 + i));
            one.setText(FieldId::Y1, "2000");
            operations::convertOldToNew(one, quiet);
            expected[w] += code + ", " + one.text(FieldId::X2) + ", " + one.text(FieldId::Y2) + ", 5.000\r\n";
        }
    }
    pid_t children[2];
    for (int w = 0; w < 2; ++w) {
        children[w] = ::fork();
        QVERIFY(children[w] >= 0);
        if (children[w] != 0) continue;
        int wrong = 0;
        for (int run = 0; run < kRuns; ++run) {
            FakeFields fields;
            FakeDialogs dialogs;
            fields.setText(FieldId::File1, lists[w]);
            operations::convertPointList(fields, dialogs, places());
            if (fields.text(FieldId::File2) != expected[w]) ++wrong;
        }
        ::_exit(wrong == 0 ? 0 : 1);
    }
    for (pid_t child : children) {
        int status = 0;
        QVERIFY(::waitpid(child, &status, 0) == child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a window converted a list that was not its own");
    }
}

// A list of several blocks with a CR LF split at each block boundary.
void tst_PointList::cliAcrossBlockBoundaries()
{
    constexpr int kBlock = 1 << 20;
    QByteArray list;
    int n = 0;
    while (list.size() < 3 * kBlock + 100) {
        QByteArray line = "P" + QByteArray::number(n++) + ", 12345.678, -2345.678, 12.500";
        const qsizetype room = (kBlock - list.size() % kBlock) - 1;
        if (room > 0 && room < line.size() + 2) line += QByteArray(room - line.size() > 0 ? room - line.size() : 0, ' ');
        list += line + ((n % 3 == 0) ? "\n" : "\r\n");
    }
    FakeFields fields;
    fields.setText(FieldId::File1, list.toStdString());
    FakeDialogs dialogs;
    operations::convertPointList(fields, dialogs, places());
    QCOMPARE(dialogs.messages.at(0).text, std::string(msg::kBatchDone));
    const QString input = m_work.path() + "/big.txt";
    QFile f(input);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(list);
    f.close();
    const QString output = m_work.path() + "/out.txt";
    const CliRun run = runConvert(kDefaultCentres + QStringList{input, "-o", output}, {});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(readFile(output), QByteArray::fromStdString(fields.text(FieldId::File2)));
}

// Long lists are read in two parts on two threads, the second from a line
// start; these lists have records that do not start at line starts, so the
// second part's guess is wrong and must be thrown away.
void tst_PointList::cliLongListsMatchBatch_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("exitCode");
    // Five fields on the first line, then four: every record after the
    // first starts at the last field of a line, none at a line start.
    QByteArray misaligned = "A, 1, 2, 3, B0\r\n", quoted, crOnly, shortAtEnd;
    for (int i = 0; i < 6000; ++i) {
        misaligned += "100, 200, 5, B" + QByteArray::number(i + 1) + "\r\n";
        // A quoted code holding a line end: its second line starts no record.
        quoted += "\"Q" + QByteArray::number(i) + "\r\nX\", 100, 200, 5\r\n";
        crOnly += "C" + QByteArray::number(i) + ", 100, 200, 5\r";
        shortAtEnd += "S" + QByteArray::number(i) + ", 100, 200, 5\n";
    }
    misaligned += "100, 200, 5\r\n";
    shortAtEnd += "S, 1, 2\n";
    QTest::newRow("no record starts at a line start") << misaligned << 0;
    QTest::newRow("quoted codes spanning two lines") << quoted << 0;
    QTest::newRow("CR line ends only") << crOnly << 0;
    QTest::newRow("last record cut short") << shortAtEnd << 1;
}

void tst_PointList::cliLongListsMatchBatch()
{
    QFETCH(QByteArray, list);
    QFETCH(int, exitCode);
    FakeFields fields;
    fields.setText(FieldId::File1, list.toStdString());
    FakeDialogs dialogs;
    operations::convertPointList(fields, dialogs, places());
    const CliRun run = runConvert(kDefaultCentres, list);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(dialogs.messages.at(0).text, std::string(exitCode == 0 ? msg::kBatchDone : msg::kBatchFailed));
    QVERIFY(run.out.size() > 100000);
    QCOMPARE(run.out, QByteArray::fromStdString(fields.text(FieldId::File2)));
}

// The converted lines start on a line of their own, whatever panel 2 ends
// with (they were once glued onto a last line without a line end).
void tst_PointList::appendsOnANewLine_data()
{
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("expected");
    const QString line = "P1, -7429.270, 13107.462, 5.000\r\n";
    QTest::newRow("empty panel") << "" << line;
    QTest::newRow("last line without a line end") << "5,6,7,8" << "5,6,7,8\r\n" + line;
    QTest::newRow("last line ended by CR LF") << "5,6,7,8\r\n" << "5,6,7,8\r\n" + line;
    QTest::newRow("last line ended by a lone CR") << "5\r" << "5\r" + line;
    QTest::newRow("last line ended by a lone LF") << "5\n" << "5\n" + line;
    QTest::newRow("trailing spaces") << "5  " << "5  \r\n" + line;
}

void tst_PointList::appendsOnANewLine()
{
    QFETCH(QString, panel2);
    QFETCH(QString, expected);
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, "P1, 1000, 2000, 5");
    fields.setText(FieldId::File2, panel2.toStdString());
    operations::convertPointList(fields, dialogs, places());
    QCOMPARE(QString::fromStdString(fields.text(FieldId::File2)), expected);
}

QTEST_APPLESS_MAIN(tst_PointList)
#include "tst_point_list.moc"
