// The geodesy core digit for digit: the two number readers, the sheet
// centres, and the Hatt series at the centre 40.75°, -0.75° from Athens.
// The series' digits come from IEEE double evaluation in the written
// grouping: a reordered formula or a fused multiply-add moves them by an
// ulp, and that is what these rows catch.

#include "geodesy/sheet_pair.h"
#include "text/number_text.h"
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
    void numberReaders_data();
    void numberReaders();
    void sheetCentre_data();
    void sheetCentre();
    void workedExamples_data();
    void workedExamples();
    void notFiniteGivesNoResult_data();
    void notFiniteGivesNoResult();
};

// The window's lenient reading of a field's leading number and the strict
// whole-text reading of the field test and the files, on the same texts.
// Expected values are hand calculations from the reading rules.
void tst_HattProjection::numberReaders_data()
{
    QTest::addColumn<QByteArray>("text");
    // Shortest digits; "none": no leading number (reads as 0); "overflow",
    // "refused": no value at all.
    QTest::addColumn<QByteArray>("leading");
    QTest::addColumn<QByteArray>("whole");
    addRow("spaces around a decimal", " 12.5 ", "12.5", "12.5");
    addRow("blank inside the digits", "1 234.5", "1234.5", "refused");
    addRow("tabs and line feeds inside", "\t1\n2.\t5", "12.5", "refused");
    addRow("decimal comma ends the number", "1,5", "1", "refused");
    addRow("no digits before the point", ".30", "0.3", "0.3");
    addRow("minus, no digits before the point", "-.5", "-0.5", "-0.5");
    addRow("plus sign", "+5", "5", "5");
    addRow("trailing point", "5.", "5", "5");
    addRow("letter ends the number", "12a", "12", "refused");
    addRow("second point ends the number", "1.2.3", "1.2", "refused");
    addRow("negative with exponent", "-1.5E3", "-1500", "-1500");
    addRow("exponent letter D", "1D3", "1000", "refused");
    addRow("lower-case d, negative exponent", "1d-2", "0.01", "refused");
    addRow("blanks around the exponent letter", "1 e 3", "1000", "refused");
    addRow("exponent letter without digits", "1e", "1", "refused");
    addRow("exponent sign without digits", "1e+", "1", "refused");
    addRow("largest decade of a double", "1e308", "1e+308", "1e+308");
    addRow("underflow reads as zero", "1e-999", "0", "0");
    addRow("negative underflow keeps its sign", "-1e-999", "-0", "-0");
    addRow("underflow written with many zeros", "0." + QByteArray(400, '0') + "1", "0", "0");
    addRow("digits beyond the stack buffer", "0." + QByteArray(200, '0') + "15", "1.5e-201", "1.5e-201");
    addRow("overflow with exponent", "1E999", "overflow", "refused");
    addRow("negative overflow", "-1E999", "overflow", "refused");
    addRow("overflow written out in digits", "9" + QByteArray(400, '0'), "overflow", "refused");
    addRow("letters only", "abc", "none", "refused");
    addRow("empty text", "", "none", "refused");
    addRow("only spaces", "   ", "none", "refused");
    addRow("lone minus", "-", "none", "refused");
    addRow("lone point", ".", "none", "refused");
    addRow("exponent without mantissa", "e5", "none", "refused");
    addRow("infinity", "inf", "none", "refused");
    addRow("not a number", "nan", "none", "refused");
}

void tst_HattProjection::numberReaders()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, leading);
    QFETCH(QByteArray, whole);
    const std::string_view view(text.constData(), static_cast<std::size_t>(text.size()));
    const auto n = hattsheet::text::readLeadingNumber(view);
    QCOMPARE(!n ? QByteArray("overflow") : !n->found ? "none" + shortest(n->value) : shortest(n->value),
             leading == "none" ? QByteArray("none0") : leading);
    const auto v = hattsheet::text::parseWholeNumber(view);
    QCOMPARE(v ? shortest(*v) : QByteArray("refused"), whole);
}

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
// "inverse": X, Y (metres) to φ, λ east of Greenwich (radians). "forward":
// φ, λ (degrees) to X, Y. "there and back": X, Y through both; the series
// are no exact inverses, a point 78 km out moves 2.7 cm.
void tst_HattProjection::workedExamples_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<double>("in1");
    QTest::addColumn<double>("in2");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("1 km east, 2 km north") << QByteArray("inverse") << 1000.0 << 2000.0
                                           << QByteArray("0.7115360280105997 0.40104495169708876");
    QTest::newRow("the origin is the centre") << QByteArray("inverse") << 0.0 << 0.0
                                              << shortest(kCentre.phi0) + ' ' + shortest(kCentre.lambda0 + athensMeridian());
    QTest::newRow("41°, 23° east of Greenwich") << QByteArray("forward") << 41.0 << 23.0
                                                << QByteArray("2831.868794615827 27760.3980516611");
    QTest::newRow("the centre is the origin") << QByteArray("there and back") << 0.0 << 0.0 << QByteArray("0 0");
    QTest::newRow("there and back 2.2 km out") << QByteArray("there and back") << 1000.0 << 2000.0
                                               << QByteArray("999.9999999984962 1999.9999996322558");
    QTest::newRow("there and back 78 km out") << QByteArray("there and back") << 50000.0 << -60000.0
                                              << QByteArray("49999.99961639608 -59999.97328343633");
    QTest::newRow("there and back 39 km north-west") << QByteArray("there and back") << -30000.0 << 25000.0
                                                     << QByteArray("-30000.000024340316 24999.995942518224");
}

void tst_HattProjection::workedExamples()
{
    QFETCH(QByteArray, kind);
    QFETCH(double, in1);
    QFETCH(double, in2);
    QFETCH(QByteArray, out);
    if (kind == "inverse") {
        const auto g = Sheet(kCentre).inverse({in1, in2});
        QVERIFY(g);
        QCOMPARE(shortest(g->phi) + ' ' + shortest(g->lambda), out);
        return;
    }
    const auto g = kind == "forward" ? std::optional(GeodeticPosition{degreesToRadians(in1), degreesToRadians(in2)})
                                     : Sheet(kCentre).inverse({in1, in2});
    const auto p = Sheet(kCentre).forward(*g);
    QVERIFY(p);
    QCOMPARE(shortest(p->x) + ' ' + shortest(p->y), out);
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
