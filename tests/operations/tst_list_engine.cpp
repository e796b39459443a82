// The list engine every point list goes through (the window's batch and
// open, the command line): the layout it recognises, the records it gives
// the converter, and where and why it stops, as data; read whole, in small
// blocks and on two threads; with faults injected into its source and its
// sink. Expected values were worked out by hand from the layouts' rules.

#include "operations/list_engine.h"

#include <QTest>

#include <cerrno>
#include <cstdint>

namespace ops = hattsheet::operations;
namespace pf = hattsheet::pointfile;

namespace {

// Writes each record as "code|x|y|h;", the numbers as read; refuses X = 999
// with a reason.
class Recorder final : public ops::PointConverter {
public:
    bool appendPoint(const pf::RecordPoint& p, const pf::PointLayout&, std::string& out) const override
    {
        if (p.x == 999.0) return false;
        const auto s = [](const pf::Field& f) { return std::string(f.text); };
        out += s(p.record.code) + "|" + s(p.record.x) + "|" + s(p.record.y) + "|" + s(p.record.h) + ";";
        return true;
    }
    std::string refusalOf(const pf::RecordPoint& p) const override { return "no " + std::string(p.record.x.text); }
};

// A text given in pieces of at most `piece` bytes; the read after `failAfter`
// bytes fails with EIO.
class PieceSource final : public ops::ByteSource {
public:
    PieceSource(std::string text, std::size_t failAfter = SIZE_MAX) : m_text(std::move(text)), m_failAfter(failAfter) {}
    hattsheet::Expected<std::string_view, int> next(std::size_t most) override
    {
        if (m_pos >= m_failAfter && most > 0) return hattsheet::unexpected(EIO);
        const std::string_view piece = std::string_view(m_text).substr(m_pos, most);
        m_pos += piece.size();
        return piece;
    }

private:
    std::string m_text;
    std::size_t m_failAfter;
    std::size_t m_pos = 0;
};

const char* const kProblems[] = {"fields", "empty", "number", "cut", "offline", "ambiguous", "refused", "long"};

// A run in one line: the records converted, then "!record@line problem
// field count reason" at a stop (with "+" for a later block).
QString runOf(ops::ByteSource& source, const ops::ListOptions& options, std::string* layoutOut = nullptr)
{
    std::string out;
    const auto run = ops::convertList(source, Recorder(), options, out, [](std::string&) { return true; });
    const pf::PointLayout layout = run ? run->layout : run.error().tally.layout;
    if (layoutOut) {
        *layoutOut = std::string(1, ",;\t "[int(layout.separator)]) + (layout.decimal == pf::DecimalMark::Comma ? "," : ".") +
                     (layout.height ? "4" : "3") + (layout.header ? "h" : "");
    }
    QString got = QString::fromStdString(out);
    if (!run) {
        const ops::ListStop& s = run.error();
        got += QString("!%1@%2 %3 %4%5 %6%7")
                   .arg(s.record)
                   .arg(s.line)
                   .arg(kProblems[int(s.fault.problem)])
                   .arg(QChar(s.fault.field))
                   .arg(s.fault.count)
                   .arg(QString::fromStdString(s.refusal))
                   .arg(s.laterBlock ? "+" : "");
    } else if (run->offLine != 0) {
        got += QString("~%1@%2").arg(run->offLine).arg(run->firstOffLine);
    }
    return got;
}

ops::ListOptions whole(bool strict)
{
    ops::ListOptions o;
    o.blockBytes = SIZE_MAX;
    o.strictLines = strict;
    return o;
}

} // namespace

class tst_ListEngine : public QObject {
    Q_OBJECT
private slots:
    void layouts_data();
    void layouts();
    void stops_data();
    void stops();
    void inBlocks_data();
    void inBlocks();
    void secondThread_data();
    void secondThread();
    void faults();
};

