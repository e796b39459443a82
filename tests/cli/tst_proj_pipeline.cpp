// hattsheet-convert --proj-pipeline: the printed pipeline, run by PROJ's own
// cct (and GDAL's ogr2ogr on a DXF drawing), against the program's list
// conversion of the same points (hattsheet-convert as a process). The
// tolerances are the accuracy figures the pipeline states:
// operations/proj_pipeline.h, plus half of the printed millimetre.

#include "geodesy/hatt_projection.h"
#include "geodesy/sheet_catalogue.h"
#include "operations/proj_pipeline.h"
#include "operations/sheet_names.h"
#include "support/cli_run.h"
#include "support/hepos_data.h"
#include "support/temp_workspace.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <deque>
#include <memory>
#include <numbers>

using namespace hattsheet::operations;
namespace geo = hattsheet::geodesy;
using hattsheet::testing::CliRun;
using hattsheet::testing::runConvert;

namespace {

constexpr double kPrintedHalfMm = 0.0005 + 1e-6;  // metres, of either coordinate (the program prints 0.001 m)
constexpr double kPrintedDistance = std::numbers::sqrt2 * kPrintedHalfMm;  // metres, of both

struct Point3 {
    double a = 0.0, b = 0.0, h = 0.0;  // the system's order (φ, λ for geographic)
};
using Points = std::vector<Point3>;

bool geographic(const QString& system) { return system == "wgs84" || system == "egsa87-geo" || system == "htrs07"; }

// One process to run: the program's list on stdin, or cct with a pipeline.
struct Job {
    QString program;
    QStringList args;
    QByteArray input, out, err;
    int exitCode = -1;
};

// Runs the jobs a few at a time: two loaded cores start a process in
// 10-50 ms, and the sheets need over two thousand of them.
void runAll(const std::vector<Job*>& jobs)
{
    constexpr std::size_t kAtOnce = 6;
    std::deque<std::pair<Job*, std::unique_ptr<QProcess>>> running;
    const auto finishFront = [&] {
        auto& [job, p] = running.front();
        p->waitForFinished(120000);
        job->out = p->readAllStandardOutput();
        job->err = p->readAllStandardError();
        job->exitCode = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        running.pop_front();
    };
    for (Job* job : jobs) {
        if (running.size() == kAtOnce) finishFront();
        auto& p = running.emplace_back(job, std::make_unique<QProcess>()).second;
        p->start(job->program, job->args);
        p->write(job->input);
        p->closeWriteChannel();
    }
    while (!running.empty()) finishFront();
}

// The program's list lines "P0,a,b,h", or cct's "x y z 0" with the
// longitude first for a geographic system.
QByteArray linesOf(const Points& points, bool forCct, bool lonFirst)
{
    QByteArray text;
    for (const Point3& p : points) {
        const QString x = QString::number(lonFirst ? p.b : p.a, 'f', 9), y = QString::number(lonFirst ? p.a : p.b, 'f', 9);
        const QString h = QString::number(p.h, 'f', 3);
        text += (forCct ? QStringList{x, y, h, "0"}.join(' ') : QStringList{"P", x, y, h}.join(',')).toUtf8() + '\n';
    }
    return text;
}

Points pointsOf(const QByteArray& out, bool fromCct, bool lonFirst)
{
    Points points;
    for (const QByteArray& line : out.split('\n')) {
        QList<QByteArray> f = fromCct ? line.simplified().split(' ') : line.split(',');
        if (!fromCct && !f.isEmpty()) f.removeFirst();
        if (f.size() < 3 || line.startsWith('#')) continue;
        points.push_back({f[lonFirst ? 1 : 0].trimmed().toDouble(), f[lonFirst ? 0 : 1].trimmed().toDouble(), f[2].trimmed().toDouble()});
    }
    return points;
}

Job programJob(const QString& from, const QString& to, const Points& points, const QStringList& extra = {})
{
    return Job{HATTSHEET_CONVERT, QStringList{"--from", from, "--to", to} + extra, linesOf(points, false, false), {}, {}};
}

Job cctJob(const QString& pipeline, const Points& points, bool lonFirst)
{
    return Job{"cct", QStringList{"-d", "10"} + pipeline.split(' '), linesOf(points, true, lonFirst), {}, {}};
}

// The largest difference (metres) between two lists of one system: of
// either coordinate alone (perCoordinate: a printed figure held to its last
// digit) or of the distance; infinite when a list is not as long as expected.
double largestDifference(const Points& a, const Points& b, bool isGeographic, std::size_t expected,
                         bool perCoordinate = true)
{
    if (a.size() != expected || b.size() != expected) return INFINITY;
    constexpr double kMetresPerDegree = 111320.0;  // enough to read a difference of millimetres
    double worst = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double scale = isGeographic ? kMetresPerDegree : 1.0;
        const double north = std::abs(a[i].a - b[i].a) * scale;
        const double east = std::abs(a[i].b - b[i].b) * scale * (isGeographic ? std::cos(a[i].a * M_PI / 180.0) : 1.0);
        worst = std::max(worst, perCoordinate ? std::max(north, east) : std::hypot(north, east));
    }
    return worst;
}

