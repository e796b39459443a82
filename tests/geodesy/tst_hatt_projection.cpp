// The Hatt series against their worked examples, digit for digit. These
// digits come from IEEE double evaluation in the written grouping; another
// libm could move a value by an ulp, a reordered formula or a fused
// multiply-add moves it too, and that is what these rows are here to catch.

#include "digits.h"
#include "hatt_projection.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace hattsheet::geodesy;
using hattsheet::testing::shortest;

namespace {
CentreRad centreDeg(double phi0Deg, double lambda0Deg)
{
    return CentreRad{degreesToRadians(phi0Deg), degreesToRadians(lambda0Deg)};
}
} // namespace

class tst_HattProjection : public QObject {
    Q_OBJECT
private slots:
    void constants();
    void radii_data();
    void radii();
    void inverse_data();
    void inverse();
    void forward_data();
    void forward();
    void centreMapsToItself_data();
    void centreMapsToItself();
    void notFiniteGivesNoResult_data();
    void notFiniteGivesNoResult();
};

void tst_HattProjection::constants()
{
    QCOMPARE(shortest(pi()), shortest(M_PI));
    QCOMPARE(shortest(athensMeridian()), QByteArray("0.4139281758892007"));
    QCOMPARE(shortest(radiansToDegrees(athensMeridian())), QByteArray("23.7163375"));
}

void tst_HattProjection::radii_data()
{
    QTest::addColumn<double>("phi0Deg");
    QTest::addColumn<QByteArray>("m");  // metres
    QTest::addColumn<QByteArray>("n");  // metres
    QTest::newRow("40°45'") << 40.75 << QByteArray("6361952.039017754") << QByteArray("6386484.942178406");
    QTest::newRow("south limit 34°") << 34.0 << QByteArray("6354715.603524839") << QByteArray("6384062.576644877");
    QTest::newRow("north limit 42°") << 42.0 << QByteArray("6363334.568252691") << QByteArray("6386947.528848776");
}

void tst_HattProjection::radii()
{
    QFETCH(double, phi0Deg);
    QFETCH(QByteArray, m);
    QFETCH(QByteArray, n);
    const Radii r = radiiOfCurvature(degreesToRadians(phi0Deg));
    QCOMPARE(shortest(r.m), m);
    QCOMPARE(shortest(r.n), n);
}

// Worked examples at the centre 40.75°, -0.75° (decimal degrees).
void tst_HattProjection::inverse_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<QByteArray>("phi");        // radians
    QTest::addColumn<QByteArray>("lambda");     // radians east of Greenwich
    QTest::addColumn<QByteArray>("phiDeg");
    QTest::addColumn<QByteArray>("lambdaDeg");
    QTest::newRow("1 km east, 2 km north") << 1000.0 << 2000.0 << QByteArray("0.7115360280105997")
                                           << QByteArray("0.40104495169708876") << QByteArray("40.76801137650969")
                                           << QByteArray("22.978183127271148");
}

void tst_HattProjection::inverse()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(QByteArray, phi);
    QFETCH(QByteArray, lambda);
    QFETCH(QByteArray, phiDeg);
    QFETCH(QByteArray, lambdaDeg);
    const auto g = hattInverse(centreDeg(40.75, -0.75), {x, y});
    QVERIFY(g);
    QCOMPARE(shortest(g->phi), phi);
    QCOMPARE(shortest(g->lambda), lambda);
    QCOMPARE(shortest(radiansToDegrees(g->phi)), phiDeg);
    QCOMPARE(shortest(radiansToDegrees(g->lambda)), lambdaDeg);
}

