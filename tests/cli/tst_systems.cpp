// Conversions between any two systems: the routes through every pair
// (each pair's result against the direct route from ΕΓΣΑ87, round trips),
// WGS84 against PROJ, the system names, and hattsheet-convert as a process:
// the agency's check points, the grid absent, damaged or missed, the
// accuracy note, geographic lists.

#include "operations/systems.h"
#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/hepos_data.h"
#include "support/temp_workspace.h"

#include <proj.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace hattsheet::operations;
using hattsheet::testing::CliRun;
using hattsheet::testing::runConvert;
using hattsheet::Expected;
using hattsheet::unexpected;

Q_DECLARE_METATYPE(SystemKind)

namespace {

std::shared_ptr<const hattsheet::geodesy::HeposGrid> theGrid()
{
    static const auto grid = []() -> std::shared_ptr<const hattsheet::geodesy::HeposGrid> {
        const QString folder = hattsheet::testing::heposDataFolder();
        if (folder.isEmpty()) return nullptr;
        const auto found = findHeposGrid(folder.toStdString());
        return found ? *found : nullptr;
    }();
    return grid;
}

// Points of ΕΓΣΑ87 on usable sheets and inside the grid, across Greece:
// Athens, Thessaloniki, Ioannina, Heraklion, Chios, Alexandroupoli.
const SystemPoint kPlaces[] = {{476000.0, 4206000.0, 120.0}, {410000.0, 4498000.0, 30.0}, {262000.0, 4395000.0, 480.0},
                               {605000.0, 3909000.0, 50.0},  {686000.0, 4249000.0, 0.0}, {685000.0, 4524000.0, 10.0}};

const SystemKind kAll[] = {SystemKind::Egsa87, SystemKind::Egsa87Geographic, SystemKind::Tm07, SystemKind::Htrs07,
                           SystemKind::Wgs84,  SystemKind::Tm3West,          SystemKind::Tm3Central, SystemKind::Tm3East};

// Metres of a difference in the system's own coordinates.
double metres(SystemKind kind, SystemPoint a, SystemPoint b)
{
    if (!isGeographic(kind)) return std::hypot(a.a - b.a, a.b - b.b);
    return std::hypot(a.a - b.a, (a.b - b.b) * std::cos(a.a * M_PI / 180.0)) * 111320.0;
}

Expected<SystemResult, SystemRefusal> convert(SystemKind from, SystemKind to, SystemPoint p)
{
    const auto route = SystemRoute::make(SystemId::of(from), SystemId::of(to), theGrid());
    if (!route) return unexpected(SystemRefusal{});
    return route->convert(p);
}

QByteArray gridFolderArg() { return hattsheet::testing::heposDataFolder().toUtf8(); }

} // namespace

class tst_Systems : public QObject {
    Q_OBJECT
private slots:
    void everyPair_data();
    void everyPair();
    void wgs84AgainstProj();
    void names_data();
    void names();
    void commandLine_data();
    void commandLine();
    void damagedGridRefused();
    void installGrid();
    void panelBetweenSystems_data();
    void panelBetweenSystems();
};

// For each pair X -> Y: the place carried ΕΓΣΑ87 -> X, then X -> Y, must
// give ΕΓΣΑ87 -> Y (every step wired once and the same way), and Y -> X
// gives X back. Sheet polynomials and the grid's inverse are exact to
// 0.001 mm, so 0.1 mm holds; TM3 crosses a sheet's polynomial both ways.
void tst_Systems::everyPair_data()
{
    QTest::addColumn<SystemKind>("from");
    QTest::addColumn<SystemKind>("to");
    for (const SystemKind from : kAll) {
        for (const SystemKind to : kAll) {
            if (from != to) QTest::addRow("%s to %s", systemInfo(from).id.data(), systemInfo(to).id.data()) << from << to;
        }
    }
}

