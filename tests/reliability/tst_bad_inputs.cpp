// Bad inputs through every way in, each with the outcome a user must see:
// the window's operations through the fake window (message, fields), and
// hattsheet-convert as a process (exit status, stderr, stdout).
//
// Most expectations are relations rather than digits: a damaged text must
// give exactly what its clean reading gives ("-" converts like "0"), so the
// digits come from the worked examples the other tests already fix.

#include "fake_window.h"
#include "messages.h"
#include "single_point.h"

#include <QProcess>
#include <QTest>

#include <string>

using hattsheet::testing::FakeDialogs;
using hattsheet::testing::FakeFields;
using namespace hattsheet::conversion;

class tst_BadInputs : public QObject {
    Q_OBJECT
private slots:
    void singlePointText_data();
    void singlePointText();
    void commandLineOutputFails_data();
    void commandLineOutputFails();
};

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
// Linux refuses a single argument longer than 128 KiB (MAX_ARG_STRLEN), so
// the command line gets a shorter form of the huge texts.
constexpr qsizetype kArgumentLimit = 100000;
constexpr qsizetype kTenMegabytes = 10 * 1000 * 1000;

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runConvert(const QStringList& args, const QString& stdoutFile = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    p.start(HATTSHEET_CONVERT, args);
    p.closeWriteChannel();
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit) return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

std::string asStd(const QByteArray& b) { return std::string(b.constData(), static_cast<std::size_t>(b.size())); }

} // namespace

// A damaged X text in the ">" conversion and in --point: either it reads as
// its clean equivalent and converts to the same digits, or it is refused
// with "Λάθος στις συντεταγμένες." and nothing changes.
void tst_BadInputs::singlePointText_data()
{
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QByteArray>("clean");  // empty: must be refused
    QTest::addColumn<bool>("viaArgv");      // argv cannot hold NUL bytes

    QTest::newRow("NUL byte ends the number") << QByteArray("12\0 3", 5) << QByteArray("12") << false;
    QTest::newRow("invalid UTF-8 reads as 0") << QByteArray("\xff\xfe\xc0\x80") << QByteArray("0") << true;
    QTest::newRow("Greek in Windows-1253 reads as 0") << QByteArray("\xd7 5") << QByteArray("0") << true;
    QTest::newRow("Greek in UTF-8 reads as 0") << QByteArray("Χ 5") << QByteArray("0") << true;
    QTest::newRow("lone minus reads as 0") << QByteArray("-") << QByteArray("0") << true;
    QTest::newRow("lone point reads as 0") << QByteArray(".") << QByteArray("0") << true;
    QTest::newRow("exponent without digits") << QByteArray("1e") << QByteArray("1") << true;
    QTest::newRow("exponent sign without digits") << QByteArray("1e-") << QByteArray("1") << true;
    QTest::newRow("unterminated quote reads as 0") << QByteArray("\"12") << QByteArray("0") << true;
    QTest::newRow("quote at the end") << QByteArray("12\"") << QByteArray("12") << true;
    QTest::newRow("only commas") << QByteArray(",,,,") << QByteArray("0") << true;
    QTest::newRow("a million commas after the number")
        << QByteArray("7") + QByteArray(1000000, ',') << QByteArray("7") << false;
    QTest::newRow("10 MB of blanks before the number")
        << QByteArray(kTenMegabytes, ' ') + "5" << QByteArray("5") << false;
    QTest::newRow("1E999 is refused") << QByteArray("1E999") << QByteArray() << true;
    QTest::newRow("-1D999 is refused") << QByteArray("-1D999") << QByteArray() << true;
    QTest::newRow("10 MB of digits is refused") << QByteArray(kTenMegabytes, '9') << QByteArray() << false;
    QTest::newRow("100 kB of digits is refused") << QByteArray(kArgumentLimit, '9') << QByteArray() << true;
    QTest::newRow("1e100 overflows the series") << QByteArray("1e100") << QByteArray() << true;
    QTest::newRow("underflow reads as 0") << QByteArray("1e-999") << QByteArray("0") << true;
}

void tst_BadInputs::singlePointText()
{
    QFETCH(QByteArray, bad);
    QFETCH(QByteArray, clean);
    QFETCH(bool, viaArgv);

    // The window.
    FakeFields badFields, cleanFields;
    FakeDialogs badDialogs, cleanDialogs;
    badFields.setText(FieldId::X1, asStd(bad));
    badFields.setText(FieldId::Y1, "2000");
    const auto before = badFields.all();
    convertOldToNew(badFields, badDialogs);
    if (clean.isEmpty()) {
        QCOMPARE(badDialogs.messages.size(), std::size_t(1));
        QCOMPARE(badDialogs.messages[0].text, std::string(msg::kCoordinates));
        QCOMPARE(badDialogs.messages[0].icon, MessageIcon::Critical);
        QVERIFY(badFields.all() == before);
    } else {
        cleanFields.setText(FieldId::X1, asStd(clean));
        cleanFields.setText(FieldId::Y1, "2000");
        convertOldToNew(cleanFields, cleanDialogs);
        QVERIFY(badDialogs.messages.empty());
        QCOMPARE(badFields.text(FieldId::X2), cleanFields.text(FieldId::X2));
        QCOMPARE(badFields.text(FieldId::Y2), cleanFields.text(FieldId::Y2));
        QCOMPARE(badFields.text(FieldId::Lat), cleanFields.text(FieldId::Lat));
        QVERIFY(badFields.text(FieldId::X2) != "0.000");
    }

    // The command line, with the damaged text as Y (after the comma of --point).
    if (!viaArgv) return;
    const QStringList centres{"--from", "40.51,-0.51", "--to", "40.45,-0.45", "--point"};
    const Run r = runConvert(centres + QStringList{QString::fromLatin1("2000,") + QString::fromLocal8Bit(bad)});
    if (clean.isEmpty()) {
        QCOMPARE(r.exitCode, kExitRefused);
        QCOMPARE(r.out, QByteArray());
        QVERIFY2(r.err.contains(msg::kCoordinates), r.err.constData());
    } else {
        const Run c = runConvert(centres + QStringList{QString::fromLatin1("2000,") + QString::fromLatin1(clean)});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.out, c.out);
    }
}

// Output that cannot be written is a failure the user is told about: exit 1
// and a message on stderr, never a silent 0.
void tst_BadInputs::commandLineOutputFails_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("--point into /dev/full")
        << QStringList{"--from", "40.51,-0.51", "--to", "40.45,-0.45", "--point", "1000,2000"};
    QTest::newRow("--help into /dev/full") << QStringList{"--help"};
    QTest::newRow("--version into /dev/full") << QStringList{"--version"};
}

void tst_BadInputs::commandLineOutputFails()
{
    QFETCH(QStringList, args);
    if (!QFile::exists("/dev/full")) QSKIP("no /dev/full on this system");
    const Run r = runConvert(args, "/dev/full");
    QCOMPARE(r.exitCode, kExitFailed);
    QVERIFY2(r.err.contains(msg::cannotWrite("-").c_str()), r.err.constData());
}

QTEST_GUILESS_MAIN(tst_BadInputs)
#include "tst_bad_inputs.moc"
