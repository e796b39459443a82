// The "Συστήματα" dialog of the real window, opened from its menu, and the
// menu entry that installs the HEPOS grid. The oracle is hattsheet-convert:
// the same route named by its arguments (not by the dialog's widgets) must
// print the dialog's result and write panel 2's bytes. Rows whose systems
// the command line does not know (exit 64) skip; rows through TM07 skip
// without the agency's grid (support/hepos_data.h).

#include "operations/system_kind.h"
#include "operations/window_texts.h"
#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/hepos_data.h"
#include "support/temp_workspace.h"
#include "ui/main_window.h"
#include "ui/systems_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <memory>

#include <unistd.h>

using namespace hattsheet::testing;
using hattsheet::operations::SystemKind;
using hattsheet::operations::windowTexts;
namespace captions = hattsheet::operations::captions;

Q_DECLARE_METATYPE(SystemKind)

namespace {

// One end of a route as the table gives it: a system, and for Hatt either
// a sheet's name (picked in the sheet chooser) or a centre "φ,Δλ" typed in.
struct EndRow {
    SystemKind kind;
    QString centre;
};

// The main window with its systems dialog open, its data and grid folders
// its own: XDG_DATA_HOME is a fresh folder, HATTSHEET_HEPOS_GRID the grid
// given (unset for none), for the window and the command line alike.
struct Scene {
    TempWorkspace work;
    FakeDialogs dialogs;
    std::unique_ptr<hattsheet::ui::MainWindow> window;
    hattsheet::ui::SystemsDialog* dialog = nullptr;

    explicit Scene(const QString& grid)
    {
        if (!work.reset()) qFatal("no temporary folder");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
        if (grid.isEmpty()) {
            qunsetenv("HATTSHEET_HEPOS_GRID");
        } else {
            qputenv("HATTSHEET_HEPOS_GRID", QFile::encodeName(grid));
        }
        window = std::make_unique<hattsheet::ui::MainWindow>(work.places(), &dialogs);
        window->show();
        trigger("mnuSystemsDialog");
        dialog = window->findChild<hattsheet::ui::SystemsDialog*>();
        if (dialog == nullptr || !dialog->isVisible()) qFatal("the systems dialog did not open");
    }
    ~Scene()
    {
        dialogs.yesNoAnswers = {true};
        window->close();
    }
    QString dataHome() const { return work.path() + "/data"; }
    QString gridHome() const { return dataHome() + "/hattsheet/hepos"; }

