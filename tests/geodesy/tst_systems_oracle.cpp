// The steps between the systems beside Hatt, each against PROJ as the
// independent oracle (the same pipelines cct runs), and the HEPOS model
// against the Hellenic Cadastre's own check points. PROJ 9.1 cannot apply a
// grid in projected coordinates, so the grid's part is checked at its nodes
// against the file's own numbers, read here independently.

#include "geodesy/hepos_grid.h"
#include "support/hepos_data.h"
#include "support/temp_workspace.h"

#include <proj.h>

#include <QTest>

#include <cmath>
#include <memory>
#include <optional>

using namespace hattsheet::geodesy;

namespace {

// One PROJ pipeline, in degrees and metres at both ends.
class Oracle {
public:
    explicit Oracle(const char* definition) : m_pj(proj_create(PJ_DEFAULT_CTX, definition), proj_destroy) {}
    bool valid() const { return m_pj != nullptr; }
    // Angles in and out in degrees where the pipeline's end is geographic.
    PJ_COORD run(PJ_COORD c, bool angularIn, bool angularOut, PJ_DIRECTION direction = PJ_FWD) const
    {
        if (angularIn) c = PJ_COORD{{proj_torad(c.v[0]), proj_torad(c.v[1]), c.v[2], c.v[3]}};
        c = proj_trans(m_pj.get(), direction, c);
        if (angularOut) c = PJ_COORD{{proj_todeg(c.v[0]), proj_todeg(c.v[1]), c.v[2], c.v[3]}};
        return c;
    }

private:
    std::unique_ptr<PJ, PJ* (*)(PJ*)> m_pj;
};

// A 9 × 9 sweep over Greece, 34.8°..41.6° N, 19.8°..28.2° E (degrees).
template <typename F>
void overGreece(F&& each)
{
    for (int i = 0; i < 9; ++i) {
        for (int j = 0; j < 9; ++j) each(GeographicPoint{34.8 + (0.85 * i), 19.8 + (1.05 * j)});
    }
}

// Metres on the ground of a difference in degrees (1° ≈ 111 km).
double groundMetres(GeographicPoint a, GeographicPoint b)
{
    return std::hypot(a.phiDeg - b.phiDeg, (a.lambdaDeg - b.lambdaDeg) * std::cos(degreesToRadians(a.phiDeg))) * 111320.0;
}

const HeposGrid* theGrid()
{
    static const std::optional<HeposGrid> grid = []() -> std::optional<HeposGrid> {
        const QString folder = hattsheet::testing::heposDataFolder();
        if (folder.isEmpty()) return std::nullopt;
        auto read = HeposGrid::read(folder.toStdString());
        return read ? std::optional(std::move(*read)) : std::nullopt;
    }();
    return grid ? &*grid : nullptr;
}

#define NEED_GRID()                                                                                  \
    const HeposGrid* grid = theGrid();                                                               \
    if (grid == nullptr) QSKIP("no HEPOS grid: set HATTSHEET_TEST_HEPOS_GRID to its folder")

const char* const kHelmertPipeline =
    "+proj=pipeline +step +inv +proj=tmerc +lat_0=0 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=-2000000 +ellps=GRS80 "
    "+step +proj=cart +ellps=GRS80 +step +proj=helmert +convention=coordinate_frame +x=203.437 +y=-73.461 "
    "+z=-243.594 +rx=-0.170 +ry=-0.060 +rz=-0.151 +s=-0.294 +step +inv +proj=cart +ellps=GRS80 "
    "+step +proj=tmerc +lat_0=0 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=0 +ellps=GRS80";

// Each grid's forward and inverse keep to this of PROJ's tmerc (metres):
// both are good to nanometres; 0.1 mm is what the systems promise.
constexpr double kTmTolerance = 1e-4;
// Datum steps against PROJ's (metres on the ground).
constexpr double kDatumTolerance = 1e-4;

} // namespace

Q_DECLARE_METATYPE(const TransverseMercatorGrid*)

class tst_SystemsOracle : public QObject {
    Q_OBJECT
private slots:
    void gridsAgainstTmerc_data();
    void gridsAgainstTmerc();
    void wgs84AgainstProj();
    void helmertAndGridAgainstProj();
    void stepTableAgainstExact();
    void agencyCheckPoints_data();
    void agencyCheckPoints();
    void roundTrips();
    void outsideTheGrid_data();
    void outsideTheGrid();
    void damagedGrid_data();
    void damagedGrid();
};

