// The field reader, the file test, the blank-line filter and the codec on
// texts whose records were worked out by hand from the format's rules.

#include "field_reader.h"
#include "panel_operations.h"
#include "text_codec.h"

#include "number_text.h"

#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <cmath>

using namespace hattsheet::pointfile;

namespace {

// The records of a text as "code|x|y|h" joined by ";", then "!" when the
// text ends inside a record.
QString records(std::string_view text)
{
    QStringList out;
    std::size_t pos = 0;
    PointRecord r;
    while (pos < text.size()) {
        if (readRecord(text, pos, true, r) != ReadStatus::Ok) {
            out << "!";
            break;
        }
        auto s = [](const Field& f) { return QString::fromUtf8(f.text.data(), qsizetype(f.text.size())); };
        out << s(r.code) + "|" + s(r.x) + "|" + s(r.y) + "|" + s(r.h);
    }
    return out.join(";");
}

} // namespace

class tst_FieldReader : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void streamsInPieces();
    void validFile_data();
    void validFile();
    void blankLines_data();
    void blankLines();
    void txtExtension_data();
    void txtExtension();
    void codec_data();
    void codec();
    void fieldNumbers_data();
    void fieldNumbers();
    void fieldNumbersAgainstFromChars();
};

void tst_FieldReader::reads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two well-formed lines") << QByteArray("1,100,200,5\r\n2,300,400,6\r\n") << "1|100|200|5;2|300|400|6";
    QTest::newRow("spaces around the separators") << QByteArray("12,  354000.1, 4512000.25,7")
                                                  << "12|354000.1|4512000.25|7";
    QTest::newRow("LF line ends read like CR LF") << QByteArray("1,100,200,5\n2,300,400,6\n")
                                                  << "1|100|200|5;2|300|400|6";
    QTest::newRow("CR line ends read like CR LF") << QByteArray("1,100,200,5\r2,300,400,6\r")
                                                  << "1|100|200|5;2|300|400|6";
    QTest::newRow("three fields take the fourth from the next line")
        << QByteArray("A,1,2\r\n3,B,4\r\n5,6\r\n") << "A|1|2|3;B|4|5|6";
    QTest::newRow("a fifth field is the next record's code") << QByteArray("A,1,2,3,B\r\n4,5,6\r\n")
                                                             << "A|1|2|3;B|4|5|6";
    QTest::newRow("quoted code with a comma") << QByteArray("\"A,1\",100,200,5\r\n") << "A,1|100|200|5";
    QTest::newRow("characters after the closing quote are skipped") << QByteArray("\"A\"xyz ,1,2,3")
                                                                    << "A|1|2|3";
    QTest::newRow("quoted field across a line end") << QByteArray("\"A\r\nB\",1,2,3") << "A\r\nB|1|2|3";
    QTest::newRow("empty fields") << QByteArray("P, , 200, 5\r\nQ,,,\r\n") << "P||200|5;Q|||";
    QTest::newRow("trailing spaces of an unquoted field dropped") << QByteArray("P1   ,1 ,2 ,3   ")
                                                                  << "P1|1|2|3";
    QTest::newRow("blank line after the last record cuts a record short")
        << QByteArray("1,100,200,5\r\n\r\n") << "1|100|200|5;!";
    QTest::newRow("last line with three fields") << QByteArray("1,100,200,5\r\n2,300,400\r\n") << "1|100|200|5;!";
    QTest::newRow("trailing comma at the very end") << QByteArray("1,2,3,") << "!";
    QTest::newRow("unterminated quote runs to the end") << QByteArray("\"A,1,2,3") << "!";
    QTest::newRow("empty text") << QByteArray("") << "";
    QTest::newRow("Greek code bytes pass through") << QByteArray("\xD3\xD4\xC1, 1, 2, 3") << "\xD3\xD4\xC1|1|2|3";
}

void tst_FieldReader::reads()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    if (text.startsWith('\xD3')) {
        // Windows-1253 bytes: compare bytes, not UTF-8 text.
        const std::string bytes = text.toStdString();
        std::size_t pos = 0;
        PointRecord r;
        QCOMPARE(readRecord(bytes, pos, true, r), ReadStatus::Ok);
        QCOMPARE(QByteArray(r.code.text.data(), qsizetype(r.code.text.size())), QByteArray("\xD3\xD4\xC1"));
        return;
    }
    QCOMPARE(records(text.toStdString()), expected);
}

