// Sheets by name, the choice of a point's sheet, and the conversions to and
// from the Greek Grid through the window's operations (a fake window).
// Expected sheets: data/hatt_sheets.csv read by hand (id, name, agency
// number, outline). Expected E, N at a centre: A0, B0 of the sheet's row,
// since the polynomial there is its constant term.

#include "support/fake_window.h"
#include "geodesy/hatt_projection.h"
#include "operations/window_texts.h"
#include "operations/egsa87_operations.h"
#include "operations/sheet_names.h"

#include <QTest>

using namespace hattsheet::operations;
using namespace hattsheet::testing;
namespace geo = hattsheet::geodesy;

namespace {

constexpr int kUnknown = 0, kAmbiguous = -1;

// The point in the middle of a sheet's outline, as Hatt X, Y on its centre.
geo::PlanePoint middleOf(const geo::Sheet& s)
{
    double phi = 0, lambda = 0;
    for (const auto& c : s.outline) {
        phi += c.phiDeg / 4;
        lambda += c.lambdaDeg / 4;
    }
    const geo::HattProjection frame(geo::centreOf(s));
    return *frame.forward({geo::degreesToRadians(phi), geo::degreesToRadians(lambda) + geo::athensMeridian()});
}

} // namespace

class tst_Sheets : public QObject {
    Q_OBJECT
private slots:
    void findSheet_data();
    void findSheet();
    void refusals_data();
    void refusals();
    void windowLists_data();
    void windowLists();
    void pointToEgsa87AndSheetNames();
};

void tst_Sheets::findSheet_data()
{
    QTest::addColumn<QByteArray>("text");  // UTF-8, or not
    QTest::addColumn<int>("id");           // the sheet found, or kUnknown / kAmbiguous
    QTest::addColumn<int>("candidates");  // how many the error lists
    QTest::newRow("name with accents") << QByteArray("Άθως") << 21 << 0;
    QTest::newRow("capitals without accents") << QByteArray("ΑΘΩΣ") << 21 << 0;
    QTest::newRow("lower case, no accents, σ for ς") << QByteArray("αθωσ") << 21 << 0;
    QTest::newRow("the agency's modern spelling") << QByteArray("ΑΘΗΝΑ-ΠΕΙΡΑΙΑΣ") << 20 << 0;
    QTest::newRow("space for the hyphen") << QByteArray("Αθήναι Πειραιεύς") << 20 << 0;
    QTest::newRow("Latin A of the agency's table") << QByteArray("AΓ. ΜΑΤΘΑΙΟΣ") << 7 << 0;
    QTest::newRow("unique prefix") << QByteArray("ιερισ") << 124 << 0;
    QTest::newRow("whole name wins over longer ones") << QByteArray("Άργος") << 49 << 0;
    QTest::newRow("whole name Πλατύ, not Πλατύκαμπος") << QByteArray("πλατυ") << 305 << 0;
    QTest::newRow("prefix of three names") << QByteArray("Αργο") << kAmbiguous << 3;
    QTest::newRow("prefix of many: ten listed") << QByteArray("Αγ") << kAmbiguous << 11;
    QTest::newRow("agency number") << QByteArray("20") << 21 << 0;
    QTest::newRow("agency number shared by a split sheet") << QByteArray("77") << kAmbiguous << 2;
    QTest::newRow("agency number of no sheet") << QByteArray("999") << kUnknown << 0;
    QTest::newRow("unknown name") << QByteArray("Ατλαντίς") << kUnknown << 0;
    QTest::newRow("unknown prefix, contained in a name") << QByteArray("θάσος") << kUnknown << 1;
    QTest::newRow("only punctuation") << QByteArray(" .-") << kUnknown << 0;
    QTest::newRow("a stray UTF-8 byte is kept: no name has it, the nearest is offered")
        << QByteArray("\x80Άθως") << kUnknown << 1;
}

