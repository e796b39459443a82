// The "Συστήματα" dialog of the real window, opened from its menu, and the
// menu entry that installs the HEPOS grid. The oracle is hattsheet-convert:
// each row names a route as --from and --to do ("egsa87", a centre
// "39.45,-1.15", a sheet's name, picked in the dialog's sheet chooser), and
// the dialog's result and panel 2 must be what the command line prints.
// Rows whose systems the command line does not know (exit 64) skip there;
// rows through TM07 skip without the agency's grid (support/hepos_data.h).

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

using namespace hattsheet::testing;
namespace ops = hattsheet::operations;
using ops::MessageIcon;

namespace {

// The main window with its systems dialog open; XDG_DATA_HOME a fresh
// folder, HATTSHEET_HEPOS_GRID the grid given (unset for none), for the
// window and the command line alike.
struct Scene {
    TempWorkspace work;
    FakeDialogs dialogs;
    std::unique_ptr<hattsheet::ui::MainWindow> window;
    hattsheet::ui::SystemsDialog* dialog = nullptr;

    explicit Scene(const QString& grid)
    {
        if (!work.reset()) qFatal("no temporary folder");
        qputenv("XDG_DATA_HOME", QFile::encodeName(work.path() + "/data"));
        grid.isEmpty() ? qunsetenv("HATTSHEET_HEPOS_GRID") : qputenv("HATTSHEET_HEPOS_GRID", QFile::encodeName(grid));
        window = std::make_unique<hattsheet::ui::MainWindow>(work.places(), &dialogs);
        window->show();
        trigger("mnuSystemsDialog");
        dialog = window->findChild<hattsheet::ui::SystemsDialog*>();
        if (dialog == nullptr || !dialog->isVisible()) qFatal("the systems dialog did not open");
    }
    ~Scene() { window->close(); }  // the fake says Yes to the quit question
    QString gridHome() const { return work.path() + "/data/hattsheet/hepos"; }
    void trigger(const char* action) const { window->findChild<QAction*>(action)->trigger(); }
    QWidget* in(const char* name) const
    {
        auto* w = dialog->findChild<QWidget*>(name);
        if (w == nullptr) qFatal("no %s in the dialog", name);
        return w;
    }
    void click(const char* name) const { QTest::mouseClick(in(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) const
    {
        static_cast<QLineEdit*>(in(name))->clear();
        QTest::keyClicks(in(name), text);
    }
    // An end as --from or --to names it: a system, a centre typed in, or a
    // sheet typed into the chooser's filter and accepted, as a user picks it.
    void choose(bool from, const QString& end) const
    {
        auto* combo = static_cast<QComboBox*>(in(from ? "cboSystemFrom" : "cboSystemTo"));
        const auto kind = ops::systemNamed(end.toStdString()).value_or(ops::SystemKind::Hatt);
        combo->setCurrentIndex(combo->findData(static_cast<int>(kind)));
        if (kind != ops::SystemKind::Hatt) return;
        if (end.contains(',')) {
            type(from ? "txtSystemFromPhi" : "txtSystemToPhi", end.section(',', 0, 0));
            type(from ? "txtSystemFromLambda" : "txtSystemToLambda", end.section(',', 1));
            return;
        }
        QTimer::singleShot(0, [end] {
            auto* chooser = static_cast<QDialog*>(QApplication::activeModalWidget());
            chooser->findChild<QLineEdit*>("txtSheetFilter")->setText(end);
            chooser->accept();
        });
        static_cast<QAbstractButton*>(in(from ? "cmdSheetFrom" : "cmdSheetTo"))->click();
    }
    // The point "a,b[,h]" converted from one end to the other: the result's lines.
    QStringList convert(const QString& from, const QString& to, const QString& point) const
    {
        choose(true, from);
        choose(false, to);
        const char* const fields[] = {"txtSystemA", "txtSystemB", "txtSystemH"};
        for (int i = 0; i < 3; ++i) type(fields[i], point.section(',', i, i));
        click("cmdSystemPoint");
        return result().split('\n');
    }
    QString result() const { return static_cast<QPlainTextEdit*>(in("txtSystemResult"))->toPlainText(); }
    QPlainTextEdit* panel(const char* name) const { return window->findChild<QPlainTextEdit*>(name); }
};

bool needsGrid(const QString& from, const QString& to)
{
    const auto kindOf = [](const QString& end) { return ops::systemNamed(end.toStdString()).value_or(ops::SystemKind::Hatt); };
    return ops::needsHeposGrid(kindOf(from)) != ops::needsHeposGrid(kindOf(to));
}

// The command line's reading of the same route; a row skips when it knows
// no such system yet.
#define RUN_CONVERT(run, args, input)                                                                             \
    const CliRun run = runConvert(args, input);                                                                   \
    QVERIFY2(run.ran(), run.err.constData());                                                                     \
    if (run.exitCode == 64) QSKIP(("the command line knows no such system: " + run.err).constData())

QByteArray damaged(const QByteArray& good, int line, const QByteArray& replacement)
{
    QList<QByteArray> lines = good.split('\n');
    lines[line - 1] = replacement;
    return lines.join('\n');
}

} // namespace

class tst_SystemsDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;
    QString m_grid = heposDataFolder();

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    // Expected: hattsheet-convert --from … --to … --point … on the same
    // route, its warning of a point far outside its named sheet given by its
    // list. Before that, with or without the command line: a height typed
    // comes out as it went in, and there and back (the result's first two
    // lines typed in) gives the point back within 1 mm in a plane system
    // and 1e-8° (about 1 mm) in a geographic one, for the digits the result
    // shows, the grid's iteration (0.1 mm) and between Hatt centres the
    // series (README: 1.15 mm within 20 km); through WGS84 within 2e-8°,
    // as the height the geocentric shift changes is not carried back
    // (heights pass through): 1.7 mm in latitude at 39.7°.
    void pointLikeCommandLine_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("point");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<double>("tolerance");  // metres or degrees, as the from-system's coordinates
        QTest::newRow("sheet Λάρισα picked → ΕΓΣΑ87") << "Λάρισα" << "egsa87" << "-12345.678,-5432.1" << false << 0.001;
        QTest::newRow("sheet Λάρισα → ΕΓΣΑ87, point on another sheet of its centre")
            << "Λάρισα" << "egsa87" << "1000,2000" << true << 0.001;
        QTest::newRow("Λάρισα's centre typed → ΕΓΣΑ87: the sheet holding the point")
            << "39.45,-1.15" << "egsa87" << "1000,2000" << false << 0.001;
        QTest::newRow("ΕΓΣΑ87 → Hatt centre") << "egsa87" << "39.45,-1.15" << "357000,4396000" << false << 0.001;
        QTest::newRow("Hatt centre → Hatt centre 15' south")
            << "39.45,-1.15" << "39.30,-1.15" << "1000,-13900" << false << 0.001;
        QTest::newRow("TM07 → Hatt centre through the grid")
            << "tm07" << "39.45,-1.15" << "357000,2396000" << false << 0.001;
        QTest::newRow("WGS84 → TM3 central zone") << "wgs84" << "tm3-central" << "39.7,22.4" << false << 2e-8;
        QTest::newRow("ΕΓΣΑ87 → HTRS07, h unchanged")
            << "egsa87" << "htrs07" << "357000,4396000,123.456" << false << 0.001;
        QTest::newRow("TM07 → HTRS07, h unchanged") << "tm07" << "htrs07" << "512000.5,2201000.25,-7.500" << false << 0.001;
    }
    void pointLikeCommandLine()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, point);
        QFETCH(bool, warned);
        QFETCH(double, tolerance);
        if (needsGrid(from, to) && m_grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
        Scene scene(m_grid);
        const QStringList there = scene.convert(from, to, point);
        QVERIFY2(there.size() > 1 && there[0].contains(" = "), qPrintable(there.join('\n')));
        QCOMPARE(scene.in("lblSystemWarning")->isVisible(), warned);
        QVERIFY(scene.dialogs.messages.empty());
        if (point.count(',') == 2) QCOMPARE(there.filter(QRegularExpression("^h = ")), QStringList("h = " + point.section(',', 2)));
        const QString h = point.count(',') == 2 ? ',' + point.section(',', 2) : QString();
        const QStringList back = scene.convert(to, from, there[0].section(" = ", 1) + ',' + there[1].section(" = ", 1) + h);
        for (int i = 0; i < 2; ++i) {
            const double got = back.value(i).section(" = ", 1).toDouble();
            QVERIFY2(std::abs(got - point.section(',', i, i).toDouble()) <= tolerance, qPrintable(back.join(", ")));
        }
        RUN_CONVERT(cli, (QStringList{"--from", from, "--to", to, "--point", point}), {});
        QCOMPARE(cli.exitCode, 0);
        QCOMPARE(there.join('\n') + '\n', QString::fromUtf8(cli.out));
    }

    // Expected: the command line's list output for panel 1's text on stdin,
    // compared with panel 2 saved to a file (ASCII: no encoding between).
    void panelLikeCommandLine_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QByteArray>("list");
        QTest::newRow("sheet Λάρισα → ΕΓΣΑ87, codes and heights kept")
            << "Λάρισα" << "egsa87" << QByteArray("P1,-12345.678,-5432.1,150.5\r\nP2,-20000,-10000,\r\n");
        QTest::newRow("ΕΓΣΑ87 → Hatt centre, stopped at a failing record as the command line stops")
            << "egsa87" << "39.45,-1.15" << QByteArray("A 357000 4396000 10\nB 357100 x 11\nC 1 2 3\n");
        QTest::newRow("TM07 → Hatt centre through the grid")
            << "tm07" << "39.45,-1.15" << QByteArray("T1;357000;2396000;5\r\nT2;358000;2397000;6\r\n");
        QTest::newRow("WGS84 → TM3 east zone, on Lesbos and Euboea")
            << "wgs84" << "tm3-east" << QByteArray("W,39.1,26.3,0\r\nV,38.1,24.4,12.5\r\n");
    }
    void panelLikeCommandLine()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QByteArray, list);
        if (needsGrid(from, to) && m_grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
        Scene scene(m_grid);
        RUN_CONVERT(cli, (QStringList{"--from", from, "--to", to}), list);
        scene.panel("txtFile1")->setPlainText(QString::fromUtf8(list));
        scene.choose(true, from);
        scene.choose(false, to);
        scene.click("cmdSystemList");
        QVERIFY(!scene.dialogs.messages.empty());
        const QString said = QString::fromStdString(scene.dialogs.messages.back().text);
        QCOMPARE(said.startsWith(ops::windowTexts().batchFailed), cli.exitCode != 0);
        // Marked unsaved as after the window's own batch: quitting asks about it.
        scene.dialogs.yesNoAnswers = {false};
        scene.window->close();
        QVERIFY2(QString::fromStdString(scene.dialogs.questions.at(0).text).contains(ops::windowTexts().quitUnsaved), scene.dialogs.questions.at(0).text.c_str());
        const QString saved = scene.work.path() + "/panel2.txt";
        scene.dialogs.fileAnswers = {saved.toStdString()};
        QTest::mouseClick(scene.window->findChild<QWidget*>("cmdSav2"), Qt::LeftButton);
        QCOMPARE(readFile(saved), cli.out);
    }

    // A route through TM07 without the grid, or with a damaged east.grd in
    // its folder: refused with the command line's message (where the agency
    // publishes the files and where to put them; the damaged file and its
    // line), the list too, panel 2 untouched.
    void gridRefused_data()
    {
        QTest::addColumn<bool>("damagedGrid");
        QTest::addColumn<QString>("said");  // in the message; GRID: the folder the grid is looked for in
        QTest::newRow("no grid") << false << "GRID»: το Ελληνικό Κτηματολόγιο δημοσιεύει";
        QTest::newRow("a letter in east.grd") << true << "GRID/east.grd», γραμμή 7:";
    }
    void gridRefused()
    {
        QFETCH(bool, damagedGrid);
        QFETCH(QString, said);
        if (damagedGrid && m_grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
        TempWorkspace folder;
        QVERIFY(folder.reset());
        if (damagedGrid) {
            QVERIFY(writeFile(folder.path() + "/east.grd", damaged(readFile(m_grid + "/east.grd"), 7, "-33.20 x")));
            QVERIFY(QFile::copy(m_grid + "/north.grd", folder.path() + "/north.grd"));
        }
        Scene scene(damagedGrid ? folder.path() : QString());
        scene.convert("egsa87", "tm07", "357000,4396000");
        said.replace("GRID", damagedGrid ? folder.path() : scene.gridHome());
        QVERIFY2(scene.result().contains(said), qPrintable(scene.result()));
        scene.panel("txtFile1")->setPlainText("A,357000,4396000,1");
        scene.click("cmdSystemList");
        QCOMPARE(scene.dialogs.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(scene.dialogs.messages[0].text), scene.result());
        QCOMPARE(scene.panel("txtFile2")->toPlainText(), QString());
        RUN_CONVERT(cli, (QStringList{"--from", "egsa87", "--to", "tm07", "--point", "357000,4396000"}), {});
        QCOMPARE("hattsheet-convert: " + scene.result() + '\n', QString::fromUtf8(cli.err));
    }

    // The installer over an earlier installation: a damaged or missing file
    // refused with its name (and line), the earlier files kept; good files copied byte for byte and said in Greek, after
    // which a route the grid refused converts as the command line does.
    // The faults are planted in a copy of the agency's east.grd.
    void install_data()
    {
        QTest::addColumn<int>("line");  // of east.grd replaced; 0 none, -1 the file missing
        QTest::addColumn<QByteArray>("replacement");
        QTest::newRow("a letter in a correction") << 7 << QByteArray("-33.20 x -33.08");
        QTest::newRow("a row cut short") << 9 << QByteArray("1.0 2.0");
        QTest::newRow("the file is not there") << -1 << QByteArray();
        QTest::newRow("good files") << 0 << QByteArray();
    }
    void install()
    {
        QFETCH(int, line);
        QFETCH(QByteArray, replacement);
        if (m_grid.isEmpty()) QSKIP("the agency's HEPOS grid is not here");
        Scene scene({});
        QVERIFY(QDir().mkpath(scene.gridHome()));
        for (const char* file : {"/east.grd", "/north.grd"}) QVERIFY(writeFile(scene.gridHome() + file, file));
        const QByteArray good = readFile(m_grid + "/east.grd");
        const QString east = scene.work.path() + "/east (copy).grd";
        if (line != -1) QVERIFY(writeFile(east, line > 0 ? damaged(good, line, replacement) : good));
        scene.dialogs.fileAnswers = {east.toStdString(), (m_grid + "/north.grd").toStdString()};
        scene.trigger("mnuInstallGrid");
        QCOMPARE(scene.dialogs.messages.size(), std::size_t{1});
        const bool installed = line == 0;
        QCOMPARE(readFile(scene.gridHome() + "/east.grd"), installed ? good : QByteArray("/east.grd"));
        const ShownMessage said = scene.dialogs.messages[0];
        QCOMPARE(said.icon, installed ? MessageIcon::Information : MessageIcon::Critical);
        QVERIFY2(QString::fromStdString(said.text).contains(installed ? scene.gridHome() : east), said.text.c_str());
        if (line > 0) QVERIFY2(QString::fromStdString(said.text).contains(QStringLiteral("γραμμή %1:").arg(line)), said.text.c_str());
        if (!installed) return;
        QCOMPARE(readFile(scene.gridHome() + "/north.grd"), readFile(m_grid + "/north.grd"));
        const QString converted = scene.convert("tm07", "39.45,-1.15", "357000,2396000").join('\n');
        QVERIFY2(converted.startsWith("Χ = "), qPrintable(converted));
        RUN_CONVERT(cli, (QStringList{"--from", "tm07", "--to", "39.45,-1.15", "--point", "357000,2396000"}), {});
        QCOMPARE(converted + '\n', QString::fromUtf8(cli.out));
    }

    // One mnemonic letter for each control of the dialog, and for each menu
    // of the bar and entry of "Συστήματα" together; the dialog fits the smallest
    // screen the window supports (1024 × 768, less a panel).
    void mnemonicsAndSize()
    {
        Scene scene({});
        QStringList dialog, menus;
        for (const auto* b : scene.dialog->findChildren<QAbstractButton*>()) dialog << b->text();
        for (const auto* l : scene.dialog->findChildren<QLabel*>()) dialog << l->text();
        for (const QAction* a : scene.window->menuBar()->actions()) menus << a->text();
        for (const QAction* a : scene.window->findChild<QMenu*>("mnuSystems")->actions()) menus << a->text();
        for (const QStringList& texts : {dialog, menus}) {
            QStringList letters;
            for (const auto& m : QRegularExpression("&([^&])").globalMatch(texts.join('|'))) letters << m.captured(1).toLower();
            QCOMPARE(letters.size(), texts.filter(QStringLiteral("&")).size());
            QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
        }
        QCOMPARE(dialog.filter(QStringLiteral("&")).size(), 7);
        const QSize hint = scene.dialog->sizeHint();
        QVERIFY2(hint.width() <= 1000 && hint.height() <= 700, qPrintable(QStringLiteral("%1 × %2").arg(hint.width()).arg(hint.height())));
    }
};

QTEST_MAIN(tst_SystemsDialog)
#include "tst_systems_dialog.moc"
