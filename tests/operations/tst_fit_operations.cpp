// The fit dialog's operations on a window without a window: common points
// read from the two panels, a fit with points left out, its file and its
// apply. The oracle is hattsheet-convert: the same points as its common
// list to --fit (those left out as --check), --save-fit and --apply-fit.
// Beside it, P7's similarity residual comes from the exact rational
// solution of tests/geodesy/tst_plane_fit.cpp (71.9348935, 16.2173366).

#include "operations/fit_operations.h"
#include "operations/window_texts.h"
#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"

#include <QTest>

using namespace hattsheet::operations;
using namespace hattsheet::testing;
using hattsheet::geodesy::FitModel;

namespace {

// Seven points of a local drawing (panel 1) and the same measured in
// ΕΓΣΑ87 (panel 2, in another order, with heights).
const QByteArray kSource = "P1,1000.000,2000.000\r\nP2,5321.120,1850.440\r\nP3,4900.870,7010.330\r\n"
                           "P4,820.450,6540.990\r\nP5,3050.600,4410.250\r\nP6,2210.000,9020.100\r\n"
                           "P7,6800.300,4300.700\r\n";
const QByteArray kTarget = "P7,486378.905,4203443.118,0\r\nP1,480512.345,4201003.210,12.5\r\n"
                           "P2,484850.101,4200950.876,0\r\nP3,484337.882,4206090.414,0\r\nP4,480251.950,4205540.002,0\r\n"
                           "P5,482517.318,4203453.777,3\r\nP6,481587.640,4208041.020,0\r\n";
// The same as the command line's common list: code, x, y, X, Y.
const QByteArray kCommon = "P1,1000.000,2000.000,480512.345,4201003.210\nP2,5321.120,1850.440,484850.101,4200950.876\n"
                           "P3,4900.870,7010.330,484337.882,4206090.414\nP4,820.450,6540.990,480251.950,4205540.002\n"
                           "P5,3050.600,4410.250,482517.318,4203453.777\nP6,2210.000,9020.100,481587.640,4208041.020\n"
                           "P7,6800.300,4300.700,486378.905,4203443.118\n";
const std::string kDate = "2026-01-01T00:00:00Z";

// The lines of a list whose code is (or is not) among codes.
QByteArray linesOf(const QByteArray& list, const QStringList& codes, bool among)
{
    QByteArray out;
    for (const QByteArray& line : list.split('\n')) {
        if (!line.trimmed().isEmpty() && codes.contains(QString(line.left(line.indexOf(',')))) == among) out += line + '\n';
    }
    return out;
}

FakeFields panels(const QByteArray& one, const QByteArray& two)
{
    FakeFields fields;
    fields.setText(FieldId::File1, one.toStdString());
    fields.setText(FieldId::File2, two.toStdString());
    return fields;
}

FitModel modelNamed(const QString& name)
{
    return hattsheet::geodesy::fitModelNamed(name.toStdString()).value_or(FitModel::Similarity);
}

// The session over the panels with the codes left out.
FitSession sessionOf(const FakeFields& fields, const QString& model, const QStringList& excluded)
{
    FitSession session;
    session.chooseModel(modelNamed(model));
    session.readPanels(fields);
    for (std::size_t i = 0; i < session.report().rows.size(); ++i) {
        if (excluded.contains(QString::fromStdString(session.report().rows[i].code))) session.setUsed(i, false);
    }
    return session;
}

QByteArray rowLine(const FitRow& row)
{
    return QByteArray::fromStdString(row.code + " " + row.dx + " " + row.dy + " " + row.length + "\n");
}

// A fit file without its date line.
QByteArray undated(QByteArray file)
{
    const qsizetype at = file.indexOf("\ndate = ");
    return at < 0 ? file : file.remove(at, file.indexOf('\n', at + 1) - at);
}

} // namespace

