// hattsheet-convert run as a user runs it: the arguments and standard input
// of each row, and what must come back on stdout and stderr with which exit
// status (one table, one driver), long lists byte for byte as the window's
// batch; and the permissions of the files it and the window write.

#include "support/cli_run.h"
#include "support/fake_window.h"
#include "geodesy/sheet_catalogue.h"
#include "operations/window_texts.h"
#include "operations/point_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace hattsheet::testing;
using namespace hattsheet::operations;

class tst_CommandLine : public QObject {
    Q_OBJECT
private slots:
    void run_data();
    void run();
    void modes_data();
    void modes();
};

namespace {

constexpr int kFailed = 1, kRefused = 2, kUsage = 64;

const QByteArray kWorkedExample =
    "Χ = -7429.270\nΥ = 13107.462\nφ = 40° 52' 4.83982''\nΔλ = -0° 50' 17.29165''\nλ = 22° 52' 41.52335''\n";
const QByteArray kAtCentre =
    "Χ = -8431.552\nΥ = 11108.603\nφ = 40° 50' 60.00000''\nΔλ = -0° 51' 0.00000''\nλ = 22° 51' 58.81500''\n";
const QByteArray kUsageStart = "usage: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n";
// A row's expected stream ending in this is only the stream's beginning.
const QByteArray kAndMore = "...";

// A usage error: one line, and where the help is (English rows).
QByteArray usage(const QByteArray& why)
{
    return "hattsheet-convert: " + why + "\nhattsheet-convert: see hattsheet-convert --help\n";
}
QByteArray line(const QByteArray& code, const QByteArray& point, const QByteArray& h) { return code + ", " + point + ", " + h + "\r\n"; }
QByteArray offLine(unsigned long long count, unsigned long long first)
{
    return "hattsheet-convert: " + QByteArray::fromStdString(windowBook().recordsShifted(count, first)) + "\n";
}
QByteArray failedAt(int record, int inputLine, const QByteArray& why)
{
    return "hattsheet-convert: " + QByteArray(windowTexts().batchFailed) + " εγγραφή " + QByteArray::number(record) + ", γραμμή " +
           QByteArray::number(inputLine) + ": " + why + "\n";
}
const QByteArray kCutShort = "το κείμενο τελειώνει μέσα στην εγγραφή";
const QByteArray kTooLong = "η εγγραφή ξεπερνά τα 64 MiB";
const QByteArray kNoSuchFile = ". (Δεν υπάρχει τέτοιο αρχείο ή κατάλογος)\n";

// Rows run under a Greek locale; addEnglish's under LANG=C.
void addIn(const char* lang, const char* name, const QStringList& args, int exitCode, const QByteArray& out,
           const QByteArray& err, const QByteArray& input = {}, const QString& stdoutFile = {})
{
    QTest::newRow(name) << args << input << stdoutFile << exitCode << out << err << QString(lang);
}
void add(const char* name, const QStringList& args, int exitCode, const QByteArray& out, const QByteArray& err,
         const QByteArray& input = {}, const QString& stdoutFile = {})
{
    addIn("el_GR.UTF-8", name, args, exitCode, out, err, input, stdoutFile);
}
void addEnglish(const char* name, const QStringList& args, int exitCode, const QByteArray& out, const QByteArray& err,
                const QByteArray& input = {}, const QString& stdoutFile = {})
{
    addIn("C", name, args, exitCode, out, err, input, stdoutFile);
}

int modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

// Digits: the worked examples of the single-point conversion, with the
// window's default centres (old 40.51, -0.51; new 40.45, -0.45): the point
// (1000, 2000) goes to kWorked, the point (0, 0) to kOrigin. Every list row
// is built from these two points so that its lines need no other source.
// Messages: the window's texts (windowTexts()). Record and line numbers: counted by
// hand in each row's input, blank lines included.
void tst_CommandLine::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");      // standard input
    QTest::addColumn<QString>("stdoutFile");    // where stdout goes instead of the test, if anywhere
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");        // stdout, exactly or up to "..."
    QTest::addColumn<QByteArray>("err");        // stderr, exactly or up to "..."
    QTest::addColumn<QString>("lang");          // LANG of the run
    const QStringList c = kDefaultCentres;
    const QStringList list = c + QStringList{"-"};
    const QByteArray worked = line("P", kWorked, "5.000"), origin = line("Q", kOrigin, "7.000");