void tst_Sheets::findSheet()
{
    QFETCH(QByteArray, text);
    QFETCH(int, id);
    QFETCH(int, candidates);
    const auto found = hattsheet::operations::findSheet(text.toStdString());
    if (id > 0) {
        QVERIFY2(found, found ? "" : candidateList(found.error().candidates).c_str());
        QCOMPARE((*found)->id, id);
        return;
    }
    QVERIFY(!found);
    QCOMPARE(found.error().ambiguous, id == kAmbiguous);
    QVERIFY2(int(found.error().candidates.size()) >= candidates, candidateList(found.error().candidates).c_str());
    if (candidates < int(kCandidatesShown)) QCOMPARE(int(found.error().candidates.size()), candidates);
    if (found.error().candidates.size() > kCandidatesShown) QVERIFY(candidateList(found.error().candidates).ends_with(", …"));
}

// Every refusal of a point or a centre, both ways. The six inconsistent
// sheets are met at the middle of their outlines on their own centres.
void tst_Sheets::refusals_data()
{
    QTest::addColumn<bool>("toEgsa87");
    QTest::addColumn<int>("sheet");  // the sheet whose centre (or name, when named) is used
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("message");
    for (int id : {237, 88, 26, 78, 60}) {
        const auto& s = *geo::sheetById(id);
        const QString why = QString::fromStdString(windowBook().defectiveSheet(s));
        QTest::addRow("to the Grid on %d", id) << true << id << false << why;
        QTest::addRow("from the Grid on %d", id) << false << id << false << why;
        QTest::addRow("%d named", id) << true << id << true << why;
    }
    QTest::newRow("390 named") << true << 390 << true << QString::fromStdString(windowBook().defectiveSheet(*geo::sheetById(390)));
    QTest::newRow("390's centre, out of range, names 390")
        << true << 390 << false << QString::fromStdString(windowBook().defectiveSheet(*geo::sheetById(390)));
}

void tst_Sheets::refusals()
{
    QFETCH(bool, toEgsa87);
    QFETCH(int, sheet);
    QFETCH(bool, named);
    QFETCH(QString, message);
    const auto& s = *geo::sheetById(sheet);
    const auto choice = named ? SheetChoice::named(s) : SheetChoice::onCentre(s.phi0DegMin, s.lambda0DegMin);
    if (!choice) {
        QCOMPARE(QString::fromStdString(choiceMessage(choice.error(), s.phi0DegMin, s.lambda0DegMin, &s)), message);
        return;
    }
    const geo::PlanePoint p = middleOf(s);
    const geo::Egsa87Point g = geo::Egsa87Polynomial(s).forward(p);
    const auto result = toEgsa87 ? hattToEgsa87(*choice, p) : egsa87ToHatt(*choice, g);
    QVERIFY(!result);
    QCOMPARE(QString::fromStdString(refusalMessage(result.error(), *choice)), message);
}

// Panel 1 to the Grid from "Από Κ.Φ." and back to "Σε Κ.Φ.", the fields
// of both centres 40.15, 0.15 (Άθως, Ιερισσός, Καλαμίτσιον, Καρυαί, Συκέα,
// one polynomial with A0 = 497146.35, B0 = 4455299.91).
void tst_Sheets::windowLists_data()
{
    QTest::addColumn<bool>("toEgsa87");
    QTest::addColumn<QString>("panel1");
    QTest::addColumn<QString>("panel2");  // after the operation
    QTest::addColumn<QString>("message");
    const QString off = QString::fromStdString(windowBook().offSheets("40.15", "0.15"));
    QTest::newRow("centre to the Grid") << true << "P1, 0, 0, 12.5\r\n" << "P1, 497146.350, 4455299.910, 12.500\r\n"
                                        << QString::fromStdString(withPointCount(windowTexts().batchDone, 1));
    QTest::newRow("the Grid to the centre") << false << "P1, 497146.35, 4455299.91, 12.500\r\n"
                                            << "P1, 0.000, 0.000, 12.500\r\n" << QString::fromStdString(withPointCount(windowTexts().batchDone, 1));
    QTest::newRow("second record off every sheet: first line kept")
        << true << "P1, 0, 0, 1\r\nP2, 90000, 0, 1\r\nP3, 0, 0, 1\r\n" << "P1, 497146.350, 4455299.910, 1.000\r\n"
        << QString(windowTexts().batchFailed) + "\nεγγραφή 2, γραμμή 2: " + off;
    QTest::newRow("Grid point off every sheet") << false << "Q, 400000, 4100000, 0\r\n" << ""
                                                << QString(windowTexts().batchFailed) + "\nεγγραφή 1, γραμμή 1: " + off;
    QTest::newRow("text for X: the reader's reason") << true << "P1, abc, 0, 0\r\n" << ""
                                                     << QString(windowTexts().batchFailed) + "\nεγγραφή 1, γραμμή 1: Χ = «abc» δεν είναι αριθμός";
    QTest::newRow("a semicolon list to the Grid") << true << "P1;10;10;5\r\nP2;0;0;6\r\n"
                                                  << "P1, 497156.350, 4455309.902, 5.000\r\nP2, 497146.350, 4455299.910, 6.000\r\n"
                                                  << QString(windowTexts().batchDone) + "\nΔιαβάστηκαν 2 σημεία: διαχωριστικό «;», υποδιαστολή «.»";
}

