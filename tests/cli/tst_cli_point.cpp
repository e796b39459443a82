// hattsheet-convert --point, run as a user runs it: the arguments, what it
// prints on stdout and stderr, and its exit status. Expected digits are the
// worked examples of the single-point conversion.

#include <QFile>
#include <QProcess>
#include <QTest>

class tst_CliPoint : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
};

namespace {
const QString kWorkedExample = QStringLiteral(
    "Χ = -7429.270\nΥ = 13107.462\nφ = 40° 52' 4.83982''\nΔλ = -0° 50' 17.29165''\nλ = 22° 52' 41.52335''\n");
const QString kAtCentre = QStringLiteral(
    "Χ = -8431.552\nΥ = 11108.603\nφ = 40° 50' 60.00000''\nΔλ = -0° 51' 0.00000''\nλ = 22° 51' 58.81500''\n");
} // namespace

// Exit 0 with the five lines; 2 with the window's message alone on stderr
// (the --from centre is checked completely before --to); 64 with a usage
// text naming the fault; 1 when stdout cannot be written.
void tst_CliPoint::run_data()
{
    QTest::addColumn<QString>("args");  // separated by blanks
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");  // exact stdout, or its start after "start:"
    QTest::addColumn<QString>("err");  // exact stderr line of a refusal; a part of it otherwise
    const QString c = "--from 40.51,-0.51 --to 40.45,-0.45 ";
    QTest::newRow("worked example") << c + "--point 1000,2000" << 0 << kWorkedExample << "";
    QTest::newRow("equals signs") << "--from=40.51,-0.51 --to=40.45,-0.45 --point=1000,2000" << 0 << kWorkedExample << "";
    QTest::newRow("defaults, a hair below a whole minute") << c + "--point 0.000,0.000" << 0 << kAtCentre << "";
    QTest::newRow("empty Y reads as 0") << c + "--point 0," << 0 << kAtCentre << "";
    QTest::newRow("east of Athens, negative X after --point")
        << "--from 38.15,1.45 --to 38.45,1.15 --point -12345.678,9876.543" << 0
        << QStringLiteral("Χ = 31362.630\nΥ = -45568.618\nφ = 38° 20' 20.04305''\nΔλ = 1° 36' 31.57684''\n"
                          "λ = 25° 19' 30.39184''\n")
        << "";
    QTest::newRow("help") << "--help" << 0 << "start:usage: hattsheet-convert" << "";
    QTest::newRow("version") << "--version" << 0 << "start:hattsheet-convert " << "";
    QTest::newRow("stdout is /dev/full") << c + "--point 1000,2000" << 1 << ""
                                        << "Δεν ήταν δυνατή η εγγραφή του αρχείου «-».";
    QTest::newRow("new latitude 43") << "--from 40.51,-0.51 --to 43.00,-0.45 --point 0,0" << 2 << "" << "Λάθος στο Φ.";
    QTest::newRow("old longitude before new latitude") << "--from 40.51,5.01 --to 43.00,-0.45 --point 0,0" << 2 << ""
                                                       << "Λάθος στο Δλ.";
    QTest::newRow("X overflows the series") << c + "--point 1e100,0" << 2 << "" << "Λάθος στις συντεταγμένες.";
    QTest::newRow("no --to") << "--from 40.51,-0.51 --point 0,0" << 64 << "" << "usage:";
    QTest::newRow("point without comma") << c + "--point 1000" << 64 << "" << "usage:";
    QTest::newRow("centre without comma") << "--from 40.51 --to 40.45,-0.45 --point 0,0" << 64 << "" << "usage:";
    QTest::newRow("unknown option") << c + "--pont 0,0" << 64 << "" << "--pont";
    QTest::newRow("value missing at the end") << c + "--point" << 64 << "" << "usage:";
    QTest::newRow("point and input file") << c + "--point 0,0 list.txt" << 64 << "" << "usage:";
}

void tst_CliPoint::run()
{
    QFETCH(QString, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess p;
    if (exitCode == 1) {
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full on this system");
        p.setStandardOutputFile("/dev/full");
    }
    p.start(HATTSHEET_CONVERT, args.split(' '));
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    const QString stdoutText = QString::fromUtf8(p.readAllStandardOutput());
    const QString stderrText = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    if (out.startsWith("start:")) QVERIFY2(stdoutText.startsWith(out.mid(6)), qPrintable(stdoutText));
    else QCOMPARE(stdoutText, out);
    if (exitCode == 2) QCOMPARE(stderrText, err + "\n");
    else QVERIFY2(err.isEmpty() ? stderrText.isEmpty() : stderrText.contains(err), qPrintable(stderrText));
}

QTEST_GUILESS_MAIN(tst_CliPoint)
#include "tst_cli_point.moc"
