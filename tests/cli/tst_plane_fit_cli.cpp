// hattsheet-convert --fit and --apply-fit, and the lists and fit file they
// read (operations/plane_fit_file.h).
// - The report's residuals come from the exact rational solution of
//   tests/geodesy/tst_plane_fit.cpp (same seven points): P7's similarity
//   residual 71.9348935, 16.2173366, length by hand sqrt(dx² + dy²).
// - Save then apply gives the fit's own point back; the file keeps every
//   double exactly.
// - Refusals: too few, collinear, mismatched and repeated codes, bad lines
//   (the layouts of the lists: tst_fit_lists.cpp).

#include "geodesy/plane_fit.h"
#include "operations/plane_fit_file.h"
#include "support/cli_run.h"

#include <QTemporaryDir>
#include <QTest>

using namespace hattsheet;
using hattsheet::testing::runConvert;

namespace {

const QByteArray kSeven = "P1,1000.000,2000.000,480512.345,4201003.210\n"
                          "P2,5321.120,1850.440,484850.101,4200950.876\n"
                          "P3,4900.870,7010.330,484337.882,4206090.414\n"
                          "P4,820.450,6540.990,480251.950,4205540.002\n"
                          "P5,3050.600,4410.250,482517.318,4203453.777\n"
                          "P6,2210.000,9020.100,481587.640,4208041.020\n"
                          "P7,6800.300,4300.700,486378.905,4203443.118\n";

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(bytes);
    return f.fileName();
}

} // namespace

class tst_PlaneFitCli : public QObject {
    Q_OBJECT
private slots:
    void pairing_data();
    void pairing();
    void fitFileKeepsEveryDigit();
    void reportAgainstIndependentSolution();
    void saveThenApply();
    void refusals_data();
    void refusals();
    void overflowRefused();
};

void tst_PlaneFitCli::pairing_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<QString>("expected");  // paired codes, or only:FROM|TO, or twice:CODE
    QTest::newRow("order differs") << QByteArray("A,1,2\nB,3,4\n") << QByteArray("B,30,40,7\nA,10,20,8\n") << "A B";
    QTest::newRow("one in each only") << QByteArray("A,1,2\nB,3,4\nC,5,6\n") << QByteArray("A,1,2\nD,3,4\nC,5,6\n") << "only:B|D";
    QTest::newRow("repeated in the target") << QByteArray("A,1,2\nB,3,4\n") << QByteArray("A,1,2\nA,3,4\nB,5,6\n") << "twice:A";
    QTest::newRow("repeated in the source") << QByteArray("A,1,2\nA,3,4\n") << QByteArray("A,1,2\n") << "twice:A";
}

void tst_PlaneFitCli::pairing()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(QString, expected);
    const auto a = operations::readSideList(from.toStdString()), b = operations::readSideList(to.toStdString());
    QVERIFY(a && b);
    const auto paired = operations::pairByCode(*a, *b);
    QString found;
    if (paired) {
        for (const auto& p : *paired) found += QString::fromStdString(p.code) + (&p == &paired->back() ? "" : " ");
        QCOMPARE((*paired)[0].X, 10.0);
    } else if (!paired.error().duplicate.empty()) {
        found = "twice:" + QString::fromStdString(paired.error().duplicate);
    } else {
        const auto join = [](const std::vector<std::string>& v) { return QString::fromStdString(v.empty() ? "" : v[0]); };
        found = "only:" + join(paired.error().onlyFrom) + "|" + join(paired.error().onlyTo);
    }
    QCOMPARE(found, expected);
}

// Parameters that need all 17 digits come back bit for bit; a file with a
// parameter missing or a number that is not one is refused.
void tst_PlaneFitCli::fitFileKeepsEveryDigit()
{
    const geodesy::PlaneFit fit{geodesy::FitModel::Affine, {2883.8400000000001, 0.1 + 0.2}, {4.5e5 / 3.0, 4204179.883},
                                {1.0 / 3.0, 0.99993729250209429, -2e-300, 5e-324, 1e300, -0.0}};
    const std::string text = operations::writeFitFile(fit, {{"P", 1, 2, 3, 4}}, "2026-01-01T00:00:00Z");
    const auto back = operations::readFitFile(text);
    QVERIFY(back);
    QCOMPARE(back->model, fit.model);
    QCOMPARE(back->sourceCentroid.y, fit.sourceCentroid.y);
    QCOMPARE(back->targetCentroid.x, fit.targetCentroid.x);
    for (std::size_t k = 0; k < fit.parameters.size(); ++k) QVERIFY(back->parameters[k] == fit.parameters[k]);
    std::string missing = text;
    missing.erase(missing.find("b2 = "));
    QVERIFY(!operations::readFitFile(missing));
    std::string bad = text;
    bad.replace(bad.find("a1 = ") + 5, 1, "x");
    QVERIFY(!operations::readFitFile(bad));
    QVERIFY(!operations::readFitFile("model = cubic\n"));
}