void tst_Sheets::windowLists()
{
    QFETCH(bool, toEgsa87);
    QFETCH(QString, panel1);
    QFETCH(QString, panel2);
    QFETCH(QString, message);
    FakeFields fields;
    FakeDialogs dialogs;
    for (FieldId id : {FieldId::PhiOld, FieldId::PhiNew}) fields.setText(id, "40.15");
    for (FieldId id : {FieldId::LambdaOld, FieldId::LambdaNew}) fields.setText(id, "0.15");
    fields.setText(FieldId::File1, panel1.toStdString());
    const TempPlaces nowhere{};
    if (toEgsa87) {
        convertListToEgsa87(fields, dialogs, nowhere);
    } else {
        convertListFromEgsa87(fields, dialogs, nowhere);
    }
    QCOMPARE(QString::fromStdString(fields.text(FieldId::File2)), panel2);
    QVERIFY(!dialogs.messages.empty());
    QCOMPARE(QString::fromStdString(dialogs.messages.back().text), message);
}

// One point of "Από Κ.Φ." to the Grid into panel 2, its refusals, and the
// sheet names the window shows after ">" and "<".
void tst_Sheets::pointToEgsa87AndSheetNames()
{
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::PhiOld, "40.15");
    fields.setText(FieldId::LambdaOld, "0.15");
    fields.setText(FieldId::File2, "kept");
    // (10, 10): E = A0 + 10·A1 + 10·A2 + ..., by hand 497156.350246,
    // N 4455309.902206. (The centre itself lies on the corner of four sheets.)
    fields.setText(FieldId::X1, "10");
    fields.setText(FieldId::Y1, "10");
    convertPointToEgsa87(fields, dialogs);
    QCOMPARE(fields.text(FieldId::File2), std::string("kept\r\nΚαρυαί, 497156.350, 4455309.902, 0.000\r\n"));
    QVERIFY(dialogs.messages.empty());

    fields.setText(FieldId::LambdaOld, "0.20");  // no sheet has this centre
    convertPointToEgsa87(fields, dialogs);
    QCOMPARE(dialogs.messages.back().text, windowBook().noSheetOnCentre("40.15", "0.20"));
    QCOMPARE(dialogs.messages.back().title, std::string(windowTexts().titleWarning));
    fields.setText(FieldId::LambdaOld, "0.15");
    fields.setText(FieldId::X1, "-30000");  // west of Συκέα and Ιερισσός
    convertPointToEgsa87(fields, dialogs);
    QCOMPARE(dialogs.messages.back().text, windowBook().offSheets("40.15", "0.15"));
    QCOMPARE(fields.text(FieldId::File2), std::string("kept\r\nΚαρυαί, 497156.350, 4455309.902, 0.000\r\n"));

    QCOMPARE(sheetNameOfPoint("40.15", "0.15", "1000", "1000"), std::string("«Καρυαί» (ΟΚΧΕ 146)"));
    QCOMPARE(sheetNameOfPoint("40.15", "0.15", "-1000", "-1000"), std::string("«Συκέα» (ΟΚΧΕ 356)"));
    QCOMPARE(sheetNameOfPoint("40.15", "0.15", "0", "-900000"), std::string());
    QCOMPARE(sheetNameOfPoint("40.15", "9", "0", "0"), std::string());
    QCOMPARE(sheetNameOfPoint("40.15", "0.15", "1e999", "0"), std::string());  // X beyond a double
}

QTEST_GUILESS_MAIN(tst_Sheets)
#include "tst_sheets.moc"
