// "Αποθήκευση ως…" of panel 2 on a window without a window, with real
// files. The oracle is hattsheet-convert as a process: a map file of panel
// 2 in system S is byte for byte what --from S --to S --format F writes of
// the same lines. The command line takes ΕΓΣΑ87 at one end only; there the
// places are its list carried on to wgs84, digit for digit.
// Rows through TM07 or HTRS07 skip without the agency's grid
// (support/hepos_data.h).

#include "operations/map_export.h"
#include "operations/panel_operations.h"
#include "operations/systems_operations.h"
#include "operations/window_texts.h"
#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/hepos_data.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>


using namespace hattsheet::operations;
using namespace hattsheet::testing;
namespace pf = hattsheet::pointfile;
using hattsheet::Expected;
using hattsheet::unexpected;

namespace {

// Panel 2 after a batch onto the sheet Αθήναι-Ελευσίς (38.15,-0.15): a
// Greek code, one that XML and JSON escape; and a list without heights.
const QByteArray kHattPanel = "Α1, 1000.000, 2000.000, 10.000\n\"Σ&<2> x\", -5000.250, 3000.000, 5.500\nΓ3, 0.000, 0.000, 0.000\n";
const QByteArray kNoHeights = "Α1, 1000.000, 2000.000\nB2, 0.000, 0.000\n";
const QByteArray kEgsa87Panel = "Α1, 476000.123, 4206000.456, 120.000\nB2, 478500.250, 4203000.000, 0.000\n";
const QByteArray kTm07Panel = "T1, 476000.123, 2206000.456, 1.500\nΩ2, 480000.000, 2210000.000, 0.000\n";
const QByteArray kGeographicPanel = "G1, 38.000000001, 23.700000009, 100.000\nΦ2, 37.975000000, 23.735500000, 0.000\n";

// A system as --from and --to name it: a Hatt centre "PHI,DL", or an id.
SystemId systemOf(const QString& end)
{
    if (end.contains(',')) return SystemId::hatt(end.section(',', 0, 0).toStdString(), end.section(',', 1).toStdString());
    return SystemId::of(systemNamed(end.toStdString()).value());
}

pf::MapFormat formatOf(const QString& name) { return pf::mapFormatNamed(name.toStdString()).value(); }

// The panel's map file as the window makes it, the system as the window
// keeps it for panel 2 (lineSystemOf) and reads it back (mapSystemOf).
Expected<MapFile, std::string> windowFile(const QString& end, const QString& format, const QByteArray& panel)
{
    GridSlot grid;
    const auto system = mapSystemOf({lineSystemOf(systemOf(end))}, false);
    if (!system) return unexpected(system.error());
    return mapFileOf(panel.toStdString(), *system, formatOf(format), grid);
}

// The numbers of a panel's lines as their texts: what a map file keeps.
QStringList coordinateTexts(const QByteArray& panel)
{
    QStringList texts;
    for (const QByteArray& line : panel.split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        for (qsizetype i = 1; i < fields.size(); ++i) texts << QString::fromUtf8(fields[i].trimmed());
    }
    return texts;
}

bool needsGrid(const QString& end) { return !end.isEmpty() && needsHeposGrid(systemOf(end).kind); }

} // namespace

class tst_MapExport : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_work.reset());
        // The window and the command line look for the grid in the same place.
        const QString grid = heposDataFolder();
        grid.isEmpty() ? qunsetenv("HATTSHEET_HEPOS_GRID") : qputenv("HATTSHEET_HEPOS_GRID", QFile::encodeName(grid));
    }
    void sameBytesAsCommandLine_data();
    void sameBytesAsCommandLine();
    void placesAsCommandLine_data();
    void placesAsCommandLine();
    void refusals_data();
    void refusals();
    void dialogWritesChosenType_data();
    void dialogWritesChosenType();
    void refusedFileKeptWhole_data();
    void refusedFileKeptWhole();

private:
    QString at(const QString& name) const { return m_work.path() + '/' + name; }
    TempWorkspace m_work;
};

