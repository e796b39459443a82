// A few hundred conversions compared digit for digit with the committed
// table data/reference_points.tsv, so that a changed compiler flag or a
// reordered formula shows up at once. The table's numbers were checked
// against PROJ's exact azimuthal equidistant projection (tst_proj_oracle).
//
// To regenerate after a deliberate change of digits:
//   HATTSHEET_WRITE_REFERENCE=1 build/bin/tst_reference_table

#include "reference_rows.h"

#include <QFile>
#include <QTest>

using hattsheet::testing::ReferenceRow;

Q_DECLARE_METATYPE(ReferenceRow)

class tst_ReferenceTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sameDigits_data();
    void sameDigits();
};

void tst_ReferenceTable::initTestCase()
{
    if (qEnvironmentVariableIntValue("HATTSHEET_WRITE_REFERENCE") == 1) {
        QFile f(HATTSHEET_REFERENCE_FILE);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QList<ReferenceRow> rows = hattsheet::testing::generateReferenceRows();
        QVERIFY(f.write(hattsheet::testing::formatReferenceFile(rows)) > 0);
        QSKIP("reference table written");
    }
}

void tst_ReferenceTable::sameDigits_data()
{
    QTest::addColumn<ReferenceRow>("expected");
    QString error;
    const QList<ReferenceRow> rows = hattsheet::testing::readReferenceFile(HATTSHEET_REFERENCE_FILE, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // The generated grid has 320 rows; a truncated file must not pass quietly.
    QCOMPARE(rows.size(), hattsheet::testing::generateReferenceRows().size());
    for (const ReferenceRow& r : rows) {
        QTest::addRow("%s,%s to %s,%s at %s,%s", r.fromPhi.constData(), r.fromLambda.constData(),
                      r.toPhi.constData(), r.toLambda.constData(), r.x.constData(), r.y.constData())
            << r;
    }
}

void tst_ReferenceTable::sameDigits()
{
    QFETCH(ReferenceRow, expected);
    ReferenceRow now = expected;
    QVERIFY(hattsheet::testing::computeOutputs(now));
    QCOMPARE(now.x2, expected.x2);
    QCOMPARE(now.y2, expected.y2);
    QCOMPARE(now.lat, expected.lat);
    QCOMPARE(now.lonAthens, expected.lonAthens);
    QCOMPARE(now.lonGreenwich, expected.lonGreenwich);
    QCOMPARE(now.xBack, expected.xBack);
    QCOMPARE(now.yBack, expected.yBack);
}

QTEST_APPLESS_MAIN(tst_ReferenceTable)
#include "tst_reference_table.moc"
