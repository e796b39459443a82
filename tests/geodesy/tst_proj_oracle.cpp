// The Hatt series against an independent oracle: PROJ's azimuthal
// equidistant projection on the same ellipsoid (+proj=aeqd, ellipsoidal and
// exact: it solves the geodesic), whose plane coordinates the Hatt series
// approximate by truncated power series about the sheet centre.
//
// Each bound below is the maximum measured over the grid of centres and
// azimuths with a margin of about a quarter, never loosened to make a test
// pass; the measured table goes to the test log and into README.md.

#include "digits.h"
#include "hatt_projection.h"
#include "reference_rows.h"
#include "sheet_centre.h"
#include "single_point.h"

#include <proj.h>

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace hattsheet::geodesy;

namespace {

constexpr double kAthensFromGreenwichDeg = (2578.815 / 3600.0) + 23.0;  // 23.7163375°

// Centres over the whole accepted range (decimal degrees, λ from Athens).
constexpr double kCentrePhiDeg[] = {34.0, 35.5, 37.0, 38.5, 40.0, 41.5, 42.0};
constexpr double kCentreLambdaDeg[] = {-4.5, -2.5, -0.85, 0.0, 1.5, 3.0, 5.0};
constexpr int kAzimuths = 12;  // every 30°, starting north

// One aeqd projection at a sheet centre.
class Aeqd {
public:
    Aeqd(PJ_CONTEXT* ctx, double phi0Deg, double lambda0Deg)
    {
        char def[256];
        std::snprintf(def, sizeof def,
                      "+proj=aeqd +a=%.17g +es=%.17g +lat_0=%.17g +lon_0=%.17g +x_0=0 +y_0=0 +units=m",
                      kBesselA, kBesselE2, phi0Deg, lambda0Deg + kAthensFromGreenwichDeg);
        m_pj.reset(proj_create(ctx, def));
    }
    bool valid() const { return m_pj != nullptr; }
    PlanePoint forward(GeodeticPosition g) const
    {
        const PJ_COORD c = proj_trans(m_pj.get(), PJ_FWD, proj_coord(g.lambda, g.phi, 0, 0));
        return {c.xy.x, c.xy.y};
    }
    GeodeticPosition inverse(PlanePoint p) const
    {
        const PJ_COORD c = proj_trans(m_pj.get(), PJ_INV, proj_coord(p.x, p.y, 0, 0));
        return {c.lp.phi, c.lp.lam};
    }

private:
    struct Del {
        void operator()(PJ* p) const { proj_destroy(p); }
    };
    std::unique_ptr<PJ, Del> m_pj;
};

struct Centre {
    double phiDeg, lambdaDeg;
    CentreRad rad() const { return {degreesToRadians(phiDeg), degreesToRadians(lambdaDeg)}; }
};

std::vector<Centre> centreGrid()
{
    std::vector<Centre> grid;
    for (double phi : kCentrePhiDeg)
        for (double lambda : kCentreLambdaDeg) grid.push_back({phi, lambda});
    return grid;
}

// The target sheets of a conversion: neighbours up to one sheet (30') away,
// kept inside the accepted range.
std::vector<Centre> neighbours(Centre c, double stepDeg = 0.5)
{
    std::vector<Centre> out;
    for (auto [dPhi, dLambda] : {std::pair{-1.0, 0.0}, {0.0, 1.0}, {1.0, -1.0}, {0.5, 0.5}}) {
        out.push_back({std::clamp(c.phiDeg + dPhi * stepDeg, 34.0, 42.0),
                       std::clamp(c.lambdaDeg + dLambda * stepDeg, -4.5, 5.0)});
    }
    return out;
}

PlanePoint pointAt(double distanceM, int azimuthIndex)
{
    const double az = (azimuthIndex * (360.0 / kAzimuths)) * (M_PI / 180.0);
    return {distanceM * std::sin(az), distanceM * std::cos(az)};
}

double distance(PlanePoint a, PlanePoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

} // namespace

class tst_ProjOracle : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void seriesAgainstAeqd_data();
    void seriesAgainstAeqd();
    void conversionAgainstPipeline_data();
    void conversionAgainstPipeline();
    void roundTrip_data();
    void roundTrip();
    void referenceTableAgainstPipeline();

private:
    PJ_CONTEXT* m_ctx = nullptr;
};

void tst_ProjOracle::initTestCase()
{
    m_ctx = proj_context_create();
    QVERIFY(Aeqd(m_ctx, 40.0, 0.0).valid());
}