    // One point.
    add("worked example", c + QStringList{"--point", "1000,2000"}, 0, kWorkedExample, "");
    add("equals signs", {"--from=40.51,-0.51", "--to=40.45,-0.45", "--point=1000,2000"}, 0, kWorkedExample, "");
    add("spaces around and an exponent, as a field takes them",
        {"--from", " 40.51 , -0.51 ", "--to", "40.45,-0.45", "--point", "1e3,2000"}, 0, kWorkedExample, "");
    add("at the centre, a hair below a whole minute", c + QStringList{"--point", "0.000,0.000"}, 0, kAtCentre, "");
    add("east of Athens, negative X after --point",
        {"--from", "38.15,1.45", "--to", "38.45,1.15", "--point", "-12345.678,9876.543"}, 0,
        "Χ = 31362.630\nΥ = -45568.618\nφ = 38° 20' 20.04305''\nΔλ = 1° 36' 31.57684''\nλ = 25° 19' 30.39184''\n",
        "");
    addEnglish("help", {"-h"}, 0, kUsageStart + kAndMore, "");
    add("help in Greek", {"--help"}, 0, "χρήση: hattsheet-convert --from CENTRE --to CENTRE --point X,Y\n" + kAndMore, "");
    addIn("el", "Greek without a territory", c + QStringList{"--pont"}, kUsage, "",
          "hattsheet-convert: άγνωστη επιλογή «--pont»\nhattsheet-convert: δείτε hattsheet-convert --help\n");
    addIn("ell_GR.UTF-8", "a language other than Greek", c + QStringList{"--pont"}, kUsage, "", usage("unknown option \"--pont\""));
    add("version", {"--version"}, 0, "hattsheet-convert " + kAndMore, "");
    if (QFile::exists("/dev/full")) {
        add("stdout is /dev/full", c + QStringList{"--point", "1000,2000"}, kFailed, "",
            "hattsheet-convert: Δεν ήταν δυνατή η εγγραφή του αρχείου «-». (Δεν υπάρχει χώρος στη συσκευή)\n", {},
            "/dev/full");
    }
    // Refusals: the --from centre is checked completely before --to.
    add("new latitude 43", {"--from", "40.51,-0.51", "--to", "43,-0.45", "--point", "0,0"}, kRefused, "",
        "hattsheet-convert: Λάθος στο Φ. (--to 43: από 34° έως 42°)\n");
    add("old longitude before new latitude", {"--from", "40.51,5.01", "--to", "43.00,-0.45", "--point", "0,0"},
        kRefused, "", "hattsheet-convert: Λάθος στο Δλ. (--from 5.01: από -4°30' έως 5° από την Αθήνα)\n");
    addEnglish("old latitude in English", {"--from", "33.59,-0.51", "--to", "40.45,-0.45", "-"}, kRefused, "",
               "hattsheet-convert: latitude refused (--from 33.59: from 34° to 42°)\n");
    add("X overflows the series", c + QStringList{"--point", "1e100,0"}, kRefused, "",
        "hattsheet-convert: " + QByteArray("Λάθος στις συντεταγμένες.") + "\n");
    // Decimal degrees typed where degrees.minutes are read: 75 minutes.
    add("minutes of 60 or more are said", {"--from", "40.75,-0.51", "--to", "40.45,-0.45", "--point", "0,0"}, 0,
        kAndMore, "hattsheet-convert: Προειδοποίηση: Το 40.75 διαβάστηκε ως 41° 15' (μοίρες.λεπτά, με 60 λεπτά ή "
                  "περισσότερα)\n");
    add("59 minutes are not", {"--from", "40.59,-0.51", "--to", "40.45,-0.45", "--point", "0,0"}, 0, kAndMore, "");

