// The panels' operations on a window without a window (open, save, clear,
// the batch conversion) with real files in a scratch folder. Expected panel
// lines and file bytes are written by hand from the format's rules (three
// decimals, CR LF, Windows-1253 where it can hold the text) and the worked
// example of the default centres (kWorked of cli_run.h); damaged lists are
// tst_bad_files'.

#include "support/cli_run.h"
#include "support/fake_window.h"
#include "support/temp_workspace.h"
#include "operations/window_texts.h"
#include "operations/panel_contents.h"
#include "operations/panel_operations.h"
#include "operations/point_results.h"
#include "operations/single_point.h"
#include "operations/point_list.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

#include <sys/wait.h>
#include <unistd.h>

using namespace hattsheet::operations;
using namespace hattsheet::testing;

class tst_PanelOperations : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_work.reset()); }
    void open_data();
    void open();
    void save_data();
    void save();
    void saveInLayout_data();
    void saveInLayout();
    void batch_data();
    void batch();
    void batchByProducts_data();
    void batchByProducts();
    void twoWindowsOneFolder();
    void panelContents_data();
    void panelContents();
    void pointResults_data();
    void pointResults();

private:
    QString at(const QString& name) const { return m_work.path() + "/" + name; }
    TempWorkspace m_work;
};

namespace {
const std::string kWorkedLine = "P1, " + kWorked.toStdString() + ", 5.000\r\n";
} // namespace

// A file loads as lines appended to what the panel held, and a message says
// how many points came in; a failure leaves the panel as it was and says why
// (a cancel is silent).
void tst_PanelOperations::open_data()
{
    QTest::addColumn<QString>("name");   // in the scratch folder; "" is a cancel
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("size");    // -1: no file made; >0: a hole of that size
    QTest::addColumn<QString>("added");  // the panel's new lines (UTF-8, CR LF)
    QTest::addColumn<QString>("message");  // a part of the one message, "" none
    const auto row = [](const char* tag, const QByteArray& file, const QString& added, const QString& message = {}) {
        QTest::newRow(tag) << "pts.txt" << file << qint64(0) << added << message;
    };
    row("well-formed", "1,100,200,5\r\n2,300,400,6\r\n", "1, 100.000, 200.000, 5.000\r\n2, 300.000, 400.000, 6.000\r\n");
    row("spaces around values", "12,  354000.1, 4512000.25,7", "12, 354000.100, 4512000.250, 7.000\r\n");
    row("more than three decimals", "A,100.12345,1,2\r\n", "A, 100.123, 1.000, 2.000\r\n");
    row("empty H shown as 0", "12,1000,2000,\r\n", "12, 1000.000, 2000.000, 0.000\r\n");
    row("record over two lines, counted", "P, 100\r\n200, 5\r\n", "P, 100.000, 200.000, 5.000\r\n",
        "1 εγγραφή δεν βρίσκεται μόνη σε μία γραμμή· αρχίζει στη γραμμή 1");
    row("quoted code loses its quotes", "\"A,1\",100,200,5\r\n", "A,1, 100.000, 200.000, 5.000\r\n");
    row("numeric code keeps its text", "007,1,2,3\n", "007, 1.000, 2.000, 3.000\r\n");
    row("Greek code in Windows-1253", "\xD3\xD4\xC1\xD3\xC7,1,2,3\r\n", "ΣΤΑΣΗ, 1.000, 2.000, 3.000\r\n");
    row("Greek code in UTF-8", "ΣΤΑΣΗ,1,2,3\r\n", "ΣΤΑΣΗ, 1.000, 2.000, 3.000\r\n");
    row("zero-byte file adds nothing", "", "");
    row("blank line at the end", "1,100,200,5\r\n\r\n", "1, 100.000, 200.000, 5.000\r\n");
    row("text X on line 3", "1,100,200,5\r\n\r\nA1, abc, 200, 5\r\n", "",
        windowTexts().invalidFile + QString("\nεγγραφή 2, γραμμή 3: Χ = «abc» δεν είναι αριθμός"));
    row("empty Y", "A,1,,5\r\n", "", "εγγραφή 1, γραμμή 1: το Υ είναι κενό");
    row("last line three fields", "1,100,200,5\r\n2,3,4", "", "εγγραφή 2, γραμμή 2: το κείμενο τελειώνει μέσα στην εγγραφή");
    // The layouts surveyors' lists come in, each said in one line.
    row("Excel CSV under Greek settings, header, Windows-1253",
        "\xCA\xF9\xE4\xE9\xEA\xFC\xF2;\xD7;\xD5;\xC7\r\n\xD3\x31\x32;352104,125;4509876,5;123,45\r\n",
        "Σ12, 352104.125, 4509876.500, 123.450\r\n",
        "Διαβάστηκαν 1 σημείο: διαχωριστικό «;», υποδιαστολή «,», γραμμή επικεφαλίδας");
    row("semicolons with decimal points", "A;1.5;2;3\nB,1;4;5;\n",
        "A, 1.500, 2.000, 3.000\r\n\"B,1\", 4.000, 5.000, 0.000\r\n", "διαχωριστικό «;», υποδιαστολή «.»");
    row("tabs", "A\t1\t2\t3\r\n", "A, 1.000, 2.000, 3.000\r\n", "διαχωριστικό στηλοθέτης (Tab)");
    row("runs of spaces, an .xyh", "A   1.5   2   3\r\nB 4 5 6\r\n", "A, 1.500, 2.000, 3.000\r\nB, 4.000, 5.000, 6.000\r\n",
        "διαχωριστικό κενά, υποδιαστολή «.»");
    row("spaces and decimal commas", "A 1,5 2 3\r\n", "A, 1.500, 2.000, 3.000\r\n", "διαχωριστικό κενά, υποδιαστολή «,»");
    row("code, X, Y without a height", "A,1,2\r\nB,3,4\r\n\r\n", "A, 1.000, 2.000\r\nB, 3.000, 4.000\r\n",
        "Διαβάστηκαν 2 σημεία: διαχωριστικό «,», υποδιαστολή «.», χωρίς υψόμετρο");
    row("comma header", "Κωδικός,Χ,Υ,Η\r\nA,1,2,3\r\n", "A, 1.000, 2.000, 3.000\r\n", "γραμμή επικεφαλίδας");
    row("a typo in a semicolon list names its line", "A;1;2;3\nB;12O4.5;2;3\n", "",
        "εγγραφή 2, γραμμή 2: Χ = «12O4.5» δεν είναι αριθμός");
    row("a line of five in a semicolon list", "A;1;2;3\nB;1;2;3;4\n", "", "εγγραφή 2, γραμμή 2: 5 πεδία αντί για 4");
    row("decimal commas between commas: ambiguous", "P1,1000,5,2000,25,100\r\n", "",
        "γραμμή 1: 6 πεδία χωρισμένα με κόμμα· αν το κόμμα είναι υποδιαστολή, χωρίστε τα πεδία με «;»");
    QTest::newRow("cancel") << "" << QByteArray() << qint64(-1) << "" << "";
    // The README promises 64 MiB: written out, so that a changed limit shows. A
    // file read would give zeros, an invalid file; refused unread, it points
    // to the command line.
    QTest::newRow("a byte over 64 MiB, refused unread")
        << "big.txt" << QByteArray() << (qint64(64) << 20) + 1 << "" << "hattsheet-convert";
}