// The Hatt points of a sheet: its centre and the corners of its outline (mm).
Points sheetPoints(const geo::Sheet& sheet)
{
    const geo::HattProjection projection(geo::centreOf(sheet));
    Points points{{0.0, 0.0, 0.0}};
    for (const geo::OutlineCorner& c : sheet.outline) {
        const auto p = projection.forward(
            {geo::degreesToRadians(c.phiDeg), geo::degreesToRadians(c.lambdaDeg + geo::kAthensMeridianDeg)});
        points.push_back({std::round(p->x * 1000.0) / 1000.0, std::round(p->y * 1000.0) / 1000.0, 0.0});
    }
    return points;
}

// A sheet on another (accepted) centre just beyond a corner of this one.
const geo::Sheet* neighbourOf(const geo::Sheet& sheet)
{
    constexpr double kStepDeg = 0.01;
    for (const geo::OutlineCorner& c : sheet.outline) {
        for (const auto& [dPhi, dLambda] : {std::pair{-1, -1}, {-1, 1}, {1, -1}, {1, 1}}) {
            const geo::Sheet* other = sheetAtPlace(c.phiDeg + dPhi * kStepDeg, c.lambdaDeg + dLambda * kStepDeg);
            if (other && (other->phi0Deg != sheet.phi0Deg || other->lambda0Deg != sheet.lambda0Deg) &&
                geo::readCentre(other->phi0DegMin, other->lambda0DegMin)) {
                return other;
            }
        }
    }
    return nullptr;
}

QString nameOf(const geo::Sheet& sheet) { return QString::fromUtf8(sheet.name.data(), qsizetype(sheet.name.size())); }

QString pipelineText(const SystemId& from, const SystemId& to)
{
    const auto pipeline = projPipeline(from, to, false);
    return pipeline ? QString::fromStdString(pipeline->text) : QString();
}

SystemId hattOf(const geo::Sheet& sheet)
{
    return SystemId::hatt(std::string(sheet.phi0DegMin), std::string(sheet.lambda0DegMin), &sheet);
}

} // namespace

class tst_ProjPipeline : public QObject {
    Q_OBJECT
private slots:
    void everySheet();
    void routes_data();
    void routes();
    void refusals_data();
    void refusals();
    void refusedAsTheConversion_data();
    void refusedAsTheConversion();
    void ogr2ogrCommands_data();
    void ogr2ogrCommands();
};

