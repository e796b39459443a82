// The "Προσαρμογή" dialog of the real window, opened from its menu over
// panels 1 and 2 filled as a user pastes them. The oracle is
// hattsheet-convert: the table's rows and the parameters are what --fit
// prints for the points in use (its common list: code, x, y, X, Y), the
// saved file is --save-fit's apart from its date line, and panel 2 after
// the apply is --apply-fit's output.

#include "operations/window_texts.h"
#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "ui/fit_dialog.h"
#include "ui/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace hattsheet::testing;
namespace ops = hattsheet::operations;

namespace {

// A local drawing's points (panel 1) and the same measured again (panel 2).
const QString kSource = "P1,1000.000,2000.000\nP2,5321.120,1850.440\nP3,4900.870,7010.330\nP4,820.450,6540.990\n"
                        "P5,3050.600,4410.250\nP6,2210.000,9020.100\nP7,6800.300,4300.700\n";
const QString kTarget = "P1,480512.345,4201003.210\nP2,484850.101,4200950.876\nP3,484337.882,4206090.414\n"
                        "P4,480251.950,4205540.002\nP5,482517.318,4203453.777\nP6,481587.640,4208041.020\n"
                        "P7,486378.905,4203443.118\n";

struct Scene {
    TempWorkspace work;
    FakeDialogs dialogs;
    std::unique_ptr<hattsheet::ui::MainWindow> window;
    hattsheet::ui::FitDialog* dialog = nullptr;

    Scene(const QString& one, const QString& two)
    {
        if (!work.reset()) qFatal("no temporary folder");
        window = std::make_unique<hattsheet::ui::MainWindow>(work.places(), &dialogs);
        window->show();
        panel("txtFile1")->setPlainText(one);
        panel("txtFile2")->setPlainText(two);
        window->findChild<QAction*>("mnuFitDialog")->trigger();
        dialog = window->findChild<hattsheet::ui::FitDialog*>();
        if (dialog == nullptr || !dialog->isVisible()) qFatal("the fit dialog did not open");
        if (!QTest::qWaitForWindowExposed(dialog)) qFatal("the fit dialog was not shown");
    }
    ~Scene() { window->close(); }  // the fake says Yes to the quit question
    template <typename W = QWidget>
    W* in(const char* name) const
    {
        auto* w = dialog->findChild<W*>(name);
        if (w == nullptr) qFatal("no %s in the dialog", name);
        return w;
    }
    QPlainTextEdit* panel(const char* name) const { return window->findChild<QPlainTextEdit*>(name); }
    QTableWidget* table() const { return in<QTableWidget>("tblFitResiduals"); }
    int rowOf(const QString& code) const
    {
        for (int r = 0; r < table()->rowCount(); ++r) {
            if (table()->item(r, 1)->text() == code) return r;
        }
        qFatal("no row %s", qPrintable(code));
    }
    // A click on the check box of a row, where the style draws it.
    void clickOut(const QString& code) const
    {
        QTableWidget* t = table();
        QStyleOptionViewItem option;
        option.initFrom(t->viewport());
        option.rect = t->visualItemRect(t->item(rowOf(code), 0));
        option.features = QStyleOptionViewItem::HasCheckIndicator;
        const QRect box = t->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, t);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, box.center());
    }
    // The table as --fit prints residuals: the rows in use, then those left out.
    QByteArray rows(bool used) const
    {
        QByteArray out;
        for (int r = 0; r < table()->rowCount(); ++r) {
            if ((table()->item(r, 0)->checkState() == Qt::Checked) != used) continue;
            QStringList cells;
            for (int c = 1; c <= 4; ++c) cells << table()->item(r, c)->text();
            out += cells.join(' ').toUtf8() + '\n';
        }
        return out;
    }
    QStringList marked() const
    {
        QStringList codes;
        for (int r = 0; r < table()->rowCount(); ++r) {
            if (table()->item(r, 5)->text() == QString::fromUtf8(ops::captions::kFitLargestMark) &&
                table()->item(r, 1)->font().bold())
                codes << table()->item(r, 1)->text();
        }
        return codes;
    }
    QString parameters() const { return in<QPlainTextEdit>("txtFitParameters")->toPlainText(); }
    QString summary() const { return in<QLabel>("lblFitSummary")->text(); }
};

