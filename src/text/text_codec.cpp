#include "text/text_codec.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace hattsheet::text {

namespace {

// Code points of the bytes 0x80..0xFF; 0 marks a byte Windows-1253 leaves
// undefined, carried as the code point of the same value.
constexpr std::array<std::uint16_t, 128> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0,      0x2030, 0,      0x2039, 0,      0,      0,      0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0,      0x203A, 0,      0,      0,      0,       // 98
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0,      0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,  // B8
    0x0390, 0x0391, 0x0392, 0x0393, 0x0394, 0x0395, 0x0396, 0x0397,  // C0
    0x0398, 0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F,  // C8
    0x03A0, 0x03A1, 0,      0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7,  // D0
    0x03A8, 0x03A9, 0x03AA, 0x03AB, 0x03AC, 0x03AD, 0x03AE, 0x03AF,  // D8
    0x03B0, 0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7,  // E0
    0x03B8, 0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF,  // E8
    0x03C0, 0x03C1, 0x03C2, 0x03C3, 0x03C4, 0x03C5, 0x03C6, 0x03C7,  // F0
    0x03C8, 0x03C9, 0x03CA, 0x03CB, 0x03CC, 0x03CD, 0x03CE, 0,       // F8
};

std::uint32_t codePointOfByte(unsigned char b)
{
    if (b < 0x80) return b;
    const std::uint16_t cp = kHigh[b - 0x80];
    return cp != 0 ? cp : b;
}

// The Windows-1253 byte of a code point, or -1.
int byteOfCodePoint(std::uint32_t cp)
{
    if (cp < 0x80) return static_cast<int>(cp);
    for (int i = 0; i < 128; ++i) {
        if (codePointOfByte(static_cast<unsigned char>(0x80 + i)) == cp) return 0x80 + i;
    }
    return -1;
}

// Length of the valid UTF-8 sequence at s[i], or 0.
std::size_t sequenceLength(std::string_view s, std::size_t i, std::uint32_t& cp)
{
    const Utf8Char read = readUtf8Char(s, i);
    cp = read.codePoint;
    return read.wellFormed ? read.length : 0;
}

} // namespace

Utf8Char readUtf8Char(std::string_view text, std::size_t at)
{
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = b(at);
    if (c < 0x80) return {c, 1, true};
    std::size_t n;
    char32_t cp;
    char32_t min;
    if ((c & 0xE0) == 0xC0) { n = 2; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { n = 3; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { n = 4; cp = c & 0x07; min = 0x10000; }
    else return {c, 0, false};
    if (at + n > text.size()) return {c, 0, false};
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(at + k) & 0xC0) != 0x80) return {c, 0, false};
        cp = (cp << 6) | (b(at + k) & 0x3F);
    }
    return {cp, n, !(cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))};
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
        return;
    }
    if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else {
        if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

std::string_view withoutUtf8Bom(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) bytes.remove_prefix(kUtf8Bom.size());
    return bytes;
}

bool isValidUtf8(std::string_view bytes)
{
    std::uint32_t cp = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        // ASCII runs are the common case of a point list.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = sequenceLength(bytes, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string windows1253ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) appendUtf8(out, codePointOfByte(static_cast<unsigned char>(ch)));
    return out;
}

std::optional<std::string> utf8ToWindows1253(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::uint32_t cp = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        // ASCII, most of a point list, is its own byte.
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            out.push_back(utf8[i]);
            ++i;
            continue;
        }
        const std::size_t n = sequenceLength(utf8, i, cp);
        if (n == 0) return std::nullopt;
        const int b = byteOfCodePoint(cp);
        if (b < 0) return std::nullopt;
        out.push_back(static_cast<char>(b));
        i += n;
    }
    return out;
}

DecodedText decodeFileBytes(std::string_view bytes)
{
    bytes = withoutUtf8Bom(bytes);
    if (isValidUtf8(bytes)) return {std::string(bytes), Encoding::Utf8};
    return {windows1253ToUtf8(bytes), Encoding::Windows1253};
}

std::string decodeAs(std::string_view bytes, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? std::string(bytes) : windows1253ToUtf8(bytes);
}

bool isAscii(std::string_view text)
{
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t v;
        std::memcpy(&v, text.data() + i, sizeof v);
        if ((v & kHigh) != 0) return false;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    }
    return true;
}

EncodedText encodeForFile(std::string_view utf8)
{
    // Nearly every point list: its bytes as they stand, without a pass over
    // every character (a tenth of a million-point batch).
    if (isAscii(utf8)) return {std::string(utf8), Encoding::Windows1253};
    if (auto b = utf8ToWindows1253(utf8)) return {std::move(*b), Encoding::Windows1253};
    return {std::string(utf8), Encoding::Utf8};
}

} // namespace hattsheet::text
