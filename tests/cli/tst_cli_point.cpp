// hattsheet-convert --point, run as a user runs it: the arguments, what it
// prints on stdout and stderr, and its exit status. Expected digits are the
// worked examples of the single-point conversion.

#include <QProcess>
#include <QTest>

class tst_CliPoint : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

namespace {
constexpr int kRefused = 2;
constexpr int kUsage = 64;
const QString kWorkedExample = QStringLiteral(
    "Χ = -7429.270\nΥ = 13107.462\nφ = 40° 52' 4.83982''\nΔλ = -0° 50' 17.29165''\nλ = 22° 52' 41.52335''\n");
} // namespace

void tst_CliPoint::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");  // exact stdout
    QTest::addColumn<QString>("err");  // a refusal's exact stderr line, a usage error's part; empty: none

    const QStringList centres{"--from", "40.51,-0.51", "--to", "40.45,-0.45"};
    QTest::newRow("worked example") << centres + QStringList{"--point", "1000,2000"} << 0 << kWorkedExample << "";
    QTest::newRow("equals signs") << QStringList{"--from=40.51,-0.51", "--to=40.45,-0.45", "--point=1000,2000"}
                                  << 0 << kWorkedExample << "";
    QTest::newRow("defaults, a hair below a whole minute")
        << centres + QStringList{"--point", "0.000,0.000"} << 0
        << QStringLiteral("Χ = -8431.552\nΥ = 11108.603\nφ = 40° 50' 60.00000''\nΔλ = -0° 51' 0.00000''\n"
                          "λ = 22° 51' 58.81500''\n")
        << "";
    QTest::newRow("east of Athens, negative X after --point")
        << QStringList{"--from", "38.15,1.45", "--to", "38.45,1.15", "--point", "-12345.678,9876.543"} << 0
        << QStringLiteral("Χ = 31362.630\nΥ = -45568.618\nφ = 38° 20' 20.04305''\nΔλ = 1° 36' 31.57684''\n"
                          "λ = 25° 19' 30.39184''\n")
        << "";
    QTest::newRow("empty Y reads as 0") << centres + QStringList{"--point", "0,"} << 0
                                        << QStringLiteral("Χ = -8431.552\nΥ = 11108.603\nφ = 40° 50' 60.00000''\n"
                                                          "Δλ = -0° 51' 0.00000''\nλ = 22° 51' 58.81500''\n")
                                        << "";

    // Refusals: the window's message on stderr, nothing on stdout, exit 2;
    // the --from centre is checked completely before --to is read.
    QTest::newRow("new latitude 43") << QStringList{"--from", "40.51,-0.51", "--to", "43.00,-0.45", "--point", "0,0"}
                                     << kRefused << "" << "Λάθος στο Φ.";
    QTest::newRow("old longitude before new latitude")
        << QStringList{"--from", "40.51,5.01", "--to", "43.00,-0.45", "--point", "0,0"} << kRefused << ""
        << "Λάθος στο Δλ.";
    QTest::newRow("latitude typed as longitude")
        << QStringList{"--from", "40.51,40.51", "--to", "40.45,-0.45", "--point", "0,0"} << kRefused << ""
        << "Λάθος στο Δλ.";
    QTest::newRow("letters as latitude") << QStringList{"--from", "abc,-0.51", "--to", "40.45,-0.45", "--point", "0,0"}
                                         << kRefused << "" << "Λάθος στο Φ.";
    QTest::newRow("X overflows the series") << centres + QStringList{"--point", "1e100,0"} << kRefused << ""
                                            << "Λάθος στις συντεταγμένες.";
    QTest::newRow("Y beyond a double") << centres + QStringList{"--point", "0,1E999"} << kRefused << ""
                                       << "Λάθος στις συντεταγμένες.";

    // Usage errors.
    QTest::newRow("no --to") << QStringList{"--from", "40.51,-0.51", "--point", "0,0"} << kUsage << "" << "usage:";
    QTest::newRow("point without comma") << centres + QStringList{"--point", "1000"} << kUsage << "" << "usage:";
    QTest::newRow("centre without comma") << QStringList{"--from", "40.51", "--to", "40.45,-0.45", "--point", "0,0"}
                                          << kUsage << "" << "usage:";
    QTest::newRow("unknown option") << centres + QStringList{"--pont", "0,0"} << kUsage << "" << "--pont";
    QTest::newRow("value missing at the end") << centres + QStringList{"--point"} << kUsage << "" << "usage:";
    QTest::newRow("point and input file") << centres + QStringList{"--point", "0,0", "list.txt"} << kUsage << ""
                                          << "usage:";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "" << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "" << "";
}

void tst_CliPoint::run()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess p;
    p.start(HATTSHEET_CONVERT, args);
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString stdoutText = QString::fromUtf8(p.readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    if (args.contains("--help")) {
        QVERIFY(stdoutText.startsWith("usage: hattsheet-convert"));
    } else if (args.contains("--version")) {
        QVERIFY(stdoutText.startsWith("hattsheet-convert "));
    } else {
        QCOMPARE(stdoutText, out);
    }
    if (err.isEmpty()) QCOMPARE(stderrText, QString());
    else if (exitCode == kRefused) QCOMPARE(stderrText, err + "\n");
    else QVERIFY2(stderrText.contains(err), qPrintable(stderrText));
}

QTEST_GUILESS_MAIN(tst_CliPoint)
#include "tst_cli_point.moc"
