// The "0.000" and "0.00000" formats: the value is written with 15
// significant digits and that text is rounded, halves away from zero.
// Expected texts are hand calculations from that rule.

#include "number_format.h"

#include <QTest>

#include <cmath>
#include <limits>

using hattsheet::pointfile::formatFixed;

class tst_NumberFormat : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
};

void tst_NumberFormat::formats_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("worked example X") << -8431.5515 << 3 << "-8431.552";
    QTest::newRow("half written as 0.5") << 0.5 << 3 << "0.500";
    QTest::newRow("worked example Y") << 11108.603 << 3 << "11108.603";
    QTest::newRow("1.0005 rounds up though its double lies below") << 1.0005 << 3 << "1.001";
    QTest::newRow("exact binary half") << 0.0625 << 3 << "0.063";
    QTest::newRow("exact negative binary half") << -0.0625 << 3 << "-0.063";
    QTest::newRow("whole half away from zero") << -2.5 << 0 << "-3";
    QTest::newRow("positive half at the last place") << 2.0025 << 3 << "2.003";
    QTest::newRow("negative half away from zero") << -2.0025 << 3 << "-2.003";
    QTest::newRow("just below the half") << 2.00249999 << 3 << "2.002";
    QTest::newRow("carry through nines") << 999.9995 << 3 << "1000.000";
    QTest::newRow("negative carry through nines") << -9.9995 << 3 << "-10.000";
    QTest::newRow("half of the smallest unit") << 0.0005 << 3 << "0.001";
    QTest::newRow("below half of the smallest unit") << 0.00049 << 3 << "0.000";
    QTest::newRow("small negative keeps its sign") << -0.0001 << 3 << "-0.000";
    QTest::newRow("negative zero has no sign") << -0.0 << 3 << "0.000";
    QTest::newRow("zero") << 0.0 << 3 << "0.000";
    QTest::newRow("tiny") << 1e-300 << 3 << "0.000";
    QTest::newRow("no digit grouping") << 4512000.25 << 3 << "4512000.250";
    QTest::newRow("large value beyond 15 digits") << 123456789012345678.0 << 3 << "123456789012346000.000";
    QTest::newRow("1e20 written out") << 1e20 << 3 << "100000000000000000000.000";
    QTest::newRow("16th digit does not round") << 0.1234567890123449 << 3 << "0.123";
    QTest::newRow("15 digits decide the half") << 1234567890.1235 << 3 << "1234567890.124";
    QTest::newRow("zero seconds") << 0.0 << 5 << "0.00000";
    QTest::newRow("seconds") << 4.839823 << 5 << "4.83982";
    QTest::newRow("seconds a hair below 60") << 59.999999999999 << 5 << "60.00000";
    QTest::newRow("whole degrees") << 40.0 << 0 << "40";
    QTest::newRow("whole zero") << 0.0 << 0 << "0";
    // 15 digits (179769313486232e294) would lie beyond the largest double and
    // read back as an overflow; 14 digits do read back.
    QTest::newRow("largest double reads back")
        << std::numeric_limits<double>::max() << 0
        << QString("17976931348623") + QString(295, '0');
}

void tst_NumberFormat::formats()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(formatFixed(value, decimals)), expected);
}

QTEST_APPLESS_MAIN(tst_NumberFormat)
#include "tst_number_format.moc"