void tst_PanelOperations::open()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, file);
    QFETCH(qint64, size);
    QFETCH(QString, added);
    QFETCH(QString, message);
    const QString path = at(name);
    if (size >= 0) QVERIFY(writeFile(path, file) && (size == 0 || QFile::resize(path, size)));
    FakeFields fields;
    fields.setText(FieldId::File1, "kept\r\n");
    FakeDialogs dialogs;
    if (!name.isEmpty()) dialogs.fileAnswers = {path.toStdString()};
    openIntoPanel(fields, dialogs, Panel::One);
    QCOMPARE(QString::fromStdString(fields.text(FieldId::File1)), "kept\r\n" + added);
    QCOMPARE(dialogs.messages.size(), std::size_t(message.isEmpty() && name.isEmpty() ? 0 : 1));
    if (message.isEmpty()) {
        if (!name.isEmpty()) {
            const std::string count = added.count("\r\n") == 1 ? "\n1 σημείο" : "\n" + std::to_string(added.count("\r\n")) + " σημεία";
            QCOMPARE(dialogs.messages[0], (ShownMessage{windowTexts().opened + count, windowTexts().titleInfoPlain, MessageIcon::Information}));
        }
        return;
    }
    const ShownMessage& m = dialogs.messages[0];
    QVERIFY2(QString::fromStdString(m.text).contains(message), m.text.c_str());
    // What was read is information; a refusal is critical.
    if (!added.isEmpty()) {
        QVERIFY(m.icon == MessageIcon::Information);
        // The count once: said by the layout's line when there is one (it came twice).
        QCOMPARE(QString::fromStdString(m.text).count(QRegularExpression("\\d+ σημεί")), 1);
        return;
    }
    QVERIFY(m.icon == MessageIcon::Critical);
    const bool invalid = m.text.starts_with(windowTexts().invalidFile);
    QCOMPARE(m.title, std::string(invalid ? windowTexts().titleWarningPlain : windowTexts().titleWarning));
    if (!invalid) QVERIFY(QString::fromStdString(m.text).contains(path));
}

