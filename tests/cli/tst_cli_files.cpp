// What the program leaves on disk and how it ends on inputs that never
// reach a line end: permissions of the files it writes (window save and
// the command line's -o), and a record too long to be a point.

#include "cli_run.h"
#include "fake_window.h"
#include "messages.h"
#include "panel_operations.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace hattsheet::conversion;
using namespace hattsheet::testing;

class tst_CliFiles : public QObject {
    Q_OBJECT
private slots:
    void modes_data();
    void modes();
    void endlessRecord_data();
    void endlessRecord();
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
    hattsheet::pointfile::savePanel(fields, dialogs, TempPlaces{dir.path().toStdString(), {}}, Panel::Two);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string(msg::kSaved));
    QCOMPARE(modeOf(saved), expected);
}

// Input without a line end or separator for more than 64 MiB is a failing
// record, reported with its place, after the records before it were
// written: the program neither waits for memory to run out nor crashes.
void tst_CliFiles::endlessRecord_data()
{
    QTest::addColumn<QString>("input");  // a file name, or "-" for the bytes below
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray place = QByteArray(msg::kBatchFailed) + " (εγγραφή ";
    QTest::newRow("/dev/zero") << "/dev/zero" << QByteArray() << QByteArray()
                               << place + "1, γραμμή 1) " + msg::kRecordTooLong + "\n";
    QTest::newRow("a 70 MB code on line 3 of a pipe")
        << "-" << "A, 1000, 2000, 5\r\n\r\nB" + QByteArray(70 << 20, 'x') + ", 0, 0, 7\r\n"
        << QByteArray("A, -7429.270, 13107.462, 5.000\r\n") << place + "2, γραμμή 3) " + msg::kRecordTooLong + "\n";
    QTest::newRow("a 60 MB code still converts")
        << "-" << "B" + QByteArray(60 << 20, 'x') + ", 0, 0, 7\r\n"
        << "B" + QByteArray(60 << 20, 'x') + ", -8431.552, 11108.603, 7.000\r\n" << QByteArray();
}

void tst_CliFiles::endlessRecord()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const CliRun r = runConvert(kDefaultCentres + QStringList{input}, bytes);
    QCOMPARE(r.exitCode, err.isEmpty() ? 0 : 1);
    QCOMPARE(r.err, err);
    QVERIFY(r.out == out);
}

QTEST_GUILESS_MAIN(tst_CliFiles)
#include "tst_cli_files.moc"