// Every usable sheet, through cct: Hatt -> ΕΓΣΑ87 and back to the printed
// millimetre (horner and its +inv against the polynomial and its exact
// inverse), and to a neighbouring sheet's centre within the aeqd figure.
void tst_ProjPipeline::everySheet()
{
    if (QStandardPaths::findExecutable("cct").isEmpty()) QSKIP("PROJ's cct is not installed");
    struct Sheet {
        const geo::Sheet* sheet;
        const geo::Sheet* neighbour;
        Points points;
        Job toGrid, toGridCct, there, thereCct, back, backCct;
    };
    std::vector<Sheet> sheets;
    std::vector<Job*> first, second;
    const SystemId grid = SystemId::of(SystemKind::Egsa87);
    for (const geo::Sheet& sheet : geo::sheetCatalogue()) {
        if (!geo::isUsable(sheet)) continue;
        const geo::Sheet* neighbour = neighbourOf(sheet);
        const Points points = sheetPoints(sheet);
        sheets.push_back({&sheet, neighbour, points, programJob(nameOf(sheet), "egsa87", points),
                          cctJob(pipelineText(hattOf(sheet), grid), points, false),
                          neighbour ? programJob(nameOf(sheet), nameOf(*neighbour), points) : Job{},
                          neighbour ? cctJob(pipelineText(hattOf(sheet), hattOf(*neighbour)), points, false) : Job{},
                          Job{}, Job{}});
    }
    QCOMPARE(sheets.size(), std::size_t(384));
    for (Sheet& s : sheets) {
        first.insert(first.end(), {&s.toGrid, &s.toGridCct});
        if (s.neighbour) first.insert(first.end(), {&s.there, &s.thereCct});
    }
    runAll(first);
    for (Sheet& s : sheets) {  // back from the program's own ΕΓΣΑ87 results
        const Points onGrid = pointsOf(s.toGrid.out, false, false);
        s.back = programJob("egsa87", nameOf(*s.sheet), onGrid);
        s.backCct = cctJob(pipelineText(grid, hattOf(*s.sheet)), onGrid, false);
        second.insert(second.end(), {&s.back, &s.backCct});
    }
    runAll(second);
    int neighbours = 0;
    for (const Sheet& s : sheets) {
        const auto difference = [&](const Job& program, const Job& cct, bool perCoordinate) {
            return largestDifference(pointsOf(program.out, false, false), pointsOf(cct.out, true, false), false,
                                     s.points.size(), perCoordinate);
        };
        const QByteArray name = nameOf(*s.sheet).toUtf8();
        const double toGrid = difference(s.toGrid, s.toGridCct, true), back = difference(s.back, s.backCct, true);
        QVERIFY2(toGrid <= kPrintedHalfMm, name + " to ΕΓΣΑ87: " + QByteArray::number(toGrid) + " m " + s.toGridCct.err);
        QVERIFY2(back <= kPrintedHalfMm, name + " from ΕΓΣΑ87: " + QByteArray::number(back) + " m " + s.backCct.err);
        if (!s.neighbour) continue;
        ++neighbours;
        const double there = difference(s.there, s.thereCct, false);
        QVERIFY2(there <= kAeqdAgainstSeriesMm / 1000.0 + kPrintedDistance, name + " to a neighbour: " + QByteArray::number(there));
    }
    QVERIFY2(neighbours >= 350, QByteArray::number(neighbours));
}

Q_DECLARE_METATYPE(Points)

// The other routes, printed by --proj-pipeline and run by cct, against the
// program's list of the same points (heights pass through both). The
// tolerance: half the printed millimetre (0.1 mm of a 9-decimal degree),
// the aeqd figure where the program has its series, the grid's shifts for
// --approximate.
void tst_ProjPipeline::routes_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<Points>("points");
    QTest::addColumn<double>("tolerance");  // metres
    QTest::addColumn<QString>("note");      // on stderr
    const double exact = kPrintedHalfMm, series = kAeqdAgainstSeriesMm / 1000.0 + kPrintedDistance;
    const Points grid{{476000, 4206000, 120}, {410000, 4498000, 30}, {262000, 4395000, 480}, {605000, 3909000, 50}};
    const Points geographic{{37.9, 23.7, 120}, {40.6, 22.9, 30}, {35.3, 25.1, 50}};
    const Points hatt{{1000, 2000, 10}, {-12000.5, 9000.25, 0}, {20000, -15000, 300}};  // on Άβδηρα (40°45', 1°15')
    const Points tm07{{476000, 2206000, 120}, {566446.108, 2529618.096, 51.61}, {262000, 2395000, 480}};
    const Points tm3{{300000, 750000, 5}, {310000, 745000, 0}};
    const QStringList none, approximate{"--approximate"};
    QTest::newRow("sheet to TM3 east") << "Άβδηρα" << "tm3-east" << none << hatt << series << "aeqd";
    QTest::newRow("TM3 central to sheet") << "tm3-central" << "Άβδηρα" << none << tm3 << series << "aeqd";
    QTest::newRow("centre to centre") << "40.51,-0.51" << "40.45,-0.45" << none << hatt << series << "aeqd";
    QTest::newRow("one centre both ends") << "40.45,1.15" << "40.45,1.15" << none << hatt << series << "aeqd";
    QTest::newRow("TM3 central to TM3 east") << "tm3-central" << "tm3-east" << none << tm3 << exact << "";
    QTest::newRow("ΕΓΣΑ87 to its geographic") << "egsa87" << "egsa87-geo" << none << grid << exact << "";
    QTest::newRow("geographic to ΕΓΣΑ87") << "egsa87-geo" << "egsa87" << none << geographic << exact << "";
    QTest::newRow("ΕΓΣΑ87 to WGS84") << "egsa87" << "wgs84" << none << grid << exact << "1 m";
    QTest::newRow("WGS84 to ΕΓΣΑ87 at the point's height") << "wgs84" << "egsa87" << none << geographic << exact << "1 m";
    QTest::newRow("WGS84 to WGS84") << "wgs84" << "wgs84" << none << geographic << exact << "1 m";
    QTest::newRow("sheet to geographic") << "Άβδηρα" << "egsa87-geo" << none << hatt << exact << "Άβδηρα";
    QTest::newRow("sheet to WGS84") << "Άβδηρα" << "wgs84" << none << hatt << exact << "1 m";
    QTest::newRow("WGS84 to sheet") << "wgs84" << "Άβδηρα" << none << Points{{41.0, 24.9, 40}} << exact << "Άβδηρα";
    QTest::newRow("TM07 to HTRS07") << "tm07" << "htrs07" << none << tm07 << exact << "";
    QTest::newRow("HTRS07 to TM07") << "htrs07" << "tm07" << none << geographic << exact << "";
    const double withoutGrid = kWithoutGridMetres;
    QTest::newRow("approximate TM07 to ΕΓΣΑ87") << "tm07" << "egsa87" << approximate << tm07 << withoutGrid << "HEPOS";
    QTest::newRow("approximate ΕΓΣΑ87 to HTRS07") << "egsa87" << "htrs07" << approximate << grid << withoutGrid << "HEPOS";
    QTest::newRow("approximate sheet to TM07") << "Άβδηρα" << "tm07" << approximate << hatt << withoutGrid << "HEPOS";
}

