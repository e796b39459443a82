// The pure parts of the point files: the field reader (whole and in pieces)
// and the blank-line filter. Expected records were worked
// out by hand from the format's rules.

#include "pointfile/record_reader.h"
#include "pointfile/point_line_writer.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/blank_line_filter.h"
#include "pointfile/layout_reader.h"
#include "base/safe_file.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>


using namespace hattsheet::pointfile;

class tst_FieldReader : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void blankLines_data();
    void blankLines();
    void layouts_data();
    void layouts();
    void readsWithStdinClosed();
};

// The records of a text as "code|x|y|h" joined by ";", then "!" when the
// text ends inside a record (Truncated). Read whole, and cut at every place
// into two pieces as the streaming command line reads it: the first piece
// must answer NeedMore (never Truncated) where a record runs on.
void tst_FieldReader::reads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR, LF and CR LF end lines") << QByteArray("1,100,200,5\r2,3,4,6\n7,8,9,0\r\n")
                                                << "1|100|200|5;2|3|4|6;7|8|9|0";
    QTest::newRow("spaces around fields dropped") << QByteArray("P1   ,  1 ,2 ,3   ") << "P1|1|2|3";
    QTest::newRow("three fields take the fourth from the next line")
        << QByteArray("A,1,2\r\n3,B,4\r\n5,6\r\n") << "A|1|2|3;B|4|5|6";
    QTest::newRow("quoted code with a comma") << QByteArray("\"A,1\" , 1.5,2\r\n3\r\n") << "A,1|1.5|2|3";
    QTest::newRow("characters after a closing quote skipped")
        << QByteArray("\"A\"xyz ,1,2,\"3\"x\r\nB,4,5,6") << "A|1|2|3;B|4|5|6";
    QTest::newRow("quoted field across a line end") << QByteArray("\"A\r\nB\",1,2,3") << "A\r\nB|1|2|3";
    QTest::newRow("empty fields") << QByteArray("P, , 200, 5\r\nQ,,,\r\n") << "P||200|5;Q|||";
    QTest::newRow("blank line after the last record cuts a record short")
        << QByteArray("1,100,200,5\r\n\r\n") << "1|100|200|5;!";
    QTest::newRow("trailing comma at the very end") << QByteArray("1,2,3,") << "!";
    QTest::newRow("unterminated quote runs to the end") << QByteArray("\"A,1,2,3") << "!";
    QTest::newRow("unterminated quote in the last H") << QByteArray("A,1,2,\"3\r\n4") << "A|1|2|3\r\n4";
    QTest::newRow("closing quote is the last byte") << QByteArray("A,1,2,\"3\"") << "A|1|2|3";
}

void tst_FieldReader::reads()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    const std::string t = text.toStdString();
    const auto s = [](const Field& f) { return QString::fromStdString(std::string(f.text)); };
    for (std::size_t cut = 0; cut <= t.size() + 1; ++cut) {  // t.size() + 1: whole, at its end at once
        // The first piece views the whole text: a read past its end meets
        // the real next bytes, never a terminating zero.
        std::string_view buf(t.data(), std::min(cut, t.size()));
        bool atEnd = cut > t.size();
        QStringList got;
        for (std::size_t pos = 0; pos < buf.size() || !atEnd;) {
            PointRecord r, fast;
            double x = 0, y = 0;
            std::size_t fastPos = pos;
            const bool plain = readPlainRecord(buf, fastPos, fast, x, y);
            const ReadStatus status = readRecord(buf, pos, atEnd, r);
            // The one-pass reader, where it reads a record, reads what readRecord does.
            QVERIFY2(!plain || (status == ReadStatus::Ok && fastPos == pos && s(fast.code) + s(fast.x) + s(fast.y) + s(fast.h) ==
                                                                                 s(r.code) + s(r.x) + s(r.y) + s(r.h) &&
                                fieldNumber(r.x) == x && fieldNumber(r.y) == y),
                     qPrintable(QString("cut at %1: one pass differs").arg(cut)));
            if (status == ReadStatus::Ok) {
                QVERIFY2(pos <= buf.size(), qPrintable(QString("cut at %1: read past the piece").arg(cut)));
                got << s(r.code) + "|" + s(r.x) + "|" + s(r.y) + "|" + s(r.h);
            } else if (atEnd) {
                got << "!";
                break;
            } else {
                QVERIFY2(status == ReadStatus::NeedMore, qPrintable(QString("cut at %1").arg(cut)));
                buf = t;
                atEnd = true;
            }
        }
        QVERIFY2(got.join(";") == expected, qPrintable(QString("cut at %1: ").arg(cut) + got.join(";")));
    }
}

// Whole, and fed in pieces of 1 to 4 bytes as the command line does.
void tst_FieldReader::blankLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("numbers");  // input line of each kept line, blank lines counted
    const auto row = [](const char* name, const QByteArray& text, const char* expected, const char* numbers) {
        QTest::newRow(name) << text << QByteArray(expected) << QByteArray(numbers);
    };
    row("blank and space lines dropped", "a\r\n\r\n   \r\nb\r\n\r\n", "a\r\nb\r\n", "1 4");
    row("only the whole text is trimmed", "  a  \r\n  b  ", "a  \r\n  b\r\n", "1 2");
    row("tabs are content", "\t\r\nx", "\t\r\nx\r\n", "1 2");
    row("LF and CR end lines", "a\nb\rc", "a\r\nb\r\nc\r\n", "1 2 3");
    row("CR then LF of the next line", "a\rb\nc", "a\r\nb\r\nc\r\n", "1 2 3");
    row("CR at a piece's end, blank line after", "ab\r\r\nc", "ab\r\nc\r\n", "1 3");
    row("text starting with CR LF", "\r\n\r\nP 1\r\n", "P 1\r\n", "3");
    row("only line breaks", "\r\n\r\n\n", "", "");
}

