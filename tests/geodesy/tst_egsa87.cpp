// The sheet table and the ΕΓΣΑ87 polynomials.
// - Every figure of the generated table equals the CSV's text read as a
//   double: the generator changes no figure.
// - PROJ's +proj=horner, built from the same coefficients, is the independent
//   oracle of the forward polynomial on every usable sheet's centre and four
//   corners (its parameter order, as data/README.md gives it, checked on the
//   README's worked example first); on the same points the Newton inverse
//   gives the Hatt coordinates back within 0.1 mm.
// - The outline test is half-open (south and west edges inside), by hand.

#include "geodesy/egsa87_polynomial.h"
#include "geodesy/sheet_catalogue.h"
#include "geodesy/hatt_projection.h"
#include "geodesy/sheet_outline.h"

#include <QFile>
#include <QTest>

#include <proj.h>

#include <cmath>
#include <cstdlib>

using namespace hattsheet::geodesy;

namespace {

// The forward polynomial reproduces PROJ's to this (metres): both sum six
// terms of at most 5e6 m in doubles, in different orders (Horner's scheme
// there), so they part by a few units of 1e-9 m.
constexpr double kOracleTolerance = 1e-6;
// A round trip Hatt -> ΕΓΣΑ87 -> Hatt keeps the point to this (metres).
constexpr double kRoundTripTolerance = 1e-4;

// The horner operation of one polynomial: fwd_u lists the terms 1, x, x², y,
// x·y, y² and fwd_v 1, y, y², x, x·y, x², so the two lists of the CSV's
// columns come in different orders.
PJ* horner(PJ_CONTEXT* ctx, const std::array<double, 6>& a, const std::array<double, 6>& b)
{
    const QString definition =
        QString("+proj=horner +ellps=bessel +deg=2 +range=10000000 +fwd_origin=0,0 "
                "+fwd_u=%1,%2,%3,%4,%5,%6 +fwd_v=%7,%8,%9,%10,%11,%12")
            .arg(a[0], 0, 'g', 17).arg(a[1], 0, 'g', 17).arg(a[3], 0, 'g', 17).arg(a[2], 0, 'g', 17)
            .arg(a[5], 0, 'g', 17).arg(a[4], 0, 'g', 17)
            .arg(b[0], 0, 'g', 17).arg(b[2], 0, 'g', 17).arg(b[4], 0, 'g', 17).arg(b[1], 0, 'g', 17)
            .arg(b[5], 0, 'g', 17).arg(b[3], 0, 'g', 17);
    return proj_create(ctx, definition.toLatin1().constData());
}

Egsa87Point projForward(PJ* pj, PlanePoint p)
{
    const PJ_COORD out = proj_trans(pj, PJ_FWD, proj_coord(p.x, p.y, 0, 0));
    return {out.xy.x, out.xy.y};
}

Sheet workedExample()
{
    Sheet s{};
    s.a = {370552.68, 0.9997155, 0.0175123, -1.08e-09, 1.63e-09, 2.04e-09};
    s.b = {4511927.23, -0.0174755, 0.9996979, -6.50e-10, 5.60e-10, -1.65e-09};
    s.c = {1.0, 0.0, 0.0, 0.0, 0.0};  // a start, nothing more
    s.d = {0.0, 1.0, 0.0, 0.0, 0.0};
    return s;
}

} // namespace

class tst_Egsa87 : public QObject {
    Q_OBJECT
private slots:
    void tableHasTheCsvFigures();
    void workedExample();
    void againstProjHorner_data();
    void againstProjHorner();
    void outline_data();
    void outline();
};