void tst_ProjOracle::cleanupTestCase() { proj_context_destroy(m_ctx); }

// Inverse: the Hatt position of a plane point, projected with aeqd, against
// the point itself. Forward: the Hatt plane point of the exact aeqd position.
// Both are position differences in metres (the aeqd scale is 1 to 3e-5 here).
void tst_ProjOracle::seriesAgainstAeqd_data()
{
    QTest::addColumn<double>("distanceKm");
    QTest::addColumn<double>("inverseBoundMm");
    QTest::addColumn<double>("forwardBoundMm");
    // measured (mm):               inverse  forward
    QTest::newRow("1 km") << 1.0 << 0.001 << 0.001;    // 0.0001   0.0000
    QTest::newRow("5 km") << 5.0 << 0.012 << 0.001;    // 0.0090   0.0001
    QTest::newRow("10 km") << 10.0 << 0.09 << 0.001;   // 0.0717   0.0007
    QTest::newRow("15 km") << 15.0 << 0.30 << 0.004;   // 0.2421   0.0025
    QTest::newRow("20 km") << 20.0 << 0.72 << 0.008;   // 0.5740   0.0063
    QTest::newRow("40 km") << 40.0 << 5.8 << 0.073;    // 4.5985   0.0583
    QTest::newRow("60 km") << 60.0 << 19.5 << 0.28;    // 15.549   0.2245
    QTest::newRow("80 km") << 80.0 << 46.0 << 0.75;    // 36.940   0.5980
}

void tst_ProjOracle::seriesAgainstAeqd()
{
    QFETCH(double, distanceKm);
    QFETCH(double, inverseBoundMm);
    QFETCH(double, forwardBoundMm);
    double inverseMax = 0, forwardMax = 0;
    for (const Centre& c : centreGrid()) {
        const Aeqd exact(m_ctx, c.phiDeg, c.lambdaDeg);
        for (int a = 0; a < kAzimuths; ++a) {
            const PlanePoint p = pointAt(distanceKm * 1000.0, a);
            const auto g = hattInverse(c.rad(), p);
            const auto q = hattForward(c.rad(), exact.inverse(p));
            QVERIFY(g && q);
            inverseMax = std::max(inverseMax, distance(exact.forward(*g), p));
            forwardMax = std::max(forwardMax, distance(*q, p));
        }
    }
    qInfo("aeqd | %5.0f km | inverse max %10.4f mm | forward max %10.4f mm", distanceKm, inverseMax * 1e3,
          forwardMax * 1e3);
    QVERIFY(inverseMax * 1e3 <= inverseBoundMm);
    QVERIFY(forwardMax * 1e3 <= forwardBoundMm);
}

// A whole conversion (inverse at the old centre, forward at a neighbouring
// new centre) against PROJ's two steps, aeqd inverse then aeqd forward.
void tst_ProjOracle::conversionAgainstPipeline_data()
{
    QTest::addColumn<double>("distanceKm");  // from the old centre
    QTest::addColumn<double>("boundMm");
    QTest::newRow("1 km") << 1.0 << 0.30;    // measured 0.2328 mm
    QTest::newRow("5 km") << 5.0 << 0.36;    // 0.2876
    QTest::newRow("10 km") << 10.0 << 0.49;  // 0.3908
    QTest::newRow("20 km") << 20.0 << 1.13;  // 0.9015
}

void tst_ProjOracle::conversionAgainstPipeline()
{
    QFETCH(double, distanceKm);
    QFETCH(double, boundMm);
    double worst = 0;
    for (const Centre& from : centreGrid()) {
        const Aeqd exactFrom(m_ctx, from.phiDeg, from.lambdaDeg);
        for (const Centre& to : neighbours(from)) {
            const Aeqd exactTo(m_ctx, to.phiDeg, to.lambdaDeg);
            for (int a = 0; a < kAzimuths; ++a) {
                const PlanePoint p = pointAt(distanceKm * 1000.0, a);
                const auto g = hattInverse(from.rad(), p);
                QVERIFY(g);
                const auto q = hattForward(to.rad(), *g);
                QVERIFY(q);
                worst = std::max(worst, distance(*q, exactTo.forward(exactFrom.inverse(p))));
            }
        }
    }
    qInfo("conversion | %5.0f km from the old centre | max %10.4f mm", distanceKm, worst * 1e3);
    QVERIFY(worst * 1e3 <= boundMm);
}