// A record split at every possible place between two pieces reads the same
// as the whole text: the streaming command line depends on it.
void tst_FieldReader::streamsInPieces()
{
    const std::string text = "\"A,1\" , 1.5,2\r\n3\r\nB,4,5,6\rC,7,8,9\n";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        std::string buf = text.substr(0, cut);
        std::size_t pos = 0;
        QStringList got;
        bool atEnd = false;
        for (;;) {
            PointRecord r;
            const ReadStatus s = readRecord(buf, pos, atEnd, r);
            if (s == ReadStatus::Ok) {
                got << QString::fromStdString(std::string(r.code.text) + "|" + std::string(r.h.text));
                if (pos == buf.size() && atEnd) break;
                continue;
            }
            QVERIFY2(s == ReadStatus::NeedMore, qPrintable(QString("cut %1 status %2 pos %3").arg(cut).arg(int(s)).arg(pos)));
            if (atEnd) break;
            buf += text.substr(cut);
            atEnd = true;
            if (pos == buf.size()) break;
        }
        QCOMPARE(got.join(";"), QString("A,1|3;B|6;C|9"));
    }
}

void tst_FieldReader::validFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("well-formed") << QByteArray("1,100,200,5\r\n2,300,400,6\r\n") << true;
    QTest::newRow("no characters at all") << QByteArray("") << true;
    QTest::newRow("last line three fields") << QByteArray("1,100,200,5\r\n2,300,400") << false;
    QTest::newRow("blank line at the end") << QByteArray("1,100,200,5\r\n\r\n") << false;
    QTest::newRow("text X") << QByteArray("A1, abc, 200, 5\r\n") << false;
    QTest::newRow("text H") << QByteArray("A1, 100, 200, 5m\r\n") << false;
    QTest::newRow("text code") << QByteArray("A1, 100, 200, 5\r\n") << true;
    QTest::newRow("empty X") << QByteArray("P, , 200, 5\r\n") << true;
    QTest::newRow("quoted number as X") << QByteArray("P, \"100\", 200, 5\r\n") << true;
    QTest::newRow("X beyond a double") << QByteArray("P, 1E999, 200, 5\r\n") << false;
    QTest::newRow("inf is not a number") << QByteArray("P, inf, 200, 5\r\n") << false;
    QTest::newRow("record over two lines") << QByteArray("P, 100\r\n200, 5\r\n") << true;
}

void tst_FieldReader::validFile()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QCOMPARE(testCoordinateFile(text.toStdString()), valid);
}

void tst_FieldReader::blankLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("blank and space lines dropped") << QByteArray("a\r\n\r\n   \r\nb\r\n\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("only the whole text is trimmed") << QByteArray("  a  \r\n  b  ") << QByteArray("a  \r\n  b\r\n");
    QTest::newRow("tabs are content") << QByteArray("\t\r\nx") << QByteArray("\t\r\nx\r\n");
    QTest::newRow("LF and CR end lines") << QByteArray("a\nb\rc") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("only line breaks") << QByteArray("\r\n\r\n\n") << QByteArray("");
    QTest::newRow("only spaces") << QByteArray("     ") << QByteArray("");
}

void tst_FieldReader::blankLines()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(dropBlankLines(text.toStdString())), expected);
    // The same in pieces of every size, as the command line feeds it.
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        BlankLineFilter f;
        std::string out;
        const std::string t = text.toStdString();
        for (std::size_t i = 0; i < t.size(); i += piece) f.feed(std::string_view(t).substr(i, piece), out);
        f.finish(out);
        QCOMPARE(QByteArray::fromStdString(out), expected);
    }
}

void tst_FieldReader::txtExtension_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");
    QTest::newRow("other extension") << "/d/pts.seq" << "/d/pts.txt";
    QTest::newRow("no extension") << "/d/pts" << "/d/pts.txt";
    QTest::newRow("two dots") << "/d/pts.old.xyh" << "/d/pts.old.txt";
    QTest::newRow("dot only in a folder name") << "/d/v1.2/pts" << "/d/v1.2/pts.txt";
    QTest::newRow("already txt") << "pts.txt" << "pts.txt";
}

void tst_FieldReader::txtExtension()
{
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(QString::fromStdString(forceTxtExtension(chosen.toStdString())), saved);
}