    // Usage errors: nothing on stdout, the text named. A centre or point
    // must pass the window's field test on each side of exactly one comma.
    addEnglish("no --to", {"--from", "40.51,-0.51", "--point", "0,0"}, kUsage, "", usage("--from and --to are both needed"));
    addEnglish("point without comma", c + QStringList{"--point", "1000"}, kUsage, "",
        usage("--point \"1000\": write X,Y, two numbers and one comma"));
    addEnglish("three numbers as a point", c + QStringList{"--point", "1,5,2000"}, kUsage, "",
        usage("--point \"1,5,2000\": write X,Y, two numbers and one comma"));
    addEnglish("text as X", c + QStringList{"--point", "abc,2000"}, kUsage, "",
        usage("--point \"abc,2000\": \"abc\" is not a number"));
    addEnglish("number beyond a double in --to", {"--from", "40.51,-0.51", "--to", "1E999,-0.45", "-"}, kUsage, "",
        usage("--to \"1E999,-0.45\": \"1E999\" is not a number"));
    addEnglish("--from given twice", c + QStringList{"--from", "40.45,-0.45", "--point", "0,0"}, kUsage, "",
        usage("--from given twice"));
    addEnglish("unknown option", c + QStringList{"--pont", "0,0"}, kUsage, "", usage("unknown option \"--pont\""));
    addEnglish("-x is an option, not a file", c + QStringList{"-x"}, kUsage, "", usage("unknown option \"-x\""));
    addEnglish("two INPUTs", c + QStringList{"a.txt", "b.txt"}, kUsage, "",
        usage("only one INPUT may be given, \"b.txt\" is a second one"));
    addEnglish("value missing at the end", c + QStringList{"--point"}, kUsage, "",
        usage("missing value after \"--point\""));
    addEnglish("--sheets with a centre", {"--sheets", "--from", "40.51,-0.51"}, kUsage, "",
        usage("--sheets takes only a TEXT"));
    addEnglish("point and input file", c + QStringList{"--point", "0,0", "list.txt"}, kUsage, "",
        usage("--point takes no INPUT or -o"));
    // An empty name (IN='' in a script) would have meant stdin or stdout
    // and turned an OUTPUT file into nothing.
    const QByteArray noInput = usage("INPUT is an empty name; write - for stdin");
    const QByteArray noOutput = usage("OUTPUT is an empty name; write - for stdout");
    addEnglish("empty INPUT", c + QStringList{"", "-o", "kept.txt"}, kUsage, "", noInput);
    addEnglish("empty -o", list + QStringList{"-o", ""}, kUsage, "", noOutput);
    addEnglish("empty -o=", list + QStringList{"-o="}, kUsage, "", noOutput);
    addEnglish("empty --output=", list + QStringList{"--output="}, kUsage, "", noOutput);
    addEnglish("control characters of an argument shown escaped", c + QStringList{"--point", "1\x1b[2J\n\u009b,2"}, kUsage, "",
        usage("--point \"1\\x1b[2J\\n\\u009b,2\": \"1\\x1b[2J\\n\\u009b\" is not a number"));
    // Bidirectional controls would show the name reordered (U+202E turns
    // "txt.exe" around), a C1 control could start a terminal sequence; the
    // other format characters and separators draw nothing or break the line.
    add("format characters and separators of a file name shown escaped",
        c + QStringList{"a\u202Ebc\u2066\u2069\u009b\u2028\u2029\u200E\u200F\u061C\uFEFF\U000E0041.txt"}, kFailed, "",
        "hattsheet-convert: Δεν ήταν δυνατή η ανάγνωση του αρχείου «a\\u202ebc\\u2066\\u2069\\u009b\\u2028\\u2029"
        "\\u200e\\u200f\\u061c\\ufeff\\U000e0041.txt»" + kNoSuchFile);
    // A name of 80 characters and more: its start and its end (text/shown_text.h).
    const QString deep = "/nonexistent/" + QString(100, QChar(u'δ')) + "/λίστα.txt";
    add("a long file name shown by its start and its end", c + QStringList{deep}, kFailed, "",
        "hattsheet-convert: Δεν ήταν δυνατή η ανάγνωση του αρχείου «/nonexistent/" + QString(19, QChar(u'δ')).toUtf8() +
            "…" + QString(53, QChar(u'δ')).toUtf8() + "/λίστα.txt»" + kNoSuchFile);
    add("-- ends the options", c + QStringList{"--", "-missing.txt"}, kFailed, "",
        "hattsheet-convert: Δεν ήταν δυνατή η ανάγνωση του αρχείου «-missing.txt»" + kNoSuchFile);
    addEnglish("a missing file in English", c + QStringList{"missing.txt"}, kFailed, "",
               "hattsheet-convert: cannot read \"missing.txt\". (No such file or directory)\n");
    add("control characters of a file name shown escaped", c + QStringList{"Α\nno\x1b]0;x\x07\x7f.txt"}, kFailed, "",
        "hattsheet-convert: Δεν ήταν δυνατή η ανάγνωση του αρχείου «Α\\nno\\x1b]0;x\\x07\\x7f.txt»" + kNoSuchFile);

