// Texts in and out: the two number readers of typed fields and the fast one
// of point files, the "0.000" writer, the Windows-1253 / UTF-8 codec, and
// the system's reasons in each language, and user texts as messages show them.
// Every fast path is held against an independent slow one (std::from_chars,
// std::to_chars, the published code page written out below).

#include "pointfile/point_record.h"
#include "text/name_key.h"
#include "text/number_format.h"
#include "text/number_text.h"
#include "text/shown_text.h"
#include "text/text_codec.h"

#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <cmath>
#include <limits>

namespace text = hattsheet::text;

namespace {
// The shortest text that reads back to the same bits: digits, not the fuzzy
// closeness of QCOMPARE on doubles.
QByteArray shortest(double v)
{
    char buf[64];
    return QByteArray(buf, static_cast<int>(std::to_chars(buf, buf + sizeof buf, v).ptr - buf));
}

std::string_view view(const QByteArray& b) { return {b.constData(), std::size_t(b.size())}; }

// Windows-1253 0x80..0xFF as published, 16 a line; '?' marks the bytes the
// code page leaves undefined, which are carried as the code point of the
// same value.
const QString kWindows1253High = QStringLiteral(
    "€?‚ƒ„…†‡?‰?‹????"
    "?‘’“”•–—?™?›????"
    "\u00A0΅Ά£¤¥¦§¨©?«¬\u00AD®―"
    "°±²³΄µ¶·ΈΉΊ»Ό½ΎΏ"
    "ΐΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟ"
    "ΠΡ?ΣΤΥΦΧΨΩΪΫάέήί"
    "ΰαβγδεζηθικλμνξο"
    "πρςστυφχψωϊϋόύώ?");
} // namespace

class tst_Text : public QObject {
    Q_OBJECT
private slots:
    void numberReaders_data();
    void numberReaders();
    void formatFixed_data();
    void formatFixed();
    void randomNumbersAgainstSlowPaths();
    void heightsCopiedAsWritten();
    void fileEncoding_data();
    void fileEncoding();
    void utf8Char_data();
    void utf8Char();
    void shown_data();
    void shown();
    void hiddenAsQtSays();
};

// The window's lenient reading of a field's leading number and the strict
// whole-text reading of the field test and the files, on the same texts.
// Expected values are hand calculations from the reading rules.
void tst_Text::numberReaders_data()
{
    QTest::addColumn<QByteArray>("text");
    // Shortest digits; "none": no leading number (reads as 0); "overflow",
    // "refused": no value at all.
    QTest::addColumn<QByteArray>("leading");
    QTest::addColumn<QByteArray>("whole");
    QTest::addColumn<bool>("fast");  // must be taken by the plain-decimal path (none of the hand rows is checked)
    const auto addRow = [](const char* name, const QByteArray& text, const char* a, const char* b) {
        QTest::newRow(name) << text << QByteArray(a) << QByteArray(b) << false;
    };
    addRow("spaces around a decimal", " 12.5 ", "12.5", "12.5");
    addRow("blank inside the digits", "1 234.5", "1234.5", "refused");
    addRow("decimal comma ends the number", "1,5", "1", "refused");
    addRow("no digits before the point", ".30", "0.3", "0.3");
    addRow("plus sign", "+5", "5", "5");
    addRow("trailing point", "5.", "5", "5");
    addRow("letter ends the number", "12a", "12", "refused");
    addRow("second point ends the number", "1.2.3", "1.2", "refused");
    addRow("negative with exponent", "-1.5E3", "-1500", "-1500");
    addRow("exponent letter D", "1D3", "1000", "refused");
    addRow("lower-case d, negative exponent", "1d-2", "0.01", "refused");
    addRow("blanks around the exponent letter", "1 e 3", "1000", "refused");
    addRow("exponent letter without digits", "1e", "1", "refused");
    addRow("largest decade of a double", "1e308", "1e+308", "1e+308");
    addRow("underflow reads as zero", "1e-999", "0", "0");
    addRow("negative underflow keeps its sign", "-1e-999", "-0", "-0");
    addRow("underflow written with many zeros", "0." + QByteArray(400, '0') + "1", "0", "0");
    addRow("digits beyond the stack buffer", "0." + QByteArray(200, '0') + "15", "1.5e-201", "1.5e-201");
    addRow("16 significant digits", "1234567890.123456", "1234567890.123456", "1234567890.123456");
    addRow("overflow with exponent", "1E999", "overflow", "refused");
    addRow("overflow written out in digits", "9" + QByteArray(400, '0'), "overflow", "refused");
    addRow("letters only", "abc", "none", "refused");
    addRow("empty text", "", "none", "refused");
    addRow("lone minus", "-", "none", "refused");
    addRow("exponent without mantissa", "e5", "none", "refused");
    addRow("infinity", "inf", "none", "refused");
    // Every decimal count the fast readers divide by an exact power of ten,
    // and the first ones past it, with 1 and with 15 significant digits;
    // expected: std::from_chars (correctly rounded).
    for (int decimals = 0; decimals <= 24; ++decimals) {
        for (QByteArray digits : {QByteArray("7"), QByteArray("987654321098765")}) {
            const int len = int(digits.size());
            digits = QByteArray(std::max(0, decimals + 1 - len), '0') + digits;
            digits.insert(digits.size() - decimals, '.');
            digits = len > 1 ? "-" + digits : digits;
            double v = 0;
            std::from_chars(digits.constData(), digits.constData() + digits.size(), v);
            QTest::addRow("%d decimals, %d digits", decimals, len) << digits << shortest(v) << shortest(v)
                                                                   << (decimals + 1 <= 19);  // ≤ 19 digits
        }
    }
}