QString write(const TempWorkspace& work, const QString& name, const QString& text)
{
    return writeFile(work.path() + "/" + name, text.toUtf8()) ? work.path() + "/" + name : QString();
}

// The lines of a list whose code is (or is not) among codes.
QString linesOf(const QString& list, const QStringList& codes, bool among)
{
    QString out;
    for (const QString& line : list.split('\n', Qt::SkipEmptyParts)) {
        if (codes.contains(line.section(',', 0, 0)) == among) out += line + '\n';
    }
    return out;
}

// The command line's common list of the points not among codes.
QString common(const QStringList& codes)
{
    QString out;
    const QStringList targets = kTarget.split('\n');
    for (const QString& line : linesOf(kSource, codes, false).split('\n', Qt::SkipEmptyParts)) {
        out += line + ',' + targets.filter(QRegularExpression('^' + line.section(',', 0, 0) + ',')).at(0).section(',', 1) + '\n';
    }
    return out;
}

} // namespace

class tst_FitDialog : public QObject {
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    // Expected: --fit MODEL --common on the points left in use, the points
    // clicked out (a mouse click on the check box, or Space on its cell) as
    // --check: residual lines, RMS, the largest (marked in bold and in
    // words, no other row), and the parameter lines.
    void tableLikeCommandLine_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("clicked");  // rows clicked out
        QTest::addColumn<bool>("bySpace");
        QTest::newRow("similarity, all seven") << "similarity" << QStringList() << false;
        QTest::newRow("similarity, P7 clicked out") << "similarity" << QStringList{"P7"} << false;
        QTest::newRow("affine, P3 and P5 out by Space") << "affine" << QStringList{"P3", "P5"} << true;
        QTest::newRow("second order, P1 clicked out") << "poly2" << QStringList{"P1"} << false;
    }
    void tableLikeCommandLine()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, clicked);
        QFETCH(bool, bySpace);
        Scene scene(kSource, kTarget);
        auto* combo = scene.in<QComboBox>("cboFitModel");
        combo->setCurrentIndex(combo->findData(static_cast<int>(*hattsheet::geodesy::fitModelNamed(model.toStdString()))));
        const QString before = scene.parameters();
        for (const QString& code : clicked) {
            if (bySpace) {
                scene.table()->setCurrentCell(scene.rowOf(code), 0);
                QTest::keyClick(scene.table(), Qt::Key_Space);
            } else {
                scene.clickOut(code);
            }
        }
        const QStringList args{"--fit", model, write(scene.work, "used.csv", common(clicked))};
        const CliRun cli = runConvert(args);
        QCOMPARE(cli.exitCode, 0);
        QCOMPARE(scene.marked().size(), 1);
        const QByteArray head = scene.rows(true) + "RMS = ";
        QCOMPARE(cli.out.left(head.size()), head);
        QVERIFY2(cli.out.contains("μέγιστο υπόλοιπο = " + scene.marked()[0].toUtf8() + ' '), cli.out.constData());
        QCOMPARE(scene.rows(false).count('\n'), clicked.size());
        QVERIFY(scene.parameters().startsWith("μοντέλο = " + model + '\n'));
        QVERIFY(cli.out.endsWith(scene.parameters().toUtf8()));
        QCOMPARE(clicked.isEmpty(), scene.parameters() == before);
        const QString rms = QString::fromUtf8(cli.out.mid(head.size()).split('\n')[0]);
        QVERIFY2(scene.summary().startsWith("RMS = " + rms + " m"), qPrintable(scene.summary()));
        QVERIFY(scene.in("cmdFitSave")->isEnabled() && scene.in("cmdFitApply")->isEnabled());
    }

    // Points clicked out until too few are left: the refusal in the dialog,
    // no number of the fit before, nothing to save or apply; one taken back
    // shows the fit again.
    void refusedThenTakenBack()
    {
        Scene scene(linesOf(kSource, {"P1", "P2", "P3"}, true), linesOf(kTarget, {"P1", "P2", "P3"}, true));
        const QString fitted = scene.summary();
        QVERIFY2(fitted.startsWith("RMS = "), qPrintable(fitted));
        scene.clickOut("P2");
        scene.clickOut("P3");
        QVERIFY2(scene.summary().contains("θέλει τουλάχιστον 2 κοινά σημεία σε χρήση· είναι 1."), qPrintable(scene.summary()));
        for (int r = 0; r < 3; ++r) {
            for (int c = 2; c <= 5; ++c) QCOMPARE(scene.table()->item(r, c)->text(), QString());
        }
        QCOMPARE(scene.parameters(), QString());
        QVERIFY(!scene.in("cmdFitSave")->isEnabled() && !scene.in("cmdFitApply")->isEnabled());
        scene.clickOut("P3");
        QCOMPARE(scene.table()->item(scene.rowOf("P2"), 5)->text(), QString::fromUtf8(ops::captions::kFitExcludedMark));
        QVERIFY(!scene.table()->item(scene.rowOf("P3"), 2)->text().isEmpty());
        QVERIFY(scene.in("cmdFitSave")->isEnabled());
        QVERIFY(scene.dialogs.messages.empty());
    }

    // Save (the file of --save-fit, date line apart), then panel 1 replaced
    // by the drawing's list and carried into panel 2 (--apply-fit's output,
    // after the target points it held), unsaved as after any conversion.
    void saveThenApply()
    {
        Scene scene(kSource, kTarget);
        scene.clickOut("P4");
        const QString saved = scene.work.path() + "/window.fit", cliFit = scene.work.path() + "/cli.fit";
        scene.dialogs.fileAnswers = {saved.toStdString()};
        QTest::mouseClick(scene.in("cmdFitSave"), Qt::LeftButton);
        const CliRun fitted = runConvert({"--fit", "similarity", write(scene.work, "used.csv", common({"P4"})), "--save-fit", cliFit});
        QCOMPARE(fitted.exitCode, 0);
        const auto undated = [](QByteArray file) { return file.remove(file.indexOf("\ndate = "), 30); };
        QCOMPARE(undated(readFile(saved)), undated(readFile(cliFit)));
        QVERIFY(scene.dialogs.messages.empty());

        const QString drawing = "Z1,1500,2500,10.5\nZ2,6000,8000,11\n";
        scene.panel("txtFile1")->setPlainText(drawing);
        QTest::mouseClick(scene.in("cmdFitApply"), Qt::LeftButton);
        const CliRun applied = runConvert({"--apply-fit", cliFit}, drawing.toUtf8());
        QCOMPARE(applied.exitCode, 0);
        QCOMPARE(scene.panel("txtFile2")->toPlainText(), kTarget + QString::fromUtf8(applied.out).remove('\r'));
        QCOMPARE(scene.dialogs.messages.size(), std::size_t{1});
        QCOMPARE(scene.dialogs.messages[0].icon, ops::MessageIcon::Information);
        scene.dialogs.yesNoAnswers = {false};
        scene.window->close();
        QVERIFY(QString::fromStdString(scene.dialogs.questions.at(0).text).contains(ops::windowTexts().quitUnsaved));
    }

    // One mnemonic letter for each control of the dialog (the menu's are
    // tst_systems_dialog's); Alt and a letter on a Latin layout reaches its
    // control; the dialog fits a 1366 × 768 screen less a panel and a title.
    void keysAndSize()
    {
        Scene scene(kSource, kTarget);
        QStringList dialog, letters;
        for (const auto* b : scene.dialog->findChildren<QAbstractButton*>()) dialog << b->text();
        for (const auto* l : scene.dialog->findChildren<QLabel*>()) dialog << l->text();
        for (const auto& m : QRegularExpression("&([^&])").globalMatch(dialog.join('|'))) letters << m.captured(1).toLower();
        QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
        QCOMPARE(dialog.filter(QStringLiteral("&")).size(), 7);
        scene.dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(scene.dialog));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);  // "&Μοντέλο"
        QCOMPARE(QApplication::focusWidget(), scene.in("cboFitModel"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::AltModifier);  // "&Υπόλοιπα"
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(scene.table()));
        const QSize least = scene.dialog->minimumSizeHint();
        QVERIFY2(least.width() <= 1366 && least.height() <= 768 - 40 - 30,
                 qPrintable(QStringLiteral("%1 × %2").arg(least.width()).arg(least.height())));
    }
};

QTEST_MAIN(tst_FitDialog)
#include "tst_fit_dialog.moc"