    // Point lists: the window's record stream, byte for byte, with one
    // warning when records do not sit one per line.
    add("empty input", list, 0, "", "");
    add("-o /dev/stderr", list + QStringList{"-o", "/dev/stderr"}, 0, "", worked, "P, 1000, 2000, 5\r\n");
    add("-o into a missing folder names the file", list + QStringList{"-o", "/nonexistent/b.txt"}, kFailed, "",
        "hattsheet-convert: Δεν ήταν δυνατή η εγγραφή του αρχείου «/nonexistent/b.txt»" + kNoSuchFile,
        "P, 1000, 2000, 5\r\n");
    add("text H is kept as it is", list, 0, line("C", kOrigin, "n/a"), "", "C, 0, 0, n/a\r\n");
    add("refused centre converts nothing", {"--from", "40.51,-0.51", "--to", "42.01,-0.45", "-"}, kRefused, "",
        "hattsheet-convert: Λάθος στο Φ. (--to 42.01: από 34° έως 42°)\n", "P1, 1000, 2000, 5\n");
    // Records across lines fail, unless --records-across-lines asks for the
    // window's reading; decimal commas between commas fail either way.
    const QStringList across = list + QStringList{"--records-across-lines"};
    // The first number's integer part of one digit ("5,125") counts too.
    add("numeric codes with decimal commas", across, kFailed, "",
        failedAt(1, 1, "6 πεδία χωρισμένα με κόμμα· αν το κόμμα είναι υποδιαστολή, χωρίστε τα πεδία με «;» ή γράψτε "
                       "τους αριθμούς με τελεία"),
        "1,5,125,2000,2,0\n0,7,3,1000,2000,9\n");
    add("a line of three, then five, after a blank line", across, 0, worked + origin + line("R", kWorked, "9.000"),
        offLine(2, 3), "P, 1000, 2000, 5\r\n\r\nQ, 0, 0\r\n7, R, 1000, 2000, 9\r\n");
    add("a line of three fails without the option", list, kFailed, worked,
        failedAt(2, 3, "η εγγραφή δεν βρίσκεται μόνη σε μία γραμμή (γραμμή με 3 πεδία· κάθε γραμμή θέλει 4, ή 3 σε "
                       "όλες) (το --records-across-lines τη διαβάζει όπως το παράθυρο)"),
        "P, 1000, 2000, 5\r\n\r\nQ, 0, 0\r\n7, R, 1000, 2000, 9\r\n");
    add("one field a line", across, 0, worked,
        "hattsheet-convert: Προειδοποίηση: 1 εγγραφή δεν βρίσκεται μόνη σε μία γραμμή· αρχίζει στη γραμμή 1 "
        "(δεκαδικό κόμμα ή γραμμή χωρίς τέσσερα πεδία;).\n",
        "P\n1000\n2000\n5\n");
    // A field of 4 MiB is quoted by its first 40 characters (it made a 4 MiB line).
    add("a huge X quoted by its start", list, kFailed, worked,
        failedAt(2, 2, "Χ = «" + QByteArray(39, '9') + "x…» δεν είναι αριθμός"),
        "P, 1000, 2000, 5\r\nQ, " + QByteArray(39, '9') + QByteArray(4 << 20, 'x') + ", 0, 7\r\n");
    add("blank lines first count as lines", list, kFailed, worked, failedAt(2, 4, "Χ = «x» δεν είναι αριθμός"),
        "\r\n\r\nP, 1000, 2000, 5\r\nQ, x, 0, 7\r\n");
    add("an empty X is no 0", list, kFailed, worked, failedAt(2, 2, "το Χ είναι κενό"), "P, 1000, 2000, 5\r\nC,,2,3\r\n");
    add("a shifted record, then a failing one", across, kFailed, worked, offLine(1, 1) + failedAt(2, 1, kCutShort),
        "P, 1000, 2000, 5, Q, 0\r\n");
    // Each layout, as the comma layout's worked example.
    add("semicolons, decimal commas, a header", list, 0, line("\xD3" "12", kWorked, "123.450"),
        "hattsheet-convert: Διαβάστηκαν 1 σημείο: διαχωριστικό «;», υποδιαστολή «,», γραμμή επικεφαλίδας\n",
        "\xCA\xF9\xE4\xE9\xEA\xFC\xF2;\xD7;\xD5;\xC7\r\n\xD3\x31\x32;1000,0;2000;123,45\r\n");
    addEnglish("tabs, decimal points, in English", list, 0, worked + worked,
               "hattsheet-convert: Read 2 points: separator tab, decimal mark \".\"\n",
               "P\t1000\t2000\t5\nP\t1000.000\t2000.0\t5\n\n");
    add("spaces, no height", list, 0, "P, " + kWorked + "\r\nQ, " + kOrigin + "\r\n",
        "hattsheet-convert: Διαβάστηκαν 2 σημεία: διαχωριστικό κενά, υποδιαστολή «.», χωρίς υψόμετρο\n",
        "P   1000.0  2000\nQ 0 0\n");
    add("a refused line of a layout names its line", list, kFailed, worked,
        "hattsheet-convert: Διαβάστηκαν 1 σημείο: διαχωριστικό «;», υποδιαστολή «.»\n" +
            failedAt(2, 3, "Υ = «12O4.5» δεν είναι αριθμός"),
        "P;1000;2000;5\n\nQ;0;12O4.5;7\n");
    // The layout is decided by the first 1 MiB block: a later line that
    // does not fit it fails, with its line, never read some other way.
    const QByteArray semicolons = QByteArray("P;1000;2000;5\n").repeated(80000);
    const QByteArray fromFirstMiB = " (η διάταξη αναγνωρίστηκε από το πρώτο MiB της λίστας)";
    add("past the first MiB a decimal comma among decimal points", list, kFailed, worked.repeated(80000),
        "hattsheet-convert: Διαβάστηκαν 80000 σημεία: διαχωριστικό «;», υποδιαστολή «.»\n" +
            failedAt(80001, 80002, "Χ = «1000,5» δεν είναι αριθμός" + fromFirstMiB),
        semicolons + "\nQ;1000,5;2000;5\n");
    addEnglish("past the first MiB a line without its height", list, kFailed, worked.repeated(80000),
               "hattsheet-convert: Read 80000 points: separator \";\", decimal mark \".\"\n"
               "hattsheet-convert: error in the list: record 80001, line 80001: 3 fields instead of 4 (the layout was "
               "recognised from the first MiB of the list)\n",
               semicolons + "Q;0;0\n");
    add("past the first MiB semicolons among commas", list, kFailed, worked.repeated(75000),
        failedAt(75001, 75001, "η εγγραφή δεν βρίσκεται μόνη σε μία γραμμή (γραμμή με 1 πεδία· κάθε γραμμή θέλει 4, ή 3 "
                               "σε όλες) (το --records-across-lines τη διαβάζει όπως το παράθυρο)"),
        QByteArray("P,1000,2000,5\n").repeated(75000) + "Q;0;0;7\nR,0,0,7\n");
    // More than one 1 MiB block and two threads: the count and the line
    // hold across both.
    add("shifted records all through 1.5 MB", across, 0,
        (line("P", kWorked, "5.000") + line("Q", kOrigin, "7.000")).repeated(60000),
        offLine(120000, 1), QByteArray("P, 1000, 2000, 5, Q, 0\r\n0, 7\r\n").repeated(60000));
    add("one record a line for 1.3 MB, a shifted one, a failing one", across, kFailed,
        worked.repeated(70000) + origin, offLine(1, 70001) + failedAt(70002, 70003, kCutShort),
        QByteArray("P, 1000, 2000, 5\r\n").repeated(70000) + "Q, 0, 0\r\n7\r\nR\r\n");