void tst_Text::numberReaders()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, leading);
    QFETCH(QByteArray, whole);
    QFETCH(bool, fast);
    const auto plain = text::readPlainDecimal(view(text));
    if (fast) QCOMPARE(plain ? shortest(*plain) : "not taken", whole);
    const auto n = text::readLeadingNumber(view(text));
    QCOMPARE(!n ? QByteArray("overflow") : !n->found ? "none" + shortest(n->value) : shortest(n->value),
             leading == "none" ? QByteArray("none0") : leading);
    const auto v = text::parseWholeNumber(view(text));
    QCOMPARE(v ? shortest(*v) : QByteArray("refused"), whole);
    // Typed with a decimal comma (a Greek keypad), a field's number is the same one, the comma made a
    // point; with two (or a point as well) it stays refused.
    if (!text.contains(',')) {
        QByteArray comma = text;
        const auto c = text::decimalCommaAsPoint(view(comma.replace('.', ',')));
        QCOMPARE(c ? QByteArray::fromStdString(*c) : "refused", text.count('.') == 1 && whole != "refused" ? text : "refused");
        if (text.contains('.')) QVERIFY(!text::decimalCommaAsPoint(view(text + ",5")));
    }
    // The point files' reader: the whole-text value, or blank as 0.
    const auto f = hattsheet::pointfile::fieldNumber({view(text), false});
    QCOMPARE(f ? shortest(*f) : QByteArray("refused"), text.trimmed().isEmpty() ? "0" : whole);
}