void tst_FieldReader::codec_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("windows1253");  // how the file was read
    QTest::newRow("Greek in Windows-1253") << QByteArray("\xD3\xD4\xC1\xD3\xC7 \xE1\xDC") << "ΣΤΑΣΗ αά" << true;
    QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ αά") << "ΣΤΑΣΗ αά" << false;
    QTest::newRow("UTF-8 with a BOM") << QByteArray("\xEF\xBB\xBFΣ1") << "Σ1" << false;
    QTest::newRow("euro sign and accented capitals") << QByteArray("\x80\xA2\xB8") << "€ΆΈ" << true;
    QTest::newRow("ASCII") << QByteArray("P1, 1, 2, 3") << "P1, 1, 2, 3" << false;
}

void tst_FieldReader::codec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, windows1253);
    const DecodedText d = decodeFileBytes(bytes.toStdString());
    QCOMPARE(QString::fromStdString(d.utf8), text);
    QCOMPARE(d.encoding == Encoding::Windows1253, windows1253);
    // Written back: every character of these fits Windows-1253.
    const EncodedText e = encodeForFile(d.utf8);
    QCOMPARE(e.encoding, Encoding::Windows1253);
    QCOMPARE(QString::fromStdString(windows1253ToUtf8(e.bytes)), text);
}

// The short path of fieldNumber against the general reader: the same double
// (bit for bit, the sign of zero included) or the same refusal.
void tst_FieldReader::fieldNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("minus zero") << QByteArray("-0");
    QTest::newRow("point at the end") << QByteArray("1.");
    QTest::newRow("point at the start") << QByteArray(".5");
    QTest::newRow("minus and point") << QByteArray("-.5");
    QTest::newRow("leading zeros") << QByteArray("007");
    QTest::newRow("15 significant digits") << QByteArray("123456789.012345");
    QTest::newRow("16 significant digits") << QByteArray("1234567890.123456");
    QTest::newRow("beyond 2^53") << QByteArray("9007199254740993");
    QTest::newRow("22 decimals") << QByteArray("0.0000000000000000000001");
    QTest::newRow("23 decimals") << QByteArray("0.00000000000000000000001");
    QTest::newRow("many leading zeros") << QByteArray("0000000000000000000012.5");
    QTest::newRow("exponent") << QByteArray("1.5E3");
    QTest::newRow("plus sign") << QByteArray("+12");
    QTest::newRow("two points") << QByteArray("1.2.3");
    QTest::newRow("minus alone") << QByteArray("-");
    QTest::newRow("point alone") << QByteArray(".");
    QTest::newRow("spaces around (quoted field)") << QByteArray(" 12.5 ");
    QTest::newRow("only spaces") << QByteArray("   ");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("comma decimal") << QByteArray("12,5");
    QTest::newRow("letters") << QByteArray("12a");
}

void tst_FieldReader::fieldNumbers()
{
    QFETCH(QByteArray, text);
    const std::string t = text.toStdString();
    const auto fast = fieldNumber(Field{t, false});
    const auto general = t.find_first_not_of(' ') == std::string::npos
                             ? std::optional<double>(0.0)
                             : hattsheet::geodesy::parseWholeNumber(t);
    QCOMPARE(fast.has_value(), general.has_value());
    if (fast) {
        QCOMPARE(std::signbit(*fast), std::signbit(*general));
        QCOMPARE(*fast, *general);
    }
}

// Random decimal texts of up to 18 digits against std::from_chars, which
// rounds correctly.
void tst_FieldReader::fieldNumbersAgainstFromChars()
{
    QRandomGenerator rng(2578);
    for (int i = 0; i < 100000; ++i) {
        std::string t = rng.bounded(2) ? "-" : "";
        const int digits = rng.bounded(1, 19);
        const int pointAt = rng.bounded(0, digits + 1);
        for (int k = 0; k < digits; ++k) {
            if (k == pointAt) t += '.';
            t += static_cast<char>('0' + rng.bounded(10));
        }
        double expected = 0;
        std::from_chars(t.data(), t.data() + t.size(), expected);
        const auto got = fieldNumber(Field{t, false});
        QVERIFY2(got && *got == expected && std::signbit(*got) == std::signbit(expected), t.c_str());
    }
}

QTEST_APPLESS_MAIN(tst_FieldReader)
#include "tst_field_reader.moc"
