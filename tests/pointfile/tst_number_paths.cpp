// The "0.000" format has two paths: exact integer arithmetic for the
// magnitudes of map coordinates and std::to_chars for the rest. The to_chars
// path is the oracle here: both must give the same text for every double.

#include "number_format.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <limits>

using hattsheet::pointfile::appendFixed;
using hattsheet::pointfile::appendFixedGeneral;

namespace {

std::string viaFast(double v, int decimals)
{
    std::string s = "x";  // appends after what is there
    appendFixed(s, v, decimals);
    return s;
}

std::string viaGeneral(double v, int decimals)
{
    std::string s = "x";
    appendFixedGeneral(s, v, decimals);
    return s;
}

} // namespace

class tst_NumberPaths : public QObject {
    Q_OBJECT
private slots:
    void edges_data();
    void edges();
    void randomDoubles();
};

// Hand-picked values where the integer path could go wrong: exact binary
// halves at the rounding place, the edges of its range, a carry through
// every digit, neighbours of powers of ten (not exact below 1).
void tst_NumberPaths::edges_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");  // worked out by hand from the 15-digit text
    QTest::newRow("binary half rounds away") << 0.0625 << 3 << "x0.063";
    QTest::newRow("negative binary half") << -1234.5625 << 3 << "x-1234.563";
    QTest::newRow("15-digit text decides, not the binary value") << 1.0005 << 3 << "x1.001";
    QTest::newRow("lowest magnitude of the integer path") << 1e-3 << 3 << "x0.001";
    QTest::newRow("just below it") << std::nextafter(1e-3, 0.0) << 3 << "x0.001";
    QTest::newRow("double below 0.1") << std::nextafter(0.1, 0.0) << 5 << "x0.10000";
    QTest::newRow("double below 0.01") << std::nextafter(0.01, 0.0) << 3 << "x0.010";
    QTest::newRow("carry through every digit") << 999999.9999999999 << 3 << "x1000000.000";
    QTest::newRow("largest of the integer path") << 999999999999999.0 << 3 << "x999999999999999.000";
    QTest::newRow("first beyond it") << 1e15 << 3 << "x1000000000000000.000";
    QTest::newRow("whole number, no decimals") << 12.5 << 0 << "x13";
    QTest::newRow("seconds of arc") << 58.815 << 5 << "x58.81500";
    QTest::newRow("rounds to zero keeps the minus") << -0.0004 << 3 << "x-0.000";
    QTest::newRow("negative zero") << -0.0 << 3 << "x0.000";
    QTest::newRow("worked example easting") << -7429.2698183 << 3 << "x-7429.270";
}

void tst_NumberPaths::edges()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(viaGeneral(value, decimals)), expected);
    QCOMPARE(QString::fromStdString(viaFast(value, decimals)), expected);
}

// Random bit patterns over the magnitudes 1e-5 .. 1e17 and every decimal
// count the program could use; and every third value an odd number of
// halves of the third decimal (k/2000), whose 15-digit text ends in 5 there.
void tst_NumberPaths::randomDoubles()
{
    QRandomGenerator rng(1841);
    int mismatches = 0;
    for (int i = 0; i < 300000 && mismatches < 5; ++i) {
        const double mantissa = rng.generateDouble() + 1.0;
        const int exponent = rng.bounded(-17, 57);
        double v = std::ldexp(mantissa, exponent);
        if (i % 3 == 0) {
            v = static_cast<double>(rng.bounded(1, 1 << 20) * 2 + 1) / 2000.0;
        }
        if (rng.bounded(2) == 1) v = -v;
        const int decimals = rng.bounded(0, 8);
        const std::string a = viaFast(v, decimals);
        const std::string b = viaGeneral(v, decimals);
        if (a != b) {
            ++mismatches;
            qWarning("%.17g with %d decimals: %s against %s", v, decimals, a.c_str(), b.c_str());
        }
    }
    QCOMPARE(mismatches, 0);
}

QTEST_APPLESS_MAIN(tst_NumberPaths)
#include "tst_number_paths.moc"