// Expected bytes: hattsheet-convert --from S --to S --format F of the same lines.
void tst_MapExport::sameBytesAsCommandLine_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("panel");
    for (const char* format : {"kml", "geojson", "dxf", "gpx"}) {
        QTest::addRow("Hatt on a sheet's centre, %s", format) << "38.15,-0.15" << format << kHattPanel;
        QTest::addRow("TM07 through the grid, %s", format) << "tm07" << format << kTm07Panel;
    }
    for (const char* format : {"kml", "geojson", "gpx"}) QTest::addRow("WGS84, %s", format) << "wgs84" << format << kGeographicPanel;
    QTest::newRow("ΕΓΣΑ87 geographic, KML") << "egsa87-geo" << "kml" << kGeographicPanel;
    QTest::newRow("HTRS07 geographic, GeoJSON") << "htrs07" << "geojson" << kGeographicPanel;
    QTest::newRow("TM3 central zone, GPX") << "tm3-central" << "gpx" << QByteArray("P1, 200896.300, 444075.866, 5.000\n");
    QTest::newRow("a Hatt centre on no sheet, DXF") << "40.51,-0.51" << "dxf" << kHattPanel;
    QTest::newRow("Hatt without heights, KML") << "38.15,-0.15" << "kml" << kNoHeights;
    QTest::newRow("an empty list") << "38.15,-0.15" << "geojson" << QByteArray("\n\n");
}

void tst_MapExport::sameBytesAsCommandLine()
{
    QFETCH(QString, system);
    QFETCH(QString, format);
    QFETCH(QByteArray, panel);
    if (needsGrid(system) && heposDataFolder().isEmpty()) QSKIP("the HEPOS grid is not here");
    const auto file = windowFile(system, format, panel);
    QVERIFY2(file, file ? "" : file.error().c_str());
    const CliRun cli = runConvert({"--from", system, "--to", system, "--format", format}, panel);
    QVERIFY2(cli.exitCode == 0, cli.err.constData());
    QCOMPARE(QByteArray::fromStdString(file->bytes), cli.out);
}

// Expected: the panel's own coordinate texts, and the places as
// hattsheet-convert --from S --to wgs84 gives them for the same lines (φ
// and λ, 9 decimals), each found in the file as it stands.
void tst_MapExport::placesAsCommandLine_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("panel");
    for (const char* format : {"kml", "geojson", "dxf", "gpx"}) QTest::addRow("ΕΓΣΑ87, %s", format) << "egsa87" << format << kEgsa87Panel;
    QTest::newRow("TM07, KML") << "tm07" << "kml" << kTm07Panel;
}

void tst_MapExport::placesAsCommandLine()
{
    QFETCH(QString, system);
    QFETCH(QString, format);
    QFETCH(QByteArray, panel);
    if (needsGrid(system) && heposDataFolder().isEmpty()) QSKIP("the HEPOS grid is not here");
    const auto file = windowFile(system, format, panel);
    QVERIFY2(file, file ? "" : file.error().c_str());
    const bool placed = format != "dxf";
    QCOMPARE(file->throughWgs84Shift, placed);  // the ~1 m note goes with the message
    QCOMPARE(file->points, 2ULL);
    const CliRun cli = runConvert({"--from", system, "--to", "wgs84"}, panel);
    QVERIFY2(cli.exitCode == 0, cli.err.constData());
    const QStringList places = coordinateTexts(cli.out);
    QCOMPARE(places.size(), 6);
    for (const QString& text : coordinateTexts(panel) + (placed ? places : QStringList())) {
        QVERIFY2(file->bytes.find(text.toStdString()) != std::string::npos, qPrintable(text));
    }
}