class tst_FitOperations : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_work.reset()); }
    void reportLikeCommandLine_data();
    void reportLikeCommandLine();
    void refusals_data();
    void refusals();
    void applyLikeCommandLine_data();
    void applyLikeCommandLine();
    void fitFiles_data();
    void fitFiles();

private:
    QString at(const QString& name) const { return m_work.path() + "/" + name; }
    QString write(const QString& name, const QByteArray& bytes) const
    {
        return writeFile(at(name), bytes) ? at(name) : QString();
    }
    TempWorkspace m_work;
};

// Expected: --fit MODEL on the points in use, the left-out ones as
// --check: the same residual lines, RMS, largest and parameter lines; the
// rows left out carry their --check residuals. Taking the points back gives
// the fit of all again.
void tst_FitOperations::reportLikeCommandLine_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("excluded");
    QTest::addColumn<QByteArray>("worked");  // a row's line from the rational solution, or empty
    QTest::newRow("similarity, all seven") << "similarity" << QStringList() << QByteArray("P7 71.935 16.217 73.740\n");
    QTest::newRow("similarity, P7 left out") << "similarity" << QStringList{"P7"} << QByteArray();
    QTest::newRow("affine, P3 and P5 left out") << "affine" << QStringList{"P3", "P5"} << QByteArray();
    QTest::newRow("second order, all seven") << "poly2" << QStringList() << QByteArray();
    QTest::newRow("second order, P2 out: six fix it, no deviations") << "poly2" << QStringList{"P2"} << QByteArray();
}

void tst_FitOperations::reportLikeCommandLine()
{
    QFETCH(QString, model);
    QFETCH(QStringList, excluded);
    QFETCH(QByteArray, worked);
    FitSession session = sessionOf(panels(kSource, kTarget), model, excluded);
    const FitReport& report = session.report();
    QVERIFY2(report.result, report.refusal.c_str());
    QCOMPARE(report.rows.size(), std::size_t{7});
    QStringList args{"--fit", model, write("used.csv", linesOf(kCommon, excluded, false))};
    if (!excluded.isEmpty()) args << "--check" << write("check.csv", linesOf(kCommon, excluded, true));
    const CliRun cli = runConvert(args);
    QCOMPARE(cli.exitCode, 0);
    QByteArray inUse, left, largest;
    for (const FitRow& row : report.rows) {
        (row.used ? inUse : left) += rowLine(row);
        if (row.largest) largest = QByteArray::fromStdString("μέγιστο υπόλοιπο = " + row.code + " " + row.length + "\n");
    }
    const std::string partial = report.parameters;  // the report is redone below
    const QByteArray head = inUse + "RMS = " + QByteArray::fromStdString(report.rms) + "\n" + largest;
    QCOMPARE(cli.out.left(head.size()), head);
    if (!left.isEmpty()) QVERIFY2(cli.out.contains("σημεία ελέγχου:\n" + left), cli.out.constData());
    QVERIFY2(cli.out.endsWith(QByteArray::fromStdString(report.parameters)), report.parameters.c_str());
    QVERIFY(QByteArray::fromStdString(report.summary).contains("RMS = " + QByteArray::fromStdString(report.rms) + " m"));
    if (!worked.isEmpty()) QVERIFY(inUse.contains(worked));
    for (std::size_t i = 0; i < report.rows.size(); ++i) session.setUsed(i, true);
    FitSession all = sessionOf(panels(kSource, kTarget), model, {});
    QCOMPARE(session.report().parameters, all.report().parameters);
    QCOMPARE(session.report().summary, all.report().summary);
    QVERIFY(excluded.isEmpty() || session.report().parameters != partial);
}