    void trigger(const char* action) const { window->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }
    template <typename W = QWidget>
    W* in(const char* name) const
    {
        auto* w = dialog->findChild<W*>(QString::fromLatin1(name));
        if (w == nullptr) qFatal("no %s in the dialog", name);
        return w;
    }
    void click(const char* name) const { QTest::mouseClick(in(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) const
    {
        in<QLineEdit>(name)->clear();
        QTest::keyClicks(in(name), text);
    }
    void choose(bool from, const EndRow& end) const
    {
        auto* combo = in<QComboBox>(from ? "cboSystemFrom" : "cboSystemTo");
        combo->setCurrentIndex(combo->findData(static_cast<int>(end.kind)));
        if (end.kind != SystemKind::Hatt) return;
        if (end.centre.contains(',')) {
            type(from ? "txtSystemFromPhi" : "txtSystemToPhi", end.centre.section(',', 0, 0));
            type(from ? "txtSystemFromLambda" : "txtSystemToLambda", end.centre.section(',', 1));
            return;
        }
        // A sheet: typed into the chooser's filter and accepted, as a user picks it.
        QTimer::singleShot(0, [name = end.centre] {
            QWidget* chooser = QApplication::activeModalWidget();
            if (chooser == nullptr) qFatal("the sheet chooser did not open");
            chooser->findChild<QLineEdit*>("txtSheetFilter")->setText(name);
            static_cast<QDialog*>(chooser)->accept();
        });
        in<QAbstractButton>(from ? "cmdSheetFrom" : "cmdSheetTo")->click();
    }
    QString result() const { return in<QPlainTextEdit>("txtSystemResult")->toPlainText(); }
    QString panel(const char* name) const { return window->findChild<QPlainTextEdit*>(name)->toPlainText(); }
};

// The command line's reading of the same route; a row skips when it knows
// no such system yet.
#define RUN_CONVERT(run, args, input)                                                                             \
    const CliRun run = runConvert(args, input);                                                                   \
    QVERIFY2(run.ran(), run.err.constData());                                                                     \
    if (run.exitCode == 64) QSKIP(("the command line knows no such system: " + run.err).constData())

bool needsGrid(SystemKind a, SystemKind b)
{
    return hattsheet::operations::needsHeposGrid(a) != hattsheet::operations::needsHeposGrid(b);
}

// The mnemonic letters of texts ("&Από" gives "α"), without "&&".
QStringList mnemonics(const QStringList& texts)
{
    QStringList letters;
    static const QRegularExpression mark(QStringLiteral("&([^&])"));
    for (QString text : texts) {
        text.replace(QStringLiteral("&&"), QString());
        for (const auto& m : mark.globalMatch(text)) letters << m.captured(1).toLower();
    }
    return letters;
}

QByteArray damaged(const QByteArray& good, int line, const QByteArray& replacement)
{
    QList<QByteArray> lines = good.split('\n');
    lines[line - 1] = replacement;
    return lines.join('\n');
}

} // namespace

class tst_SystemsDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<SystemKind>();
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    void pointLikeCommandLine_data();
    void pointLikeCommandLine();
    void panelLikeCommandLine_data();
    void panelLikeCommandLine();
    void roundTrip_data();
    void roundTrip();
    void fieldsFollowTheSystems_data();
    void fieldsFollowTheSystems();
    void noGridRefused();
    void damagedGridNamed();
    void installRefusesDamagedFile_data();
    void installRefusesDamagedFile();
    void installCopiesGoodFiles();
    void mnemonicsUnique();
    void fitsSmallScreen();

private:
    QTemporaryDir m_config;
};

// Expected: hattsheet-convert --from … --to … --point … on the same route.
void tst_SystemsDialog::pointLikeCommandLine_data()
{
    QTest::addColumn<SystemKind>("from");
    QTest::addColumn<QString>("fromCentre");
    QTest::addColumn<SystemKind>("to");
    QTest::addColumn<QString>("toCentre");
    QTest::addColumn<QStringList>("point");  // a, b[, h] as typed
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("warned");  // far outside the named sheet: its list warns so
    using K = SystemKind;
    QTest::newRow("Hatt sheet Λάρισα picked on the chooser → ΕΓΣΑ87")
        << K::Hatt << "Λάρισα" << K::Egsa87 << "" << QStringList{"-12345.678", "-5432.1"}
        << QStringList{"--from", "Λάρισα", "--to", "egsa87", "--point", "-12345.678,-5432.1"} << false;
    QTest::newRow("Hatt sheet Λάρισα → ΕΓΣΑ87, the point on another sheet of its centre")
        << K::Hatt << "Λάρισα" << K::Egsa87 << "" << QStringList{"1000", "2000"}
        << QStringList{"--from", "Λάρισα", "--to", "egsa87", "--point", "1000,2000"} << true;
    QTest::newRow("Hatt centre of Λάρισα typed → ΕΓΣΑ87: the sheet holding the point")
        << K::Hatt << "39.45,-1.15" << K::Egsa87 << "" << QStringList{"1000", "2000"}
        << QStringList{"--from", "39.45,-1.15", "--to", "egsa87", "--point", "1000,2000"} << false;
    QTest::newRow("ΕΓΣΑ87 → Hatt centre typed 39.45,-1.15")
        << K::Egsa87 << "" << K::Hatt << "39.45,-1.15" << QStringList{"357000", "4396000"}
        << QStringList{"--from", "egsa87", "--to", "39.45,-1.15", "--point", "357000,4396000"} << false;
    QTest::newRow("Hatt centre → Hatt centre, no polynomial")
        << K::Hatt << "39.45,-1.15" << K::Hatt << "40.51,-0.51" << QStringList{"1000", "2000"}
        << QStringList{"--from", "39.45,-1.15", "--to", "40.51,-0.51", "--point", "1000,2000"} << false;
    QTest::newRow("TM07 → Hatt centre 39.45,-1.15 through the grid")
        << K::Tm07 << "" << K::Hatt << "39.45,-1.15" << QStringList{"357000", "2396000"}
        << QStringList{"--from", "tm07", "--to", "39.45,-1.15", "--point", "357000,2396000"} << false;
    QTest::newRow("WGS84 → TM3 central zone")
        << K::Wgs84 << "" << K::Tm3Central << "" << QStringList{"39.7", "22.4"}
        << QStringList{"--from", "wgs84", "--to", "tm3-central", "--point", "39.7,22.4"} << false;
    QTest::newRow("ΕΓΣΑ87 → HTRS07, the height through unchanged")
        << K::Egsa87 << "" << K::Htrs07 << "" << QStringList{"357000", "4396000", "123.456"}
        << QStringList{"--from", "egsa87", "--to", "htrs07", "--point", "357000,4396000,123.456"} << false;
}

void tst_SystemsDialog::pointLikeCommandLine()
{
    QFETCH(SystemKind, from);
    QFETCH(QString, fromCentre);
    QFETCH(SystemKind, to);
    QFETCH(QString, toCentre);
    QFETCH(QStringList, point);
    QFETCH(QStringList, args);
    QFETCH(bool, warned);
    const QString grid = heposDataFolder();
    if (needsGrid(from, to) && grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
    Scene scene(grid);
    RUN_CONVERT(cli, args, {});
    QCOMPARE(cli.exitCode, 0);

    scene.choose(true, {from, fromCentre});
    scene.choose(false, {to, toCentre});
    const char* const fields[] = {"txtSystemA", "txtSystemB", "txtSystemH"};
    for (int i = 0; i < point.size(); ++i) scene.type(fields[i], point[i]);
    scene.click("cmdSystemPoint");
    QCOMPARE(scene.result() + '\n', QString::fromUtf8(cli.out));
    QVERIFY(scene.dialogs.messages.empty());
    QCOMPARE(scene.in("lblSystemWarning")->isVisible(), warned);
}

// Expected: the command line's list output for panel 1's text on stdin,
// compared with panel 2 saved to a file (ASCII: no encoding between them).
void tst_SystemsDialog::panelLikeCommandLine_data()
{
    QTest::addColumn<SystemKind>("from");
    QTest::addColumn<QString>("fromCentre");
    QTest::addColumn<SystemKind>("to");
    QTest::addColumn<QString>("toCentre");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("args");
    using K = SystemKind;
    QTest::newRow("Hatt sheet Λάρισα → ΕΓΣΑ87, codes and heights kept")
        << K::Hatt << "Λάρισα" << K::Egsa87 << "" << QByteArray("P1,-12345.678,-5432.1,150.5\r\nP2,-20000,-10000,\r\n")
        << QStringList{"--from", "Λάρισα", "--to", "egsa87"};
    QTest::newRow("ΕΓΣΑ87 → Hatt centre, a failing record stops it where the command line stops")
        << K::Egsa87 << "" << K::Hatt << "39.45,-1.15" << QByteArray("A 357000 4396000 10\nB 357100 x 11\nC 1 2 3\n")
        << QStringList{"--from", "egsa87", "--to", "39.45,-1.15"};
    QTest::newRow("TM07 → Hatt centre through the grid")
        << K::Tm07 << "" << K::Hatt << "39.45,-1.15" << QByteArray("T1;357000;2396000;5\r\nT2;358000;2397000;6\r\n")
        << QStringList{"--from", "tm07", "--to", "39.45,-1.15"};
    QTest::newRow("WGS84 → TM3 east zone, nine decimals of degrees read")
        << K::Wgs84 << "" << K::Tm3East << "" << QByteArray("W,39.123456789,25.2,0\r\n")
        << QStringList{"--from", "wgs84", "--to", "tm3-east"};
}

void tst_SystemsDialog::panelLikeCommandLine()
{
    QFETCH(SystemKind, from);
    QFETCH(QString, fromCentre);
    QFETCH(SystemKind, to);
    QFETCH(QString, toCentre);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, args);
    const QString grid = heposDataFolder();
    if (needsGrid(from, to) && grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
    Scene scene(grid);
    RUN_CONVERT(cli, args, list);

    scene.window->findChild<QPlainTextEdit*>("txtFile1")->setPlainText(QString::fromUtf8(list));
    scene.choose(true, {from, fromCentre});
    scene.choose(false, {to, toCentre});
    scene.click("cmdSystemList");
    QVERIFY(!scene.dialogs.messages.empty());
    // A failing record: the window's message names it as the command line does.
    if (cli.exitCode != 0) {
        const QString said = QString::fromStdString(scene.dialogs.messages.back().text);
        QVERIFY2(said.startsWith(QString::fromUtf8(windowTexts().batchFailed)), qPrintable(said));
    }
    // Marked unsaved as after the window's own batch: quitting asks about it.
    scene.dialogs.yesNoAnswers = {false};
    scene.window->close();
    QVERIFY(!scene.dialogs.questions.empty());
    QVERIFY(QString::fromStdString(scene.dialogs.questions.back().text).contains(QString::fromUtf8(windowTexts().quitUnsaved)));

    const QString saved = scene.work.path() + "/panel2.txt";
    scene.dialogs.fileAnswers = {saved.toStdString()};
    QTest::mouseClick(scene.window->findChild<QWidget*>("cmdSav2"), Qt::LeftButton);
    QCOMPARE(readFile(saved), cli.out);
}

// There and back through the dialog (the systems swapped, the result's
// first two lines typed in) gives the point back within a tolerance:
// 1 mm in a plane system, 1e-8° (about 1 mm) in a geographic one, for the
// millimetres and the nine decimals the result shows and the grid's
// iteration (0.1 mm). Through WGS84 2e-8°: the height the geocentric
// shift changes is not carried back (heights pass through), which moves
// the latitude by about 1.7 mm at 39.7°.
void tst_SystemsDialog::roundTrip_data()
{
    QTest::addColumn<SystemKind>("from");
    QTest::addColumn<SystemKind>("to");
    QTest::addColumn<QStringList>("point");
    QTest::addColumn<double>("tolerance");  // metres or degrees, as the from-system's coordinates
    using K = SystemKind;
    QTest::newRow("ΕΓΣΑ87 → TM07 → ΕΓΣΑ87") << K::Egsa87 << K::Tm07 << QStringList{"357123.456", "4396789.012"} << 0.001;
    QTest::newRow("TM07 → HTRS07 → TM07") << K::Tm07 << K::Htrs07 << QStringList{"512000.5", "4201000.25"} << 0.001;
    QTest::newRow("WGS84 → TM3 central → WGS84") << K::Wgs84 << K::Tm3Central << QStringList{"39.7", "22.4"} << 2e-8;
    QTest::newRow("ΕΓΣΑ87 geographic → TM3 west → ΕΓΣΑ87 geographic")
        << K::Egsa87Geographic << K::Tm3West << QStringList{"39.7", "21.0"} << 1e-8;
}

void tst_SystemsDialog::roundTrip()
{
    QFETCH(SystemKind, from);
    QFETCH(SystemKind, to);
    QFETCH(QStringList, point);
    QFETCH(double, tolerance);
    const QString grid = heposDataFolder();
    if (needsGrid(from, to) && grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
    Scene scene(grid);
    QStringList heights;
    const auto convert = [&](SystemKind a, SystemKind b, const QStringList& typed) {
        scene.choose(true, {a, {}});
        scene.choose(false, {b, {}});
        scene.type("txtSystemA", typed[0]);
        scene.type("txtSystemB", typed[1]);
        // A height typed where an end has one comes out as it went in.
        if (scene.in("txtSystemH")->isEnabled()) scene.type("txtSystemH", "123.456");
        scene.click("cmdSystemPoint");
        const QStringList lines = scene.result().split('\n');
        heights << lines.filter(QRegularExpression("^h = "));
        return QStringList{lines[0].section(" = ", 1), lines.value(1).section(" = ", 1)};
    };
    const QStringList there = convert(from, to, point);
    QVERIFY2(there[0].toDouble() != 0.0 && there[1].toDouble() != 0.0, qPrintable(scene.result()));
    const QStringList back = convert(to, from, there);
    for (const QString& h : heights) QCOMPARE(h, QStringLiteral("h = 123.456"));
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        const double got = back[i].toDouble(&ok);
        QVERIFY2(ok && std::abs(got - point[i].toDouble()) <= tolerance,
                 qPrintable(there.join(", ") + " → " + back.join(", ")));
    }
}

// Expected: the coordinates' names of the book ("E, N (m)"), h only where
// an end is HTRS07; a Hatt end's centre fields only for Hatt.
void tst_SystemsDialog::fieldsFollowTheSystems_data()
{
    QTest::addColumn<SystemKind>("from");
    QTest::addColumn<SystemKind>("to");
    QTest::addColumn<QString>("labels");  // a, b, h: the enabled ones
    QTest::addColumn<bool>("centres");    // the From end's φ0, Δλ0 and sheet button enabled
    using K = SystemKind;
    QTest::newRow("Hatt → ΕΓΣΑ87") << K::Hatt << K::Egsa87 << "X =|Y =" << true;
    QTest::newRow("TM07 → Hatt") << K::Tm07 << K::Hatt << "E =|N =" << false;
    QTest::newRow("WGS84 → TM3 west") << K::Wgs84 << K::Tm3West << "φ =|λ =" << false;
    QTest::newRow("HTRS07 → ΕΓΣΑ87: h from the point") << K::Htrs07 << K::Egsa87 << "φ =|λ =|h =" << false;
    QTest::newRow("ΕΓΣΑ87 geographic → HTRS07: h for the result")
        << K::Egsa87Geographic << K::Htrs07 << "φ =|λ =|h =" << false;
}

void tst_SystemsDialog::fieldsFollowTheSystems()
{
    QFETCH(SystemKind, from);
    QFETCH(SystemKind, to);
    QFETCH(QString, labels);
    QFETCH(bool, centres);
    Scene scene({});
    scene.choose(true, {from, {}});
    scene.choose(false, {to, {}});
    QStringList shown;
    for (const char* name : {"lblSystemA", "lblSystemB", "lblSystemH"}) {
        if (scene.in(name)->isEnabled()) shown << scene.in<QLabel>(name)->text();
    }
    QCOMPARE(shown.join('|'), labels);
    QCOMPARE(scene.in("txtSystemH")->isEnabled(), labels.count('|') == 2);
    for (const char* name : {"txtSystemFromPhi", "txtSystemFromLambda", "cmdSheetFrom"}) {
        QCOMPARE(scene.in(name)->isEnabled(), centres);
    }
    QVERIFY(!scene.in<QLabel>("lblSystemAccuracy")->text().isEmpty());
}

// Without the grid a route through TM07 is refused with the command line's
// message: where the agency publishes the files and the folder to put them in.
void tst_SystemsDialog::noGridRefused()
{
    Scene scene({});
    scene.choose(true, {SystemKind::Tm07, {}});
    scene.choose(false, {SystemKind::Egsa87, {}});
    scene.type("txtSystemA", "357000");
    scene.type("txtSystemB", "2396000");
    scene.click("cmdSystemPoint");
    QVERIFY2(scene.result().contains("www.hepos.gr"), qPrintable(scene.result()));
    QVERIFY2(scene.result().contains(scene.gridHome()), qPrintable(scene.result()));
    // The list: the same message, and panel 2 untouched.
    scene.window->findChild<QPlainTextEdit*>("txtFile1")->setPlainText("A,357000,2396000,1");
    scene.click("cmdSystemList");
    QCOMPARE(scene.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(scene.dialogs.messages[0].text), scene.result());
    QCOMPARE(scene.panel("txtFile2"), QString());
    RUN_CONVERT(cli, (QStringList{"--from", "tm07", "--to", "egsa87", "--point", "357000,2396000"}), {});
    QCOMPARE("hattsheet-convert: " + scene.result() + '\n', QString::fromUtf8(cli.err));
}

// A grid folder whose east.grd is damaged: the route is refused naming the
// file and its line, not as a grid that is not there.
void tst_SystemsDialog::damagedGridNamed()
{
    const QString grid = heposDataFolder();
    if (grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
    TempWorkspace damagedGrid;
    QVERIFY(damagedGrid.reset());
    QVERIFY(writeFile(damagedGrid.path() + "/east.grd", damaged(readFile(grid + "/east.grd"), 7, "-33.20 x")));
    QVERIFY(QFile::copy(grid + "/north.grd", damagedGrid.path() + "/north.grd"));
    Scene scene(damagedGrid.path());
    scene.choose(true, {SystemKind::Egsa87, {}});
    scene.choose(false, {SystemKind::Tm07, {}});
    scene.type("txtSystemA", "357000");
    scene.type("txtSystemB", "4396000");
    scene.click("cmdSystemPoint");
    QVERIFY2(scene.result().contains(damagedGrid.path() + "/east.grd") && scene.result().contains("γραμμή 7:"),
             qPrintable(scene.result()));
    RUN_CONVERT(cli, (QStringList{"--from", "egsa87", "--to", "tm07", "--point", "357000,4396000"}), {});
    QCOMPARE("hattsheet-convert: " + scene.result() + '\n', QString::fromUtf8(cli.err));
}

// Expected: a refusal naming the damaged file and its line; nothing of an
// earlier installation replaced. The faults are planted in a copy of the
// agency's east.grd.
void tst_SystemsDialog::installRefusesDamagedFile_data()
{
    QTest::addColumn<int>("line");              // 1-based, replaced (0: the file is missing)
    QTest::addColumn<QByteArray>("replacement");
    QTest::newRow("a letter in a correction") << 7 << QByteArray("-33.20 x -33.08");
    QTest::newRow("the header's columns are not 422") << 2 << QByteArray("421");
    QTest::newRow("a row cut short") << 9 << QByteArray("1.0 2.0");
    QTest::newRow("the file is not there") << 0 << QByteArray();
}

void tst_SystemsDialog::installRefusesDamagedFile()
{
    QFETCH(int, line);
    QFETCH(QByteArray, replacement);
    const QString grid = heposDataFolder();
    if (grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
    Scene scene({});
    // An earlier, sound installation.
    QVERIFY(QDir().mkpath(scene.gridHome()));
    QVERIFY(writeFile(scene.gridHome() + "/east.grd", "earlier east"));
    QVERIFY(writeFile(scene.gridHome() + "/north.grd", "earlier north"));
    const QString bad = scene.work.path() + "/east (copy).grd";
    if (line > 0) QVERIFY(writeFile(bad, damaged(readFile(grid + "/east.grd"), line, replacement)));
    scene.dialogs.fileAnswers = {bad.toStdString(), (grid + "/north.grd").toStdString()};
    scene.trigger("mnuInstallGrid");
    QCOMPARE(scene.dialogs.messages.size(), std::size_t{1});
    const auto& said = scene.dialogs.messages[0];
    QCOMPARE(said.icon, hattsheet::operations::MessageIcon::Critical);
    const QString text = QString::fromStdString(said.text);
    QVERIFY2(text.contains(bad), qPrintable(text));
    if (line > 0) QVERIFY2(text.contains(QStringLiteral("γραμμή %1:").arg(line)), qPrintable(text));
    QCOMPARE(readFile(scene.gridHome() + "/east.grd"), QByteArray("earlier east"));
    QCOMPARE(readFile(scene.gridHome() + "/north.grd"), QByteArray("earlier north"));
}

// The two files copied byte for byte into the per-user folder (made when
// missing), said in Greek; a route the grid refused before now converts,
// as the command line does with the same folder. A cancel does nothing.
void tst_SystemsDialog::installCopiesGoodFiles()
{
    const QString grid = heposDataFolder();
    if (grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
    Scene scene({});
    scene.choose(true, {SystemKind::Tm07, {}});
    scene.choose(false, {SystemKind::Hatt, "39.45,-1.15"});
    scene.type("txtSystemA", "357000");
    scene.type("txtSystemB", "2396000");
    scene.click("cmdSystemPoint");
    QVERIFY(scene.result().contains("www.hepos.gr"));

    scene.dialogs.fileAnswers = {(grid + "/east.grd").toStdString(), std::nullopt};
    scene.trigger("mnuInstallGrid");
    QVERIFY(scene.dialogs.messages.empty());
    QVERIFY(!QFile::exists(scene.gridHome() + "/east.grd"));

    scene.dialogs.fileAnswers = {(grid + "/east.grd").toStdString(), (grid + "/north.grd").toStdString()};
    scene.trigger("mnuInstallGrid");
    QCOMPARE(scene.dialogs.messages.size(), std::size_t{1});
    QCOMPARE(scene.dialogs.messages[0].icon, hattsheet::operations::MessageIcon::Information);
    QVERIFY(QString::fromStdString(scene.dialogs.messages[0].text).contains(scene.gridHome()));
    for (const char* file : {"/east.grd", "/north.grd"}) QCOMPARE(readFile(scene.gridHome() + file), readFile(grid + file));

    scene.click("cmdSystemPoint");
    QVERIFY2(scene.result().startsWith("Χ = "), qPrintable(scene.result()));
    RUN_CONVERT(cli, (QStringList{"--from", "tm07", "--to", "39.45,-1.15", "--point", "357000,2396000"}), {});
    QCOMPARE(scene.result() + '\n', QString::fromUtf8(cli.out));
}

// One letter for each control of the dialog, and for each menu of the bar
// and each entry of "Συστήματα".
void tst_SystemsDialog::mnemonicsUnique()
{
    Scene scene({});
    QStringList dialogTexts;
    for (const auto* b : scene.dialog->findChildren<QAbstractButton*>()) dialogTexts << b->text();
    for (const auto* l : scene.dialog->findChildren<QLabel*>()) dialogTexts << l->text();
    QStringList menuTexts;
    for (const QAction* a : scene.window->menuBar()->actions()) menuTexts << a->text();
    QStringList entryTexts;
    for (const QAction* a : scene.window->findChild<QMenu*>("mnuSystems")->actions()) entryTexts << a->text();
    for (const QStringList& texts : {dialogTexts, menuTexts, entryTexts}) {
        const QStringList letters = mnemonics(texts);
        QVERIFY2(letters.size() >= texts.filter("&").size(), qPrintable(texts.join(" | ")));
        QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
    }
    QVERIFY(mnemonics(dialogTexts).size() >= 7);
}

// The dialog beside the window on the smallest screen the window supports
// (1024 × 768, less a panel): the long system names must not widen it.
void tst_SystemsDialog::fitsSmallScreen()
{
    Scene scene({});
    const QSize hint = scene.dialog->sizeHint();
    QVERIFY2(hint.width() <= 1000 && hint.height() <= 700,
             qPrintable(QStringLiteral("%1 × %2").arg(hint.width()).arg(hint.height())));
}

QTEST_MAIN(tst_SystemsDialog)
#include "tst_systems_dialog.moc"