// The layout of a whole list, and its records as the layout reads them.
void tst_ListEngine::layouts_data()
{
    QTest::addColumn<QByteArray>("text");    // as the blank-line filter leaves it
    QTest::addColumn<QString>("layout");     // separator, decimal mark, fields, "h" for a header
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* text, const char* layout, const char* expected) {
        QTest::newRow(name) << QByteArray(text) << QString(layout) << QString(expected);
    };
    row("the written layout", "A,1,2,3\r\nB, 4 ,5,\r\n", ",.4", "A|1|2|3;B|4|5|;");
    row("the written layout with a typo stays so", "A,1,2,3\r\nB,12O4.5,5,6\r\n", ",.4", "A|1|2|3;!2@2 number X0 ");
    row("comma header", "Κωδικός,Χ,Υ,Η\r\nA,1,2,3\r\n", ",.4h", "A|1|2|3;");
    row("Excel under Greek settings", "Κωδικός;Χ;Υ;Η\r\nΣ12;352104,125;4509876,5;123,45\r\n", ";,4h",
        "Σ12|352104,125|4509876,5|123,45;");
    row("semicolons, points, a quoted code", "\"A;1\";1.5;2;3\r\nB;1;2;3\r\n", ";.4", "A;1|1.5|2|3;B|1|2|3;");
    row("semicolons with a short line", "A;1;2;3\r\nB;1;2\r\nC;1;2;3\r\n", ";.4", "A|1|2|3;!2@2 fields X3 ");
    row("tabs without heights", "A\t1\t2\r\nB\t3\t4\r\n", "\t.3", "A|1|2|;B|3|4|;");
    row("runs of spaces", "A   1.5  2 3\r\nB 1 2 3\r\n", " .4", "A|1.5|2|3;B|1|2|3;");
    // Fault: a text H was copied into the comma output, commas and all.
    row("a text H in a line layout", "A 1 2 3\r\nB 1 2 ,x\r\n", " .4", "A|1|2|3;!2@2 number H0 ");
    row("spaces and decimal commas", "A 1,5 2,25 3\r\n", " ,4", "A|1,5|2,25|3;");
    row("commas without heights", "A,1,2\r\nB,3,4\r\n", ",.3", "A|1|2|;B|3|4|;");
    // Three comma fields a line with a typo: the typo's line, not the first.
    row("commas without heights, a typo on line 3", "A,1,2\r\nB,3,4\r\nC,x,6\r\nD,7,8\r\n", ",.3",
        "A|1|2|;B|3|4|;!3@3 number X0 ");
    row("a line of three among fours: across lines", "A,1,2,3\r\nB,1,2\r\nC,1,2,3\r\n", ",.4",
        "A|1|2|3;B|1|2|C;!3@3 cut X0 ");
    row("decimal commas between commas", "P1,1000,5,2000,25,100\r\n", ",.4", "!1@1 ambiguous X6 ");
    row("decimal commas, an integer part of one digit", "P1,5,125,2000,25,100\r\n", ",.4", "!1@1 ambiguous X6 ");
    row("an empty X", "A,,2,3\r\n", ",.4", "!1@1 empty X0 ");
    // Decimal commas and points mixed: one of the two readings wins (the
    // point on a tie), and the line that does not fit it is refused.
    row("decimal commas and points mixed", "A;1,5;2;3\r\nB;1.5;2;3\r\nC;1.5;2;3\r\n", ";.4", "!1@1 number X0 ");
}

void tst_ListEngine::layouts()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, layout);
    QFETCH(QString, expected);
    PieceSource source(text.toStdString());
    std::string got;
    QCOMPARE(runOf(source, whole(false), &got), expected);
    QCOMPARE(QString::fromStdString(got), layout);
}

// Where a list stops, strictly read (the command line) and as the window
// reads it; lines count the input's blank lines.
void tst_ListEngine::stops_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("strict");
    QTest::addColumn<QString>("lenient");
    const auto row = [](const char* name, const QByteArray& text, const char* strict, const char* lenient) {
        QTest::newRow(name) << text << QString(strict) << QString(lenient);
    };
    row("a line of five shifts the records", "A,1,2,3\r\nB,1,2,3,x\r\nC,1,2\r\n", "A|1|2|3;!2@2 offline X5 ",
        "A|1|2|3;B|1|2|3;!3@2 number X0 ");
    row("blank lines counted in the line", "\r\n  \r\nA,1,2,3\r\n\r\n\r\nB,,2,3\n", "A|1|2|3;!2@6 empty X0 ",
        "A|1|2|3;!2@6 empty X0 ");
    row("the byte-order mark dropped", "\xEF\xBB\xBF" "A,1,2,3\r\n", "A|1|2|3;", "A|1|2|3;");
    row("refused with the converter's reason", "A,1,2,3\r\nB,999,2,3\r\n", "A|1|2|3;!2@2 refused X0 no 999",
        "A|1|2|3;!2@2 refused X0 no 999");
    row("refused in a line layout", "A;1;2;3\r\nB;999;2;3\r\n", "A|1|2|3;!2@2 refused X0 no 999",
        "A|1|2|3;!2@2 refused X0 no 999");
    row("a quote open to the end", "A,1,2,3\r\n\"B,1,2,3\r\n", "A|1|2|3;!2@2 cut X0 ", "A|1|2|3;!2@2 cut X0 ");
    row("records across lines counted where the first starts", "A,1,2,3\r\nB,1\r\n2,3\r\nC,4,5,6\r\n",
        "A|1|2|3;!2@2 offline X2 ", "A|1|2|3;B|1|2|3;C|4|5|6;~1@2");
    // The stop is on the first line without its fields, past the header and the blank line.
    row("decimal commas between commas after a header", "Κωδικός,Χ,Υ,Η\r\n\r\nP1,1000,5,2000,25,100\r\n",
        "!1@3 ambiguous X6 ", "!1@3 ambiguous X6 ");
}

void tst_ListEngine::stops()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, strict);
    QFETCH(QString, lenient);
    PieceSource a(text.toStdString()), b(text.toStdString());
    QCOMPARE(runOf(a, whole(true), nullptr), strict);
    QCOMPARE(runOf(b, whole(false), nullptr), lenient);
}