// 15 significant digits first, then that text rounded, halves away from zero.
void tst_Text::formatFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("1.0005 rounds up though its double lies below") << 1.0005 << 3 << "1.001";
    QTest::newRow("exact binary half") << 0.0625 << 3 << "0.063";
    QTest::newRow("exact negative binary half") << -0.0625 << 3 << "-0.063";
    QTest::newRow("whole half away from zero") << -2.5 << 0 << "-3";
    QTest::newRow("negative half at the last place") << -2.0025 << 3 << "-2.003";
    QTest::newRow("just below the half") << 2.00249999 << 3 << "2.002";
    QTest::newRow("carry through nines") << 999.9995 << 3 << "1000.000";
    QTest::newRow("negative carry through nines") << -9.9995 << 3 << "-10.000";
    QTest::newRow("half of the smallest unit") << 0.0005 << 3 << "0.001";
    QTest::newRow("below half of the smallest unit") << 0.00049 << 3 << "0.000";
    QTest::newRow("small negative keeps its sign") << -0.0001 << 3 << "-0.000";
    QTest::newRow("negative zero has no sign") << -0.0 << 3 << "0.000";
    QTest::newRow("no digit grouping") << 4512000.25 << 3 << "4512000.250";
    QTest::newRow("large value beyond 15 digits") << 123456789012345678.0 << 3 << "123456789012346000.000";
    QTest::newRow("1e20 written out") << 1e20 << 3 << "100000000000000000000.000";
    QTest::newRow("16th digit does not round") << 0.1234567890123449 << 3 << "0.123";
    QTest::newRow("15 digits decide the half") << 1234567890.1235 << 3 << "1234567890.124";
    QTest::newRow("seconds a hair below 60") << 59.999999999999 << 5 << "60.00000";
    // 15 digits (179769313486232e294) would lie beyond the largest double and
    // read back as an overflow; 14 digits do read back.
    QTest::newRow("largest double reads back")
        << std::numeric_limits<double>::max() << 0 << QString("17976931348623") + QString(295, '0');
}

void tst_Text::formatFixed()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(text::formatFixed(value, decimals)), expected);
}

// Random decimal texts of up to 18 digits read against std::from_chars;
// random doubles of 1e-5 .. 1e17, and odd halves of the third decimal
// (k/2000), formatted by the integer "0.000" path against the std::to_chars
// one.
void tst_Text::randomNumbersAgainstSlowPaths()
{
    QRandomGenerator rng(2578);
    for (int i = 0; i < 100000; ++i) {
        std::string t = rng.bounded(2) ? "-" : "";
        const int digits = rng.bounded(1, 19), pointAt = rng.bounded(0, digits + 1);
        for (int k = 0; k < digits; ++k) {
            if (k == pointAt) t += '.';
            t += char('0' + rng.bounded(10));
        }
        double expected = 0;
        std::from_chars(t.data(), t.data() + t.size(), expected);
        const auto got = hattsheet::pointfile::fieldNumber({t, false});
        QVERIFY2(got && shortest(*got) == shortest(expected), t.c_str());
    }
    // First the edges of the integer path's range, a carry through every
    // digit, every power of ten in it (its digit count), and a 16th digit
    // just below a half that 15 digits keep below it.
    const double edges[] = {1e-3, std::nextafter(1e-3, 0.0), 999999.9999999999, 999999999999999.0, 1e15, -0.0004,
                            1.0004999999999994, 1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};
    constexpr int kEdges = int(std::size(edges));
    for (int i = 0; i < 300000; ++i) {
        double v = i < kEdges ? edges[i] : i % 3 == 0 ? double(rng.bounded(1, 1 << 20) * 2 + 1) / 2000.0
                              : std::ldexp(rng.generateDouble() + 1.0, rng.bounded(-17, 57));
        v = rng.bounded(2) ? -v : v;
        const int decimals = i < kEdges ? 3 : rng.bounded(0, 8);
        std::string fast, general;
        text::appendFixed(fast, v, decimals);
        text::appendFixedGeneral(general, v, decimals);
        QVERIFY2(fast == general, qPrintable(QString("%1, %2 decimals: %3").arg(v, 0, 'g', 17).arg(decimals).arg(fast.c_str())));
    }
}