void tst_ProjPipeline::routes()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, extra);
    QFETCH(Points, points);
    QFETCH(double, tolerance);
    QFETCH(QString, note);
    if (QStandardPaths::findExecutable("cct").isEmpty()) QSKIP("PROJ's cct is not installed");
    const bool needsGrid = extra.contains("--approximate");
    const QString gridFolder = hattsheet::testing::heposDataFolder();
    if (needsGrid && gridFolder.isEmpty()) QSKIP("no HEPOS grid");
    const CliRun printed = runConvert(QStringList{"--proj-pipeline", "--from", from, "--to", to} + extra, {}, {}, {},
                                      HATTSHEET_CONVERT, "C.UTF-8");
    QCOMPARE(printed.exitCode, 0);
    QVERIFY(printed.out.startsWith("+proj=pipeline +step ") && printed.out.endsWith("\n"));
    QCOMPARE(printed.out.count('\n'), 1);
    if (!note.isEmpty()) QVERIFY2(printed.err.contains(note.toUtf8()), printed.err);
    for (const QByteArray& line : printed.err.split('\n')) QVERIFY(line.isEmpty() || line.startsWith("hattsheet-convert: "));

    Job program = programJob(from, to, points, needsGrid ? QStringList{"--hepos-grid", gridFolder} : QStringList{});
    Job cct = cctJob(QString::fromUtf8(printed.out.trimmed()), points, geographic(from));
    runAll({&program, &cct});
    QCOMPARE(program.exitCode, 0);
    const Points ours = pointsOf(program.out, false, false), theirs = pointsOf(cct.out, true, geographic(to));
    // A tolerance beyond the printed millimetre is a distance.
    const double worst = largestDifference(ours, theirs, geographic(to), points.size(), tolerance <= kPrintedHalfMm);
    QVERIFY2(worst <= tolerance, qPrintable(QString("%1 m; cct: %2").arg(worst).arg(QString::fromUtf8(cct.err))));
    for (std::size_t i = 0; i < points.size(); ++i) QVERIFY(std::abs(theirs[i].h - ours[i].h) <= kPrintedHalfMm);
}