// Panel 2 saved to the chosen file and to TempFile.Dat, then cleared; a
// cancel (no answer, or an empty name) writes and says nothing. Saving over
// an existing file asks first, about the name really written (".txt"
// forced), No the default; No goes back to the dialog, which offers that
// name (the first dialog offers the panel's own file). A new name is never
// asked about. A panel without a non-blank line opens no dialog and says so.
void tst_PanelOperations::save_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("chosen");   // "cancel": the dialog gives no answer
    QTest::addColumn<QString>("written");  // "": nothing written
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("existing");  // a file holding "old" before the save
    QTest::addColumn<QString>("answer");    // to the question; "": none may come
    const auto row = [](const char* tag, const QString& panel, const char* chosen, const char* written,
                        const QByteArray& bytes, const char* existing = "", const char* answer = "") {
        QTest::newRow(tag) << panel << chosen << written << bytes << existing << answer;
    };
    row("blank and space lines left out", "a\r\n\r\n   \r\nb\r\n\r\n", "pts.txt", "pts.txt", "a\r\nb\r\n");
    row("whole text trimmed once", "  a  \r\n  b  ", "pts.txt", "pts.txt", "a  \r\n  b\r\n");
    row("extension forced", "x", "pts.seq", "pts.txt", "x\r\n");
    row("only the last extension", "x", "pts.old.xyh", "pts.old.txt", "x\r\n");
    row("a dot only in a folder name", "x", "v1.2/pts", "v1.2/pts.txt", "x\r\n");
    row("a name that is only an extension", "x", ".seq", ".txt", "x\r\n");
    row("a CSV name is kept, in any case", "x", "pts.CSV", "pts.CSV", "x\r\n");
    row("csv inside a name is no extension", "x", "pts.csv.bak", "pts.csv.txt", "x\r\n");
    row("empty panel is not saved", "", "", "", "");
    row("panel of blank lines is not saved", "  \r\n\r\n ", "", "", "");
    row("Greek written in Windows-1253", "ΣΤΑΣΗ, 1.000", "g.txt", "g.txt", "\xD3\xD4\xC1\xD3\xC7, 1.000\r\n");
    row("a character beyond Windows-1253 keeps UTF-8", "Ж1, ΣΤ", "u.txt", "u.txt", "Ж1, ΣΤ\r\n");
    row("cancel", "x", "cancel", "", "");
    row("an empty name is a cancel", "x", "", "", "");
    row("existing, No then cancel keeps it", "x", "pts.txt", "pts.txt", "old", "pts.txt", "No");
    row("existing, No then another name", "x", "pts.txt|new.seq", "new.txt", "x\r\n", "pts.txt", "No");
    row("existing, No twice then Yes", "x", "pts.txt|pts|pts.txt", "pts.txt", "x\r\n", "pts.txt", "No|No|Yes");
    row("existing, Yes replaces it", "x", "pts.txt", "pts.txt", "x\r\n", "pts.txt", "Yes");
    row("pts.seq chosen, pts.txt exists", "x", "pts.seq", "pts.txt", "old", "pts.txt", "No");
    row("pts.seq exists, pts.txt is new", "x", "pts.seq", "pts.txt", "x\r\n", "pts.seq");
}

void tst_PanelOperations::save()
{
    QFETCH(QString, panel);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, existing);
    QFETCH(QString, answer);
    if (!existing.isEmpty()) QVERIFY(writeFile(at(existing), "old"));
    QVERIFY(QDir().mkpath(QFileInfo(at(chosen)).path()));
    FakeFields fields;
    fields.setText(FieldId::File1, "one");
    fields.setText(FieldId::File2, panel.toStdString());
    const QStringList names = chosen.split('|');
    FakeDialogs dialogs;
    if (chosen != "cancel")
        for (const QString& name : names) dialogs.fileAnswers.push_back(name.isEmpty() ? std::string() : at(name).toStdString());
    std::vector<ShownMessage> asked;
    std::vector<std::string> offered{at("own.txt").toStdString()};
    for (const QString& a : answer.split('|', Qt::SkipEmptyParts)) {
        dialogs.yesNoAnswers.push_back(a == "Yes");
        const std::string named = forceTxtExtension(at(names[qsizetype(asked.size())]).toStdString());
        asked.push_back({replaceExisting(named), windowTexts().saveTitle, MessageIcon::Question});
        if (a == "No") offered.push_back(named);
    }
    const bool empty = panel.trimmed().isEmpty();
    const bool none = written.isEmpty() || (answer.endsWith("No") && names.size() == answer.count('|') + 1);
    const auto saved = savePanel(fields, dialogs, m_work.places(), Panel::Two, at("own.txt").toStdString());
    QCOMPARE(dialogs.questions, asked);
    QCOMPARE(dialogs.yesNoDefaults, std::vector<DefaultAnswer>(asked.size(), DefaultAnswer::No));
    QCOMPARE(dialogs.suggestions, empty ? std::vector<std::string>{} : offered);
    QCOMPARE(saved.value_or(""), none ? std::string() : at(written).toStdString());
    if (empty) {
        QCOMPARE(dialogs.messages, std::vector<ShownMessage>({{windowTexts().nothingToSave, windowTexts().titleInfoPlain, MessageIcon::Information}}));
    } else if (none) {
        QVERIFY(dialogs.messages.empty());
        QVERIFY(!QFile::exists(at("prog/TempFile.Dat")));
    } else {
        QCOMPARE(dialogs.messages, std::vector<ShownMessage>({{windowTexts().saved, windowTexts().titleInfoPlain, MessageIcon::Information}}));
        QCOMPARE(readFile(at("prog/TempFile.Dat")), bytes);
    }
    if (!written.isEmpty()) QCOMPARE(readFile(at(written)), bytes);
    if (names.last() != written) QCOMPARE(readFile(at(names.last())), QByteArray(names.last() == existing ? "old" : "<missing>"));
    clearPanel(fields, Panel::Two);
    QCOMPARE(fields.text(FieldId::File2), std::string());
    QCOMPARE(fields.text(FieldId::File1), std::string("one"));
}

