// The sheet centres digit for digit, and the Hatt series' refusal of
// absurd points at the centre 40.75°, -0.75° from Athens. The series' own
// digits are pinned by the reference conversions of tst_proj_oracle.

#include "geodesy/sheet_pair.h"
#include "geodesy/sheet_centre.h"

#include <QTest>

#include <charconv>
#include <cmath>
#include <limits>

using namespace hattsheet::geodesy;

namespace {
// The shortest text that reads back to the same bits: digits, not the fuzzy
// closeness of QCOMPARE on doubles.
QByteArray shortest(double v)
{
    char buf[64];
    return QByteArray(buf, static_cast<int>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf));
}

void addRow(const char* name, const QByteArray& text, const char* a, const char* b)
{
    QTest::newRow(name) << text << QByteArray(a) << QByteArray(b);
}

const CentreRad kCentre{degreesToRadians(40.75), degreesToRadians(-0.75)};
} // namespace

class tst_HattProjection : public QObject {
    Q_OBJECT
private slots:
    void sheetCentre_data();
    void sheetCentre();
    void notFiniteGivesNoResult_data();
    void notFiniteGivesNoResult();
};

// Degrees-minutes texts and the range of a sheet centre: φ0 in 34°..42°,
// Δλ0 in -4.5°..5° from Athens, φ0 checked first. The defaults are the
// worked examples of the angle input; the others hand calculations
// (40°50' = 40.8333...°) whose digits were checked against them to 1e-12°.
void tst_HattProjection::sheetCentre_data()
{
    QTest::addColumn<QByteArray>("phi");
    QTest::addColumn<QByteArray>("lambda");
    QTest::addColumn<QByteArray>("outcome");  // "φ0 λ0" in degrees, or the refused field
    addRow("defaults, a hair below 40.85", "40.51", "-0.51", "40.849999999999994 -0.85");
    addRow("40.45 a hair above 40.75, west 0°45'", "40.45", "-0.45", "40.75000000000001 -0.75");
    addRow("one digit is tens of minutes, no zero before the point", "40.5", ".30", "40.833333333333336 0.5");
    addRow("leading zero minute, west 1°30'", "40.05", "-1.30", "40.08333333333333 -1.5");
    addRow("fraction of a minute, whole degrees", "40.515", "5", "40.858333333333334 5");
    addRow("minutes not checked against 60", "40.75", "0", "41.25 0");
    addRow("33°60' is exactly 34, 4°60' a hair below 5", "33.60", "4.60", "34 4.999999999999999");
    addRow("north limit 42.00, west limit -4.30", "42.00", "-4.30", "42 -4.5");
    addRow("north limit 42, east limit 5.00", "42", "5.00", "42 5");
    addRow("latitude read as its leading number", "40.51x", "-0.51", "40.849999999999994 -0.85");
    addRow("latitude a hundredth of a minute above 42", "42.0001", "0", "Latitude");
    addRow("latitude one minute below 34", "33.59", "0", "Latitude");
    addRow("letters in the latitude field", "abc", "-0.51", "Latitude");
    addRow("empty latitude field", "", "-0.51", "Latitude");
    addRow("latitude beyond a double", "1E999", "-0.51", "Latitude");
    addRow("both wrong reports the latitude", "43", "9", "Latitude");
    addRow("longitude one minute west of -4.5", "40", "-4.31", "Longitude");
    addRow("longitude one minute east of 5", "40", "5.01", "Longitude");
    addRow("latitude typed in the longitude field", "40.51", "40.51", "Longitude");
    addRow("empty longitude field is not 0", "40.51", "", "Longitude");
    addRow("longitude beyond a double", "40.51", "-1E999", "Longitude");
}

void tst_HattProjection::sheetCentre()
{
    QFETCH(QByteArray, phi);
    QFETCH(QByteArray, lambda);
    QFETCH(QByteArray, outcome);
    const auto centre = readSheetCentre(phi.toStdString(), lambda.toStdString());
    if (outcome == "Latitude" || outcome == "Longitude") {
        QVERIFY(!centre);
        QCOMPARE(centre.error(), outcome == "Latitude" ? CentreError::Latitude : CentreError::Longitude);
        return;
    }
    QVERIFY(centre);
    QCOMPARE(shortest(centre->phi0Deg) + ' ' + shortest(centre->lambda0Deg), outcome);
}
// Absurd inputs come back as "no result", never as inf or NaN digits.
void tst_HattProjection::notFiniteGivesNoResult_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("inverseFails");  // else the inverse passes and the forward must fail
    QTest::newRow("X⁴ overflows") << 1e100 << 0.0 << true;
    QTest::newRow("Y³ overflows") << 0.0 << 1e110 << true;
    QTest::newRow("inf minus inf in the latitude") << 1e100 << 1e100 << true;
    QTest::newRow("infinite X") << std::numeric_limits<double>::infinity() << 0.0 << true;
    QTest::newRow("NaN Y") << 0.0 << std::numeric_limits<double>::quiet_NaN() << true;
    QTest::newRow("finite inverse, Δφ³ overflows forward") << 1e50 << 0.0 << false;
    QTest::newRow("finite inverse, only the northing overflows") << 0.0 << 1e50 << false;
}

void tst_HattProjection::notFiniteGivesNoResult()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, inverseFails);
    const auto g = Sheet(kCentre).inverse({x, y});
    QCOMPARE(!g, inverseFails);
    if (g) {
        QVERIFY(std::isfinite(g->phi) && std::isfinite(g->lambda));
        QVERIFY(!Sheet(kCentre).forward(*g));
    }
}

QTEST_APPLESS_MAIN(tst_HattProjection)
#include "tst_hatt_projection.moc"