// Routes with no pipeline, and --proj-pipeline beside the options of a
// conversion: the exit status and the words, in both languages; nothing
// on stdout.
void tst_ProjPipeline::refusals_data()
{
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    const QString en = "C.UTF-8", el = "el_GR.UTF-8", p = "--proj-pipeline ";
    QTest::newRow("a centre, not a sheet") << p + "--from 40.45,1.15 --to egsa87" << en << 2
                                           << "--from: .*PROJ pipeline cannot choose.*Άβδηρα \\(1\\)";
    QTest::newRow("a centre, in Greek") << p + "--from 40.45,1.15 --to egsa87" << el << 2
                                        << "--from: .*δεν μπορεί να διαλέξει.*Άβδηρα \\(1\\)";
    QTest::newRow("to a centre") << p + "--from wgs84 --to 40.45,1.15" << en << 2 << "^hattsheet-convert: --to: ";
    QTest::newRow("TM3 to ΕΓΣΑ87") << p + "--from tm3-west --to egsa87" << en << 2 << "--from: between TM3 and the new";
    QTest::newRow("ΕΓΣΑ87 to TM3, in Greek") << p + "--from egsa87 --to tm3:3" << el << 2 << "--to: μεταξύ TM3 και νέου";
    QTest::newRow("TM07 without --approximate") << p + "--from tm07 --to egsa87" << en << 2
                                                << "PROJ before 9\\.4.*--approximate.*2\\.7 m";
    QTest::newRow("grid, in Greek") << p + "--from Άβδηρα --to htrs07" << el << 2 << "PROJ πριν από το 9\\.4.*2,7 m";
    QTest::newRow("with --point") << p + "--from egsa87 --to wgs84 --point 1,2" << en << 64
                                  << "takes no --point\nhattsheet-convert: see hattsheet-convert --help\n$";
    QTest::newRow("with a list") << p + "--from egsa87 --to wgs84 in.txt" << en << 64 << "takes no INPUT";
    QTest::newRow("with -o, in Greek") << p + "--from egsa87 --to wgs84 -o x" << el << 64 << "δεν παίρνει -o";
    QTest::newRow("with --format") << p + "--from egsa87 --to wgs84 --format kml" << en << 64 << "takes no --format";
    QTest::newRow("with --systems") << p + "--systems" << en << 64 << "takes no --systems";
    QTest::newRow("--approximate alone") << "--approximate --from tm07 --to egsa87 --point 1,2" << en << 64
                                         << "--approximate goes with --proj-pipeline only";
    QTest::newRow("no --to") << p + "--from egsa87" << en << 64 << "--help";
    QTest::newRow("unknown system") << p + "--from tm99 --to egsa87" << en << 64 << "tm99";
    QTest::newRow("given twice") << p + p + "--from tm07 --to htrs07" << en << 64 << "--proj-pipeline";
}

void tst_ProjPipeline::refusals()
{
    QFETCH(QString, args);
    QFETCH(QString, lang);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    const CliRun run = runConvert(args.split(' '), {}, {}, {}, HATTSHEET_CONVERT, lang);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(QRegularExpression(err).match(QString::fromUtf8(run.err)).hasMatch(), run.err);
}

// A refused Hatt end says what the conversion of a point says, word for
// word: the same refusal, with the same exit status.
void tst_ProjPipeline::refusedAsTheConversion_data()
{
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("lang");
    QTest::newRow("inconsistent sheet") << "--from egsa87 --to Αχεντριάς" << "C.UTF-8";
    QTest::newRow("inconsistent sheet, in Greek") << "--from Γύθειον --to wgs84" << "el_GR.UTF-8";
    QTest::newRow("centre with no sheet") << "--from 40.00,0.00 --to egsa87" << "C.UTF-8";
    QTest::newRow("latitude out of range") << "--from 44.00,0.00 --to 40.45,1.15" << "C.UTF-8";
    QTest::newRow("longitude out of range, in Greek") << "--from 40.45,1.15 --to 38.00,6.00" << "el_GR.UTF-8";
}

void tst_ProjPipeline::refusedAsTheConversion()
{
    QFETCH(QString, route);
    QFETCH(QString, lang);
    const CliRun conversion = runConvert(route.split(' ') << "--point" << "1,2", {}, {}, {}, HATTSHEET_CONVERT, lang);
    const CliRun pipeline = runConvert(QStringList{"--proj-pipeline"} + route.split(' '), {}, {}, {}, HATTSHEET_CONVERT, lang);
    QCOMPARE(conversion.exitCode, 2);
    QCOMPARE(pipeline.exitCode, 2);
    QCOMPARE(pipeline.out, QByteArray());
    QCOMPARE(pipeline.err, conversion.err);
}