    // A record of more than 64 MiB (no separator) fails with its place, after
    // the lines before it: memory does not run out.
    add("/dev/zero", c + QStringList{"/dev/zero"}, kFailed, "",
        failedAt(1, 1, kTooLong));
    add("a 70 MB code on line 3 of a pipe", list, kFailed, line("A", kWorked, "5.000"),
        failedAt(2, 3, kTooLong),
        "A, 1000, 2000, 5\r\n\r\nB" + QByteArray(70 << 20, 'x') + ", 0, 0, 7\r\n");
    // The limit is exact: a record's text from its first byte to its line end.
    const QByteArray rest = ", 0, 0, 7\r\n";
    add("a record of 64 MiB converts", list, 0, "B" + QByteArray(100, 'x') + kAndMore, "",
        "B" + QByteArray((64 << 20) - 1 - rest.size(), 'x') + rest);
    add("a record of 64 MiB and one byte fails", list, kFailed, "", failedAt(1, 1, kTooLong),
        "B" + QByteArray((64 << 20) - rest.size(), 'x') + rest);
    add("a 60 MB code still converts", list, 0, line("B" + QByteArray(60 << 20, 'x'), kOrigin, "7.000"), "",
        "B" + QByteArray(60 << 20, 'x') + ", 0, 0, 7\r\n");