// A height the lists copy as it stands must be exactly what reading and
// writing it again gives, and every such text of up to 15 digits is copied.
// The edges first (a negative zero is written "0.000"), then random texts
// near the written form: signs, leading zeros, 1..17 digits, 0..5 decimals.
void tst_Text::heightsCopiedAsWritten()
{
    const char* const edges[] = {"-0.000", "0.000", "-0.001", "012.500", "12.50", "999999999999.999", "1.500 "};
    QRandomGenerator rng(1841);
    for (int i = 0; i < 200000; ++i) {
        std::string t = i < 7 ? edges[i] : rng.bounded(3) == 0 ? "-" : "";
        const int whole = rng.bounded(1, 18), decimals = rng.bounded(0, 6);
        for (int k = 0; k < whole && i >= 7; ++k) t += char('0' + rng.bounded(k == 0 && rng.bounded(4) ? 1 : 0, 10));
        if (i >= 7 && (decimals > 0 || rng.bounded(2) == 1)) t += '.';
        for (int k = 0; k < decimals && i >= 7; ++k) t += char('0' + rng.bounded(10));
        const auto value = hattsheet::pointfile::fieldNumber({t, false});
        const bool same = value && text::formatCoordinate(*value) == t;
        const bool copied = text::isWrittenFixed(t, text::kCoordinateDecimals);
        QVERIFY2(!copied || same, t.c_str());
        QVERIFY2(copied || !same || whole + decimals > 15 || i < 7, t.c_str());
    }
}

// How a file's bytes are taken: UTF-8 only when every sequence is a valid,
// shortest one of a code point up to U+10FFFF that is no surrogate; then
// written back in Windows-1253 when every character fits. Expected values
// from the UTF-8 rules (RFC 3629).
void tst_Text::fileEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");  // as read
    QTest::addColumn<bool>("utf8");     // read as UTF-8, else as Windows-1253
    QTest::newRow("Greek in Windows-1253") << QByteArray("\xD3\xD4\xC1\xD3\xC7 \xE1\xDC") << "ΣΤΑΣΗ αά" << false;
    QTest::newRow("Greek in UTF-8") << QByteArray("ΣΤΑΣΗ αά") << "ΣΤΑΣΗ αά" << true;
    QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBFΣ1") << "Σ1" << true;
    QTest::newRow("lone euro byte") << QByteArray("\x80") << "€" << false;
    QTest::newRow("lead byte at the end") << QByteArray("a\xCE") << "aΞ" << false;
    QTest::newRow("lead byte before ASCII") << QByteArray("\xCE" "a") << "Ξa" << false;
    QTest::newRow("overlong two bytes") << QByteArray("\xC1\xBF") << "ΑΏ" << false;
    QTest::newRow("overlong three bytes") << QByteArray("\xE0\x9F\xBF") << "ΰ\u009FΏ" << false;
    QTest::newRow("overlong four bytes") << QByteArray("\xF0\x8F\xBF\xBF") << "π\u008FΏΏ" << false;
    QTest::newRow("U+07FF, U+0800: longest 2, shortest 3") << QByteArray("\xDF\xBF\xE0\xA0\x80")
                                                           << "\u07FF\u0800" << true;
    QTest::newRow("E1 lead byte") << QByteArray("\xE1\x80\x80") << "\u1000" << true;
    QTest::newRow("E3 lead byte") << QByteArray("\xE3\x81\x82") << "\u3042" << true;
    QTest::newRow("U+FFFF, U+10000") << QByteArray("\xEF\xBF\xBF\xF0\x90\x80\x80") << QString::fromUcs4(U"\uFFFF\U00010000")
                                    << true;
    QTest::newRow("U+10FFFF") << QByteArray("\xF4\x8F\xBF\xBF") << QString::fromUcs4(U"\U0010FFFF") << true;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << "τ\u0090€€" << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << "ν\u00A0€" << false;
    QTest::newRow("five-byte lead") << QByteArray("\xF8\x88\x80\x80\x80") << "ψ\u0088€€€" << false;
    QTest::newRow("continuation cut by ASCII") << QByteArray("\xE3\x81" "a") << "γ\u0081a" << false;
    QByteArray high;  // every high byte, against the published code page
    QString highText;
    for (int i = 0; i < 128; ++i) {
        high += char(0x80 + i);
        highText += kWindows1253High[i] == u'?' ? QChar(0x80 + i) : kWindows1253High[i];
    }
    QTest::newRow("all 128 high bytes") << high << highText << false;
}