// PROJ's tmerc with each grid's figures (the TM3 meridians are Athens ± 3°).
void tst_SystemsOracle::gridsAgainstTmerc_data()
{
    QTest::addColumn<const TransverseMercatorGrid*>("grid");
    QTest::addColumn<QByteArray>("proj");
    QTest::newRow("TM87") << &tm87() << QByteArray("+proj=tmerc +lat_0=0 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=0 +ellps=GRS80");
    QTest::newRow("TM07") << &tm07()
                          << QByteArray("+proj=tmerc +lat_0=0 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=-2000000 +ellps=GRS80");
    const char* const tm3 = "+proj=tmerc +lat_0=34 +lon_0=%.10f +k=0.9999 +x_0=200000 +y_0=0 +a=6377397.155 +rf=299.1528128";
    QTest::newRow("TM3 west") << &hattsheet::geodesy::tm3(Tm3Zone::West) << QString::asprintf(tm3, 20.7163375).toLatin1();
    QTest::newRow("TM3 central") << &hattsheet::geodesy::tm3(Tm3Zone::Central) << QString::asprintf(tm3, 23.7163375).toLatin1();
    QTest::newRow("TM3 east") << &hattsheet::geodesy::tm3(Tm3Zone::East) << QString::asprintf(tm3, 26.7163375).toLatin1();
}

void tst_SystemsOracle::gridsAgainstTmerc()
{
    QFETCH(const TransverseMercatorGrid*, grid);
    QFETCH(QByteArray, proj);
    const Oracle oracle(proj.constData());
    QVERIFY(oracle.valid());
    double worst = 0.0;
    overGreece([&](GeographicPoint g) {
        const GridPoint ours = grid->forward(g);
        const PJ_COORD theirs = oracle.run(proj_coord(g.lambdaDeg, g.phiDeg, 0, 0), true, false);
        worst = std::max(worst, std::hypot(ours.e - theirs.xy.x, ours.n - theirs.xy.y));
        worst = std::max(worst, groundMetres(grid->inverse(ours), g));
    });
    QVERIFY2(worst < kTmTolerance, qPrintable(QString("%1 m").arg(worst)));
    qInfo("against tmerc: %.3g m", worst);
}

// EPSG:1272 as PROJ writes it: a geocentric translation between the two ellipsoids.
void tst_SystemsOracle::wgs84AgainstProj()
{
    const Oracle oracle("+proj=pipeline +step +proj=cart +ellps=GRS80 +step +proj=helmert +x=-199.87 +y=74.79 "
                        "+z=246.62 +step +inv +proj=cart +ellps=WGS84");
    QVERIFY(oracle.valid());
    double worst = 0.0, back = 0.0, moved = 0.0;
    for (const double h : {0.0, 1500.0}) {
        overGreece([&](GeographicPoint g) {
            const GeodeticPoint3 ours = egsa87ToWgs84({g.phiDeg, g.lambdaDeg, h});
            const PJ_COORD theirs = oracle.run(proj_coord(g.lambdaDeg, g.phiDeg, h, 0), true, true);
            worst = std::max(worst, groundMetres({ours.phiDeg, ours.lambdaDeg}, {theirs.lp.phi, theirs.lp.lam}));
            moved = std::max(moved, groundMetres({ours.phiDeg, ours.lambdaDeg}, g));
            const GeodeticPoint3 again = wgs84ToEgsa87({ours.phiDeg, ours.lambdaDeg, h});  // heights pass through
            back = std::max(back, groundMetres({again.phiDeg, again.lambdaDeg}, g));
        });
    }
    QVERIFY2(worst < kDatumTolerance && back < kDatumTolerance, qPrintable(QString("%1 m, back %2 m").arg(worst).arg(back)));
    QVERIFY2(moved > 50.0, "the translation was not applied");
    qInfo("EPSG:1272 against PROJ: %.3g m, back %.3g m", worst, back);
}

// Steps 1-3 against PROJ; the grid's shift read independently at the node
// nearest the point and at the centre of its cell (the mean of four nodes).
void tst_SystemsOracle::helmertAndGridAgainstProj()
{
    NEED_GRID();
    const Oracle oracle(kHelmertPipeline);
    QVERIFY(oracle.valid());
    const QString folder = hattsheet::testing::heposDataFolder();
    const QList<QByteArray> east = hattsheet::testing::readFile(folder + "/east.grd").split('\n');
    const QList<QByteArray> north = hattsheet::testing::readFile(folder + "/north.grd").split('\n');
    // Node (row, column) of a file, in metres, from its own text.
    const auto node = [](const QList<QByteArray>& lines, int row, int column) {
        return lines.at(5 + row).simplified().split(' ').at(column).toDouble() / 100.0;
    };
    double worst = 0.0;
    for (const auto& [row, column] : {std::pair{10, 20}, std::pair{200, 211}, std::pair{300, 350}, std::pair{406, 420}}) {
        for (const bool centreOfCell : {false, true}) {
            const double half = centreOfCell ? 1000.0 : 0.0;
            const GridPoint tm07{41600.0 + (2000.0 * column) + half, 1845619.0 + (2000.0 * row) + half};
            for (const double h : {0.0, 800.0}) {
                const auto ours = tm07ToTm87(*grid, tm07, h);
                QVERIFY(ours);
                const PJ_COORD helmert = oracle.run(proj_coord(tm07.e, tm07.n, h, 0), false, false);
                double de = node(east, row, column), dn = node(north, row, column);
                if (centreOfCell) {
                    de = (de + node(east, row, column + 1) + node(east, row + 1, column) + node(east, row + 1, column + 1)) / 4.0;
                    dn = (dn + node(north, row, column + 1) + node(north, row + 1, column) + node(north, row + 1, column + 1)) / 4.0;
                }
                worst = std::max(worst, std::hypot(ours->e - (helmert.xy.x + de), ours->n - (helmert.xy.y + dn)));
            }
        }
    }
    QVERIFY2(worst < kDatumTolerance, qPrintable(QString("%1 m").arg(worst)));
    qInfo("Helmert steps and grid against PROJ: %.3g m", worst);
}