void tst_Systems::everyPair()
{
    if (!theGrid()) QSKIP("no HEPOS grid");
    QFETCH(SystemKind, from);
    QFETCH(SystemKind, to);
    constexpr double kTolerance = 1e-4;  // metres
    for (const SystemPoint& place : kPlaces) {
        const auto start = convert(SystemKind::Egsa87, from, place);
        const auto direct = convert(SystemKind::Egsa87, to, place);
        QVERIFY(start && direct);
        const auto there = convert(from, to, start->point);
        QVERIFY(there);
        QVERIFY2(metres(to, there->point, direct->point) < kTolerance,
                 qPrintable(QString("%1 m at %2").arg(metres(to, there->point, direct->point)).arg(place.a)));
        QCOMPARE(there->point.h, place.h);
        const auto back = convert(to, from, there->point);
        QVERIFY(back);
        QVERIFY2(metres(from, back->point, start->point) < kTolerance, qPrintable(QString::number(metres(from, back->point, start->point))));
    }
}

// ΕΓΣΑ87 -> WGS84 against PROJ's pipeline (TM87 inverse, EPSG:1272).
void tst_Systems::wgs84AgainstProj()
{
    PJ* pj = proj_create(PJ_DEFAULT_CTX,
                         "+proj=pipeline +step +inv +proj=tmerc +lat_0=0 +lon_0=24 +k=0.9996 +x_0=500000 +y_0=0 "
                         "+ellps=GRS80 +step +proj=cart +ellps=GRS80 +step +proj=helmert +x=-199.87 +y=74.79 "
                         "+z=246.62 +step +inv +proj=cart +ellps=WGS84");
    QVERIFY(pj);
    for (const SystemPoint& place : kPlaces) {
        const auto ours = convert(SystemKind::Egsa87, SystemKind::Wgs84, place);
        QVERIFY(ours);
        const PJ_COORD c = proj_trans(pj, PJ_FWD, proj_coord(place.a, place.b, place.h, 0));
        const SystemPoint theirs{proj_todeg(c.lp.phi), proj_todeg(c.lp.lam), place.h};
        QVERIFY2(metres(SystemKind::Wgs84, ours->point, theirs) < 1e-4, qPrintable(QString::number(place.a)));
    }
    proj_destroy(pj);
}

// Case, accents and Greek or Latin letters do not count; the sign does.
void tst_Systems::names_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");  // -1: no system (a centre or sheet name)
    QTest::newRow("Greek capitals ΤΜ07") << "ΤΜ07" << int(SystemKind::Tm07);
    QTest::newRow("ΕΓΣΑ87 in Greek") << "ΕΓΣΑ87" << int(SystemKind::Egsa87);
    QTest::newRow("tm87 alias") << "TM87" << int(SystemKind::Egsa87);
    QTest::newRow("mixed case geographic") << "Egsa87-Geo" << int(SystemKind::Egsa87Geographic);
    QTest::newRow("west by sign") << "tm3:-3" << int(SystemKind::Tm3West);
    QTest::newRow("east by sign") << "TM3:3" << int(SystemKind::Tm3East);
    QTest::newRow("central by name") << "tm3-central" << int(SystemKind::Tm3Central);
    QTest::newRow("WGS84") << "WGS84" << int(SystemKind::Wgs84);
    QTest::newRow("htrs07") << "HTRS07" << int(SystemKind::Htrs07);
    QTest::newRow("a zone that is not there") << "tm3:6" << -1;
    QTest::newRow("a sheet's name") << "Αθήναι" << -1;
}

void tst_Systems::names()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    const auto named = systemNamed(text.toStdString());
    QCOMPARE(named ? int(*named) : -1, kind);
}