// Save in the list's layout: a list opened into panel 1, converted by the
// batch (or opened into panel 2 itself), saved back with the list's
// separator, decimal mark and header line; the plain save keeps the
// program's comma layout. Digits: kWorked, (1000, 2000) on the new sheet.
// Steps: open1, open2 (the file into that panel), clear1, "type" (panel 1
// typed anew), batch, grid (a point to ΕΓΣΑ87), clear2, "blank" (panel 2
// emptied by hand); then the save, in the layout unless "plain".
void tst_PanelOperations::saveInLayout_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("bytes");  // of the file saved
    QTest::addColumn<QString>("said");      // the layout the message names; "": none named
    const QStringList batch{"open1", "batch"};
    const QByteArray worked = "P1, " + kWorked + ", 5.000\r\n";
    QTest::newRow("semicolons, decimal commas and a Greek header")
        << QByteArray("Κωδικός;Χ;Υ;Η\r\nP1;1000,0;2000,0;5,0\r\n") << batch
        << QByteArray("\xCA\xF9\xE4\xE9\xEA\xFC\xF2;\xD7;\xD5;\xC7\r\nP1;-7429,270;13107,462;5,000\r\n")
        << "διαχωριστικό «;», υποδιαστολή «,», γραμμή επικεφαλίδας";
    QTest::newRow("tabs and decimal points, LF line ends")
        << QByteArray("P1\t1000\t2000\t5\n") << batch << QByteArray("P1\t-7429.270\t13107.462\t5.000\r\n")
        << "διαχωριστικό στηλοθέτης (Tab), υποδιαστολή «.»";
    QTest::newRow("three fields: no heights")
        << QByteArray("P1;1000,0;2000,0\r\n") << batch << QByteArray("P1;-7429,270;13107,462\r\n")
        << "διαχωριστικό «;», υποδιαστολή «,», χωρίς υψόμετρο";
    QTest::newRow("a code holding the separator goes in quotes")
        << QByteArray("\"P;1\";1000,0;2000,0;5,0\r\n") << batch << QByteArray("\"P;1\";-7429,270;13107,462;5,000\r\n")
        << "διαχωριστικό «;», υποδιαστολή «,»";
    QTest::newRow("the program's own layout stays as it is")
        << QByteArray("P1, 1000, 2000, 5\r\n") << batch << worked << "διαχωριστικό «,», υποδιαστολή «.»";
    QTest::newRow("the plain save writes the program's layout")
        << QByteArray("H;X;Y;Z\r\nP1;1000,0;2000,0;5,0\r\n") << batch + QStringList{"plain"} << worked << "";
    QTest::newRow("opened into panel 2 itself")
        << QByteArray("P1;1000,5;2000,25;5\r\n") << QStringList{"open2"} << QByteArray("P1;1000,500;2000,250;5,000\r\n")
        << "διαχωριστικό «;», υποδιαστολή «,»";
    const QString programs = "διαχωριστικό «,», υποδιαστολή «.»";
    QTest::newRow("panel 1 cleared and typed anew: the program's layout")
        << QByteArray("P1;1000,0;2000,0;5,0\r\n") << QStringList{"open1", "clear1", "type", "batch"} << worked << programs;
    QTest::newRow("panel 2 cleared, then a point: the program's layout")
        << QByteArray("P1;1000,0;2000,0;5,0\r\n") << QStringList{"open1", "batch", "clear2", "grid"} << QByteArray()
        << programs;
    QTest::newRow("panel 2 emptied by hand, then a point: the program's layout")
        << QByteArray("P1;1000,0;2000,0;5,0\r\n") << QStringList{"open1", "batch", "blank", "grid"} << QByteArray()
        << programs;
}