// Forward of a geodetic position, and inverse-then-forward at the same
// centre: the series are no exact inverses, a point 78 km out moves 2.7 cm.
void tst_HattProjection::forward_data()
{
    QTest::addColumn<bool>("fromPlane");  // the input is a plane point to run through the inverse first
    QTest::addColumn<double>("in1");      // φ (degrees) or X (metres)
    QTest::addColumn<double>("in2");      // λ east of Greenwich (degrees) or Y (metres)
    QTest::addColumn<QByteArray>("x");
    QTest::addColumn<QByteArray>("y");
    QTest::newRow("41°, 23° east of Greenwich") << false << 41.0 << 23.0 << QByteArray("2831.868794615827")
                                                << QByteArray("27760.3980516611");
    QTest::newRow("there and back 2.2 km out") << true << 1000.0 << 2000.0 << QByteArray("999.9999999984962")
                                               << QByteArray("1999.9999996322558");
    QTest::newRow("there and back 78 km out") << true << 50000.0 << -60000.0 << QByteArray("49999.99961639608")
                                              << QByteArray("-59999.97328343633");
    QTest::newRow("there and back 39 km north-west") << true << -30000.0 << 25000.0
                                                     << QByteArray("-30000.000024340316")
                                                     << QByteArray("24999.995942518224");
}

void tst_HattProjection::forward()
{
    QFETCH(bool, fromPlane);
    QFETCH(double, in1);
    QFETCH(double, in2);
    QFETCH(QByteArray, x);
    QFETCH(QByteArray, y);
    const CentreRad c = centreDeg(40.75, -0.75);
    const auto g = fromPlane ? hattInverse(c, {in1, in2})
                             : std::optional(GeodeticPosition{degreesToRadians(in1), degreesToRadians(in2)});
    QVERIFY(g);
    const auto p = hattForward(c, *g);
    QVERIFY(p);
    QCOMPARE(shortest(p->x), x);
    QCOMPARE(shortest(p->y), y);
}

// The origin of a sheet is its centre, exactly, in both directions.
void tst_HattProjection::centreMapsToItself_data()
{
    QTest::addColumn<double>("phi0Deg");
    QTest::addColumn<double>("lambda0Deg");
    for (double phi0 : {34.0, 37.5, 40.849999999999994, 42.0}) {
        for (double lambda0 : {-4.5, -0.85, 0.0, 2.25, 5.0}) {
            QTest::addRow("centre %g° %+g° from Athens", phi0, lambda0) << phi0 << lambda0;
        }
    }
}

void tst_HattProjection::centreMapsToItself()
{
    QFETCH(double, phi0Deg);
    QFETCH(double, lambda0Deg);
    const CentreRad c = centreDeg(phi0Deg, lambda0Deg);
    const auto g = hattInverse(c, {0.0, 0.0});
    QVERIFY(g);
    QCOMPARE(shortest(g->phi), shortest(c.phi0));
    QCOMPARE(shortest(g->lambda), shortest(c.lambda0 + athensMeridian()));
    const auto p = hattForward(c, *g);
    QVERIFY(p);
    QCOMPARE(shortest(p->x), QByteArray("0"));
    QCOMPARE(shortest(p->y), QByteArray("0"));
}

// Absurd inputs must come back as "no result", never as inf or NaN digits.
void tst_HattProjection::notFiniteGivesNoResult_data()
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("inverseFails");  // else the inverse passes and the forward must fail
    QTest::newRow("X⁴ overflows") << 1e100 << 0.0 << true;
    QTest::newRow("Y³ overflows") << 0.0 << 1e110 << true;
    QTest::newRow("inf minus inf in the latitude") << 1e100 << 1e100 << true;
    QTest::newRow("infinite X") << inf << 0.0 << true;
    QTest::newRow("NaN Y") << 0.0 << nan << true;
    QTest::newRow("finite inverse, Δφ³ overflows forward") << 1e50 << 0.0 << false;
}

void tst_HattProjection::notFiniteGivesNoResult()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, inverseFails);
    const CentreRad c = centreDeg(40.849999999999994, -0.85);
    const auto g = hattInverse(c, {x, y});
    QCOMPARE(!g, inverseFails);
    if (g) {
        QVERIFY(std::isfinite(g->phi) && std::isfinite(g->lambda));
        QVERIFY(!hattForward(c, *g));
    }
}

QTEST_APPLESS_MAIN(tst_HattProjection)
#include "tst_hatt_projection.moc"