    // Lists are read by 1 MiB blocks, and one of over 64 KiB is converted in
    // two halves on two threads, the second from the first line start after
    // the middle: the joined output must be the window's panel 2 for the same
    // list (its batch operation), a failing record named as a single pass
    // names it, wherever it lies.
    const auto asBatch = [&](const char* name, const QByteArray& in, const QByteArray& err) {
        QTemporaryDir dir;
        const BatchRun batch = runBatch(in.toStdString(), {dir.path().toStdString(), dir.path().toStdString()});
        const bool done = batch.messages.at(0).text.starts_with(windowTexts().batchDone);
        add(name, across, done ? 0 : kFailed, QByteArray::fromStdString(batch.panel2), err, in);
    };
    constexpr int kLines = 4000;  // 30 bytes a line: 120 kB, one block, two halves
    const struct {
        const char* name;
        QList<int> bad;  // 1-based lines whose X overflows the series; the first one counts
        int shortLine;   // 1-based line with three fields (records spread from there), 0: none
    } halves[] = {{"halves: every record converts", {}, 0},
                  {"halves: failing record on the last line of the first half", {kLines / 2 + 1}, 0},
                  {"halves: failing record on the first line of the second half", {kLines / 2 + 2}, 0},
                  {"halves: failing records in both", {1500, 3500}, 0},
                  {"halves: records spread over the middle line start", {}, 10}};
    for (const auto& h : halves) {
        QByteArray in;
        for (int i = 1; i <= kLines; ++i) {
            const QByteArray x = h.bad.contains(i) ? "1e300" : QByteArray::number(1000 + i % 997) + ".250";
            in += "P" + QByteArray::number(100000 + i) + ", " + x + ", " + QByteArray::number(2000 + i % 991) + ".5";
            in += i == h.shortLine ? "\r\n" : i == kLines && h.shortLine ? ", 5, 6\r\n" : ", 5\r\n";
        }
        // A spread record warns once, counting every record from it on.
        const int bad = h.bad.value(0);
        asBatch(h.name, in,
                bad ? failedAt(bad, bad, "οι συντεταγμένες δεν μετατρέπονται")
                    : h.shortLine ? offLine(kLines - h.shortLine + 1, h.shortLine) : "");
    }
    // A quoted code holding a line end: its second line starts no record.
    QByteArray quoted, crOnly, shortAtEnd, blocks;
    for (int i = 0; i < 6000; ++i) {
        quoted += "\"Q" + QByteArray::number(i) + "\r\nX\", 100, 200, 5\r\n";
        crOnly += "C" + QByteArray::number(i) + ", 100, 200, 5\r";
        shortAtEnd += "S" + QByteArray::number(i) + ", 100, 200, 5\n";
    }
    // Three blocks and more, a CR LF split at every block boundary.
    constexpr int kBlock = 1 << 20;
    for (int n = 0; blocks.size() < 3 * kBlock + 100; ++n) {
        QByteArray line = "P" + QByteArray::number(n) + ", 12345.678, -2345.678, 12.500";
        const qsizetype room = (kBlock - blocks.size() % kBlock) - 1;
        if (room > line.size() && room < line.size() + 2) line += ' ';
        blocks += line + (n % 3 == 2 ? "\n" : "\r\n");
    }
    asBatch("quoted codes spanning two lines", quoted, offLine(6000, 1));
    asBatch("CR line ends only", crOnly, "");
    asBatch("last record cut short", shortAtEnd + "S, 1, 2\n", failedAt(6001, 6001, kCutShort));
    asBatch("CR LF split at block boundaries", blocks, "");