// Refusals, after a good fit of the same panels where there is one: no
// number of the fit before stays, and nothing is there to apply.
void tst_FitOperations::refusals_data()
{
    QTest::addColumn<QByteArray>("one");
    QTest::addColumn<QByteArray>("two");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("excluded");
    QTest::addColumn<QString>("said");
    const QByteArray three = linesOf(kSource, {"P1", "P2", "P3"}, true), threeT = linesOf(kTarget, {"P1", "P2", "P3"}, true);
    const QByteArray line = "A,0,0\nB,10,10\nC,20,20\nD,30,30\n";
    QTest::newRow("one point left in use of three") << three << threeT << "similarity" << QStringList{"P2", "P3"}
                                                    << "«Ομοιότητα (4 παράμετροι)» θέλει τουλάχιστον 2 κοινά σημεία σε χρήση· είναι 1.";
    QTest::newRow("second order from five") << kSource << kTarget << "poly2" << QStringList{"P1", "P2"}
                                            << "θέλει τουλάχιστον 6 κοινά σημεία σε χρήση· είναι 5.";
    QTest::newRow("affine on a line") << line << QByteArray("A,1,1\nB,2,2\nC,3,3\nD,4,4\n") << "affine" << QStringList()
                                      << "δεν ορίζουν το μοντέλο «Αφινικός (6 παράμετροι)» (συνευθειακά";
    QTest::newRow("similarity on one place") << QByteArray("A,5,5\nB,5,5\n") << QByteArray("A,1,1\nB,2,2\n") << "similarity"
                                             << QStringList() << "δεν ορίζουν";
    QTest::newRow("a code in each panel only") << QByteArray("A,1,2\nB,3,4\nC,5,6\n") << QByteArray("A,1,2\nD,3,4\nC,5,6\n")
                                               << "similarity" << QStringList() << "Μόνο στη λίστα 1: «B».\nΜόνο στη λίστα 2: «D».";
    QTest::newRow("a code twice") << QByteArray("A,1,2\nB,3,4\n") << QByteArray("A,1,2\nB,3,4\nA,5,6\n") << "similarity"
                                  << QStringList() << "Ο κωδικός «A» δίνεται δύο φορές";
    QTest::newRow("a coordinate that is text in panel 2") << three << QByteArray("P1,1,2,0\nP2,3,4,0\nP3,x,6,0\n") << "similarity"
                                                           << QStringList() << "Στη λίστα 2: εγγραφή 3, γραμμή 3: Χ = «x» δεν είναι αριθμός";
    QTest::newRow("five fields in panel 1") << QByteArray("P1,1,2,3,4\n") << threeT << "similarity" << QStringList()
                                            << "Στη λίστα 1: εγγραφή 1, γραμμή 1: 5 πεδία";
    QTest::newRow("both panels empty") << QByteArray() << QByteArray() << "affine" << QStringList()
                                       << "τουλάχιστον 3 κοινά σημεία σε χρήση· είναι 0.";
}

void tst_FitOperations::refusals()
{
    QFETCH(QByteArray, one);
    QFETCH(QByteArray, two);
    QFETCH(QString, model);
    QFETCH(QStringList, excluded);
    QFETCH(QString, said);
    FakeFields fields = panels(one, two);
    const FitSession before = sessionOf(fields, model, {});
    if (!excluded.isEmpty()) QVERIFY(before.report().result);
    const FitSession session = sessionOf(fields, model, excluded);
    const FitReport& report = session.report();
    QVERIFY(!report.result);
    QVERIFY2(QString::fromStdString(report.refusal).contains(said), report.refusal.c_str());
    QVERIFY(report.rms.empty() && report.summary.empty() && report.parameters.empty());
    for (const FitRow& row : report.rows) QVERIFY(row.dx.empty() && row.dy.empty() && row.length.empty() && !row.largest);
    QVERIFY(session.fitToApply() == nullptr);
    FakeDialogs dialogs;
    PanelContents panel2(Panel::Two);
    QCOMPARE(session.apply(fields, dialogs, panel2), 0ULL);
    QCOMPARE(fields.text(FieldId::File2), two.toStdString());
    QVERIFY(!FitSession(session).save(dialogs, kDate));
    QVERIFY(dialogs.suggestions.empty());
}