// A list of the written layout read in blocks of 1 to 9 bytes (the command
// line's 1 MiB, small) gives what it gives whole: records that run over a
// block's end wait for the next one, a CR LF or a byte-order mark split
// between blocks is one.
void tst_ListEngine::inBlocks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("CR LF split") << QByteArray("A,1,2,3\r\nB,4,5,6\r\n\r\nC,7,8,9\r\n");
    QTest::newRow("byte-order mark and CR ends") << QByteArray("\xEF\xBB\xBF" "A,1,2,3\rB,4,5,6\r");
    QTest::newRow("quoted code across a line end") << QByteArray("\"A\r\nB\",1,2,3\r\nC,4,5,6");
    QTest::newRow("a failing record after blank lines") << QByteArray("A,1,2,3\r\n\r\n\r\nB,x,5,6\r\n");
    QTest::newRow("a refused record") << QByteArray("A,1,2,3\r\nB,999,5,6\r\n");
    QTest::newRow("cut short at the end") << QByteArray("A,1,2,3\r\nB,\"4");
}

void tst_ListEngine::inBlocks()
{
    QFETCH(QByteArray, text);
    PieceSource all(text.toStdString());
    const QString expected = runOf(all, whole(true), nullptr);
    for (std::size_t block = 1; block <= 9; ++block) {
        PieceSource source(text.toStdString());
        ops::ListOptions options;
        options.blockBytes = block;
        QString got = runOf(source, options, nullptr);
        got.remove('+');  // a stop in a later block is said so; the rest is the same
        QVERIFY2(got == expected, qPrintable(QString("blocks of %1: %2").arg(block).arg(got)));
    }
}

// A long block shared with a second thread gives what one thread gives,
// whether the middle falls between records or inside one, and wherever the
// list stops.
void tst_ListEngine::secondThread_data()
{
    QTest::addColumn<QByteArray>("text");
    QByteArray lines;
    for (int i = 0; i < 6000; ++i) lines += "P" + QByteArray::number(i) + ",1000." + QByteArray::number(i % 7) + ",2000,5\r\n";
    const int middle = lines.size() / 2;
    QTest::newRow("records between") << lines;
    QByteArray spanning = lines;
    spanning.insert(middle - 40, "\"Q\r\n\r\n\r\nQ\"");  // a quoted code over the middle line ends
    QTest::newRow("a record over the middle") << spanning;
    QByteArray late = lines;
    late.insert(middle + 200, "L,999,1,1\r\n");
    QTest::newRow("a stop in the second half") << late;
    QByteArray early = lines;
    early.insert(100, "E,x,1,1\r\n");
    QTest::newRow("a stop in the first half") << early;
}

void tst_ListEngine::secondThread()
{
    QFETCH(QByteArray, text);
    for (const bool strict : {true, false}) {
        PieceSource one(text.toStdString()), two(text.toStdString());
        ops::ListOptions options = whole(strict);
        const QString single = runOf(one, options, nullptr);
        options.secondThread = true;
        QCOMPARE(runOf(two, options, nullptr), single);
    }
}

// A read that fails after the first block, a sink that cannot write, and a
// record longer than allowed stop the run; the lines before stay.
void tst_ListEngine::faults()
{
    ops::ListOptions options;
    options.blockBytes = 10;
    PieceSource failing("A,1,2,3\r\nB,4,5,6\r\n", 10);
    std::string out;
    const auto read = ops::convertList(failing, Recorder(), options, out, [](std::string&) { return true; });
    QVERIFY(!read && read.error().cause == ops::ListStopCause::Read);
    QCOMPARE(read.error().error, EIO);
    QVERIFY(read.error().laterBlock);
    QCOMPARE(out, std::string("A|1|2|3;"));

    PieceSource first("A,1,2,3\r\n", 0);
    const auto none = ops::convertList(first, Recorder(), options, out, [](std::string&) { return true; });
    QVERIFY(!none && none.error().cause == ops::ListStopCause::Read && !none.error().laterBlock);

    options.flushBytes = 1;
    PieceSource full("A,1,2,3\r\nB,4,5,6\r\n");
    out.clear();
    const auto write = ops::convertList(full, Recorder(), options, out, [](std::string&) { return false; });
    QVERIFY(!write && write.error().cause == ops::ListStopCause::Write);
    QCOMPARE(write.error().tally.records, 1ULL);

    options.longestRecord = 12;
    options.flushBytes = SIZE_MAX;
    PieceSource longer("A,1,2,3\r\nB,1234567,2,3\r\n");
    QCOMPARE(runOf(longer, options, nullptr), QString("A|1|2|3;!2@2 long X0 +"));
    PieceSource unfinished("A,1,2,3\r\nB,123456789012345678901234567890");
    QCOMPARE(runOf(unfinished, options, nullptr), QString("A|1|2|3;!2@2 long X0 "));
    // The limit is on each record, never on where it starts in the block.
    ops::ListOptions limited = whole(true);
    limited.longestRecord = 12;
    PieceSource shortOnes("A,1,2,3\r\nB,4,5,6\r\nC,7,8,9\r\n");
    QCOMPARE(runOf(shortOnes, limited, nullptr), QString("A|1|2|3;B|4|5|6;C|7|8|9;"));
}

QTEST_APPLESS_MAIN(tst_ListEngine)
#include "tst_list_engine.moc"
