// The Hatt series against PROJ's exact aeqd (bench/accuracy.h): a few rows
// of the accuracy sweep held to their bounds (accuracy_report prints them
// all), and data/reference_points.tsv: 320 conversions compared digit for
// digit, so that a changed compiler flag or a reordered formula shows up at
// once, and checked against PROJ. Cells: φ0, Δλ0 of the old and the new
// centre (degrees-minutes), X, Y (metres); then ">" on those (txtX2, txtY2,
// txtf, txtm, txtl) and "<" on txtX2, txtY2 (txtX1, txtY1). After a
// deliberate change of digits: HATTSHEET_WRITE_REFERENCE=1 build/bin/tst_proj_oracle
// Beside them, what the series never sees: sheet centres read digit for
// digit and refused (absurd points are tst_single_point's).

#include "accuracy.h"
#include "geodesy/centre.h"
#include "operations/single_point.h"

#include <QFile>
#include <QTest>

#include <charconv>

using namespace hattsheet::geodesy;
using namespace hattsheet::accuracy;
using Cells = QList<QByteArray>;
Q_DECLARE_METATYPE(Bound)

namespace {

// "D° M' S.SSSSS''" (an optional leading "-") in degrees; NaN if unreadable.
double dmsDegrees(const QByteArray& text)
{
    int d = 0, m = 0;
    double sec = 0;
    if (std::sscanf(text.constData() + text.startsWith('-'), "%d° %d' %lf''", &d, &m, &sec) != 3) return NAN;
    return (text.startsWith('-') ? -1 : 1) * (d + m / 60.0 + sec / 3600.0);
}

// The 7 output cells the code gives now for the first 6 cells, tab-separated.
QByteArray computeOutputs(const Cells& in)
{
    using namespace hattsheet::operations;
    const auto s = [&](int i) { return in[i].toStdString(); };
    const auto there = computeOldToNew({s(0), s(1)}, {s(2), s(3)}, s(4), s(5));
    if (!there) return "refused";
    const auto back = computeNewToOld({s(2), s(3)}, {s(0), s(1)}, there->x2, there->y2);
    if (!back) return "refused back";
    std::string out;
    for (const std::string& t : {there->x2, there->y2, there->geodetic.lat, there->geodetic.lonAthens, there->geodetic.lonGreenwich, back->first})
        out += t + '\t';
    return QByteArray::fromStdString(out + back->second);
}

} // namespace

class tst_ProjOracle : public QObject {
    Q_OBJECT
private slots:
    void seriesAgainstAeqd_data();
    void seriesAgainstAeqd();
    void referenceTable_data();
    void referenceTable();
    void sheetCentre_data();
    void sheetCentre();
};

void tst_ProjOracle::seriesAgainstAeqd_data()
{
    QVERIFY(Aeqd(40.0, 0.0).pj);
    QTest::addColumn<Bound>("bound");
    for (const Bound& b : kBounds) {
        if (b.km == 1 || b.km == 20 || b.km == 120) QTest::addRow("%g km", b.km) << b;
    }
}

void tst_ProjOracle::seriesAgainstAeqd()
{
    QFETCH(Bound, bound);
    const Measured m = sweep(bound);
    QVERIFY2(m.within(bound), qPrintable(QString("inverse %1, forward %2, conversion %3, round trip %4 mm")
                                             .arg(m.inverse * 1e3).arg(m.forward * 1e3)
                                             .arg(m.conversion * 1e3).arg(m.roundTrip * 1e3)));
}

void tst_ProjOracle::referenceTable_data()
{
    QTest::addColumn<Cells>("row");
    QFile f(HATTSHEET_REFERENCE_FILE);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    QByteArray rewritten;
    int rows = 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const Cells r = line.split('\t');
        if (line.isEmpty() || line.startsWith('#')) {
            rewritten += line.isEmpty() ? "" : line + '\n';
            continue;
        }
        QCOMPARE(r.size(), 13);
        rewritten += r.mid(0, 6).join('\t') + '\t' + computeOutputs(r) + '\n';
        QTest::addRow("%s", r.mid(0, 6).join(' ').constData()) << r;
        ++rows;
    }
    QCOMPARE(rows, 320);  // a truncated file must not pass quietly
    if (qEnvironmentVariableIntValue("HATTSHEET_WRITE_REFERENCE") == 1) {
        f.close();
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(rewritten) == rewritten.size());
        QSKIP("reference table written");
    }
}

