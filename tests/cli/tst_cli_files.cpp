// What the program leaves on disk: permissions of the files it writes
// (window save and the command line's -o), and a block converted in two
// halves that must join as one pass.

#include "support/cli_run.h"
#include "support/fake_window.h"
#include "operations/messages.h"
#include "operations/panel_operations.h"
#include "operations/point_list.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace hattsheet::operations;
using namespace hattsheet::testing;

class tst_CliFiles : public QObject {
    Q_OBJECT
private slots:
    void modes_data();
    void modes();
    void halvesOfABlock_data();
    void halvesOfABlock();
};

namespace {

int modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The umask this test program started with, which the program's code read
// once at its start.
mode_t startMask()
{
    const mode_t m = ::umask(022);
    ::umask(m);
    return m;
}

} // namespace

// A new file gets 0666 less the umask, as from any editor; a replaced file
// keeps the permissions its owner gave it.
void tst_CliFiles::modes_data()
{
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("oldMode");  // -1: no file before
    QTest::addColumn<int>("expected");
    QTest::newRow("new file, umask 022") << 022 << -1 << 0644;
    QTest::newRow("new file, umask 027") << 027 << -1 << 0640;
    QTest::newRow("new file, umask 077") << 077 << -1 << 0600;
    QTest::newRow("replaced 0600 file stays 0600") << 022 << 0600 << 0600;
    QTest::newRow("replaced 0664 file stays 0664 under umask 077") << 077 << 0664 << 0664;
}

void tst_CliFiles::modes()
{
    QFETCH(int, umask);
    QFETCH(int, oldMode);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt"), out = dir.filePath("out.txt"), saved = dir.filePath("saved.txt");
    {
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("P, 1000, 2000, 5\r\n") > 0);
    }
    for (const QString& p : {out, saved}) {
        if (oldMode < 0) continue;
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old\r\n") > 0);
        f.close();
        QVERIFY(::chmod(QFile::encodeName(p).constData(), mode_t(oldMode)) == 0);
    }
    const CliRun r = runConvert(kDefaultCentres + QStringList{in, "-o", out}, {}, {}, [umask] { ::umask(mode_t(umask)); });
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(modeOf(out), expected);

    // The window's save, under the umask its program started with.
    if (oldMode < 0) expected = int(0666 & ~startMask());
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File2, "P, -7429.270, 13107.462, 5.000\r\n");
    dialogs.fileAnswers = {saved.toStdString()};
    hattsheet::operations::savePanel(fields, dialogs, TempPlaces{dir.path().toStdString(), {}}, Panel::Two);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string(msg::kSaved));
    QCOMPARE(modeOf(saved), expected);
}

// A list of over 64 KiB is converted in two halves on two threads, the
// second from the first line start after the middle. The joined output must
// be the window's panel 2 for the same list, and a failing record must be
// named as a single pass names it, wherever it lies. Expected values: the
// window's batch operation on the same list.
void tst_CliFiles::halvesOfABlock_data()
{
    QTest::addColumn<QList<int>>("bad");  // 1-based lines whose X overflows the series; the first one counts
    QTest::addColumn<int>("shortLine");   // 1-based line with three fields (records spread from there), 0: none
    constexpr int kLines = 4000;          // 30 bytes a line: 120 kB, one block, two halves
    QTest::newRow("every record converts") << QList<int>{} << 0;
    QTest::newRow("failing record in the first half") << QList<int>{100} << 0;
    QTest::newRow("failing record on the last line of the first half") << QList<int>{kLines / 2 + 1} << 0;
    QTest::newRow("failing record on the first line of the second half") << QList<int>{kLines / 2 + 2} << 0;
    QTest::newRow("failing records in both halves") << QList<int>{1500, 3500} << 0;
    QTest::newRow("failing record near the end") << QList<int>{kLines - 1} << 0;
    QTest::newRow("records spread over the middle line start") << QList<int>{} << 10;
}

void tst_CliFiles::halvesOfABlock()
{
    QFETCH(QList<int>, bad);
    QFETCH(int, shortLine);
    const int badLine = bad.value(0);
    constexpr int kLines = 4000;
    QByteArray list;
    for (int i = 1; i <= kLines; ++i) {
        const QByteArray x = bad.contains(i) ? "1e300" : QByteArray::number(1000 + i % 997) + ".250";
        list += "P" + QByteArray::number(100000 + i) + ", " + x + ", " + QByteArray::number(2000 + i % 991) + ".5";
        list += i == shortLine ? "\r\n" : i == kLines && shortLine ? ", 5, 6\r\n" : ", 5\r\n";
    }

    QTemporaryDir dir;
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File1, list.toStdString());
    convertPointList(fields, dialogs, {dir.path().toStdString(), dir.path().toStdString()});
    const QByteArray panel2 = QByteArray::fromStdString(fields.text(FieldId::File2));

    const CliRun r = runConvert(kDefaultCentres + QStringList{"-"}, list);
    QVERIFY(r.out == panel2);
    QCOMPARE(r.exitCode, badLine ? 1 : 0);
    if (badLine) {
        const QByteArray place = "(εγγραφή " + QByteArray::number(badLine) + ", γραμμή " + QByteArray::number(badLine) + ")";
        QCOMPARE(r.err, QByteArray(msg::kBatchFailed) + " " + place + "\n");
    }
    QCOMPARE(r.out.count('\n'), badLine ? badLine - 1 : kLines);
}

QTEST_GUILESS_MAIN(tst_CliFiles)
#include "tst_cli_files.moc"