    // Sheets by name and the Greek Grid. Digits: at the centre 40.15, 0.15
    // the polynomial of its sheets is A0 = 497146.35, B0 = 4455299.91 plus
    // its terms (tst_sheets: (10, 10) by hand); the geodetic lines are those
    // of the Hatt conversion. Messages: the books (message_book.h).
    const QByteArray atAthos = "φ = 40° 14' 60.00000''\nΔλ = 0° 15' 0.00000''\nλ = 23° 57' 58.81500''\n";
    const QByteArray tenTen = "φ = 40° 15' 0.32424''\nΔλ = 0° 15' 0.42317''\nλ = 23° 57' 59.23817''\n";
    add("a name as --from gives its centre", {"--from", "ΑΘΩΣ", "--to", "40.15,0.15", "--point", "0,0"}, 0,
        "Χ = 0.000\nΥ = 0.000\n" + atAthos, "");
    add("an agency number as --to", {"--from", "40.15,0.15", "--to", "20", "--point", "0,0"}, 0,
        "Χ = 0.000\nΥ = 0.000\n" + atAthos, "");
    add("to egsa87, Greek capitals any case", {"--from", "40.15,0.15", "--to", "εγσα87", "--point", "10,10"}, 0,
        "Χ = 497156.350\nΥ = 4455309.902\n" + tenTen + "Φύλλο = Καρυαί\n", "");
    add("from EGSA87, a list", {"--from", "EGSA87", "--to", "40.15,0.15"}, 0,
        line("P1", "10.000, 10.000", "5.000") + line("P2", "0.000, 0.000", "6.000"), "",
        "P1, 497156.350, 4455309.902, 5\r\nP2, 497146.35, 4455299.91, 6\r\n");
    add("named sheet, point far outside its outline: one warning",
        {"--from", "Άθως", "--to", "egsa87", "--point", "0,0"}, 0,
        "Χ = 497146.350\nΥ = 4455299.910\n" + atAthos + "Φύλλο = Άθως\n",
        "hattsheet-convert: Προειδοποίηση: 1 σημείο απέχει πάνω από 1 km από το περίγραμμα του φύλλου «Άθως» (ΟΚΧΕ 20)· "
        "εκεί ισχύει το πολυώνυμο άλλου φύλλου.\n");
    add("list to egsa87 stops at a point off every sheet", {"--from", "40.15,0.15", "--to", "egsa87"}, kFailed,
        line("P1", "497156.350, 4455309.902", "5.000"),
        failedAt(2, 2, QByteArray::fromStdString(windowBook().offSheets("40.15", "0.15"))),
        "P1, 10, 10, 5\r\nP2, 0, -900000, 6\r\n");
    add("one point off every sheet", {"--from", "40.15,0.15", "--to", "egsa87", "--point", "0,-900000"}, kRefused, "",
        "hattsheet-convert: " + QByteArray::fromStdString(windowBook().offSheets("40.15", "0.15")) + "\n");
    // Ανατολ.Ύδρα's slanted south edge: the point lies 46 m south of it (tst_egsa87's outline rows).
    add("a point just off a slanted edge", {"--from", "37.15,-0.15", "--to", "egsa87", "--point", "13290,-111"},
        kRefused, "", "hattsheet-convert: " + QByteArray::fromStdString(windowBook().offSheets("37.15", "-0.15")) + "\n");
    add("no sheet on the centre", {"--from", "egsa87", "--to", "40.51,-0.51", "--point", "400000,4500000"}, kRefused,
        "", "hattsheet-convert: " + QByteArray::fromStdString(windowBook().noSheetOnCentre("40.51", "-0.51")) + "\n");
    add("an inconsistent sheet named", {"--from", "Γύθειον", "--to", "egsa87", "-"}, kRefused, "",
        "hattsheet-convert: " + QByteArray::fromStdString(windowBook().defectiveSheet(*hattsheet::geodesy::sheetById(88))) + "\n");
    // The same refusals and warnings in English, the Grid named EGSA87.
    addEnglish("one point off every sheet, in English", {"--from", "40.15,0.15", "--to", "egsa87", "--point", "0,-900000"},
               kRefused, "", "hattsheet-convert: the point lies on no 1:50,000 sheet of the centre 40.15,0.15.\n");
    addEnglish("a list off every sheet, in English", {"--from", "40.15,0.15", "--to", "egsa87"}, kFailed,
               line("P1", "497156.350, 4455309.902", "5.000"),
               "hattsheet-convert: error in the list: record 2, line 2: the point lies on no 1:50,000 sheet of the "
               "centre 40.15,0.15.\n",
               "P1, 10, 10, 5\r\nP2, 0, -900000, 6\r\n");
    addEnglish("no sheet on the centre, in English", {"--from", "egsa87", "--to", "40.51,-0.51", "--point", "0,0"},
               kRefused, "", "hattsheet-convert: no 1:50,000 sheet has the centre 40.51,-0.51 (EGSA87 needs a sheet's centre).\n");
    addEnglish("an inconsistent sheet named, in English", {"--from", "Γύθειον", "--to", "egsa87", "-"}, kRefused, "",
               "hattsheet-convert: the EGSA87 polynomial of the sheet \"Γύθειον\" (agency no. 86) is not used: its "
               "coefficient A2 differs from those of the sheets on the same centre (errors up to 150-253 m).\n");
    addEnglish("390's refused centre names the sheet, in English", {"--from", "36.15,5.45", "--to", "egsa87", "-"},
               kRefused, "",
               "hattsheet-convert: the EGSA87 polynomial of the sheet \"Ν.Μεγίστη\" (agency no. 387) is not used: its "
               "constant terms A0, B0 lie 270 km and 11 km from where its centre falls in EGSA87, and its centre "
               "(5°45' from Athens) is outside the accepted centres.\n");
    addEnglish("named sheet far outside, a list, in English", {"--from", "Άθως", "--to", "egsa87", "-"}, 0,
               line("P1", "497146.350, 4455299.910", "5.000").repeated(2),
               "hattsheet-convert: warning: 2 points lie more than 1 km outside the outline of the sheet \"Άθως\" "
               "(agency no. 20); another sheet's polynomial holds there.\n",
               "P1, 0, 0, 5\r\nP1, 0, 0, 5\r\n");
    add("a Grid side's refused centre names its option", {"--from", "egsa87", "--to", "40.15,6", "--point", "0,0"},
        kRefused, "", "hattsheet-convert: Λάθος στο Δλ. (--to 6: από -4°30' έως 5° από την Αθήνα)\n");
    addEnglish("minutes of 60 or more, in English", {"--from", "40.51,-0.75", "--to", "40.45,-0.45", "--point", "0,0"}, 0,
               kAndMore, "hattsheet-convert: warning: -0.75 was read as -1° 15' (degrees.minutes, with 60 minutes or more)\n");
    addEnglish("egsa87 both ways", {"--from", "egsa87", "--to", "ΕΓΣΑ87", "-"}, kUsage, "", usage(QByteArray("--from and --to cannot both be egsa87")));
    addEnglish("unknown sheet", {"--from", "Ατλαντίς", "--to", "egsa87", "-"}, kUsage, "",
        usage("--from \"Ατλαντίς\": no sheet has this name or agency number (hattsheet-convert --sheets lists them)"));
    add("ambiguous sheet in Greek", {"--from", "40.15,0.15", "--to", "αργο", "-"}, kUsage, "",
        "hattsheet-convert: --to «αργο»: ταιριάζει σε πολλά φύλλα: Άργος (48), Άργος-Ορεστικόν (49), Αργοστόλιον (50)\n"
        "hattsheet-convert: δείτε hattsheet-convert --help\n");
    addEnglish("ambiguous sheet", {"--from", "40.15,0.15", "--to", "αργο", "-"}, kUsage, "",
        usage("--to \"αργο\" names several sheets: Άργος (48), Άργος-Ορεστικόν (49), Αργοστόλιον (50)"));
    add("--sheets TEXT", {"--sheets", "πλατυ"}, 0,
        "Πλατύ\t303\t40.45,-1.15\tΕΓΣΑ87\nΠλατύκαμπος\t304\t39.45,-1.15\tΕΓΣΑ87\n", "");
    add("--sheets=TEXT of an inconsistent sheet", {"--sheets=Νέα-Μανολάς"}, 0,
        "Νέα-Μανολάς\t235\t38.15,-2.15\tχωρίς ΕΓΣΑ87\n", "");
    // An English run printed the Greek labels on every row.
    addEnglish("--sheets labels in English", {"--sheets", "μανολ"}, 0,
        "Νέα-Μανολάς\t235\t38.15,-2.15\twithout EGSA87\n", "");
}