// Steps 1-3 read from the table against the exact steps, over the whole
// grid, from below the sea to above any summit.
void tst_SystemsOracle::stepTableAgainstExact()
{
    NEED_GRID();
    double worst = 0.0;
    for (int k = 0; k < 4000; ++k) {
        // A fixed scatter: golden-ratio steps over the grid and the heights.
        const double u = std::fmod(k * 0.6180339887, 1.0), v = std::fmod(k * 0.7548776662, 1.0);
        const double w = std::fmod(k * 0.5698402910, 1.0);
        const GridPoint p{41600.0 + (u * 842000.0), 1845619.0 + (v * 814000.0)};
        const double h = -500.0 + (w * 5500.0);
        const auto table = grid->step(p, h);
        QVERIFY(table);
        const GridPoint exact = helmertStep(p, h);
        worst = std::max(worst, std::hypot(table->e - exact.e, table->n - exact.n));
    }
    QVERIFY2(worst < 1e-5, qPrintable(QString("%1 m").arg(worst)));
    qInfo("table against exact steps: %.3g m", worst);
}

// The agency's two check points (TM07 with ellipsoidal h, and TM87), to the
// millimetre in both directions; with h = 0 the Helmert step misses them by
// millimetres, so the height must reach it.
void tst_SystemsOracle::agencyCheckPoints_data()
{
    QTest::addColumn<double>("e07");
    QTest::addColumn<double>("n07");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("e87");
    QTest::addColumn<double>("n87");
    QTest::newRow("first check point") << 566446.108 << 2529618.096 << 51.610 << 566296.537 << 4529332.307;
    QTest::newRow("second check point") << 525000.011 << 2650967.938 << 172.591 << 524849.996 << 4650682.000;
}

void tst_SystemsOracle::agencyCheckPoints()
{
    NEED_GRID();
    QFETCH(double, e07);
    QFETCH(double, n07);
    QFETCH(double, h);
    QFETCH(double, e87);
    QFETCH(double, n87);
    const auto there = tm07ToTm87(*grid, {e07, n07}, h);
    const auto back = tm87ToTm07(*grid, {e87, n87}, h);
    QVERIFY(there && back);
    constexpr double kMillimetre = 0.001;
    QVERIFY2(std::abs(there->e - e87) < kMillimetre && std::abs(there->n - n87) < kMillimetre,
             qPrintable(QString("%1 %2").arg(there->e, 0, 'f', 5).arg(there->n, 0, 'f', 5)));
    QVERIFY2(std::abs(back->e - e07) < kMillimetre && std::abs(back->n - n07) < kMillimetre,
             qPrintable(QString("%1 %2").arg(back->e, 0, 'f', 5).arg(back->n, 0, 'f', 5)));
    qInfo("check point residuals (mm): to TM87 %.2f, %.2f; to TM07 %.2f, %.2f", (there->e - e87) * 1e3,
          (there->n - n87) * 1e3, (back->e - e07) * 1e3, (back->n - n07) * 1e3);
}

// There and back over Greece, at two heights: the inverse is exact to 0.1 mm.
void tst_SystemsOracle::roundTrips()
{
    NEED_GRID();
    double worst = 0.0, worstTm3 = 0.0;
    int converted = 0;
    overGreece([&](GeographicPoint g) {
        for (const double h : {0.0, 2000.0}) {
            const GridPoint start = tm07().forward(g);
            const auto there = tm07ToTm87(*grid, start, h);
            if (!there) continue;  // outside the grid's rectangle (the open sea)
            const auto back = tm87ToTm07(*grid, *there, h);
            QVERIFY(back);
            ++converted;
            worst = std::max(worst, std::hypot(back->e - start.e, back->n - start.n));
        }
        for (const Tm3Zone zone : {Tm3Zone::West, Tm3Zone::Central, Tm3Zone::East}) {
            worstTm3 = std::max(worstTm3, groundMetres(tm3(zone).inverse(tm3(zone).forward(g)), g));
        }
    });
    QVERIFY2(converted > 100, qPrintable(QString::number(converted)));
    QVERIFY2(worst < 1e-4 && worstTm3 < 1e-6, qPrintable(QString("%1 m, TM3 %2 m").arg(worst).arg(worstTm3)));
    qInfo("round trips: TM07 %.3g m, TM3 %.3g m", worst, worstTm3);
}

