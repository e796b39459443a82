// The ">" and "<" operations on a window without a window: the texts they
// write and into which fields, the refusals and their order, and that a
// refusal changes nothing. Expected texts are the worked examples of the
// conversion (the reference table of tests/geodesy/data pins the digits of
// all others).

#include "support/fake_window.h"
#include "operations/window_texts.h"
#include "operations/single_point.h"

#include <QTest>

using namespace hattsheet::operations;
using hattsheet::testing::FakeDialogs;
using hattsheet::testing::FakeFields;

namespace {
// "txtX1=1000|txtY1=2000" as texts by field.
std::map<FieldId, std::string> texts(const QString& typed)
{
    std::map<FieldId, std::string> out;
    for (const QString& item : typed.split('|', Qt::SkipEmptyParts)) {
        for (FieldId id : kAllFields)
            if (item.section('=', 0, 0) == fieldObjectName(id)) out[id] = item.section('=', 1).toStdString();
    }
    return out;
}
} // namespace

class tst_SinglePoint : public QObject {
    Q_OBJECT
private slots:
    void convert_data();
    void convert();
};

// Fields not named keep the window's defaults: centres 40.51, -0.51 old and
// 40.45, -0.45 new, every point 0.000. The expected column holds the texts
// written, or the one message shown. Centre checks run φ then Δλ of the
// centre the operation starts from, then of the other one.
void tst_SinglePoint::convert_data()
{
    QTest::addColumn<bool>("oldToNew");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    const QString atDefaults = "txtX2=-8431.552|txtY2=11108.603|txtf=40° 50' 60.00000''|txtm=-0° 51' 0.00000''|"
                               "txtl=22° 51' 58.81500''";
    const QString kmOut = "txtf=40° 52' 4.83982''|txtm=-0° 50' 17.29165''|txtl=22° 52' 41.52335''";
    QTest::newRow("> defaults, a hair below a whole minute") << true << "" << atDefaults;
    QTest::newRow("> 1 km east 2 km north")
        << true << "txtX1=1000|txtY1=2000" << "txtX2=-7429.270|txtY2=13107.462|" + kmOut;
    QTest::newRow("> same centre both sides")
        << true << "txtPhiNew=40.51|txtLamdaNew=-0.51|txtX1=1000|txtY1=2000" << "txtX2=1000.000|txtY2=2000.000|" + kmOut;
    // "<" writes X1, Y1 only: the geodetic display keeps what it showed.
    QTest::newRow("< 1 km east 2 km north") << false << "txtX2=1000|txtY2=2000|txtf=kept"
                                            << "txtX1=9441.934|txtY1=-9097.840";

    QTest::newRow("> old latitude above 42") << true << "txtPhiOld=42.01|txtf=kept" << "Λάθος στο Φ.";
    QTest::newRow("> old longitude west of -4.5") << true << "txtLamdaOld=-4.31" << "Λάθος στο Δλ.";
    QTest::newRow("> old latitude before its longitude") << true << "txtPhiOld=abc|txtLamdaOld=abc" << "Λάθος στο Φ.";
    QTest::newRow("> new latitude, letters") << true << "txtPhiNew=abc" << "Λάθος στο Φ.";
    QTest::newRow("> new longitude east of 5") << true << "txtLamdaNew=5.01" << "Λάθος στο Δλ.";
    QTest::newRow("> old longitude before new latitude") << true << "txtLamdaOld=40.51|txtPhiNew=43" << "Λάθος στο Δλ.";
    QTest::newRow("< new latitude below 34") << false << "txtPhiNew=33.59" << "Λάθος στο Φ.";
    QTest::newRow("< new longitude empty") << false << "txtLamdaNew=" << "Λάθος στο Δλ.";
    QTest::newRow("< old latitude beyond a double") << false << "txtPhiOld=1E999" << "Λάθος στο Φ.";
    QTest::newRow("< old longitude typed as a latitude") << false << "txtLamdaOld=40.51" << "Λάθος στο Δλ.";
    QTest::newRow("< new longitude before old latitude") << false << "txtLamdaNew=-1E999|txtPhiOld=43" << "Λάθος στο Δλ.";
    QTest::newRow("> X 1e100 overflows in X⁴") << true << "txtX1=1e100|txtf=kept" << "Λάθος στις συντεταγμένες.";
    QTest::newRow("> Y beyond a double") << true << "txtY1=1E999" << "Λάθος στις συντεταγμένες.";
    QTest::newRow("> X and Y 1e160, inf minus inf") << true << "txtX1=1e160|txtY1=1e160" << "Λάθος στις συντεταγμένες.";
    QTest::newRow("< X 1e100") << false << "txtX2=1e100" << "Λάθος στις συντεταγμένες.";
    QTest::newRow("< Y 1e200") << false << "txtY2=1e200" << "Λάθος στις συντεταγμένες.";
    // The inverse still finite, the forward not: Δφ³ overflows, or only the northing.
    QTest::newRow("> X 1e50") << true << "txtX1=1e50" << "Λάθος στις συντεταγμένες.";
    QTest::newRow("> Y 1e50") << true << "txtY1=1e50" << "Λάθος στις συντεταγμένες.";
    // Damaged texts: read as their leading number (none reads as 0), or refused.
    QTest::newRow("> lone minus and lone point read as 0") << true << "txtX1=-|txtY1=." << atDefaults;
    QTest::newRow("> unterminated quote and underflow read as 0") << true << "txtX1=\"12|txtY1=1e-999" << atDefaults;
    QTest::newRow("> NUL, exponent without digits, a quote end the number")
        << true << QString("txtX1=1000") + QChar(0) + "3|txtY1=2e3e-\"" << "txtX2=-7429.270|txtY2=13107.462|" + kmOut;
    QTest::newRow("> 10 MB of blanks before X, a million commas after Y")
        << true << "txtX1=" + QString(10000000, ' ') + "1000|txtY1=2000" + QString(1000000, ',')
        << "txtX2=-7429.270|txtY2=13107.462|" + kmOut;
    QTest::newRow("> 10 MB of digits") << true << "txtX1=" + QString(10000000, '9') << "Λάθος στις συντεταγμένες.";
}

