#pragma once
// Windows-1253 (the Greek code page of the old files) and UTF-8.
//
// A file is read as UTF-8 when it is valid UTF-8 (a byte-order mark is
// dropped), otherwise as Windows-1253. A text is written in Windows-1253 when
// every character fits, otherwise in UTF-8, so no character is ever lost.
// The seventeen byte values Windows-1253 leaves undefined (0x81, 0x88, 0x8A,
// 0x8C-0x90, 0x98, 0x9A, 0x9C-0x9F, 0xAA, 0xD2, 0xFF) are carried as the
// code points U+0081 ... U+00FF of the same value, so that such a file still
// reads and writes back byte for byte.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hattsheet::text {

enum class Encoding { Windows1253, Utf8 };

// The UTF-8 byte-order mark. It is no part of a file's text: the first code
// of a list saved with one starts after it.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
// The bytes after a leading byte-order mark, or all of them when there is none.
std::string_view withoutUtf8Bom(std::string_view bytes);

// One UTF-8 character at text[at], as its bits give it: the program's one
// UTF-8 decoder. ASCII is length 1. A lead byte 0xC0-0xF7 followed by all
// its continuation bytes gives the sequence's length (2-4) and code point,
// and wellFormed says whether it is valid UTF-8 (shortest form, no
// surrogate, at most U+10FFFF): readers that only show or compare a text
// take the code point of a sequence that is not. Length 0 where text[at]
// starts no sequence (a continuation byte, 0xF8-0xFF, one cut short).
struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;
    bool wellFormed = false;
};
Utf8Char readUtf8Char(std::string_view text, std::size_t at);

bool isValidUtf8(std::string_view bytes);
// Appends the UTF-8 of one code point (up to U+10FFFF): the one encoder of
// the program, for files and for the window's panels alike.
void appendUtf8(std::string& out, char32_t cp);

std::string windows1253ToUtf8(std::string_view bytes);
// Empty optional when a character has no Windows-1253 byte.
std::optional<std::string> utf8ToWindows1253(std::string_view utf8);

struct DecodedText {
    std::string utf8;
    Encoding encoding = Encoding::Utf8;
};
DecodedText decodeFileBytes(std::string_view bytes);
// Decodes bytes known to be in an encoding (a file this program wrote).
std::string decodeAs(std::string_view bytes, Encoding encoding);

struct EncodedText {
    std::string bytes;
    Encoding encoding = Encoding::Windows1253;
};
EncodedText encodeForFile(std::string_view utf8);
// Whether text is ASCII alone, the same bytes in Windows-1253 and UTF-8
// (eight bytes at a time).
bool isAscii(std::string_view text);

} // namespace hattsheet::text