// Expected: the file of --fit --save-fit apart from its date line,
// and panel 2 after the apply: what it held, then --apply-fit's output of
// panel 1's list; a failing record leaves it as it was, as the command
// line's exit 1 says, the record's line named and selected.
void tst_FitOperations::applyLikeCommandLine_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("throughFile");  // the fit opened back from its file in a new session
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QByteArray>("held");  // panel 2's text before the apply
    QTest::addColumn<int>("failingLine");  // 0: none
    QTest::newRow("similarity, comma list with a header and heights")
        << "similarity" << false << QByteArray("code,x,y,h\r\nA,1500,2500,10.25\r\nB,6000,8000,\r\nC,3000,4000,TOP\r\n")
        << QByteArray() << 0;
    QTest::newRow("affine through its file, decimal commas") << "affine" << true
                                                             << QByteArray("A;1500,5;2500;1,5\r\nB;6000;8000,25;2\r\n")
                                                             << QByteArray() << 0;
    QTest::newRow("second order, spaces, onto a panel without a final line end")
        << "poly2" << false << QByteArray("A 1500 2500 1.000\nB 6000 8000 2.000\n") << QByteArray("X,1,2") << 0;
    QTest::newRow("a failing record: nothing half-done")
        << "similarity" << false << QByteArray("A,1500,2500,1\r\nB,6000,8000,2\r\nC,x,4000,3\r\nD,1,2,4\r\n") << QByteArray("kept\r\n")
        << 3;
}

void tst_FitOperations::applyLikeCommandLine()
{
    QFETCH(QString, model);
    QFETCH(bool, throughFile);
    QFETCH(QByteArray, list);
    QFETCH(QByteArray, held);
    QFETCH(int, failingLine);
    FakeFields fields = panels(kSource, kTarget);
    FitSession session = sessionOf(fields, model, {"P4"});
    FakeDialogs dialogs;
    dialogs.fileAnswers = {at("window.fit").toStdString()};
    QVERIFY(session.save(dialogs, kDate));
    const QString cliFit = at("cli.fit");
    const CliRun fitted = runConvert({"--fit", model, write("used.csv", linesOf(kCommon, {"P4"}, false)), "--save-fit", cliFit});
    QCOMPARE(fitted.exitCode, 0);
    const QByteArray saved = readFile(at("window.fit"));
    QVERIFY(saved.contains("\ndate = " + QByteArray::fromStdString(kDate) + "\n"));
    QCOMPARE(undated(saved), undated(readFile(cliFit)));
    if (throughFile) {
        session = FitSession();
        dialogs.fileAnswers = {at("window.fit").toStdString()};
        QVERIFY(session.open(dialogs));
    }
    fields.setText(FieldId::File1, list.toStdString());
    fields.setText(FieldId::File2, held.toStdString());
    PanelContents panel2(Panel::Two);
    const unsigned long long appended = session.apply(fields, dialogs, panel2);
    const CliRun cli = runConvert({"--apply-fit", cliFit}, list);
    QCOMPARE(cli.exitCode, failingLine == 0 ? 0 : 1);
    QVERIFY(!dialogs.messages.empty());
    const ShownMessage said = dialogs.messages.back();
    if (failingLine != 0) {
        QCOMPARE(appended, 0ULL);
        QCOMPARE(fields.text(FieldId::File2), held.toStdString());
        QCOMPARE(said.icon, MessageIcon::Critical);
        QVERIFY2(said.text.find("γραμμή " + std::to_string(failingLine)) != std::string::npos, said.text.c_str());
        QCOMPARE(fields.selected, std::make_optional(std::pair{FieldId::File1, static_cast<unsigned long long>(failingLine)}));
        QVERIFY(!panel2.holdsUnsaved(fields));
        return;
    }
    QCOMPARE(said.icon, MessageIcon::Information);
    const QByteArray between = !held.isEmpty() && !held.endsWith('\n') ? "\r\n" : "";
    QCOMPARE(QByteArray::fromStdString(fields.text(FieldId::File2)), held + between + cli.out);
    QCOMPARE(appended, static_cast<unsigned long long>(cli.out.count('\n')));
    QVERIFY(panel2.holdsUnsaved(fields));
}