void tst_Text::fileEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    const text::DecodedText d = text::decodeFileBytes(view(bytes));
    QCOMPARE(QString::fromStdString(d.utf8), text);
    QCOMPARE(d.encoding == text::Encoding::Utf8, utf8);
    QCOMPARE(text::isValidUtf8(view(bytes)), utf8);
    const text::EncodedText e = text::encodeForFile(d.utf8);
    QCOMPARE(QString::fromStdString(text::decodeAs(e.bytes, e.encoding)), text);
    if (!utf8) QCOMPARE(QByteArray::fromStdString(e.bytes), bytes);  // byte for byte back
    // Windows-1253 whenever every character has a byte there.
    const bool fits = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c < u'\x80' || kWindows1253High.contains(c) || (c < u'\u0100' && kWindows1253High[c.unicode() - 0x80] == u'?');
    });
    QCOMPARE(e.encoding == text::Encoding::Windows1253, fits);
}

// The one UTF-8 decoder on the sequences its readers take differently: the
// file codec only well-formed ones (above), the name key any complete two-
// or three-byte sequence as its bits give it, every other byte kept as it
// is. Code points and lengths from the UTF-8 rules (RFC 3629).
void tst_Text::utf8Char_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<uint>("codePoint");  // compared where length is not 0
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("wellFormed");
    QTest::addColumn<QByteArray>("key");  // the name key of the bytes
    QTest::newRow("Latin A, a Greek look-alike") << QByteArray("A") << 0x41u << 1 << true << QByteArray("α");
    QTest::newRow("Greek capital alpha") << QByteArray("Α") << 0x391u << 2 << true << QByteArray("α");
    QTest::newRow("U+10FFFF kept whole") << QByteArray("\xF4\x8F\xBF\xBF") << 0x10FFFFu << 4 << true
                                         << QByteArray("\xF4\x8F\xBF\xBF");
    QTest::newRow("alpha in three bytes, overlong") << QByteArray("\xE0\x8E\xB1") << 0x3B1u << 3 << false
                                                    << QByteArray("α");
    QTest::newRow("overlong NUL dropped from a key") << QByteArray("\xC0\x80") << 0u << 2 << false << QByteArray();
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << 0xD800u << 3 << false << QByteArray("\xED\xA0\x80");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << 0x110000u << 4 << false
                                     << QByteArray("\xF4\x90\x80\x80");
    QTest::newRow("lead byte at the end") << QByteArray("\xCE") << 0u << 0 << false << QByteArray("\xCE");
    QTest::newRow("lone continuation byte") << QByteArray("\x80") << 0u << 0 << false << QByteArray("\x80");
    QTest::newRow("five-byte lead") << QByteArray("\xF8\x88") << 0u << 0 << false << QByteArray("\xF8\x88");
    QTest::newRow("continuation cut by ASCII") << QByteArray("\xE3\x81" "a") << 0u << 0 << false
                                               << QByteArray("\xE3\x81" "α");
}

void tst_Text::utf8Char()
{
    QFETCH(QByteArray, bytes);
    QFETCH(uint, codePoint);
    QFETCH(int, length);
    QFETCH(bool, wellFormed);
    QFETCH(QByteArray, key);
    const text::Utf8Char read = text::readUtf8Char(view(bytes), 0);
    QCOMPARE(int(read.length), length);
    if (length != 0) QCOMPARE(uint(read.codePoint), codePoint);
    QCOMPARE(read.wellFormed, wellFormed);
    QCOMPARE(QByteArray::fromStdString(text::nameKey(view(bytes))), key);
}

