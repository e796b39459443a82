// The sheet centres digit for digit, and the Hatt series' refusal of
// absurd points. The series' own digits are pinned by the reference
// conversions of tst_proj_oracle.

#include "geodesy/sheet_centre.h"
#include "geodesy/sheet_pair.h"

#include <QTest>

#include <charconv>
#include <cmath>

using namespace hattsheet::geodesy;

class tst_HattProjection : public QObject {
    Q_OBJECT
private slots:
    void sheetCentre_data();
    void sheetCentre();
    void notFiniteGivesNoResult_data();
    void notFiniteGivesNoResult();
};

// Degrees-minutes texts and the range of a sheet centre: φ0 in 34°..42°,
// Δλ0 in -4.5°..5° from Athens, φ0 checked first. Expected: the worked
// examples of the angle input (the defaults) and hand calculations
// (40°50' = 40.8333...°), as shortest round-trip digits.
void tst_HattProjection::sheetCentre_data()
{
    QTest::addColumn<QByteArray>("phi");
    QTest::addColumn<QByteArray>("lambda");
    QTest::addColumn<QByteArray>("outcome");  // "φ0 λ0" in degrees, or the refused field
    const auto row = [](const char* name, const char* phi, const char* lambda, const char* outcome) {
        QTest::newRow(name) << QByteArray(phi) << QByteArray(lambda) << QByteArray(outcome);
    };
    row("defaults, a hair below 40.85", "40.51", "-0.51", "40.849999999999994 -0.85");
    row("one digit is tens of minutes, no zero before the point", "40.5", ".30", "40.833333333333336 0.5");
    row("leading zero minute, west 1°30'", "40.05", "-1.30", "40.08333333333333 -1.5");
    row("fraction of a minute, whole degrees", "40.515", "5", "40.858333333333334 5");
    row("minutes not checked against 60", "40.75", "0", "41.25 0");
    row("33°60' is exactly 34, 4°60' a hair below 5", "33.60", "4.60", "34 4.999999999999999");
    row("north limit 42.00, west limit -4.30", "42.00", "-4.30", "42 -4.5");
    row("north limit 42, east limit 5.00", "42", "5.00", "42 5");
    row("latitude read as its leading number", "40.51x", "-0.51", "40.849999999999994 -0.85");
    row("latitude a hundredth of a minute above 42", "42.0001", "0", "Latitude");
    row("latitude one minute below 34", "33.59", "0", "Latitude");
    row("empty latitude field", "", "-0.51", "Latitude");
    row("latitude beyond a double", "1E999", "-0.51", "Latitude");
    row("both wrong reports the latitude", "43", "9", "Latitude");
    row("longitude one minute west of -4.5", "40", "-4.31", "Longitude");
    row("longitude one minute east of 5", "40", "5.01", "Longitude");
    row("empty longitude field is not 0", "40.51", "", "Longitude");
    row("longitude beyond a double", "40.51", "-1E999", "Longitude");
}

void tst_HattProjection::sheetCentre()
{
    QFETCH(QByteArray, phi);
    QFETCH(QByteArray, lambda);
    QFETCH(QByteArray, outcome);
    const auto shortest = [](double v) {
        char b[32];
        return QByteArray(b, int(std::to_chars(b, b + sizeof b, v).ptr - b));
    };
    const auto c = readSheetCentre(phi.toStdString(), lambda.toStdString());
    QCOMPARE(c ? shortest(c->phi0Deg) + ' ' + shortest(c->lambda0Deg)
               : QByteArray(c.error() == CentreError::Latitude ? "Latitude" : "Longitude"),
             outcome);
}

// Absurd points at the centre 40.75°, -0.75° come back as "no result",
// never as inf or NaN digits.
void tst_HattProjection::notFiniteGivesNoResult_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("inverseFails");  // else the inverse passes and the forward must fail
    QTest::newRow("X⁴ overflows") << 1e100 << 0.0 << true;
    QTest::newRow("Y³ overflows") << 0.0 << 1e110 << true;
    QTest::newRow("inf minus inf in the latitude") << 1e100 << 1e100 << true;
    QTest::newRow("infinite X") << HUGE_VAL << 0.0 << true;
    QTest::newRow("NaN Y") << 0.0 << std::nan("") << true;
    QTest::newRow("finite inverse, Δφ³ overflows forward") << 1e50 << 0.0 << false;
    QTest::newRow("finite inverse, only the northing overflows") << 0.0 << 1e50 << false;
}

void tst_HattProjection::notFiniteGivesNoResult()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, inverseFails);
    const Sheet sheet(CentreRad{degreesToRadians(40.75), degreesToRadians(-0.75)});
    const auto g = sheet.inverse({x, y});
    QCOMPARE(!g, inverseFails);
    if (g) QVERIFY(std::isfinite(g->phi) && std::isfinite(g->lambda) && !sheet.forward(*g));
}

QTEST_APPLESS_MAIN(tst_HattProjection)
#include "tst_hatt_projection.moc"