// A drawing of one sheet converted by ogr2ogr with the printed pipeline, as
// README.md gives the commands: every vertex of a LINE, an LWPOLYLINE and a
// POLYLINE, and a TEXT's place, within 1 mm of the program's list
// conversion of the same points. A GeoPackage without a CRS is read as
// geographic unless -s_srs names a plane one (its x and y would be swapped).
void tst_ProjPipeline::ogr2ogrCommands_data()
{
    QTest::addColumn<bool>("geoPackage");    // the drawing copied into a GeoPackage first
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("crs");    // ogr2ogr's -s_srs and -t_srs
    QTest::newRow("DXF drawing to ΕΓΣΑ87") << false << "egsa87" << QStringList();
    QTest::newRow("GeoPackage to ΕΓΣΑ87") << true << "egsa87" << QStringList{"-s_srs", "EPSG:2100", "-t_srs", "EPSG:2100"};
    QTest::newRow("GeoPackage to WGS84, longitude first")
        << true << "wgs84" << QStringList{"-s_srs", "EPSG:2100", "-t_srs", "OGC:CRS84"};
}

void tst_ProjPipeline::ogr2ogrCommands()
{
    QFETCH(bool, geoPackage);
    QFETCH(QString, to);
    QFETCH(QStringList, crs);
    if (QStandardPaths::findExecutable("ogr2ogr").isEmpty()) QSKIP("GDAL's ogr2ogr is not installed");
    const Points vertices{{1000, 2000, 0},    {-3000, 4000, 0}, {5000, -6000, 0}, {7000, 8000, 0},
                          {-9000, -10000, 0}, {100, 200, 0},    {300, 400, 0},    {12345, -2345, 0}};
    const auto xy = [&](int i, int code) {
        return QString("%1\n%2\n%3\n%4\n").arg(code).arg(vertices[i].a).arg(code + 10).arg(vertices[i].b);
    };
    const QString vertex = "0\nVERTEX\n8\n0\n";
    const QString dxf = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n" + xy(0, 10) + xy(1, 11) +
                        "0\nLWPOLYLINE\n8\n0\n90\n3\n70\n0\n" + xy(2, 10) + xy(3, 10) + xy(4, 10) +
                        "0\nPOLYLINE\n8\n0\n66\n1\n70\n0\n" + vertex + xy(5, 10) + vertex + xy(6, 10) +
                        "0\nSEQEND\n8\n0\n0\nTEXT\n8\n0\n" + xy(7, 10) + "40\n2.5\n1\nP1\n0\nENDSEC\n0\nEOF\n";
    QTemporaryDir dir;
    QVERIFY(hattsheet::testing::writeFile(dir.filePath("sheet.dxf"), dxf.toUtf8()));
    const auto ogr2ogr = [](const QStringList& args) {
        QProcess ogr;
        ogr.start("ogr2ogr", args);
        return ogr.waitForFinished(60000) && ogr.exitCode() == 0 ? QByteArray() : "ogr2ogr: " + ogr.readAllStandardError();
    };
    QString source = dir.filePath("sheet.dxf");
    if (geoPackage) {
        QCOMPARE(ogr2ogr({"-f", "GPKG", dir.filePath("sheet.gpkg"), source}), QByteArray());
        source = dir.filePath("sheet.gpkg");
    }
    const CliRun printed = runConvert({"--proj-pipeline", "--from", "Άβδηρα", "--to", to});
    QCOMPARE(printed.exitCode, 0);
    QCOMPARE(ogr2ogr(QStringList{"-f", "CSV", "-lco", "GEOMETRY=AS_WKT"} + crs +
                     QStringList{"-ct", QString::fromUtf8(printed.out.trimmed()), dir.filePath("out.csv"), source}),
             QByteArray());
    // Every "x y" pair of the WKT, in the drawing's order.
    Points converted;
    const QString csv = QString::fromUtf8(hattsheet::testing::readFile(dir.filePath("out.csv")));
    const QRegularExpression pair("(\\d+\\.?\\d*) (\\d+\\.?\\d*)");
    for (auto m = pair.globalMatch(csv); m.hasNext();) {
        const auto match = m.next();
        converted.push_back({match.captured(1).toDouble(), match.captured(2).toDouble(), 0.0});
    }
    if (geographic(to)) {
        for (Point3& p : converted) std::swap(p.a, p.b);
    }
    Job program = programJob("Άβδηρα", to, vertices);
    runAll({&program});
    constexpr double kMillimetre = 0.001;
    const double worst = largestDifference(pointsOf(program.out, false, false), converted, geographic(to), vertices.size());
    QVERIFY2(worst <= kMillimetre, qPrintable(QString("%1 m\n%2").arg(worst).arg(csv)));
}

QTEST_GUILESS_MAIN(tst_ProjPipeline)
#include "tst_proj_pipeline.moc"
