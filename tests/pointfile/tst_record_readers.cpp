// The pure parts of the point files: the comma record readers (whole and in
// pieces) and the blank-line filter. Expected records were worked out by
// hand from the format's rules. The layouts are read by the list engine
// (tests/operations/tst_list_engine.cpp).

#include "pointfile/record_reader.h"
#include "pointfile/point_line_writer.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/blank_line_filter.h"
#include "pointfile/layout_reader.h"
#include "pointfile/layout_writer.h"
#include "base/safe_file.h"

#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>


using namespace hattsheet::pointfile;

class tst_RecordReaders : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void blankLines_data();
    void blankLines();
    void readsWithStdinClosed();
    void thousands_data();
    void thousands();
    void writtenInLayout_data();
    void writtenInLayout();
};

// The records of a text as "code|x|y|h" joined by ";", then "!" when the
// text ends inside a record (Truncated). Read whole, and cut at every place
// into two pieces as the streaming command line reads it: the first piece
// must answer NeedMore (never Truncated) where a record runs on.
void tst_RecordReaders::reads_data()
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
    // The one-pass reader and the shape of its records: digits, signs and
    // points at their limits.
    QTest::newRow("points without digits on one side") << QByteArray("A,.5,-2.,3\r\nB,.,-,3\r\n") << "A|.5|-2.|3;B|.|-|3";
    QTest::newRow("fifteen, sixteen and seventeen digits")
        << QByteArray("A,12345678901234.5,-1,0\r\nB,1234567890123456,2,3\r\nC,98765432109876543,2,3\r\n")
        << "A|12345678901234.5|-1|0;B|1234567890123456|2|3;C|98765432109876543|2|3";
    QTest::newRow("a space before the comma after X") << QByteArray("A, 1 ,2,3\r\n") << "A|1|2|3";
}

void tst_RecordReaders::reads()
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
            std::size_t fastPos = pos, shapePos = pos;
            const auto plain = readPlainRecord(buf, fastPos);
            // The shape alone, where it tells a record, tells one the one-pass reader reads.
            QVERIFY2(!skipPlainRecord(buf, shapePos) || (plain && shapePos == fastPos),
                     qPrintable(QString("cut at %1: the shape differs").arg(cut)));
            const auto read = readRecord(buf, pos, atEnd);
            const PointRecord r = read ? *read : PointRecord{};
            // The one-pass reader, where it reads a record, reads what readRecord does.
            if (plain) {
                const PointRecord& fast = plain->record;
                QVERIFY2(read && fastPos == pos &&
                             s(fast.code) + s(fast.x) + s(fast.y) + s(fast.h) == s(r.code) + s(r.x) + s(r.y) + s(r.h) &&
                             fieldNumber(r.x) == plain->x && fieldNumber(r.y) == plain->y,
                         qPrintable(QString("cut at %1: one pass differs").arg(cut)));
            }
            if (read) {
                QVERIFY2(pos <= buf.size(), qPrintable(QString("cut at %1: read past the piece").arg(cut)));
                got << s(r.code) + "|" + s(r.x) + "|" + s(r.y) + "|" + s(r.h);
            } else if (atEnd) {
                got << "!";
                break;
            } else {
                QVERIFY2(read.error() == ReadStop::NeedMore, qPrintable(QString("cut at %1").arg(cut)));
                buf = t;
                atEnd = true;
            }
        }
        QVERIFY2(got.join(";") == expected, qPrintable(QString("cut at %1: ").arg(cut) + got.join(";")));
    }
}

// Whole, and fed in pieces of 1 to 4 bytes as the command line does.
void tst_RecordReaders::blankLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("numbers");  // input line of each kept line, blank lines counted
    const auto row = [](const char* name, const QByteArray& text, const char* expected, const char* numbers) {
        QTest::newRow(name) << text << QByteArray(expected) << QByteArray(numbers);
    };
    row("blank and space lines dropped", "a\r\n\r\n   \r\nb\r\n\r\n", "a\r\nb\r\n", "1 4");
    row("only the whole text is trimmed", "  a  \r\n  b  ", "a  \r\n  b\r\n", "1 2");
    // A spreadsheet writes ";;;" (",,,", tabs) for a formatted row left empty.
    row("a line of tabs is blank", "\t\r\nx", "x\r\n", "2");
    row("rows of separators end the list", "a;1;2;3\r\n;;;\r\n ; ;\t\r\n,,,", "a;1;2;3\r\n", "1");
    row("a row of separators inside the list", "a\r\n;;;\r\nb", "a\r\nb\r\n", "1 3");
    row("a separator beside text is content", ";a;\r\n", ";a;\r\n", "1");
    row("LF and CR end lines", "a\nb\rc", "a\r\nb\r\nc\r\n", "1 2 3");
    row("CR then LF of the next line", "a\rb\nc", "a\r\nb\r\nc\r\n", "1 2 3");
    row("CR at a piece's end, blank line after", "ab\r\r\nc", "ab\r\nc\r\n", "1 3");
    row("text starting with CR LF", "\r\n\r\nP 1\r\n", "P 1\r\n", "3");
    row("only line breaks", "\r\n\r\n\n", "", "");
}