// The files: a save refused by name, a save over a file answered No, an
// open refused by name and line; neither changes the fit to apply. A good
// file opened becomes it, until the points are fitted again.
void tst_FitOperations::fitFiles_data()
{
    QTest::addColumn<QString>("action");   // save or open
    QTest::addColumn<QString>("file");     // in the scratch folder
    QTest::addColumn<QByteArray>("there"); // its bytes before; empty: none
    QTest::addColumn<bool>("answerNo");
    QTest::addColumn<QString>("said");     // in the message; FILE stands for the file's path; empty: none
    QTest::newRow("save into a folder that is not there") << "save" << "missing/p.fit" << QByteArray() << false
                                                          << "FILE";
    QTest::newRow("save over a file, answered No") << "save" << "p.fit" << QByteArray("old") << true << "";
    QTest::newRow("open a file that is not there") << "open" << "nope.fit" << QByteArray() << false << "FILE";
    QTest::newRow("open a file with a line that is no setting") << "open" << "bad.fit"
                                                                << QByteArray("model = affine\nnothing here\n") << false
                                                                << "FILE: δεν είναι αρχείο μετασχηματισμού (γραμμή 2)";
    QTest::newRow("open a file with a parameter missing") << "open" << "short.fit"
                                                          << QByteArray("model = similarity\nsource_centroid = 0 0\n")
                                                          << false << "λείπει ή είναι λάθος μια γραμμή";
    QTest::newRow("open a good file") << "open" << "good.fit"
                                      << QByteArray("model = similarity\nsource_centroid = 0 0\ntarget_centroid = 10 20\n"
                                                    "tx = 1\nty = 2\na = 1\nb = 0\n")
                                      << false << "";
}

void tst_FitOperations::fitFiles()
{
    QFETCH(QString, action);
    QFETCH(QString, file);
    QFETCH(QByteArray, there);
    QFETCH(bool, answerNo);
    QFETCH(QString, said);
    if (!there.isEmpty()) QVERIFY(writeFile(at(file), there));
    FitSession session = sessionOf(panels(kSource, kTarget), "similarity", {});
    const auto* own = session.fitToApply();
    QVERIFY(own != nullptr);
    FakeDialogs dialogs;
    dialogs.fileAnswers = {at(file).toStdString()};
    dialogs.yesNoAnswers = {!answerNo};
    const bool done = action == "save" ? session.save(dialogs, kDate) : session.open(dialogs);
    QCOMPARE(done, said.isEmpty() && !answerNo);
    // Only a save over a file there asks whether to replace it.
    QCOMPARE(dialogs.questions.size(), std::size_t(action == "save" && !there.isEmpty() ? 1 : 0));
    QCOMPARE(dialogs.messages.size(), std::size_t(said.isEmpty() ? 0 : 1));
    if (!said.isEmpty()) {
        QCOMPARE(dialogs.messages[0].title, std::string(windowTexts().titleWarning));
        said.replace("FILE", at(file));
        QVERIFY2(QString::fromStdString(dialogs.messages[0].text).contains(said), dialogs.messages[0].text.c_str());
    }
    QCOMPARE(readFile(at(file)), there.isEmpty() ? QByteArray("<missing>") : there);
    if (!done || action == "save") {
        QCOMPARE(session.fitToApply(), own);
        QVERIFY(session.openedFile().empty());
        return;
    }
    QCOMPARE(session.openedFile(), at(file).toStdString());
    QCOMPARE(session.fitToApply()->targetCentroid.y, 20.0);
    session.chooseModel(FitModel::Affine);
    QVERIFY(session.openedFile().empty());
    QCOMPARE(session.fitToApply()->model, FitModel::Affine);
}

QTEST_APPLESS_MAIN(tst_FitOperations)
#include "tst_fit_operations.moc"