// Expected words: the window's refusals (window_texts.h) and the book's
// messages of a route or a record, each naming what it refuses.
void tst_MapExport::refusals_data()
{
    QTest::addColumn<QString>("system");  // empty: none known
    QTest::addColumn<bool>("opened");     // lines opened from a file among them
    QTest::addColumn<QString>("second");  // a second system's lines; empty: none
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("panel");
    QTest::addColumn<QString>("grid");    // HATTSHEET_HEPOS_GRID: "empty" a folder without the files
    QTest::addColumn<QString>("said");
    const QString unknown = QString::fromUtf8(captions::kMapSystemUnknown);
    QTest::newRow("lines opened from a file") << "egsa87" << true << "" << "kml" << kEgsa87Panel << "" << unknown;
    QTest::newRow("lines of no conversion") << "" << false << "" << "kml" << kEgsa87Panel << "" << unknown;
    QTest::newRow("lines of two systems") << "egsa87" << false << "38.15,-0.15" << "dxf" << kEgsa87Panel << ""
                                          << "περισσότερα από ένα συστήματα (ΕΓΣΑ87 και HATT με κέντρο φ «38.15»";
    QTest::newRow("DXF of WGS84 points") << "wgs84" << false << "" << "dxf" << kGeographicPanel << "" << "Το DXF σχεδιάζει";
    QTest::newRow("DXF of HTRS07 points") << "htrs07" << false << "" << "dxf" << kGeographicPanel << "" << "γεωγραφικό σύστημα";
    QTest::newRow("KML of a centre on no sheet") << "40.51,-0.51" << false << "" << "kml" << kHattPanel << ""
                                                 << "δεν έχει κέντρο φ = 40.51, Δλ = -0.51";
    QTest::newRow("KML of TM07 without the grid") << "tm07" << false << "" << "kml" << kTm07Panel << "empty"
                                                  << "www.hepos.gr)· κατεβάστε τα και εγκαταστήστε τα από το μενού «Συστήματα»";
    QTest::newRow("a point outside the grid on line 4") << "tm07" << false << "" << "geojson"
                                                        << kTm07Panel + "\nX9, 100.000, 100.000, 0.000\n" << ""
                                                        << "Δεν γράφτηκε τίποτα: εγγραφή 3, γραμμή 4: ";
    QTest::newRow("a point off its sheet, for its place") << "38.15,-0.15" << false << "" << "kml"
                                                          << kHattPanel + "Z4, 900000.000, 0.000, 0.000\n" << ""
                                                          << "Δεν γράφτηκε τίποτα: εγγραφή 4, γραμμή 4: ";
    QTest::newRow("a latitude past the pole") << "wgs84" << false << "" << "gpx" << QByteArray("G1, 91.000000000, 23.000000000, 0\n")
                                              << "" << "Δεν γράφτηκε τίποτα: εγγραφή 1, γραμμή 1: ";
    QTest::newRow("a line without its Y") << "egsa87" << false << "" << "dxf" << kEgsa87Panel + "B3, 476000.000\n"
                                          << "" << "Δεν γράφτηκε τίποτα: εγγραφή 3, γραμμή 3: ";
}

void tst_MapExport::refusals()
{
    QFETCH(QString, system);
    QFETCH(bool, opened);
    QFETCH(QString, second);
    QFETCH(QString, format);
    QFETCH(QByteArray, panel);
    QFETCH(QString, grid);
    QFETCH(QString, said);
    if (grid.isEmpty() && needsGrid(system) && heposDataFolder().isEmpty()) QSKIP("the HEPOS grid is not here");
    if (grid == "empty") qputenv("HATTSHEET_HEPOS_GRID", QFile::encodeName(m_work.path()));
    std::vector<LineSystem> systems;
    for (const QString& end : {system, second}) {
        if (!end.isEmpty()) systems.push_back(lineSystemOf(systemOf(end)));
    }
    GridSlot slot;
    const auto named = mapSystemOf(systems, opened);
    const auto file = named ? mapFileOf(panel.toStdString(), *named, formatOf(format), slot)
                            : Expected<MapFile, std::string>(unexpected(named.error()));
    QVERIFY2(!file, "written");
    QVERIFY2(QString::fromStdString(file.error()).contains(said), file.error().c_str());
}

// Expected files: the comma list is the save's own (savePanel into another
// file of the same folder); a map file is mapFileOf's bytes. A typed
// extension of a known type decides, else the type chosen, its extension
// added (the list's forced as the save forces it).
void tst_MapExport::dialogWritesChosenType_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");  // the index in saveAsFilters()
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("format");  // empty: the comma list
    QTest::newRow("the comma list") << "pts" << 0 << "pts.txt" << "";
    QTest::newRow("KML chosen") << "pts" << 1 << "pts.kml" << "kml";
    QTest::newRow("GeoJSON chosen") << "σημεία" << 2 << "σημεία.geojson" << "geojson";
    QTest::newRow("DXF chosen") << "pts" << 3 << "pts.dxf" << "dxf";
    QTest::newRow("GPX typed over the list chosen") << "pts.gpx" << 0 << "pts.gpx" << "gpx";
    QTest::newRow(".TXT typed over DXF chosen") << "pts.TXT" << 3 << "pts.TXT" << "";
    QTest::newRow("an unknown extension, DXF chosen") << "pts.v2" << 3 << "pts.v2.dxf" << "dxf";
    QTest::newRow("an unknown extension, the list chosen") << "pts.seq" << 0 << "pts.txt" << "";
}

