// The pure parts of the point files: the field reader (whole and in pieces),
// the blank-line filter, ".txt" forcing, the codec, and the two fast paths
// for numbers, each against an independent slow path. Expected records were
// worked out by hand from the format's rules.

#include "pointfile/field_reader.h"
#include "text/number_format.h"
#include "text/number_text.h"
#include "operations/panel_operations.h"
#include "text/text_codec.h"

#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <cmath>

using namespace hattsheet::pointfile;

class tst_FieldReader : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void streamsInPieces();
    void blankLines_data();
    void blankLines();
    void txtExtension_data();
    void txtExtension();
    void codec_data();
    void codec();
    void fieldNumbers_data();
    void fieldNumbers();
    void randomNumbersAgainstSlowPaths();
};

// The records of a text as "code|x|y|h" joined by ";", then "!" when the
// text ends inside a record (Truncated).
void tst_FieldReader::reads_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR, LF and CR LF end lines") << QByteArray("1,100,200,5\r2,3,4,6\n7,8,9,0\r\n")
                                                << "1|100|200|5;2|3|4|6;7|8|9|0";
    QTest::newRow("spaces around fields dropped") << QByteArray("P1   ,  1 ,2 ,3   ") << "P1|1|2|3";
    QTest::newRow("three fields take the fourth from the next line")
        << QByteArray("A,1,2\r\n3,B,4\r\n5,6\r\n") << "A|1|2|3;B|4|5|6";
    QTest::newRow("quoted code with a comma") << QByteArray("\"A,1\",100,200,5\r\n") << "A,1|100|200|5";
    QTest::newRow("characters after the closing quote skipped") << QByteArray("\"A\"xyz ,1,2,3") << "A|1|2|3";
    QTest::newRow("quoted field across a line end") << QByteArray("\"A\r\nB\",1,2,3") << "A\r\nB|1|2|3";
    QTest::newRow("empty fields") << QByteArray("P, , 200, 5\r\nQ,,,\r\n") << "P||200|5;Q|||";
    QTest::newRow("blank line after the last record cuts a record short")
        << QByteArray("1,100,200,5\r\n\r\n") << "1|100|200|5;!";
    QTest::newRow("trailing comma at the very end") << QByteArray("1,2,3,") << "!";
    QTest::newRow("unterminated quote runs to the end") << QByteArray("\"A,1,2,3") << "!";
}

void tst_FieldReader::reads()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    const std::string t = text.toStdString();
    QStringList got;
    PointRecord r;
    auto s = [](const Field& f) { return QString::fromStdString(std::string(f.text)); };
    for (std::size_t pos = 0; pos < t.size();) {
        if (readRecord(t, pos, true, r) != ReadStatus::Ok) {
            got << "!";
            break;
        }
        got << s(r.code) + "|" + s(r.x) + "|" + s(r.y) + "|" + s(r.h);
    }
    QCOMPARE(got.join(";"), expected);
}

// A text cut at every place into two pieces reads as the whole: the first
// piece answers NeedMore (never Truncated) where the record runs on. The
// streaming command line depends on it.
void tst_FieldReader::streamsInPieces()
{
    const std::string text = "\"A,1\" , 1.5,2\r\n3\r\nB,4,5,6\rC,7,8,9\n";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        std::string buf = text.substr(0, cut);
        std::size_t pos = 0;
        QStringList got;
        for (bool atEnd = false;;) {
            PointRecord r;
            const ReadStatus s = readRecord(buf, pos, atEnd, r);
            if (s == ReadStatus::Ok) {
                got << QString::fromStdString(std::string(r.code.text) + "|" + std::string(r.h.text));
                if (pos == buf.size() && atEnd) break;
                continue;
            }
            QVERIFY2(s == ReadStatus::NeedMore, qPrintable(QString("cut %1 status %2").arg(cut).arg(int(s))));
            if (atEnd) break;
            buf += text.substr(cut);
            atEnd = true;
            if (pos == buf.size()) break;
        }
        QCOMPARE(got.join(";"), QString("A,1|3;B|6;C|9"));
    }
}

// Whole, and fed in pieces of 1 to 4 bytes as the command line does.
void tst_FieldReader::blankLines_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("blank and space lines dropped") << QByteArray("a\r\n\r\n   \r\nb\r\n\r\n") << QByteArray("a\r\nb\r\n");
    QTest::newRow("only the whole text is trimmed") << QByteArray("  a  \r\n  b  ") << QByteArray("a  \r\n  b\r\n");
    QTest::newRow("tabs are content") << QByteArray("\t\r\nx") << QByteArray("\t\r\nx\r\n");
    QTest::newRow("LF and CR end lines") << QByteArray("a\nb\rc") << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("only line breaks") << QByteArray("\r\n\r\n\n") << QByteArray("");
}