// User texts as messages show them (text/shown_text.h): escapes, and where
// an excerpt cuts. Escapes by hand from the Unicode categories; lengths
// counted by hand (40 characters a field, a name's start 32 and end 63).
void tst_Text::shown_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("name");       // shownName, else shownExcerpt
    QTest::addColumn<QByteArray>("shown");
    const auto row = [](const char* tag, const QByteArray& text, bool name, const QByteArray& shown) {
        QTest::newRow(tag) << text << name << shown;
    };
    row("line ends, tab, ESC and DEL", "a\nb\r\t\x1b\x7f", false, "a\\nb\\r\\t\\x1b\\x7f");
    row("C1 control as a lone byte and as a character", "\x9b\xC2\x9B", false, "\\x9b\\u009b");
    row("line and paragraph separators", "a\u2028b\u2029c", false, "a\\u2028b\\u2029c");
    row("marks of direction: LRM, RLM, the Arabic letter mark", "\u200E\u200F\u061C", false, "\\u200e\\u200f\\u061c");
    row("byte-order mark, soft hyphen, word joiner", "\uFEFF\u00AD\u2060", false, "\\ufeff\\u00ad\\u2060");
    row("a tag above U+FFFF", "\U000E0041", false, "\\U000e0041");
    row("Kaithi number sign", "\U000110BD", false, "\\U000110bd");
    row("no-break space and U+2065 (unassigned) are kept", "\u00A0\u2065", false, "\u00A0\u2065");
    row("Greek and a four-byte character are kept", "Άθως\U0001F600", false, "Άθως\U0001F600");
    // A character hidden in a longer UTF-8 form than needed is escaped all the same, as is a surrogate.
    row("CSI in three bytes", "a\xE0\x82\x9B", false, "a\\u009b");
    row("right-to-left override in four bytes", "\xF0\x82\x80\xAE" "b", false, "\\u202eb");
    row("a surrogate", "\xED\xA0\x80", false, "\\ud800");
    row("40 characters: whole", QByteArray(40, '7'), false, QByteArray(40, '7'));
    row("41 characters: 40 and the ellipsis", QByteArray(41, '7'), false, QByteArray(40, '7') + "…");
    row("cut after 40 Greek letters, not inside one", QByteArray("Α").repeated(45), false,
        QByteArray("Α").repeated(40) + "…");
    row("cut before a four-byte character", QByteArray(39, '7') + "\U0001F600\U0001F600", false,
        QByteArray(39, '7') + "\U0001F600…");
    row("the excerpt escaped after the cut", QByteArray(39, '7') + "\n\n", false, QByteArray(39, '7') + "\\n…");
    row("a name of 96 characters: whole", QByteArray(96, 'd'), true, QByteArray(96, 'd'));
    row("a name of 97: its start and its end", QByteArray(32, 'a') + 'x' + QByteArray(64, 'b'), true,
        QByteArray(32, 'a') + "…" + QByteArray(63, 'b'));
    row("a Greek name cut between letters", QByteArray("Ω").repeated(33) + QByteArray("δ").repeated(64), true,
        QByteArray("Ω").repeated(32) + "…" + QByteArray("δ").repeated(63));
    row("a name's controls escaped on both sides", "\x1b" + QByteArray(100, 'a') + "\u202E", true,
        "\\x1b" + QByteArray(31, 'a') + "…" + QByteArray(62, 'a') + "\\u202e");
}

void tst_Text::shown()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, name);
    QFETCH(QByteArray, shown);
    QCOMPARE(QByteArray::fromStdString(name ? text::shownName(view(text)) : text::shownExcerpt(view(text))), shown);
}

// Every code point against Qt's own Unicode tables (an older Unicode than
// 15.0: a character assigned since is unassigned there).
void tst_Text::hiddenAsQtSays()
{
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        const QChar::Category category = QChar::category(cp);
        const bool hidden = category == QChar::Other_Control || category == QChar::Other_Format ||
                            category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
        if (hidden != text::isHiddenCharacter(cp) && !(category == QChar::Other_NotAssigned && !hidden)) {
            QFAIL(qPrintable(QString("U+%1: category %2").arg(uint(cp), 4, 16, QChar('0')).arg(int(category))));
        }
    }
}

QTEST_APPLESS_MAIN(tst_Text)
#include "tst_text.moc"