// The grid's nodes span E 41 600..883 600, N 1 845 619..2 659 619 (TM07).
void tst_SystemsOracle::outsideTheGrid_data()
{
    QTest::addColumn<double>("e");
    QTest::addColumn<double>("n");
    QTest::newRow("west of the first column") << 41599.0 << 2200000.0;
    QTest::newRow("east of the last column") << 883601.0 << 2200000.0;
    QTest::newRow("south of the first row") << 500000.0 << 1845618.0;
    QTest::newRow("north of the last row") << 500000.0 << 2659620.0;
    QTest::newRow("not a number") << std::nan("") << 2200000.0;
}

void tst_SystemsOracle::outsideTheGrid()
{
    NEED_GRID();
    QFETCH(double, e);
    QFETCH(double, n);
    QVERIFY(!tm07ToTm87(*grid, {e, n}, 0.0));
    QVERIFY(!tm87ToTm07(*grid, {e, n + 2000000.0}, 0.0));
}

// A grid file with one fault each: the problem and the line that names it.
void tst_SystemsOracle::damagedGrid_data()
{
    QTest::addColumn<int>("line");     // 1-based line to replace (0: none)
    QTest::addColumn<QByteArray>("text");  // its new text
    QTest::addColumn<int>("cut");      // lines kept from the end of the file: -1 all
    QTest::addColumn<GridProblem>("problem");
    QTest::addColumn<int>("faultLine");
    QTest::newRow("407 rows") << 1 << QByteArray("407") << -1 << GridProblem::RowCount << 1;
    QTest::newRow("columns not a number") << 2 << QByteArray("422x") << -1 << GridProblem::HeaderNumber << 2;
    QTest::newRow("1 km spacing") << 3 << QByteArray("1000.00") << -1 << GridProblem::Spacing << 3;
    QTest::newRow("origin moved") << 5 << QByteArray("41700.000") << -1 << GridProblem::Origin << 5;
    QTest::newRow("a shift not a number") << 10 << QByteArray("1.0 abc") << -1 << GridProblem::NotANumber << 10;
    QTest::newRow("a row one short") << 100 << QByteArray("1.0 2.0") << -1 << GridProblem::ShortRow << 100;
    QTest::newRow("a shift of 20 m") << 6 << QByteArray("2000") << -1 << GridProblem::NotANumber << 6;
    QTest::newRow("the last row missing") << 0 << QByteArray() << 412 << GridProblem::MissingRows << 413;
    QTest::newRow("text after the rows") << 0 << QByteArray("\r\nend") << -1 << GridProblem::TextAfterRows << 414;
    QTest::newRow("an empty file") << 0 << QByteArray() << 0 << GridProblem::HeaderNumber << 1;
}

void tst_SystemsOracle::damagedGrid()
{
    QFETCH(int, line);
    QFETCH(QByteArray, text);
    QFETCH(int, cut);
    QFETCH(GridProblem, problem);
    QFETCH(int, faultLine);
    const QString folder = hattsheet::testing::heposDataFolder();
    if (folder.isEmpty()) QSKIP("no HEPOS grid");
    QList<QByteArray> lines = hattsheet::testing::readFile(folder + "/east.grd").split('\n');
    if (line > 0) {
        // A short row keeps the line's own numbers but two: CR LF stays.
        lines[line - 1] = problem == GridProblem::ShortRow ? lines[line - 1].left(lines[line - 1].lastIndexOf(' ', -3)) + "\r"
                                                            : text + "\r";
    }
    if (cut >= 0) lines = lines.mid(0, cut);
    QByteArray bytes = lines.join('\n');
    if (line == 0 && cut < 0) bytes += text;
    const auto parsed = CorrectionGrid::parse(bytes.toStdString(), "east.grd");
    QVERIFY(!parsed);
    QCOMPARE(int(parsed.error().problem), int(problem));
    QCOMPARE(int(parsed.error().line), faultLine);
    QCOMPARE(parsed.error().file, std::string("east.grd"));
}

QTEST_APPLESS_MAIN(tst_SystemsOracle)
#include "tst_systems_oracle.moc"