void tst_RecordReaders::blankLines()
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

// A window started without stdin gets descriptor 0 for the first file it
// opens: that is a file like any other, not a failure.
void tst_RecordReaders::readsWithStdinClosed()
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

// Numbers as a spreadsheet formats them with grouped thousands, by hand.
void tst_RecordReaders::thousands_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("comma");     // the list's decimal mark is a comma
    QTest::addColumn<bool>("grouped");
    QTest::newRow("negative, decimal comma") << QByteArray("-13.847,177") << true << true;
    QTest::newRow("two groups, no fraction") << QByteArray("4.509.876") << true << true;
    QTest::newRow("decimal point, comma groups") << QByteArray("13,847.177") << false << true;
    QTest::newRow("a group of two digits") << QByteArray("13.84,5") << true << false;
    QTest::newRow("a group of four digits") << QByteArray("1.2345,5") << true << false;
    QTest::newRow("four digits before the first group") << QByteArray("1234.567") << true << false;
    QTest::newRow("a decimal mark without digits after it") << QByteArray("1.234,") << true << false;
    QTest::newRow("the decimal mark of the other layout") << QByteArray("13.847,177") << false << false;
    QTest::newRow("a plain number") << QByteArray("13847,177") << true << false;
}

void tst_RecordReaders::thousands()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, comma);
    QFETCH(bool, grouped);
    QCOMPARE(hasThousandsSeparator(text.toStdString(), comma ? DecimalMark::Comma : DecimalMark::Point), grouped);
}

// Lines this program wrote, in the layouts of the lists read: by hand.
void tst_RecordReaders::writtenInLayout_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<int>("separator");  // Separator
    QTest::addColumn<bool>("comma");     // decimal comma
    QTest::addColumn<bool>("height");
    QTest::addColumn<QByteArray>("expected");
    const auto semi = int(Separator::Semicolon), tab = int(Separator::Tab);
    QTest::newRow("; and decimal commas") << QByteArray("P, -1.250, 2.000, 0.000\r\n") << semi << true << true
                                          << QByteArray("P;-1,250;2,000;0,000\r\n");
    QTest::newRow("a quoted comma code is unquoted") << QByteArray("\"A,B\", 1.000, 2.000, 3.000\r\n") << semi << true
                                                     << true << QByteArray("A,B;1,000;2,000;3,000\r\n");
    QTest::newRow("a code with the separator is quoted") << QByteArray("A;B, 1.000, 2.000\r\n") << semi << false << false
                                                         << QByteArray("\"A;B\";1.000;2.000\r\n");
    QTest::newRow("a code with commas and spaces, tabs") << QByteArray("a, b, 1.000, 2.000\r\n") << tab << false << false
                                                         << QByteArray("a, b\t1.000\t2.000\r\n");
    QTest::newRow("a line edited by hand is kept") << QByteArray("note, see 2, x\r\nP, 1.000, 2.000, 3.000\r\n") << semi
                                                   << true << true << QByteArray("note, see 2, x\r\nP;1,000;2,000;3,000\r\n");
    QTest::newRow("comma layout as written") << QByteArray("P, 1.000, 2.000, 3.000\r\n") << int(Separator::Comma) << false
                                             << true << QByteArray("P, 1.000, 2.000, 3.000\r\n");
}

void tst_RecordReaders::writtenInLayout()
{
    QFETCH(QByteArray, written);
    QFETCH(int, separator);
    QFETCH(bool, comma);
    QFETCH(bool, height);
    QFETCH(QByteArray, expected);
    PointLayout layout{static_cast<Separator>(separator), comma ? DecimalMark::Comma : DecimalMark::Point, height, false, false};
    std::string out;
    appendInLayout(out, written.toStdString(), layout);
    QCOMPARE(QByteArray::fromStdString(out), expected);
}

QTEST_APPLESS_MAIN(tst_RecordReaders)
#include "tst_record_readers.moc"