void tst_PanelOperations::saveInLayout()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, steps);
    QVERIFY(writeFile(at("list.csv"), file));
    FakeFields fields;
    fields.setText(FieldId::X1, "1000");
    fields.setText(FieldId::Y1, "2000");
    FakeDialogs dialogs;
    PanelContents panel2(Panel::Two);
    for (const QString& step : steps) {
        if (step.startsWith("open")) dialogs.fileAnswers.push_back(at("list.csv").toStdString());
        if (step == "open1") panel2.sourceOpened(openIntoPanel(fields, dialogs, Panel::One)->layout);
        else if (step == "open2") panel2.opened(openIntoPanel(fields, dialogs, Panel::Two)->layout);
        else if (step == "clear1") panel2.sourceOpened(std::nullopt), clearPanel(fields, Panel::One);
        else if (step == "type") fields.setText(FieldId::File1, "P1, 1000, 2000, 5\r\n");
        else if (step == "clear2") panel2.clear(fields, dialogs);
        else if (step == "blank") fields.setText(FieldId::File2, " \r\n");
        else if (step == "batch") fillPanel(panel2, fields, dialogs, m_work.places(), PanelFill::Batch);
        else if (step == "grid") {
            // A point of a sheet on the Grid (tst_sheets).
            fields.setText(FieldId::PhiOld, "40.15");
            fields.setText(FieldId::LambdaOld, "0.15");
            fillPanel(panel2, fields, dialogs, m_work.places(), PanelFill::PointToEgsa87);
        }
    }
    dialogs.messages.clear();
    dialogs.fileAnswers.push_back(at("out.csv").toStdString());
    const KeptLayout* layout = steps.contains("plain") ? nullptr : &panel2.layout();
    QVERIFY(savePanel(fields, dialogs, m_work.places(), Panel::Two, {}, layout));
    QFETCH(QByteArray, bytes);
    const QByteArray saved = readFile(at("out.csv"));
    // A point's ΕΓΣΑ87 digits are tst_egsa87's: here only its layout.
    if (bytes.isEmpty()) QVERIFY2(saved.count(", ") == 3 && saved.endsWith(".000\r\n") && !saved.contains(';'), saved.constData());
    else QCOMPARE(saved, bytes);
    QFETCH(QString, said);
    const QString message = QString::fromUtf8(windowTexts().saved) + (said.isEmpty() ? "" : "\nΓράφτηκε στη διάταξη της λίστας: " + said);
    QCOMPARE(QString::fromStdString(dialogs.messages.at(0).text), message);
}

// The batch's lines start on a line of their own, whatever panel 2 ends
// with (they were once glued onto a last line without a line end). A
// refused batch says why, changes no field and writes no by-product; of two
// wrong centres only the first checked is named.
void tst_PanelOperations::batch_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("lambdaOld");
    QTest::addColumn<QString>("phiNew");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("before");   // what stands before the converted line
    QTest::addColumn<QString>("message");  // the refusal; "": converted
    QTest::addColumn<QString>("where");    // the field given the focus, or "line N" of panel 1 selected
    QTest::addColumn<bool>("backward");    // from "Σε Κ.Φ." to "Από Κ.Φ."
    const auto appends = [](const char* tag, const QString& panel2, const QString& before) {
        QTest::newRow(tag) << "P1, 1000, 2000, 5" << "-0.51" << "40.45" << panel2 << before << "" << "" << false;
    };
    appends("empty panel", "", "");
    appends("last line without a line end", "5,6,7,8", "5,6,7,8\r\n");
    appends("last line ended by CR LF", "5,6,7,8\r\n", "5,6,7,8\r\n");
    appends("last line ended by a lone CR", "5\r", "5\r");
    appends("last line ended by a lone LF", "5\n", "5\n");
    appends("trailing spaces", "5  ", "5  \r\n");
    const auto row = [](const char* tag, const QString& list, const QString& lambdaOld, const QString& phiNew,
                        const QString& message, const QString& where = {}, bool backward = false) {
        QTest::newRow(tag) << list << lambdaOld << phiNew << "" << "" << message << where << backward;
    };
    row("panel of spaces", "    ", "-0.51", "40.45", windowTexts().noList);
    row("empty panel 1", "", "-0.51", "40.45", windowTexts().noList);
    row("old Δλ and new φ wrong: only Δλ", "A,0,0,0", "-4.31", "43.00", "Λάθος στο Δλ.\nΤο Δλ του κέντρου γίνεται δεκτό από -4°30' έως 5° από τον μεσημβρινό της Αθήνας.", "txtLamdaOld");
    row("new φ wrong", "A,0,0,0", "-0.51", "33.59", "Λάθος στο Φ.\nΤο φ του κέντρου γίνεται δεκτό από 34° έως 42°.", "txtPhiNew");
    // A failing record: the lines before it converted, its place and reason
    // said, its line of panel 1 selected.
    row("failing record names its line", "P1, 1000, 2000, 5\r\n\r\nP2, 12O4.5, 2000, 5", "-0.51", "40.45",
        "Λάθος στον πίνακα!\nεγγραφή 2, γραμμή 3: Χ = «12O4.5» δεν είναι αριθμός", "line 3");
    // Back: the digits of "<" for (1000, 2000) (tst_single_point); the new centre checked first.
    row("backward, from the new sheet to the old", "P1, 1000, 2000, 5", "-0.51", "40.45", "", "", true);
    row("backward: new φ wrong before old Δλ", "A,0,0,0", "-4.31", "33.59", "Λάθος στο Φ.\nΤο φ του κέντρου γίνεται δεκτό από 34° έως 42°.", "txtPhiNew", true);
}

