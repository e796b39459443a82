// hattsheet-convert on lists as a spreadsheet exports them, written back in
// their own layout, and on sheet names that name no sheet. One table of
// runs: arguments, stdin, and the exact stdout, stderr and exit status.
// Digits: the worked examples of the conversion between the window's
// default centres, (1000, 2000) -> kWorked and (0, 0) -> kOrigin
// (support/cli_run.h), with their points turned into decimal commas by
// hand. Sheet names and agency numbers: data/hatt_sheets.csv read by hand.

#include "support/cli_run.h"

#include <QTest>

#include <cctype>
#include <cmath>
#include <utility>

using namespace hattsheet::testing;

class tst_ListsAndNames : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void keptLayoutRoundTrip_data();
    void keptLayoutRoundTrip();
    void notUtf8_data();
    void notUtf8();
};

namespace {

constexpr int kFailed = 1, kUsage = 64;

const QByteArray kWorkedComma = "-7429,270;13107,462";  // kWorked in a ";" list
const QByteArray kOriginComma = "-8431,552;11108,603";  // kOrigin likewise
const QByteArray kSemicolonHeader = "διαχωριστικό «;», υποδιαστολή «,», γραμμή επικεφαλίδας";

QByteArray said(const QByteArray& text) { return "hattsheet-convert: " + text + "\n"; }
QByteArray seeHelp(const QByteArray& text) { return said(text) + said("δείτε hattsheet-convert --help"); }
QByteArray failed(const QByteArray& place, const QByteArray& why) { return said("Λάθος στον πίνακα! " + place + ": " + why); }

void add(const char* name, const QStringList& args, const QByteArray& input, int exitCode, const QByteArray& out,
         const QByteArray& err, const char* lang = "el_GR.UTF-8")
{
    QTest::newRow(name) << args << input << exitCode << out << err << QString(lang);
}

} // namespace