void tst_SinglePoint::convert()
{
    QFETCH(bool, oldToNew);
    QFETCH(QString, input);
    QFETCH(QString, expected);
    FakeFields fields;
    for (const auto& [id, t] : texts(input)) fields.setText(id, t);
    const auto before = fields.all();
    FakeDialogs dialogs;
    if (oldToNew) convertOldToNew(fields, dialogs);
    else convertNewToOld(fields, dialogs);
    if (!expected.contains('=')) {
        QCOMPARE(dialogs.messages.size(), std::size_t(1));
        // A refused centre's second line gives its range (geodesy/centre.h's bounds).
        const QString range = expected == "Λάθος στο Φ." ? "\nΤο φ του κέντρου γίνεται δεκτό από 34° έως 42°."
                              : expected == "Λάθος στο Δλ."
                                  ? "\nΤο Δλ του κέντρου γίνεται δεκτό από -4°30' έως 5° από τον μεσημβρινό της Αθήνας."
                                  : "";
        QCOMPARE(QString::fromStdString(dialogs.messages[0].text), expected + range);
        QCOMPARE(dialogs.messages[0].title, std::string(windowTexts().titleWarning));
        QVERIFY(dialogs.messages[0].icon == MessageIcon::Critical);
        QVERIFY(fields.all() == before);
        return;
    }
    QVERIFY(dialogs.messages.empty());
    auto after = before;
    for (const auto& [id, t] : texts(expected)) after[id] = t;
    for (FieldId id : kAllFields)
        QCOMPARE(QString::fromStdString(fields.text(id)), QString::fromStdString(after[id]));
}

QTEST_APPLESS_MAIN(tst_SinglePoint)
#include "tst_single_point.moc"