void tst_PanelOperations::batch()
{
    QFETCH(QString, list);
    QFETCH(QString, lambdaOld);
    QFETCH(QString, phiNew);
    QFETCH(QString, panel2);
    QFETCH(QString, before);
    QFETCH(QString, message);
    QFETCH(QString, where);
    QFETCH(bool, backward);
    FakeFields fields;
    fields.setText(FieldId::File1, list.toStdString());
    fields.setText(FieldId::File2, panel2.toStdString());
    fields.setText(FieldId::LambdaOld, lambdaOld.toStdString());
    fields.setText(FieldId::PhiNew, phiNew.toStdString());
    const auto untouched = fields.all();
    FakeDialogs dialogs;
    const auto count = convertPointList(fields, dialogs, m_work.places(), backward ? Direction::Backward : Direction::Forward);
    QCOMPARE(count, message.isEmpty() || where.startsWith("line ") ? 1ULL : 0ULL);
    if (message.isEmpty()) {
        QCOMPARE(fields.text(FieldId::File2),
                 before.toStdString() + (backward ? std::string("P1, 9441.934, -9097.840, 5.000\r\n") : kWorkedLine));
        QCOMPARE(dialogs.messages, std::vector<ShownMessage>({{std::string(windowTexts().batchDone) + "\n1 σημείο", windowTexts().titleInfo,
                                                               MessageIcon::Information}}));
        return;
    }
    QCOMPARE(dialogs.messages,
             std::vector<ShownMessage>({{message.toStdString(), windowTexts().titleWarning, MessageIcon::Critical}}));
    if (where.startsWith("line ")) {
        QCOMPARE(fields.text(FieldId::File2), kWorkedLine);
        QVERIFY(fields.selected == std::pair(FieldId::File1, where.mid(5).toULongLong()));
        return;
    }
    QCOMPARE(QString(fields.focused ? fieldObjectName(*fields.focused) : ""), where);
    QVERIFY(fields.all() == untouched);
    QVERIFY(!QFile::exists(at("prog/TempFeed.Dat")) && !QFile::exists(at("prog/TempFile.Dat")));
}

// The batch's list without its blank lines, in TempFeed.Dat and TempFile.Dat
// as a save writes a file: Windows-1253 where it holds the text, else UTF-8.
void tst_PanelOperations::batchByProducts_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII as it stands") << "P1, 1000, 2000, 5\n\nP2,1,2,3" << QByteArray("P1, 1000, 2000, 5\r\nP2,1,2,3\r\n");
    QTest::newRow("Greek code in Windows-1253") << "ΣΤΑΣΗ,1,2,3" << QByteArray("\xD3\xD4\xC1\xD3\xC7,1,2,3\r\n");
    QTest::newRow("a character beyond Windows-1253 keeps UTF-8") << "Ж1,1,2,3" << QByteArray("Ж1,1,2,3\r\n");
    // The first eight bytes ASCII: the Greek letter is in the bytes read one at a time.
    QTest::newRow("Greek past the last whole eight bytes") << "P12,1,2,Σ" << QByteArray("P12,1,2,\xD3\r\n");
}