void tst_PlaneFitCli::reportAgainstIndependentSolution()
{
    QTemporaryDir dir;
    const QString all = write(dir, "all.csv", kSeven);
    const auto run = runConvert({"--fit", "similarity", all}, {}, {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("P1 -19.293 14.495 24.131\n"), run.out.constData());
    QVERIFY(run.out.contains("\nP7 71.935 16.217 73.740\nRMS = 34.564\nlargest residual = P7 73.740\n"));
    QVERIFY(run.out.contains("\nscale = 4644.27742"));
    QVERIFY(run.out.contains("\nrotation = 1.39142080"));
    QVERIFY(run.err.isEmpty());
}

// --check points are reported apart and not used: P7 checked against a fit
// of P1..P6 lands where --apply-fit puts it.
void tst_PlaneFitCli::saveThenApply()
{
    QTemporaryDir dir;
    const QList<QByteArray> lines = kSeven.split('\n');
    const QString six = write(dir, "six.csv", kSeven.left(kSeven.indexOf("P7")));
    const QString seventh = write(dir, "p7.csv", lines[6] + "\n");
    const QString saved = dir.filePath("p.fit");
    const auto fit = runConvert({"--fit", "affine", six, "--check", seventh, "--save-fit", saved}, {}, {}, {},
                                HATTSHEET_CONVERT, "C");
    QCOMPARE(fit.exitCode, 0);
    const QByteArray check = fit.out.mid(fit.out.indexOf("check points:\n") + 14).split('\n')[0];
    const auto applied = runConvert({"--apply-fit", saved}, "P7,6800.300,4300.700,12.5\n");
    QCOMPARE(applied.exitCode, 0);
    const QList<QByteArray> xy = applied.out.trimmed().split(',');
    QCOMPARE(xy.size(), 4);
    const double dx = 486378.905 - xy[1].trimmed().toDouble(), dy = 4203443.118 - xy[2].trimmed().toDouble();
    const QList<QByteArray> reported = check.split(' ');
    QVERIFY(std::abs(reported[1].toDouble() - dx) <= 0.0011);
    QVERIFY(std::abs(reported[2].toDouble() - dy) <= 0.0011);
    QCOMPARE(xy[3].trimmed(), QByteArray("12.500"));
    const auto point = runConvert({"--apply-fit", saved, "--point", "6800.300,4300.700"});
    QCOMPARE(point.out, "Χ = " + xy[1].trimmed() + "\nΥ = " + xy[2].trimmed() + "\n");
}

void tst_PlaneFitCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");   // LIST stands for the list below
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QByteArray two = kSeven.left(kSeven.indexOf("P3"));
    const QByteArray line = "A,0,0,1,1\nB,10,10,2,2\nC,20,20,3,3\nD,30,30,4,4\n";
    QTest::newRow("affine from two points") << QStringList{"--fit", "affine", "LIST"} << two << 2 << QByteArray("affine needs at least 3 common points");
    QTest::newRow("affine on a line") << QStringList{"--fit", "affine", "LIST"} << line << 2 << QByteArray("cannot fix a affine");
    QTest::newRow("a code twice") << QStringList{"--fit", "similarity", "LIST"} << QByteArray(two + two) << 1 << QByteArray("code P1 is given twice");
    QTest::newRow("a line of four fields") << QStringList{"--fit", "similarity", "LIST"} << QByteArray("A,1,2,3\n") << 1 << QByteArray(", line 1: 4 fields");
    QTest::newRow("an unknown model") << QStringList{"--fit", "cubic", "LIST"} << two << 64 << QByteArray("the models are");
    QTest::newRow("no list") << QStringList{"--fit", "affine"} << two << 64 << QByteArray("--fit MODEL takes");
    QTest::newRow("a list and --common") << QStringList{"--fit", "affine", "LIST", "--common", "LIST", "LIST"} << two << 64 << QByteArray("--fit MODEL takes");
    QTest::newRow("a file that is no fit") << QStringList{"--apply-fit", "LIST", "--point", "1,2"} << two << 1 << QByteArray("not a fit file");
    QTest::newRow("--fit with --apply-fit") << QStringList{"--fit", "affine", "LIST", "--apply-fit", "LIST"} << two << 64 << QByteArray("--fit MODEL takes");
}

void tst_PlaneFitCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, list);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    const QString path = write(dir, "list.csv", list);
    args.replaceInStrings("LIST", path);
    const auto run = runConvert(args, {}, {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

// A saved fit whose X overflows (its Y does not) refuses the record rather
// than write "inf".
void tst_PlaneFitCli::overflowRefused()
{
    QTemporaryDir dir;
    const QString fit = write(dir, "of.fit", "model = affine\nsource_centroid = 0 0\ntarget_centroid = 0 0\n"
                                             "a0 = 0\na1 = 1e308\na2 = 0\nb0 = 0\nb1 = 0\nb2 = 1\n");
    const auto run = runConvert({"--apply-fit", fit}, "P1,10,1\n", {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("record 1, line 1: the coordinates cannot be converted"), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

QTEST_APPLESS_MAIN(tst_PlaneFitCli)
#include "tst_plane_fit_cli.moc"