void tst_ListsAndNames::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::addColumn<QString>("lang");
    const QStringList list = kDefaultCentres + QStringList{"-"};
    const QStringList keep = list + QStringList{"--keep-layout"};
    const QByteArray excel = "\xEF\xBB\xBF" "Κωδικός;Χ;Υ;Η\r\nP;1000;2000;5\r\nQ;0;0;7,25\r\n";
    const QByteArray converted = "P, " + kWorked + ", 5.000\r\nQ, " + kOrigin + ", 7.250\r\n";
    const QByteArray readTwo = said("Διαβάστηκαν 2 σημεία: " + kSemicolonHeader);

    // Excel under Greek regional settings: a byte-order mark, a header, ";",
    // decimal commas (only the heights have any) and its formatted empty rows.
    add("trailing ;;; rows are blank", list, excel + ";;;\r\n;;;\r\n", 0, converted, readTwo);
    add(";;; rows among the records", list, "Κωδικός;Χ;Υ;Η\r\n;;;\r\nP;1000;2000;5\r\n ; ;\t;\r\nQ;0;0;7,25\r\n", 0,
        converted, readTwo);
    add("a comma list's ,,, rows", list, "P,1000,2000,5\r\n,,,\r\n,,,\r\n", 0, "P, " + kWorked + ", 5.000\r\n", "");
    // Thousands separators: refused by name, on their line and field.
    add("thousands separator with decimal commas", list, "Κωδικός;Χ;Υ;Η\r\nP;-13.847,177;2000;5\r\n", kFailed, "",
        said("Διαβάστηκαν 0 σημεία: " + kSemicolonHeader) +
            failed("εγγραφή 1, γραμμή 2", "Χ = «-13.847,177» έχει διαχωριστικό χιλιάδων «.»· γράψτε τον αριθμό χωρίς αυτό"));
    add("thousands separator in Y after good records", list, "P;1000;2000;5,5\r\nQ;0;4.509.876,5;1\r\n", kFailed,
        "P, " + kWorked + ", 5.500\r\n",
        said("Διαβάστηκαν 1 σημείο: διαχωριστικό «;», υποδιαστολή «,»") +
            failed("εγγραφή 2, γραμμή 2", "Υ = «4.509.876,5» έχει διαχωριστικό χιλιάδων «.»· γράψτε τον αριθμό χωρίς αυτό"));
    add("thousands comma with a decimal point, in English", list, "P;1,000.5;2000;5\r\n", kFailed, "",
        said("Read 0 points: separator \";\", decimal mark \".\"") +
            said("error in the list: record 1, line 1: X = \"1,000.5\" has a thousands separator \",\"; write the "
                 "number without it"),
        "C");
    // A one-line list with a typo: the field, not "the text ends inside the record".
    add("one line with a typo names its field", list, "P;1000,5;2000,x5;100\r\n", kFailed, "",
        said("Διαβάστηκαν 0 σημεία: διαχωριστικό «;», υποδιαστολή «,»") +
            failed("εγγραφή 1, γραμμή 1", "Υ = «2000,x5» δεν είναι αριθμός"));

    // --keep-layout: the list's separator, decimal mark and header line, said.
    const QByteArray keptSemicolon = said("Γράφτηκε στη διάταξη της λίστας: " + kSemicolonHeader);
    add("kept: ; and decimal commas and the header", keep, excel + ";;;\r\n", 0,
        "Κωδικός;Χ;Υ;Η\r\nP;" + kWorkedComma + ";5,000\r\nQ;" + kOriginComma + ";7,250\r\n", readTwo + keptSemicolon);
    add("kept: a code holding the separator is quoted", keep, "\"A;B\";1000;2000;1,5\r\n", 0,
        "\"A;B\";" + kWorkedComma + ";1,500\r\n",
        said("Διαβάστηκαν 1 σημείο: διαχωριστικό «;», υποδιαστολή «,»") +
            said("Γράφτηκε στη διάταξη της λίστας: διαχωριστικό «;», υποδιαστολή «,»"));
    add("kept: tabs without heights", keep, "P\t1000\t2000\r\nQ\t0\t0\r\n", 0,
        "P\t-7429.270\t13107.462\r\nQ\t-8431.552\t11108.603\r\n",
        said("Διαβάστηκαν 2 σημεία: διαχωριστικό στηλοθέτης (Tab), υποδιαστολή «.», χωρίς υψόμετρο") +
            said("Γράφτηκε στη διάταξη της λίστας: διαχωριστικό στηλοθέτης (Tab), υποδιαστολή «.», χωρίς υψόμετρο"));
    add("kept: today's comma layout is written as without the option", keep, "P, 1000, 2000, 5\r\n", 0,
        "P, " + kWorked + ", 5.000\r\n", said("Γράφτηκε στη διάταξη της λίστας: διαχωριστικό «,», υποδιαστολή «.»"));
    add("kept: the lines before a failing record, in the layout", keep, "P;1000;2000;5,5\r\nQ;x;0;1\r\n", kFailed,
        "P;" + kWorkedComma + ";5,500\r\n",
        said("Διαβάστηκαν 1 σημείο: διαχωριστικό «;», υποδιαστολή «,»") +
            said("Γράφτηκε στη διάταξη της λίστας: διαχωριστικό «;», υποδιαστολή «,»") +
            failed("εγγραφή 2, γραμμή 2", "Χ = «x» δεν είναι αριθμός"));

    // Names that name no sheet: the nearest names, by their letters or
    // their Latin spelling; names that are not UTF-8 are refused as such.
    const QStringList to = {"--from", "40.51,-0.51", "--point", "0,0", "--to"};
    add("a doubled letter", to + QStringList{"Λαρισσα"}, {}, kUsage, "",
        seeHelp("--to «Λαρισσα»: κανένα φύλλο δεν έχει αυτό το όνομα· τα πλησιέστερα ονόματα: Λάρισα (184)"));
    add("Latin letters", to + QStringList{"Larisa"}, {}, kUsage, "",
        seeHelp("--to «Larisa»: κανένα φύλλο δεν έχει αυτό το όνομα· τα πλησιέστερα ονόματα: Λάρισα (184)"));
    add("th and ch of the Latin spelling", to + QStringList{"Thessaloniki"}, {}, kUsage, "",
        seeHelp("--to «Thessaloniki»: κανένα φύλλο δεν έχει αυτό το όνομα· τα πλησιέστερα ονόματα: Θεσσαλονίκη (118)"));
    add("nothing near", to + QStringList{"ξξξ"}, {}, kUsage, "",
        seeHelp("--to «ξξξ»: κανένα φύλλο δεν έχει αυτό το όνομα ή αριθμό (το hattsheet-convert --sheets τα απαριθμεί)"));
    add("--sheets that matches nothing", {"--sheets", "ξξξ"}, {}, kFailed, "",
        said("κανένα φύλλο δεν έχει όνομα που περιέχει το «ξξξ» ή αυτόν τον αριθμό"));
    add("--sheets offers the nearest", {"--sheets", "Larisa"}, {}, kFailed, "",
        said("no sheet's name contains \"Larisa\", nor is it an agency number; the closest names: Λάρισα (184)"), "C");
    // The six refused sheets by the agency's numbers, as the README names them.
    for (const char* number : {"387", "235", "86", "25", "59"}) {
        add(qPrintable(QString("refused sheet %1 by its agency number").arg(number)), {"--sheets", number}, {}, 0,
            "...\tχωρίς ΕΓΣΑ87\n", "");
    }
}