void tst_PanelOperations::batchByProducts()
{
    QFETCH(QString, list);
    QFETCH(QByteArray, bytes);
    runBatch(list.toStdString(), m_work.places());
    for (const char* name : {"prog/TempFeed.Dat", "prog/TempFile.Dat"}) {
        QFile file(at(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
}

// Two windows started from one folder, each converting its own list again
// and again: every run gives its own list's lines (the lists were once read
// back from the shared TempFeed.Dat, which the other window overwrote).
void tst_PanelOperations::twoWindowsOneFolder()
{
    std::string lists[2], expected[2];
    for (int w = 0; w < 2; ++w) {
        lists[w] = (QByteArray(w == 0 ? "A" : "B") + ", 1000, 2000, 5\r\n").repeated(200).toStdString();
        expected[w] = (QByteArray(w == 0 ? "A, " : "B, ") + kWorked + ", 5.000\r\n").repeated(200).toStdString();
    }
    pid_t children[2];
    for (int w = 0; w < 2; ++w) {
        if ((children[w] = ::fork()) != 0) continue;
        int wrong = 0;
        for (int run = 0; run < 150; ++run) wrong += runBatch(lists[w], m_work.places()).panel2 != expected[w];
        ::_exit(wrong == 0 ? 0 : 1);
    }
    for (pid_t child : children) {
        int status = 0;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "a window converted a list that was not its own");
    }
}

// Panel 2 through a working day: every operation that appends converted
// lines marks them unsaved (the Grid ones did not, and the quit question's
// Enter threw them away), its clear asks then, and lines of a second system
// join only after a Yes. Steps: "list=..." panel 1, "from=φ,Δλ" and
// "to=φ,Δλ" the centres, "yes"/"no" the next answer, an operation
// (batch, back, grid, gridList, fromGrid), save, clear, "blank" (the panel
// emptied by hand). The Grid centres are sheets' (tst_sheets).
void tst_PanelOperations::panelContents_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("asked");  // "mix" or "clear", each with No as its default
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<int>("lines");  // non-blank lines of panel 2
    const QStringList grid{"from=40.15,0.15", "to=39.45,-1.15"};
    QTest::newRow("batch") << QStringList{"batch"} << QStringList{} << true << 1;
    QTest::newRow("Grid point") << grid + QStringList{"grid"} << QStringList{} << true << 1;
    QTest::newRow("Grid list") << grid + QStringList{"gridList"} << QStringList{} << true << 1;
    QTest::newRow("list from the Grid") << QStringList{"to=40.15,0.15", "list=P1, 497156.350, 4455309.902, 5", "fromGrid"}
                                        << QStringList{} << true << 1;
    QTest::newRow("refused centre appends nothing") << QStringList{"from=33,0", "batch"} << QStringList{} << false << 0;
    QTest::newRow("failing record: the line before it")
        << QStringList{"list=P1, 1000, 2000, 5\r\nP2, x, 1, 1", "batch"} << QStringList{} << true << 1;
    QTest::newRow("saved, cleared unasked") << QStringList{"batch", "save", "clear"} << QStringList{} << false << 0;
    QTest::newRow("unsaved clear answered No") << QStringList{"batch", "no", "clear"} << QStringList{"clear"} << true << 1;
    QTest::newRow("unsaved clear answered Yes") << QStringList{"batch", "yes", "clear"} << QStringList{"clear"} << false << 0;
    QTest::newRow("Grid point then batch: No adds nothing")
        << grid + QStringList{"grid", "no", "batch"} << QStringList{"mix"} << true << 1;
    QTest::newRow("Grid point then batch: Yes, asked once")
        << grid + QStringList{"grid", "yes", "batch", "batch", "grid"} << QStringList{"mix"} << true << 4;
    QTest::newRow("one centre written two ways") << QStringList{"batch", "to=40.450,-0.450", "batch"} << QStringList{} << true << 2;
    QTest::newRow("another centre") << QStringList{"batch", "to=40.51,-0.51", "no", "batch"} << QStringList{"mix"} << true << 1;
    QTest::newRow("back onto the other centre") << QStringList{"batch", "yes", "back"} << QStringList{"mix"} << true << 2;
    QTest::newRow("emptied by hand starts again") << grid + QStringList{"grid", "blank", "batch"} << QStringList{} << true << 1;
}

void tst_PanelOperations::panelContents()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);
    FakeFields fields;
    fields.setText(FieldId::File1, "P1, 1000, 2000, 5\r\n");
    fields.setText(FieldId::X1, "10");
    fields.setText(FieldId::Y1, "10");
    FakeDialogs dialogs;
    PanelContents panel(Panel::Two);
    const QMap<QString, PanelFill> fills{{"batch", PanelFill::Batch}, {"back", PanelFill::BatchBackward},
                                         {"grid", PanelFill::PointToEgsa87}, {"gridList", PanelFill::ListToEgsa87},
                                         {"fromGrid", PanelFill::ListFromEgsa87}};
    for (const QString& step : steps) {
        const QString value = step.section('=', 1).replace("\\r\\n", "\r\n");
        const auto centre = [&](FieldId phi, FieldId lambda) {
            fields.setText(phi, value.section(',', 0, 0).toStdString());
            fields.setText(lambda, value.section(',', 1).toStdString());
        };
        if (step.startsWith("list=")) fields.setText(FieldId::File1, value.toStdString());
        else if (step.startsWith("from=")) centre(FieldId::PhiOld, FieldId::LambdaOld);
        else if (step.startsWith("to=")) centre(FieldId::PhiNew, FieldId::LambdaNew);
        else if (step == "yes" || step == "no") dialogs.yesNoAnswers.push_back(step == "yes");
        else if (step == "save") panel.saved();
        else if (step == "clear") panel.clear(fields, dialogs);
        else if (step == "blank") fields.setText(FieldId::File2, " \r\n");
        else fillPanel(panel, fields, dialogs, m_work.places(), fills.value(step));
    }
    QStringList seen;
    for (const ShownMessage& q : dialogs.questions)
        seen << (q.text == windowTexts().clearUnsaved ? "clear" : q.text.starts_with("Ο πίνακας έχει ήδη σημεία σε ") ? "mix" : q.text.c_str());
    QCOMPARE(seen, asked);
    QVERIFY(std::all_of(dialogs.yesNoDefaults.begin(), dialogs.yesNoDefaults.end(), [](DefaultAnswer a) { return a == DefaultAnswer::No; }));
    QTEST(panel.holdsUnsaved(fields), "unsaved");
    const QString panel2 = QString::fromStdString(fields.text(FieldId::File2));
    QTEST(int(panel2.split("\r\n").filter(QRegularExpression("\\S")).size()), "lines");
}

