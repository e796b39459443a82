// The ">" and "<" operations on a window without a window: the texts they
// write, the refusals and their order, and that a refusal changes nothing.
// Expected texts are the worked examples of the conversion's description,
// which were computed independently of this code.

#include "fake_window.h"
#include "messages.h"
#include "single_point.h"

#include <QTest>

#include <map>

using hattsheet::conversion::FieldId;
using hattsheet::conversion::MessageIcon;
using hattsheet::testing::FakeDialogs;
using hattsheet::testing::FakeFields;
namespace msg = hattsheet::conversion::msg;

namespace {

using Texts = std::map<FieldId, std::string>;

FakeFields windowWith(const Texts& texts)
{
    FakeFields f;
    for (const auto& [id, t] : texts) f.setText(id, t);
    return f;
}

bool anyNonFinite(const FakeFields& f)
{
    for (const auto& [id, t] : f.all()) {
        if (t.find("inf") != std::string::npos || t.find("nan") != std::string::npos) return true;
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Texts)
Q_DECLARE_METATYPE(hattsheet::conversion::FieldId)

class tst_SinglePoint : public QObject {
    Q_OBJECT
private slots:
    void oldToNew_data();
    void oldToNew();
    void newToOld_data();
    void newToOld();
    void refusalOrder_data();
    void refusalOrder();
    void centreBoundaries_data();
    void centreBoundaries();
    void absurdCoordinates_data();
    void absurdCoordinates();
};

void tst_SinglePoint::oldToNew_data()
{
    QTest::addColumn<Texts>("input");
    QTest::addColumn<Texts>("expected");
    QTest::newRow("defaults")
        << Texts{}
        << Texts{{FieldId::X2, "-8431.552"}, {FieldId::Y2, "11108.603"}, {FieldId::Lat, "40° 50' 60.00000''"},
                 {FieldId::LonAthens, "-0° 51' 0.00000''"}, {FieldId::LonGreenwich, "22° 51' 58.81500''"}};
    QTest::newRow("default centres, 1 km east 2 km north")
        << Texts{{FieldId::X1, "1000"}, {FieldId::Y1, "2000"}}
        << Texts{{FieldId::X2, "-7429.270"}, {FieldId::Y2, "13107.462"}, {FieldId::Lat, "40° 52' 4.83982''"},
                 {FieldId::LonAthens, "-0° 50' 17.29165''"}, {FieldId::LonGreenwich, "22° 52' 41.52335''"}};
    QTest::newRow("same centre both sides")
        << Texts{{FieldId::PhiNew, "40.51"}, {FieldId::LamdaNew, "-0.51"}, {FieldId::X1, "1000"}, {FieldId::Y1, "2000"}}
        << Texts{{FieldId::X2, "1000.000"}, {FieldId::Y2, "2000.000"}};
    QTest::newRow("east of Athens, no sign on Δλ")
        << Texts{{FieldId::PhiOld, "38.15"}, {FieldId::LamdaOld, "1.45"}, {FieldId::PhiNew, "38.45"},
                 {FieldId::LamdaNew, "1.15"}, {FieldId::X1, "-12345.678"}, {FieldId::Y1, "9876.543"}}
        << Texts{{FieldId::X2, "31362.630"}, {FieldId::Y2, "-45568.618"}, {FieldId::Lat, "38° 20' 20.04305''"},
                 {FieldId::LonAthens, "1° 36' 31.57684''"}, {FieldId::LonGreenwich, "25° 19' 30.39184''"}};
    QTest::newRow("text in X reads as 0")
        << Texts{{FieldId::X1, "abc"}}
        << Texts{{FieldId::X2, "-8431.552"}, {FieldId::Y2, "11108.603"}};
    QTest::newRow("blank inside a number and leading number of a text")
        << Texts{{FieldId::X1, "1 000"}, {FieldId::Y1, "2000m"}}
        << Texts{{FieldId::X2, "-7429.270"}, {FieldId::Y2, "13107.462"}};
}

void tst_SinglePoint::oldToNew()
{
    QFETCH(Texts, input);
    QFETCH(Texts, expected);
    FakeFields fields = windowWith(input);
    FakeDialogs dialogs;
    hattsheet::conversion::convertOldToNew(fields, dialogs);
    QVERIFY(dialogs.messages.empty());
    for (const auto& [id, text] : expected) {
        QCOMPARE(QString::fromStdString(fields.text(id)), QString::fromStdString(text));
    }
    // The input fields keep their texts as typed.
    for (const auto& [id, text] : input) {
        QCOMPARE(QString::fromStdString(fields.text(id)), QString::fromStdString(text));
    }
}

void tst_SinglePoint::newToOld_data()
{
    QTest::addColumn<Texts>("input");
    QTest::addColumn<QString>("x1");
    QTest::addColumn<QString>("y1");
    QTest::newRow("defaults") << Texts{} << "8444.215" << "-11098.981";
    QTest::newRow("1 km east 2 km north") << Texts{{FieldId::X2, "1000"}, {FieldId::Y2, "2000"}} << "9441.934"
                                          << "-9097.840";
    QTest::newRow("back from the worked example is not exact to the mm")
        << Texts{{FieldId::X2, "-7429.270"}, {FieldId::Y2, "13107.462"}} << "1000.000" << "1999.999";
    QTest::newRow("text in X reads as 0") << Texts{{FieldId::X2, "abc"}} << "8444.215" << "-11098.981";
    QTest::newRow("equal centres, a distant point moves")
        << Texts{{FieldId::PhiOld, "40.45"}, {FieldId::LamdaOld, "-0.45"}, {FieldId::X2, "50000"},
                 {FieldId::Y2, "-60000"}}
        << "50000.000" << "-59999.973";
    QTest::newRow("other centres")
        << Texts{{FieldId::PhiNew, "38.15"}, {FieldId::LamdaNew, "2.30"}, {FieldId::PhiOld, "37.30"},
                 {FieldId::LamdaOld, "1.05"}, {FieldId::X2, "-35123.456"}, {FieldId::Y2, "27654.321"}}
        << "88446.807" << "111294.488";
    QTest::newRow("limits accepted")
        << Texts{{FieldId::PhiNew, "42.00"}, {FieldId::LamdaNew, "-4.30"}, {FieldId::PhiOld, "42"},
                 {FieldId::LamdaOld, "5.00"}}
        << "" << "";
}

void tst_SinglePoint::newToOld()
{
    QFETCH(Texts, input);
    QFETCH(QString, x1);
    QFETCH(QString, y1);
    FakeFields fields = windowWith(input);
    fields.setText(FieldId::Lat, "kept");
    FakeDialogs dialogs;
    hattsheet::conversion::convertNewToOld(fields, dialogs);
    QVERIFY(dialogs.messages.empty());
    if (!x1.isEmpty()) {
        QCOMPARE(QString::fromStdString(fields.text(FieldId::X1)), x1);
        QCOMPARE(QString::fromStdString(fields.text(FieldId::Y1)), y1);
    }
    // "<" leaves the geodetic display alone.
    QCOMPARE(fields.text(FieldId::Lat), std::string("kept"));
    QCOMPARE(fields.text(FieldId::LonAthens), std::string());
}

// Every combination of wrong centre fields, for both directions: only the
// first failing check is reported, in the order φ then Δλ of the centre the
// operation starts from, then φ and Δλ of the other, and no field changes.
void tst_SinglePoint::refusalOrder_data()
{
    QTest::addColumn<bool>("oldToNew");
    QTest::addColumn<Texts>("input");
    QTest::addColumn<QString>("message");
    const FieldId order[2][4] = {
        {FieldId::PhiOld, FieldId::LamdaOld, FieldId::PhiNew, FieldId::LamdaNew},
        {FieldId::PhiNew, FieldId::LamdaNew, FieldId::PhiOld, FieldId::LamdaOld},
    };
    // A wrong text for each field kind; both are outside their own range.
    const char* wrongPhi[] = {"42.01", "33.59", "43.00", "abc", "1E999"};
    const char* wrongLambda[] = {"-4.31", "5.01", "40.51", "abc", "-1E999"};
    for (int direction = 0; direction < 2; ++direction) {
        for (int mask = 1; mask < 16; ++mask) {
            Texts input;
            QByteArray name = direction == 0 ? ">" : "<";
            int first = -1;
            for (int k = 0; k < 4; ++k) {
                if (!(mask & (1 << k))) continue;
                if (first < 0) first = k;
                const bool phi = k % 2 == 0;
                input[order[direction][k]] = phi ? wrongPhi[mask % 5] : wrongLambda[(mask + k) % 5];
                name += QByteArray(" ") + hattsheet::conversion::fieldObjectName(order[direction][k]) + "=" +
                        input[order[direction][k]].c_str();
            }
            const QString message = first % 2 == 0 ? msg::kLatitude : msg::kLongitude;
            QTest::newRow(name.constData()) << (direction == 0) << input << message;
        }
    }
}

void tst_SinglePoint::refusalOrder()
{
    QFETCH(bool, oldToNew);
    QFETCH(Texts, input);
    QFETCH(QString, message);
    FakeFields fields = windowWith(input);
    fields.setText(FieldId::Lat, "before");
    fields.setText(FieldId::X1, "1000");
    const auto before = fields.all();
    FakeDialogs dialogs;
    if (oldToNew) hattsheet::conversion::convertOldToNew(fields, dialogs);
    else hattsheet::conversion::convertNewToOld(fields, dialogs);
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(dialogs.messages[0].text), message);
    QCOMPARE(dialogs.messages[0].title, std::string(msg::kTitleWarning));
    QVERIFY(dialogs.messages[0].icon == MessageIcon::Critical);
    QVERIFY(fields.all() == before);
}

// The edges of the accepted range in each of the four centre fields, for
// both operations: accepted texts convert, refused ones give their field's
// message (the other fields at their defaults).
void tst_SinglePoint::centreBoundaries_data()
{
    QTest::addColumn<bool>("oldToNew");
    QTest::addColumn<FieldId>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");  // empty: accepted
    struct Edge {
        bool phi;
        const char* text;
        bool refused;
    };
    const Edge edges[] = {
        {true, "42.00", false}, {true, "42", false},      {true, "42.0001", true}, {true, "42.01", true},
        {true, "34.00", false}, {true, "33.60", false},   {true, "33.59", true},   {true, "", true},
        {false, "-4.30", false}, {false, "-4.31", true},  {false, "4.60", false},  {false, "5.00", false},
        {false, "5.01", true},  {false, "40.51", true},   {false, "abc", true},    {false, "1E999", true},
    };
    const FieldId phiFields[] = {FieldId::PhiOld, FieldId::PhiNew};
    const FieldId lambdaFields[] = {FieldId::LamdaOld, FieldId::LamdaNew};
    for (bool oldToNew : {true, false}) {
        for (int side = 0; side < 2; ++side) {
            for (const Edge& e : edges) {
                const FieldId field = e.phi ? phiFields[side] : lambdaFields[side];
                const QString message = !e.refused ? QString() : e.phi ? msg::kLatitude : msg::kLongitude;
                QTest::addRow("%s %s=\"%s\"", oldToNew ? ">" : "<", hattsheet::conversion::fieldObjectName(field),
                              e.text)
                    << oldToNew << field << QString(e.text) << message;
            }
        }
    }
}

void tst_SinglePoint::centreBoundaries()
{
    QFETCH(bool, oldToNew);
    QFETCH(FieldId, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    FakeFields fields;
    fields.setText(field, text.toStdString());
    const auto before = fields.all();
    FakeDialogs dialogs;
    if (oldToNew) hattsheet::conversion::convertOldToNew(fields, dialogs);
    else hattsheet::conversion::convertNewToOld(fields, dialogs);
    if (message.isEmpty()) {
        QVERIFY(dialogs.messages.empty());
        QVERIFY(fields.all() != before);
        return;
    }
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(dialogs.messages[0].text), message);
    QVERIFY(fields.all() == before);
}

// Plane coordinates beyond what the series can carry: a Greek message, no
// field changed, and never an "inf" or "nan" text anywhere.
void tst_SinglePoint::absurdCoordinates_data()
{
    QTest::addColumn<bool>("oldToNew");
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::newRow("> X 1e100 overflows in X⁴") << true << "1e100" << "0";
    QTest::newRow("> Y beyond a double") << true << "0" << "1E999";
    QTest::newRow("> X 1e160 overflows") << true << "1e160" << "1e160";
    QTest::newRow("> negative X beyond a double") << true << "-1D999" << "0";
    QTest::newRow("< X 1e100") << false << "1e100" << "0";
    QTest::newRow("< Y 1e200") << false << "0" << "1e200";
}

void tst_SinglePoint::absurdCoordinates()
{
    QFETCH(bool, oldToNew);
    QFETCH(QString, x);
    QFETCH(QString, y);
    FakeFields fields;
    const FieldId xField = oldToNew ? FieldId::X1 : FieldId::X2;
    const FieldId yField = oldToNew ? FieldId::Y1 : FieldId::Y2;
    fields.setText(xField, x.toStdString());
    fields.setText(yField, y.toStdString());
    const auto before = fields.all();
    FakeDialogs dialogs;
    if (oldToNew) hattsheet::conversion::convertOldToNew(fields, dialogs);
    else hattsheet::conversion::convertNewToOld(fields, dialogs);
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(dialogs.messages[0].text, std::string(msg::kCoordinates));
    QCOMPARE(dialogs.messages[0].title, std::string(msg::kTitleWarning));
    QVERIFY(fields.all() == before);
    QVERIFY(!anyNonFinite(fields));
}

QTEST_APPLESS_MAIN(tst_SinglePoint)
#include "tst_single_point.moc"
