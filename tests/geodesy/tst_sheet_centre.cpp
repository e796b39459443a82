// Degrees-minutes texts and the checks of a sheet centre. The digits of the
// named examples are the worked examples of the angle input; the others are
// hand calculations (40°50' = 40.8333...°) compared within kHandTolDeg.

#include "digits.h"
#include "sheet_centre.h"

#include <QTest>

#include <cmath>

using hattsheet::geodesy::CentreError;
using hattsheet::geodesy::degMinToDegrees;
using hattsheet::geodesy::readSheetCentre;
using hattsheet::testing::shortest;

// A hand value like 40 + 50/60 has no exact digits; 1e-12° is 0.1 µm.
constexpr double kHandTolDeg = 1e-12;

class tst_SheetCentre : public QObject {
    Q_OBJECT
private slots:
    void degMinDigits_data();
    void degMinDigits();
    void degMinHand_data();
    void degMinHand();
    void readSheetCentre_data();
    void readSheetCentre();
};

void tst_SheetCentre::degMinDigits_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("degrees");  // shortest digits of the double

    QTest::newRow("40.51 a hair below 40.85") << QByteArray("40.51") << QByteArray("40.849999999999994");
    QTest::newRow("40.45 a hair above 40.75") << QByteArray("40.45") << QByteArray("40.75000000000001");
    QTest::newRow("west 0°51'") << QByteArray("-0.51") << QByteArray("-0.85");
    QTest::newRow("west 0°45'") << QByteArray("-0.45") << QByteArray("-0.75");
    QTest::newRow("west 1°30'") << QByteArray("-1.30") << QByteArray("-1.5");
    QTest::newRow("30 minutes") << QByteArray("0.30") << QByteArray("0.5");
    QTest::newRow("30 minutes without a zero") << QByteArray(".30") << QByteArray("0.5");
    QTest::newRow("west limit exactly -4.5") << QByteArray("-4.30") << QByteArray("-4.5");
    QTest::newRow("4°60' a hair below 5") << QByteArray("4.60") << QByteArray("4.999999999999999");
    QTest::newRow("33°60' exactly 34") << QByteArray("33.60") << QByteArray("34");
    QTest::newRow("whole degrees") << QByteArray("5") << QByteArray("5");
}

void tst_SheetCentre::degMinDigits()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, degrees);
    const auto d = degMinToDegrees(text.toStdString());
    QVERIFY(d);
    QCOMPARE(shortest(*d), degrees);
}

void tst_SheetCentre::degMinHand_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("degrees");

    QTest::newRow("one digit is tens of minutes") << QByteArray("40.5") << 40.0 + 50.0 / 60.0;
    QTest::newRow("leading zero minute") << QByteArray("40.05") << 40.0 + 5.0 / 60.0;
    QTest::newRow("fraction of a minute") << QByteArray("40.515") << 40.0 + 51.5 / 60.0;
    QTest::newRow("minutes not checked against 60") << QByteArray("40.75") << 41.25;
    QTest::newRow("west of Athens is not 0.15") << QByteArray("-0.51") << -(51.0 / 60.0);
}

void tst_SheetCentre::degMinHand()
{
    QFETCH(QByteArray, text);
    QFETCH(double, degrees);
    const auto d = degMinToDegrees(text.toStdString());
    QVERIFY(d);
    QVERIFY2(std::fabs(*d - degrees) <= kHandTolDeg, shortest(*d).constData());
}

// Boundaries of the accepted range and texts that are no angle. The order
// of the checks is φ0 before λ0, even when λ0 is read first.
void tst_SheetCentre::readSheetCentre_data()
{
    QTest::addColumn<QByteArray>("phi");
    QTest::addColumn<QByteArray>("lambda");
    QTest::addColumn<QByteArray>("outcome");  // "ok", "Latitude" or "Longitude"

    QTest::newRow("defaults") << QByteArray("40.51") << QByteArray("-0.51") << QByteArray("ok");
    QTest::newRow("latitude exactly 42 as 42.00") << QByteArray("42.00") << QByteArray("0") << QByteArray("ok");
    QTest::newRow("latitude exactly 42 as 42") << QByteArray("42") << QByteArray("0") << QByteArray("ok");
    QTest::newRow("latitude a tenth of a minute above 42") << QByteArray("42.0001") << QByteArray("0") << QByteArray("Latitude");
    QTest::newRow("latitude one minute above 42") << QByteArray("42.01") << QByteArray("0") << QByteArray("Latitude");
    QTest::newRow("latitude exactly 34") << QByteArray("34.00") << QByteArray("0") << QByteArray("ok");
    QTest::newRow("latitude one minute below 34") << QByteArray("33.59") << QByteArray("0") << QByteArray("Latitude");
    QTest::newRow("latitude 33°60' is 34") << QByteArray("33.60") << QByteArray("0") << QByteArray("ok");
    QTest::newRow("longitude exactly -4.5") << QByteArray("40") << QByteArray("-4.30") << QByteArray("ok");
    QTest::newRow("longitude one minute west of -4.5") << QByteArray("40") << QByteArray("-4.31") << QByteArray("Longitude");
    QTest::newRow("longitude exactly 5") << QByteArray("40") << QByteArray("5.00") << QByteArray("ok");
    QTest::newRow("longitude 4°60' is 5") << QByteArray("40") << QByteArray("4.60") << QByteArray("ok");
    QTest::newRow("longitude one minute east of 5") << QByteArray("40") << QByteArray("5.01") << QByteArray("Longitude");
    QTest::newRow("latitude typed in the longitude field") << QByteArray("40.51") << QByteArray("40.51") << QByteArray("Longitude");
    QTest::newRow("both wrong reports the latitude") << QByteArray("43") << QByteArray("9") << QByteArray("Latitude");
    QTest::newRow("letters in the longitude field") << QByteArray("40.51") << QByteArray("abc") << QByteArray("Longitude");
    QTest::newRow("letters in the latitude field") << QByteArray("abc") << QByteArray("-0.51") << QByteArray("Latitude");
    QTest::newRow("empty latitude field") << QByteArray("") << QByteArray("-0.51") << QByteArray("Latitude");
    QTest::newRow("empty longitude field is not 0") << QByteArray("40.51") << QByteArray("") << QByteArray("Longitude");
    QTest::newRow("latitude beyond a double") << QByteArray("1E999") << QByteArray("-0.51") << QByteArray("Latitude");
    QTest::newRow("longitude beyond a double") << QByteArray("40.51") << QByteArray("-1E999") << QByteArray("Longitude");
    QTest::newRow("latitude read as its leading number") << QByteArray("40.51x") << QByteArray("-0.51") << QByteArray("ok");
}

void tst_SheetCentre::readSheetCentre()
{
    QFETCH(QByteArray, phi);
    QFETCH(QByteArray, lambda);
    QFETCH(QByteArray, outcome);
    const auto centre = ::readSheetCentre(phi.toStdString(), lambda.toStdString());
    if (outcome == "ok") {
        QVERIFY(centre);
        QCOMPARE(shortest(centre->phi0Deg), shortest(*degMinToDegrees(phi.toStdString())));
        QCOMPARE(shortest(centre->lambda0Deg), shortest(*degMinToDegrees(lambda.toStdString())));
        return;
    }
    QVERIFY(!centre);
    QCOMPARE(centre.error(), outcome == "Latitude" ? CentreError::Latitude : CentreError::Longitude);
}

QTEST_APPLESS_MAIN(tst_SheetCentre)
#include "tst_sheet_centre.moc"