// The points of ">" and "<" when a centre changes: a result computed with
// the centre goes, what was typed stays; the swap takes each point with its
// centre. Digits: tst_single_point's (1000, 2000) between the start sheets.
// Steps: "name=text" typed, ">", "<", "from", "to" (that centre typed anew),
// "swap"; then "name=text" expected.
void tst_PanelOperations::pointResults_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");
    const QStringList typed{"txtX1=1000", "txtY1=2000"};
    const QString lat = "txtf=40° 52' 4.83982''";
    QTest::newRow("> then the new centre: X2 goes, the geodetic line stays")
        << typed + QStringList{">", "to"} << QStringList{"txtX1=1000", "txtX2=", "txtY2=", lat};
    QTest::newRow("> then the old centre: X2 and the geodetic line go")
        << typed + QStringList{">", "from"} << QStringList{"txtX1=1000", "txtY1=2000", "txtX2=", "txtf=", "txtl="};
    QTest::newRow("< then the new centre: X1 goes, X2 typed stays")
        << QStringList{"txtX2=1000", "txtY2=2000", "<", "to"} << QStringList{"txtX1=", "txtY1=", "txtX2=1000"};
    QTest::newRow("a result typed over is kept") << typed + QStringList{">", "txtX2=5", "to"} << QStringList{"txtX2=5"};
    QTest::newRow("nothing converted: the typed point stays") << typed + QStringList{"from"} << QStringList{"txtX1=1000", "txtY1=2000"};
    QTest::newRow("swap after >: points go with their centres, the geodetic line stays")
        << typed + QStringList{">", "swap"}
        << QStringList{"txtPhiOld=40.45", "txtX1=-7429.270", "txtY1=13107.462", "txtPhiNew=40.51", "txtX2=1000", "txtY2=2000", lat};
    QTest::newRow("swap without a conversion: the geodetic line goes")
        << QStringList{"txtf=40° 0' 0''", "swap"} << QStringList{"txtf=", "txtX1=0.000"};
    QTest::newRow("swap after >, then the new centre: the former input stays")
        << typed + QStringList{">", "swap", "to"} << QStringList{"txtX1=", "txtX2=1000"};
}

void tst_PanelOperations::pointResults()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    FakeFields fields;
    FakeDialogs dialogs;
    PointResults results;
    const QMap<QString, FieldId> ids{{"txtX1", FieldId::X1}, {"txtY1", FieldId::Y1}, {"txtX2", FieldId::X2},
                                     {"txtY2", FieldId::Y2}, {"txtf", FieldId::Lat}, {"txtl", FieldId::LonGreenwich},
                                     {"txtPhiOld", FieldId::PhiOld}, {"txtPhiNew", FieldId::PhiNew}};
    for (const QString& step : steps) {
        if (step.contains('=')) {
            const FieldId id = ids.value(step.section('=', 0, 0));
            fields.setText(id, step.section('=', 1).toStdString());
            results.pointTyped(id);
        } else if (step == ">" || step == "<") {
            const bool forward = step == ">";
            if (forward) convertOldToNew(fields, dialogs); else convertNewToOld(fields, dialogs);
            results.converted(forward ? Direction::Forward : Direction::Backward);
        } else if (step == "swap") {
            results.swap(fields);
        } else {
            const bool from = step == "from";
            fields.setText(from ? FieldId::PhiOld : FieldId::PhiNew, "40.30");
            results.centreChanged(fields, from ? Side::From : Side::To);
        }
    }
    QVERIFY(dialogs.messages.empty());
    for (const QString& e : expected)
        QCOMPARE(e.section('=', 0, 0) + "=" + QString::fromStdString(fields.text(ids.value(e.section('=', 0, 0)))), e);
}

QTEST_APPLESS_MAIN(tst_PanelOperations)
#include "tst_panel_operations.moc"
