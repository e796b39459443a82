// What the program leaves on disk: permissions of the files it writes
// (window save and the command line's -o).

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
};

namespace {

int modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Sets the umask for one scope.
struct Umask {
    explicit Umask(mode_t m) : old(::umask(m)) {}
    ~Umask() { ::umask(old); }
    mode_t old;
};

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

    const Umask scope{mode_t(umask)};
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File2, "P, -7429.270, 13107.462, 5.000\r\n");
    dialogs.fileAnswers = {saved.toStdString()};
    hattsheet::pointfile::savePanel(fields, dialogs, TempPlaces{dir.filePath("prog").toStdString(), {}}, Panel::Two);
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string(msg::kSaved));
    QCOMPARE(modeOf(saved), expected);
}

QTEST_GUILESS_MAIN(tst_CliFiles)
#include "tst_cli_files.moc"