// hattsheet-convert: arguments, stdin, exit status, what stdout holds and
// what stderr holds. "GRID" stands for the test grid's folder.
void tst_Systems::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QStringList grid{"--hepos-grid", "GRID"};
    QTest::newRow("first check point to TM87")
        << (QStringList{"--from", "tm07", "--to", "egsa87", "--point", "566446.108,2529618.096,51.610"} + grid)
        << QByteArray() << 0 << QByteArray("Χ = 566296.537\nΥ = 4529332.307\n") << QByteArray();
    QTest::newRow("second check point back to TM07")
        << (QStringList{"--from", "ΕΓΣΑ87", "--to", "ΤΜ07", "--point", "524849.996,4650682.000,172.591"} + grid)
        << QByteArray() << 0 << QByteArray("Χ = 525000.011\nΥ = 2650967.938\n") << QByteArray();
    QTest::newRow("grid absent") << QStringList{"--from", "tm07", "--to", "egsa87", "--point", "1,2", "--hepos-grid", "/nonexistent"}
                                 << QByteArray() << 2 << QByteArray() << QByteArray("www.hepos.gr");
    QTest::newRow("point outside the grid")
        << (QStringList{"--from", "tm07", "--to", "egsa87", "--point", "10000,2200000"} + grid) << QByteArray() << 2
        << QByteArray() << QByteArray("έξω από τον κάνναβο HEPOS");
    QTest::newRow("WGS84's accuracy said once for a list")
        << QStringList{"--from", "egsa87", "--to", "wgs84"} << QByteArray("A,476000,4206000,0\r\nB,476100,4206100,0\r\n") << 0
        << QByteArray("A, 38.003948323, 23.728333657, 0.000\r\nB, 38.") << QByteArray("1 m.\n");
    QTest::newRow("geographic list in 9 decimals, height kept")
        << QStringList{"--from", "tm07", "--to", "htrs07"} << QByteArray("P1, 566446.108, 2529618.096, 51.610\r\n") << 0
        << QByteArray("P1, 40.") << QByteArray();
    QTest::newRow("list point outside the grid fails its record")
        << (QStringList{"--from", "tm07", "--to", "egsa87"} + grid)
        << QByteArray("A, 566446.108, 2529618.096, 51.610\r\nB, 10000, 2200000, 0\r\n") << 1
        << QByteArray("A, 566296.537, 4529332.307, 51.610\r\n") << QByteArray("εγγραφή 2");
    QTest::newRow("TM3 to a Hatt sheet names the sheet")
        << QStringList{"--from", "egsa87", "--to", "tm3:0", "--point", "476000,4206000"} << QByteArray() << 0
        << QByteArray("Φύλλο = ") << QByteArray();
    // Γύθειον's centre (36°45', -1°15'), a sheet whose polynomial is refused.
    QTest::newRow("TM3 on an inconsistent sheet is refused")
        << QStringList{"--from", "tm3:0", "--to", "egsa87", "--point", "88394.174,305771.363"} << QByteArray() << 2
        << QByteArray() << QByteArray("Γύθειον");
    QTest::newRow("a height that is no number")
        << QStringList{"--from", "egsa87", "--to", "wgs84", "--point", "476000,4206000,x"} << QByteArray() << 64
        << QByteArray() << QByteArray("«x»");
    QTest::newRow("--systems lists nine") << QStringList{"--systems"} << QByteArray() << 0 << QByteArray("tm3-east\t")
                                          << QByteArray();
}

void tst_Systems::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    if (args.contains("GRID") || args.contains("tm07") || args.contains("ΤΜ07")) {
        if (gridFolderArg().isEmpty()) QSKIP("no HEPOS grid");
    }
    args.replaceInStrings(QRegularExpression("^GRID$"), QString::fromUtf8(gridFolderArg()));
    // Without --hepos-grid the run looks in HATTSHEET_HEPOS_GRID.
    qputenv("HATTSHEET_HEPOS_GRID", gridFolderArg());
    const CliRun run = runConvert(args, input);
    QVERIFY2(run.exitCode == exitCode, run.err.constData());
    QVERIFY2(out.isEmpty() ? run.out.isEmpty() : run.out.contains(out), run.out.constData());
    QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.contains(err) && run.err.count(err) == 1, run.err.constData());
}

// A damaged east.grd beside a good north.grd: refused with its name and line.
void tst_Systems::damagedGridRefused()
{
    const QString folder = hattsheet::testing::heposDataFolder();
    if (folder.isEmpty()) QSKIP("no HEPOS grid");
    QTemporaryDir dir;
    QByteArray east = hattsheet::testing::readFile(folder + "/east.grd");
    east.truncate(east.size() / 2);
    QVERIFY(hattsheet::testing::writeFile(dir.path() + "/east.grd", east));
    QVERIFY(QFile::copy(folder + "/north.grd", dir.path() + "/north.grd"));
    const CliRun run = runConvert({"--from", "egsa87", "--to", "tm07", "--point", "476000,4206000", "--hepos-grid", dir.path()},
                                  {}, {}, {}, HATTSHEET_CONVERT, "C");
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.out.isEmpty() && run.err.contains("east.grd") && run.err.contains(", line "), run.err.constData());
}