// Old -> new -> old with the series alone, between neighbouring sheets.
void tst_ProjOracle::roundTrip_data()
{
    QTest::addColumn<double>("distanceKm");
    QTest::addColumn<double>("sheetStepDeg");  // how far the other centre lies
    QTest::addColumn<double>("boundMm");
    // Neighbouring sheets 30' apart: the point lies some 55 km from the
    // other centre, where the series are far less exact.
    QTest::newRow("1 km, sheets 30' apart") << 1.0 << 0.5 << 24.2;    // measured 19.33 mm
    QTest::newRow("5 km, sheets 30' apart") << 5.0 << 0.5 << 29.3;    // 23.39
    QTest::newRow("10 km, sheets 30' apart") << 10.0 << 0.5 << 36.6;  // 29.22
    QTest::newRow("20 km, sheets 30' apart") << 20.0 << 0.5 << 54.8;  // 43.80
    // Centres 6' apart: the point stays within 20 km of both centres.
    QTest::newRow("1 km, centres 6' apart") << 1.0 << 0.1 << 0.24;  // 0.1859
    QTest::newRow("5 km, centres 6' apart") << 5.0 << 0.1 << 0.53;  // 0.4200
    QTest::newRow("8 km, centres 6' apart") << 8.0 << 0.1 << 0.88;  // 0.6979
}

void tst_ProjOracle::roundTrip()
{
    QFETCH(double, distanceKm);
    QFETCH(double, sheetStepDeg);
    QFETCH(double, boundMm);
    double worst = 0;
    for (const Centre& from : centreGrid()) {
        for (const Centre& to : neighbours(from, sheetStepDeg)) {
            const HattSheet a(from.rad()), b(to.rad());
            for (int k = 0; k < kAzimuths; ++k) {
                const PlanePoint p = pointAt(distanceKm * 1000.0, k);
                const auto there = b.forward(*a.inverse(p));
                QVERIFY(there);
                const auto back = a.forward(*b.inverse(*there));
                QVERIFY(back);
                worst = std::max(worst, distance(*back, p));
            }
        }
    }
    qInfo("round trip | %5.0f km | max %10.4f mm", distanceKm, worst * 1e3);
    QVERIFY(worst * 1e3 <= boundMm);
}

// The committed reference table is not the code restating itself: every row's
// ">" result agrees with PROJ's two aeqd steps within the series error at the
// row's distance, which grows with the cube of the distance from the farther
// of the two centres (the table above: 37 mm at 80 km), plus half a millimetre
// for the rounding of the texts.
void tst_ProjOracle::referenceTableAgainstPipeline()
{
    QString error;
    const auto rows = hattsheet::testing::readReferenceFile(HATTSHEET_REFERENCE_FILE, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!rows.isEmpty());
    constexpr double kSeriesMmAt80Km = 50.0;  // measured 37 mm inverse + forward, with a margin
    constexpr double kRoundingMm = 0.5;
    double worstRatio = 0;
    for (const auto& r : rows) {
        const double fromPhi = *degMinToDegrees(r.fromPhi.toStdString());
        const double fromLambda = *degMinToDegrees(r.fromLambda.toStdString());
        const double toPhi = *degMinToDegrees(r.toPhi.toStdString());
        const double toLambda = *degMinToDegrees(r.toLambda.toStdString());
        const PlanePoint p{r.x.toDouble(), r.y.toDouble()};
        const PlanePoint q{r.x2.toDouble(), r.y2.toDouble()};
        const PlanePoint exact =
            Aeqd(m_ctx, toPhi, toLambda).forward(Aeqd(m_ctx, fromPhi, fromLambda).inverse(p));
        const double farthestKm = std::max(std::hypot(p.x, p.y), std::hypot(q.x, q.y)) / 1000.0;
        const double boundMm = kRoundingMm + kSeriesMmAt80Km * std::pow(farthestKm / 80.0, 3);
        const double diffMm = distance(q, exact) * 1e3;
        worstRatio = std::max(worstRatio, diffMm / boundMm);
        QVERIFY2(diffMm <= boundMm, qPrintable(QStringLiteral("%1,%2 to %3,%4 at %5,%6: %7 mm, bound %8 mm")
                                                   .arg(r.fromPhi, r.fromLambda, r.toPhi, r.toLambda, r.x, r.y)
                                                   .arg(diffMm)
                                                   .arg(boundMm)));
    }
    qInfo("reference table | %lld rows | worst difference %.2f of its bound", static_cast<long long>(rows.size()),
          worstRatio);
}

QTEST_APPLESS_MAIN(tst_ProjOracle)
#include "tst_proj_oracle.moc"