void tst_CommandLine::run()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, stdoutFile);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QString, lang);
    const CliRun r = runConvert(args, input, stdoutFile, {}, HATTSHEET_CONVERT, lang);
    QVERIFY2(r.ran(), r.err.constData());
    for (const auto& [stream, actual, expected] : {std::tuple{"stderr", r.err, err}, std::tuple{"stdout", r.out, out}}) {
        const bool start = expected.endsWith(kAndMore);  // only the stream's beginning; some rows hold megabytes
        QVERIFY2(start ? actual.startsWith(expected.chopped(kAndMore.size())) : actual == expected,
                 stream + ("\n  actual:   " + actual.left(300) + "\n  expected: " + expected.left(300)));
    }
    QCOMPARE(r.exitCode, exitCode);
}

// A new file gets 0666 less the umask, as from any editor; a replaced file
// keeps the permissions its owner gave it. (The window's save commits through
// the same writer.)
void tst_CommandLine::modes_data()
{
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("oldMode");  // -1: no file before
    QTest::addColumn<int>("expected");
    QTest::newRow("new file, umask 022") << 022 << -1 << 0644;
    QTest::newRow("new file, umask 077") << 077 << -1 << 0600;
    QTest::newRow("replaced 0600 file stays 0600") << 022 << 0600 << 0600;
    QTest::newRow("replaced 0664 file stays 0664 under umask 077") << 077 << 0664 << 0664;
}

void tst_CommandLine::modes()
{
    QFETCH(int, umask);
    QFETCH(int, oldMode);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt"), out = dir.filePath("out.txt");
    for (const QString& p : {in, out}) {
        if (p != in && oldMode < 0) continue;
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("P, 1000, 2000, 5\r\n") > 0);
        f.close();
        QVERIFY(p == in || ::chmod(QFile::encodeName(p).constData(), mode_t(oldMode)) == 0);
    }
    const CliRun r = runConvert(kDefaultCentres + QStringList{in, "-o", out}, {}, {}, [umask] { ::umask(mode_t(umask)); });
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(modeOf(out), expected);
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_command_line.moc"