void tst_FieldReader::blankLines()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    const std::string t = text.toStdString();
    QCOMPARE(QByteArray::fromStdString(dropBlankLines(t)), expected);
    for (std::size_t piece = 1; piece <= 4; ++piece) {
        BlankLineFilter f;
        std::string out;
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
}

void tst_FieldReader::txtExtension()
{
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(QString::fromStdString(hattsheet::operations::forceTxtExtension(chosen.toStdString())), saved);
}

// Read, then written back: every character of these fits Windows-1253.
void tst_FieldReader::codec_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("windows1253");  // how the file was read
    QTest::newRow("Greek in Windows-1253") << QByteArray("\xD3\xD4\xC1\xD3\xC7 \xE1\xDC") << "ΣΤΑΣΗ αά" << true;
    QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ αά") << "ΣΤΑΣΗ αά" << false;
    QTest::newRow("UTF-8 with a BOM") << QByteArray("\xEF\xBB\xBFΣ1") << "Σ1" << false;
    QTest::newRow("euro sign and accented capitals") << QByteArray("\x80\xA2\xB8") << "€ΆΈ" << true;
}

void tst_FieldReader::codec()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, windows1253);
    const hattsheet::text::DecodedText d = hattsheet::text::decodeFileBytes(bytes.toStdString());
    QCOMPARE(QString::fromStdString(d.utf8), text);
    QCOMPARE(d.encoding == hattsheet::text::Encoding::Windows1253, windows1253);
    const hattsheet::text::EncodedText e = hattsheet::text::encodeForFile(d.utf8);
    QCOMPARE(e.encoding, hattsheet::text::Encoding::Windows1253);
    QCOMPARE(QString::fromStdString(hattsheet::text::windows1253ToUtf8(e.bytes)), text);
}

// The short path of fieldNumber against the general reader: the same double
// (the sign of zero included) or the same refusal.
void tst_FieldReader::fieldNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    for (const char* t : {"-0", "1.", "-.5", "1234567890.123456", "9007199254740993", "0.00000000000000000000001",
                          "0000000000000000000012.5", "1.5E3", "+12", "1.2.3", "-", ".", " 12.5 ", "   ", "12,5"})
        QTest::addRow("%s", t) << QByteArray(t);
}

void tst_FieldReader::fieldNumbers()
{
    QFETCH(QByteArray, text);
    const std::string t = text.toStdString();
    const auto fast = fieldNumber(Field{t, false});
    const auto general = t.find_first_not_of(' ') == std::string::npos ? std::optional<double>(0.0)
                                                                        : hattsheet::text::parseWholeNumber(t);
    QCOMPARE(fast.has_value(), general.has_value());
    if (fast) QVERIFY(*fast == *general && std::signbit(*fast) == std::signbit(*general));
}

// Random decimal texts of up to 18 digits read against std::from_chars
// (correctly rounded); random doubles of 1e-5 .. 1e17, and odd halves of
// the third decimal (k/2000), formatted by the integer "0.000" path against
// the std::to_chars one.
void tst_FieldReader::randomNumbersAgainstSlowPaths()
{
    QRandomGenerator rng(2578);
    for (int i = 0; i < 100000; ++i) {
        std::string t = rng.bounded(2) ? "-" : "";
        const int digits = rng.bounded(1, 19), pointAt = rng.bounded(0, digits + 1);
        for (int k = 0; k < digits; ++k) t += (k == pointAt ? "." : "") + std::string(1, char('0' + rng.bounded(10)));
        double expected = 0;
        std::from_chars(t.data(), t.data() + t.size(), expected);
        const auto got = fieldNumber(Field{t, false});
        QVERIFY2(got && *got == expected && std::signbit(*got) == std::signbit(expected), t.c_str());
    }
    // First the edges of the integer path's range and a carry through every digit.
    const double edges[] = {1e-3, std::nextafter(1e-3, 0.0), 999999.9999999999, 999999999999999.0, 1e15, -0.0004};
    for (int i = 0; i < 300000; ++i) {
        double v = i < 6 ? edges[i] : i % 3 == 0 ? double(rng.bounded(1, 1 << 20) * 2 + 1) / 2000.0
                              : std::ldexp(rng.generateDouble() + 1.0, rng.bounded(-17, 57));
        if (rng.bounded(2) == 1) v = -v;
        const int decimals = i < 6 ? 3 : rng.bounded(0, 8);
        std::string fast, general;
        hattsheet::text::appendFixed(fast, v, decimals);
        hattsheet::text::appendFixedGeneral(general, v, decimals);
        QVERIFY2(fast == general, qPrintable(QString("%1 with %2 decimals: %3 against %4")
                                                 .arg(v, 0, 'g', 17).arg(decimals).arg(fast.c_str(), general.c_str())));
    }
}

QTEST_APPLESS_MAIN(tst_FieldReader)
#include "tst_field_reader.moc"