void tst_MapExport::dialogWritesChosenType()
{
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(QString, format);
    QCOMPARE(saveAsFilters().size(), std::size_t(5));
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File2, kHattPanel.toStdString());
    PanelContents contents(Panel::Two);
    contents.appended(lineSystemOf(systemOf("38.15,-0.15")), true);
    dialogs.fileAnswers = {at(typed).toStdString(), at("saved.txt").toStdString()};
    dialogs.typeAnswers = {std::size_t(filter)};
    GridSlot grid;
    const auto saved = savePanelAs(fields, dialogs, m_work.places(), contents, grid, "offered.txt");
    QVERIFY(saved);
    QCOMPARE(QString::fromStdString(saved->path), at(written));
    QCOMPARE(dialogs.suggestions.front(), std::string("offered.txt"));
    QByteArray expected;
    if (format.isEmpty()) {
        QVERIFY(savePanel(fields, dialogs, m_work.places(), Panel::Two));
        expected = readFile(at("saved.txt"));
    } else {
        expected = QByteArray::fromStdString(windowFile("38.15,-0.15", format, kHattPanel)->bytes);
        QCOMPARE(int(saved->format), int(formatOf(format)));
    }
    QCOMPARE(readFile(at(written)), expected);
    QCOMPARE(dialogs.messages.front().title, std::string(windowTexts().titleInfoPlain));
}

// A refused map file and a file that cannot be written (its folder went
// away): the file chosen keeps its bytes, nothing appears beside it, and
// the message says why.
void tst_MapExport::refusedFileKeptWhole_data()
{
    QTest::addColumn<QByteArray>("panel");
    QTest::addColumn<QString>("chosen");  // in the folder "out"
    QTest::addColumn<QString>("said");
    QTest::newRow("a point off its sheet on line 4") << kHattPanel + "Z4, 900000.000, 0.000, 0.000\n" << "old.kml"
                                                     << "Δεν γράφτηκε τίποτα: εγγραφή 4, γραμμή 4";
    // Some 6 MB of KML reach the temporary file before the failing point.
    QTest::newRow("a point off its sheet after 20,000") << kHattPanel.repeated(7000) + "Z4, 900000.000, 0.000, 0.000\n"
                                                        << "old.kml" << "εγγραφή 21001, γραμμή 21001";
    QTest::newRow("a folder that vanished") << kHattPanel << "gone/new.kml" << "gone/new.kml";
}

void tst_MapExport::refusedFileKeptWhole()
{
    QFETCH(QByteArray, panel);
    QFETCH(QString, chosen);
    QFETCH(QString, said);
    const QString folder = at("out");
    QVERIFY(QDir().mkpath(folder));
    const QByteArray old = "<kml>the old file</kml>\n";
    QVERIFY(writeFile(folder + "/old.kml", old));
    FakeFields fields;
    FakeDialogs dialogs;
    fields.setText(FieldId::File2, panel.toStdString());
    PanelContents contents(Panel::Two);
    contents.appended(lineSystemOf(systemOf("38.15,-0.15")), true);
    dialogs.fileAnswers = {(folder + '/' + chosen).toStdString()};
    GridSlot grid;
    QVERIFY(!savePanelAs(fields, dialogs, m_work.places(), contents, grid, {}));
    QCOMPARE(readFile(folder + "/old.kml"), old);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"old.kml"});
    QCOMPARE(dialogs.messages.size(), std::size_t(1));
    QVERIFY2(QString::fromStdString(dialogs.messages.front().text).contains(said), dialogs.messages.front().text.c_str());
    QCOMPARE(dialogs.messages.front().icon, MessageIcon::Critical);
}

QTEST_GUILESS_MAIN(tst_MapExport)
#include "tst_map_export.moc"