void tst_Egsa87::tableHasTheCsvFigures()
{
    QFile csv(HATTSHEET_SHEETS_CSV);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    csv.readLine();  // the header
    const auto sheets = sheetCatalogue();
    QCOMPARE(sheets.size(), std::size_t(390));
    for (const Sheet& s : sheets) {
        const QList<QByteArray> f = csv.readLine().trimmed().split(',');
        QCOMPARE(f.size(), 38);
        QCOMPARE(f[0].toInt(), s.id);
        QCOMPARE(f[1].toInt(), s.agencyNumber);
        QCOMPARE(f[2], QByteArray(s.name.data(), qsizetype(s.name.size())));
        QCOMPARE(f[3], QByteArray(s.nameUpper.data(), qsizetype(s.nameUpper.size())));
        QCOMPARE(f[6], QByteArray(s.phi0DegMin.data(), qsizetype(s.phi0DegMin.size())));
        QCOMPARE(f[7], QByteArray(s.lambda0DegMin.data(), qsizetype(s.lambda0DegMin.size())));
        std::vector<double> table{s.phi0Deg, s.lambda0Deg};
        for (const OutlineCorner& c : s.outline) table.insert(table.end(), {c.lambdaDeg, c.phiDeg});
        for (const auto* set : {&s.a, &s.b}) table.insert(table.end(), set->begin(), set->end());
        for (const auto* set : {&s.c, &s.d}) table.insert(table.end(), set->begin(), set->end());
        int column = 4;
        for (double value : table) {
            if (column == 6) column = 8;  // past the degrees-minutes texts
            // strtod rounds the decimal text correctly, as the compiler does
            // with a literal: the same double, bit for bit.
            const double csvValue = std::strtod(f[column].constData(), nullptr);
            QVERIFY2(value == csvValue, qPrintable(QString("sheet %1, column %2: %3 in the table, %4 in the CSV")
                                                       .arg(s.id).arg(column).arg(value, 0, 'g', 17)
                                                       .arg(f[column].constData())));
            ++column;
        }
    }
}

// data/README.md: x = -16997.09, y = -14277.15 gives E = 353310.92,
// N = 4497950.95; PROJ's horner gives 353310.9152, 4497950.9517.
void tst_Egsa87::workedExample()
{
    const Sheet s = ::workedExample();
    const Egsa87Polynomial polynomial(s);
    const Egsa87Point g = polynomial.forward({-16997.09, -14277.15});
    QCOMPARE(QString::number(g.e, 'f', 2), QString("353310.92"));
    QCOMPARE(QString::number(g.n, 'f', 2), QString("4497950.95"));
    QCOMPARE(QString::number(g.e, 'f', 4), QString("353310.9152"));
    QCOMPARE(QString::number(g.n, 'f', 4), QString("4497950.9517"));
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* pj = horner(ctx, s.a, s.b);
    QVERIFY(pj);
    const Egsa87Point oracle = projForward(pj, {-16997.09, -14277.15});
    proj_destroy(pj);
    proj_context_destroy(ctx);
    QVERIFY(std::abs(oracle.e - 353310.9152) < 5e-5 && std::abs(oracle.n - 4497950.9517) < 5e-5);
    const auto back = polynomial.inverse(g);
    QVERIFY(back);
    QVERIFY(std::abs(back->x + 16997.09) < kRoundTripTolerance && std::abs(back->y + 14277.15) < kRoundTripTolerance);
}

void tst_Egsa87::againstProjHorner_data()
{
    QTest::addColumn<int>("id");
    for (const Sheet& s : sheetCatalogue()) {
        if (isUsable(s)) QTest::addRow("%d %s", s.id, std::string(s.name).c_str()) << s.id;
    }
}