void tst_FieldReader::blankLines()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, numbers);
    const std::string t = text.toStdString();
    QCOMPARE(QByteArray::fromStdString(dropBlankLines(t)), expected);
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        BlankLineFilter f;
        std::string out;
        QByteArrayList kept;
        const auto onLine = [&](unsigned long long n) { kept << QByteArray::number(n); };
        for (std::size_t i = 0; i < t.size(); i += piece) f.feed(std::string_view(t).substr(i, piece), out, onLine);
        f.finish(out, onLine);
        QCOMPARE(QByteArray::fromStdString(out), expected);
        QCOMPARE(kept.join(' '), numbers);
    }
}

// The layout a whole list is recognised in, and its records as the layout
// reads them ("code|x|y|h" joined by ";", "!" and the fault's line index at
// a refusal). Worked out by hand from the layouts' rules.
void tst_FieldReader::layouts_data()
{
    QTest::addColumn<QByteArray>("text");    // as the blank-line filter leaves it
    QTest::addColumn<QString>("layout");     // separator, decimal mark, fields, "h" for a header; "~" across lines, "?" ambiguous
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* text, const char* layout, const char* expected) {
        QTest::newRow(name) << QByteArray(text) << QString(layout) << QString(expected);
    };
    row("today's layout", "A,1,2,3\r\nB, 4 ,5,\r\n", ",.4", "A|1|2|3;B|4|5|");
    row("today's layout with a typo stays today's", "A,1,2,3\r\nB,12O4.5,5,6\r\n", ",.4", "A|1|2|3;!1");
    row("comma header", "Κωδικός,Χ,Υ,Η\r\nA,1,2,3\r\n", ",.4h", "A|1|2|3");
    row("Excel under Greek settings", "Κωδικός;Χ;Υ;Η\r\nΣ12;352104,125;4509876,5;123,45\r\n", ";,4h",
        "Σ12|352104,125|4509876,5|123,45");
    row("semicolons, points, a quoted code", "\"A;1\";1.5;2;3\r\nB;1;2;3\r\n", ";.4", "A;1|1.5|2|3;B|1|2|3");
    row("semicolons with a short line", "A;1;2;3\r\nB;1;2\r\nC;1;2;3\r\n", ";.4", "A|1|2|3;!1");
    row("tabs without heights", "A\t1\t2\r\nB\t3\t4\r\n", "\t.3", "A|1|2|;B|3|4|");
    row("runs of spaces", "A   1.5  2 3\r\nB 1 2 3\r\n", " .4", "A|1.5|2|3;B|1|2|3");
    // Fault: a text H was copied into the comma output, commas and all.
    row("a text H in a line layout", "A 1 2 3\r\nB 1 2 ,x\r\n", " .4", "A|1|2|3;!1");
    row("spaces and decimal commas", "A 1,5 2,25 3\r\n", " ,4", "A|1,5|2,25|3");
    row("commas without heights", "A,1,2\r\nB,3,4\r\n", ",.3", "A|1|2|;B|3|4|");
    row("a line of three among fours: across lines", "A,1,2,3\r\nB,1,2\r\nC,1,2,3\r\n", ",.4~", "A|1|2|3;B|1|2|C;!2");
    row("decimal commas between commas", "P1,1000,5,2000,25,100\r\n", ",.4?", "!0");
    row("an empty X", "A,,2,3\r\n", ",.4", "!0");
    // Decimal commas and points mixed: one of the two readings wins (the
    // point on a tie), and the line that does not fit it is refused.
    row("decimal commas and points mixed", "A;1,5;2;3\r\nB;1.5;2;3\r\nC;1.5;2;3\r\n", ";.4", "!0");
}

void tst_FieldReader::layouts()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, layout);
    QFETCH(QString, expected);
    const std::string t = text.toStdString();
    const LayoutVerdict verdict = recogniseLayout(t);
    const PointLayout& l = verdict.layout;
    QString got = QString(QString(",;\t ").at(int(l.separator))) + (l.decimal == DecimalMark::Comma ? "," : ".") +
                  (l.height ? "4" : "3") + (l.header ? "h" : "") +
                  (verdict.fit == LayoutFit::AcrossLines ? "~" : verdict.fit == LayoutFit::Ambiguous ? "?" : "");
    QCOMPARE(got, layout);
    QCOMPARE(l.commaStream, l.separator == Separator::Comma && l.height);
    ListReader reader(t, verdict);
    QStringList records;
    PointRecord r;
    double x = 0, y = 0;
    const auto s = [](const Field& f) { return QString::fromStdString(std::string(f.text)); };
    for (ListReader::Step step; (step = reader.next(r, x, y)) != ListReader::Step::End;) {
        if (step == ListReader::Step::Fault) {
            records << "!" + QString::number(reader.lineIndex());
            break;
        }
        records << s(r.code) + "|" + s(r.x) + "|" + s(r.y) + "|" + s(r.h);
    }
    QCOMPARE(records.join(";"), expected);
}

// A window started without stdin gets descriptor 0 for the first file it
// opens: that is a file like any other, not a failure.
void tst_FieldReader::readsWithStdinClosed()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("list.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("P1, 1, 2, 3\r\n") == 13);
    file.close();
    const int saved = ::dup(0);
    ::close(0);
    const auto read = hattsheet::files::readWholeFile(file.fileName().toStdString(), 100);
    ::dup2(saved, 0);
    ::close(saved);
    QVERIFY(read && *read == "P1, 1, 2, 3\r\n");
}

QTEST_APPLESS_MAIN(tst_FieldReader)
#include "tst_field_reader.moc"