// The window's installation: a damaged pair is refused and nothing is
// written; a good pair lands in $XDG_DATA_HOME/hattsheet/hepos byte for
// byte, where the lookup then finds it without being told.
void tst_Systems::installGrid()
{
    const QString folder = hattsheet::testing::heposDataFolder();
    if (folder.isEmpty()) QSKIP("no HEPOS grid");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qunsetenv("HATTSHEET_HEPOS_GRID");
    const QString target = home.path() + "/hattsheet/hepos";
    QByteArray damaged = hattsheet::testing::readFile(folder + "/north.grd");
    damaged.replace(0, 3, "409");
    QVERIFY(hattsheet::testing::writeFile(home.path() + "/north.grd", damaged));
    const auto refused = installHeposGrid((folder + "/east.grd").toStdString(), (home.path() + "/north.grd").toStdString());
    QVERIFY(!refused && refused.error().fault);
    QCOMPARE(int(refused.error().fault->problem), int(hattsheet::geodesy::GridProblem::RowCount));
    QVERIFY(!QFile::exists(target + "/east.grd"));
    QVERIFY(!findHeposGrid({}));
    const auto installed = installHeposGrid((folder + "/east.grd").toStdString(), (folder + "/north.grd").toStdString());
    QVERIFY(installed);
    QCOMPARE(QString::fromStdString(installed->string()), target);
    for (const char* name : {"/east.grd", "/north.grd"}) {
        QCOMPARE(hattsheet::testing::readFile(target + name), hattsheet::testing::readFile(folder + name));
    }
    QVERIFY(findHeposGrid({}));
    qunsetenv("XDG_DATA_HOME");
}

// The dialog's "panel 1 into panel 2": the batch's lines and messages.
void tst_Systems::panelBetweenSystems_data()
{
    QTest::addColumn<QByteArray>("panel1");
    QTest::addColumn<QByteArray>("panel2");
    QTest::addColumn<bool>("failed");
    // Digits: cct -I +proj=tmerc +lon_0=24 +k=0.9996 +x_0=500000 +ellps=GRS80.
    QTest::newRow("two points to degrees") << QByteArray("A, 476000, 4206000, 12.5\r\nB, 476100, 4206100, 0\r\n")
                                          << QByteArray("A, 38.001349507, 23.726638406, 12.500\r\nB, 38.") << false;
    QTest::newRow("a point off every sheet fails its record")
        << QByteArray("A, 476000, 4206000, 0\r\nB, 476000, 3000000, 0\r\n") << QByteArray("A, ") << true;
    QTest::newRow("an empty panel") << QByteArray("   ") << QByteArray() << true;
}

void tst_Systems::panelBetweenSystems()
{
    QFETCH(QByteArray, panel1);
    QFETCH(QByteArray, panel2);
    QFETCH(bool, failed);
    // ΕΓΣΑ87 -> egsa87-geo except for the second row, which goes to TM3
    // (a point must lie on a sheet there).
    const bool toTm3 = QByteArray(QTest::currentDataTag()).contains("sheet");
    const auto route = SystemRoute::make(SystemId::of(SystemKind::Egsa87),
                                         SystemId::of(toTm3 ? SystemKind::Tm3Central : SystemKind::Egsa87Geographic), nullptr);
    QVERIFY(route);
    hattsheet::testing::FakeFields fields;
    hattsheet::testing::FakeDialogs dialogs;
    fields.setText(hattsheet::operations::FieldId::File1, panel1.toStdString());
    convertPanelBetweenSystems(fields, dialogs, TempPlaces{}, *route);
    const QByteArray out = QByteArray::fromStdString(fields.text(hattsheet::operations::FieldId::File2));
    QVERIFY2(out.startsWith(panel2), out.constData());
    // The last message is the batch's own (the by-products have no folder here).
    QVERIFY(!dialogs.messages.empty());
    QCOMPARE(dialogs.messages.back().icon != hattsheet::operations::MessageIcon::Information, failed);
}

QTEST_APPLESS_MAIN(tst_Systems)
#include "tst_systems.moc"