// The centre and the four outline corners of the sheet, as Hatt points on
// its centre.
void tst_Egsa87::againstProjHorner()
{
    QFETCH(int, id);
    const Sheet& s = *sheetById(id);
    const HattProjection frame(centreOf(s));
    std::vector<PlanePoint> points{{0.0, 0.0}};
    for (const OutlineCorner& c : s.outline) {
        const auto p = frame.forward(
            {degreesToRadians(c.phiDeg), degreesToRadians(c.lambdaDeg) + athensMeridian()});
        QVERIFY(p);
        points.push_back(*p);
    }
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* pj = horner(ctx, s.a, s.b);
    QVERIFY(pj);
    const Egsa87Polynomial polynomial(s);
    for (const PlanePoint& p : points) {
        const Egsa87Point ours = polynomial.forward(p);
        const Egsa87Point oracle = projForward(pj, p);
        QVERIFY2(std::abs(ours.e - oracle.e) < kOracleTolerance && std::abs(ours.n - oracle.n) < kOracleTolerance,
                 qPrintable(QString("at %1, %2: E %3 N %4, PROJ %5 %6").arg(p.x).arg(p.y)
                                .arg(ours.e, 0, 'f', 6).arg(ours.n, 0, 'f', 6)
                                .arg(oracle.e, 0, 'f', 6).arg(oracle.n, 0, 'f', 6)));
        const auto back = polynomial.inverse(ours);
        QVERIFY(back);
        QVERIFY2(std::hypot(back->x - p.x, back->y - p.y) < kRoundTripTolerance,
                 qPrintable(QString("round trip of %1, %2 gives %3, %4").arg(p.x).arg(p.y).arg(back->x).arg(back->y)));
    }
    proj_destroy(pj);
    proj_context_destroy(ctx);
}

// Sheet 1 Άβδηρα: Δλ 1.0-1.25, φ 40.75-41.0. Sheet 40 Ανατολ.Ύδρα: its
// south-east corner lies at φ 37.248864, so its south edge slopes.
void tst_Egsa87::outline_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<double>("phi");
    QTest::addColumn<double>("lambda");
    QTest::addColumn<bool>("holds");
    QTest::addColumn<double>("outsideMetres");  // distanceOutside, to 2 %; -1: not checked
    QTest::newRow("middle") << 1 << 40.875 << 1.125 << true << 0.0;
    QTest::newRow("south-west corner is inside") << 1 << 40.75 << 1.0 << true << 0.0;
    QTest::newRow("south edge is inside") << 1 << 40.75 << 1.1 << true << 0.0;
    QTest::newRow("west edge is inside") << 1 << 40.9 << 1.0 << true << 0.0;
    QTest::newRow("north edge is outside") << 1 << 41.0 << 1.1 << false << 0.0;
    QTest::newRow("east edge is outside") << 1 << 40.9 << 1.25 << false << 0.0;
    QTest::newRow("north-east corner is outside") << 1 << 41.0 << 1.25 << false << 0.0;
    QTest::newRow("0.01° north: 1.1 km") << 1 << 41.01 << 1.1 << false << 1111.0;
    QTest::newRow("0.01° west: 0.84 km") << 1 << 40.9 << 0.99 << false << 842.0;
    QTest::newRow("slanted south edge, just above it") << 40 << 37.24888 << -0.001 << true << 0.0;
    QTest::newRow("slanted south edge, below it") << 40 << 37.24886 << -0.001 << false << -1.0;
    // Half-way along that edge it lies at φ 37.249319 (by hand): the point (13290, -111) of its centre
    // (tests/cli) is 46 m south of it.
    QTest::newRow("slanted south edge half-way, 3 m above it") << 40 << 37.24935 << -0.10019 << true << 0.0;
    QTest::newRow("slanted south edge half-way, 46 m below it") << 40 << 37.24890 << -0.10019 << false << 46.0;
}

void tst_Egsa87::outline()
{
    QFETCH(int, id);
    QFETCH(double, phi);
    QFETCH(double, lambda);
    QFETCH(bool, holds);
    QFETCH(double, outsideMetres);
    const Sheet& s = *sheetById(id);
    QCOMPARE(outlineHolds(s.outline, phi, lambda), holds);
    const double d = distanceOutside(s.outline, phi, lambda);
    if (outsideMetres >= 0.0) QVERIFY2(std::abs(d - outsideMetres) <= 0.02 * outsideMetres, qPrintable(QString::number(d)));
    if (holds) QCOMPARE(d, 0.0);
}

QTEST_GUILESS_MAIN(tst_Egsa87)
#include "tst_egsa87.moc"