// The same digits as committed; and those texts, read back as numbers, are
// not the code restating itself: they agree with PROJ within the conversion
// bound plus their rounding (X', Y' against aeqd inverse then forward; the
// latitude and both longitudes against the aeqd inverse at the old centre).
void tst_ProjOracle::referenceTable()
{
    QFETCH(Cells, row);
    QCOMPARE(computeOutputs(row), row.mid(6).join('\t'));
    constexpr double kPlaneRoundingM = 0.0005 * M_SQRT2;  // "0.000" of X and Y together
    // "0.00000" seconds: half a unit is 0.15 mm of latitude; of φ and λ together:
    constexpr double kDmsRoundingM = (0.000005 / 3600.0) * (M_PI / 180.0) * kBesselA * M_SQRT2;
    const auto from = readCentre(row[0].toStdString(), row[1].toStdString());
    const auto to = readCentre(row[2].toStdString(), row[3].toStdString());
    QVERIFY(from && to);
    const PlanePoint p{row[4].toDouble(), row[5].toDouble()}, shown{row[6].toDouble(), row[7].toDouble()};
    const double farKm = std::max(std::hypot(p.x, p.y), std::hypot(shown.x, shown.y)) / 1000.0;
    const Bound* b = std::find_if(std::begin(kBounds), std::end(kBounds),
                                  [&](const Bound& b) { return b.conversionMm > 0 && farKm <= b.km; });
    QVERIFY2(b != std::end(kBounds), "row beyond the measured range");
    const double boundM = b->conversionMm / 1000.0;
    const GeodeticPosition g = Aeqd(from->phi0Deg, from->lambda0Deg).inverse(p);
    const double off = distance(shown, Aeqd(to->phi0Deg, to->lambda0Deg).forward(g));
    QVERIFY2(off <= boundM + kPlaneRoundingM, qPrintable(QString("X', Y' off by %1 mm").arg(off * 1e3)));

    // Geodetic display: metres on the ground through the radii at the point.
    const Radii radii = radiiOfCurvature(g.phi);
    const double dNorth = degreesToRadians(dmsDegrees(row[8]) - radiansToDegrees(g.phi)) * radii.m;
    for (double lonDeg : {dmsDegrees(row[10]), dmsDegrees(row[9]) + hattsheet::geodesy::kAthensMeridianDeg}) {
        const double dEast = degreesToRadians(lonDeg - radiansToDegrees(g.lambda)) * radii.n * std::cos(g.phi);
        QVERIFY2(std::hypot(dNorth, dEast) <= boundM + kDmsRoundingM,
                 qPrintable(QString("φ, λ off by %1 mm").arg(std::hypot(dNorth, dEast) * 1e3)));
    }
}

// Degrees-minutes texts and the range of a sheet centre: φ0 in 34°..42°,
// Δλ0 in -4.5°..5° from Athens, φ0 checked first (refusals one beyond the
// limits, or beyond a double, are tst_single_point's). Expected: the worked
// examples of the angle input (the defaults) and hand calculations
// (40°50' = 40.8333...°), as shortest round-trip digits.
void tst_ProjOracle::sheetCentre_data()
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
    row("empty latitude field", "", "-0.51", "Latitude");
    row("both wrong reports the latitude", "43", "9", "Latitude");
    row("empty longitude field is not 0", "40.51", "", "Longitude");
}

void tst_ProjOracle::sheetCentre()
{
    QFETCH(QByteArray, phi);
    QFETCH(QByteArray, lambda);
    QFETCH(QByteArray, outcome);
    const auto shortest = [](double v) {
        char b[32];
        return QByteArray(b, int(std::to_chars(b, b + sizeof b, v).ptr - b));
    };
    const auto c = readCentre(phi.toStdString(), lambda.toStdString());
    QCOMPARE(c ? shortest(c->phi0Deg) + ' ' + shortest(c->lambda0Deg)
               : QByteArray(c.error() == CentreError::Latitude ? "Latitude" : "Longitude"),
             outcome);
}

QTEST_APPLESS_MAIN(tst_ProjOracle)
#include "tst_proj_oracle.moc"