void tst_ListsAndNames::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QString, lang);
    const CliRun r = runConvert(args, input, {}, {}, HATTSHEET_CONVERT, lang);
    QVERIFY2(r.ran(), r.err.constData());
    if (out.startsWith("...")) {
        QVERIFY2(r.out.endsWith(out.mid(3)), r.out.constData());
    } else {
        QCOMPARE(r.out, out);
    }
    if (!err.isEmpty() || exitCode == 0) QCOMPARE(r.err, err);
    QCOMPARE(r.exitCode, exitCode);
}

void tst_ListsAndNames::keptLayoutRoundTrip_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::newRow("; with decimal commas and a header")
        << QByteArray("Κωδικός;Χ;Υ;Η\r\nP1;1000,000;2000,000;5,000\r\n\"Σ;2\";-2345,678;1876,543;0,250\r\n");
    QTest::newRow("tabs with decimal commas, no heights") << QByteArray("A\t0,500\t-0,750\r\nB\t4000,125\t-1,000\r\n");
    QTest::newRow("spaces, decimal points") << QByteArray("A 100.000 200.000 3.000\r\nB -5.000 6.000 7.000\r\n");
}

namespace {

// A line cut into numbers (digits with "-", "." or ",") and the text between.
QList<QByteArray> tokens(const QByteArray& line)
{
    QList<QByteArray> out;
    const auto inNumber = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == ','; };
    for (qsizetype i = 0; i < line.size();) {
        qsizetype j = i;
        const bool number = inNumber(line[i]);
        while (j < line.size() && inNumber(line[j]) == number) ++j;
        out << line.mid(i, j - i);
        i = j;
    }
    return out;
}

} // namespace

// A list converted to the new sheet and back with --keep-layout is the list
// it was: the same bytes between the numbers, and every number within 1.1 mm
// (two roundings to the millimetre, and the series' round trip within 5 km
// of the centres, under 0.1 mm: README, Accuracy).
void tst_ListsAndNames::keptLayoutRoundTrip()
{
    QFETCH(QByteArray, list);
    constexpr double kRoundTripMetres = 0.0011;
    const QStringList back = {"--from", "40.45,-0.45", "--to", "40.51,-0.51", "--keep-layout", "-"};
    const CliRun there = runConvert(kDefaultCentres + QStringList{"--keep-layout", "-"}, list);
    QCOMPARE(there.exitCode, 0);
    QVERIFY(there.out != list);
    const CliRun again = runConvert(back, there.out);
    QCOMPARE(again.exitCode, 0);
    const QList<QByteArray> expected = tokens(list), got = tokens(again.out);
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i) {
        bool a = false, b = false;
        const double x = QByteArray(got[i]).replace(',', '.').toDouble(&a);
        const double y = QByteArray(expected[i]).replace(',', '.').toDouble(&b);
        if (a && b) {
            QVERIFY2(std::abs(x - y) <= kRoundTripMetres, got[i] + " for " + expected[i]);
        } else {
            QCOMPARE(got[i], expected[i]);
        }
    }
}

// A name that is not valid UTF-8 (passed by the shell: QProcess sends text)
// is a usage error that shows its bytes, before any sheet is looked for.
void tst_ListsAndNames::notUtf8_data()
{
    QTest::addColumn<QString>("bytes");  // printf's escapes
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("a Greek letter cut short after ψαχ") << "\\317\\210\\316\\261\\317\\207\\316" << QByteArray("ψαχ\\xce");
    QTest::newRow("a lone lead byte") << "\\316" << QByteArray("\\xce");
    QTest::newRow("an overlong NUL before Άθως") << "\\300\\200Άθως" << QByteArray("\\xc0\\x80Άθως");
    QTest::newRow("a lone continuation byte") << "\\200" << QByteArray("\\x80");
}

void tst_ListsAndNames::notUtf8()
{
    QFETCH(QString, bytes);
    QFETCH(QByteArray, shown);
    for (const auto& [option, before] : {std::pair{"--to", "--from 40.51,-0.51 --point 0,0"}, std::pair{"--sheets", ""}}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", "C");
        env.remove("LC_ALL");
        env.remove("LC_MESSAGES");
        p.setProcessEnvironment(env);
        const QString call = QString("exec \"$0\" %1 %2 \"$(printf '%3')\"").arg(before, option, bytes);
        p.start("/bin/sh", {"-c", call, HATTSHEET_CONVERT});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.readAllStandardError(), "hattsheet-convert: " + QByteArray(option) + " \"" + shown +
                                               "\": not valid UTF-8 text\nhattsheet-convert: see hattsheet-convert --help\n");
        QCOMPARE(p.exitCode(), kUsage);
    }
}

QTEST_APPLESS_MAIN(tst_ListsAndNames)
#include "tst_lists_and_names.moc"
