#include "text/name_key.h"

#include <cstdint>

namespace hattsheet::text {

namespace {

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// The Greek lower-case letter a Latin look-alike of a Greek capital stands
// for; 0 for any other letter.
char32_t greekForLatin(char c)
{
    switch (c) {
    case 'a': return U'α';
    case 'b': return U'β';
    case 'e': return U'ε';
    case 'z': return U'ζ';
    case 'h': return U'η';
    case 'i': return U'ι';
    case 'k': return U'κ';
    case 'm': return U'μ';
    case 'n': return U'ν';
    case 'o': return U'ο';
    case 'p': return U'ρ';
    case 't': return U'τ';
    case 'y': return U'υ';
    case 'x': return U'χ';
    default: return 0;
    }
}

// A Greek letter (U+0386-U+03CE) in lower case without its accent; 0 for a
// code point to drop, the code point itself for one that is no Greek letter.
char32_t foldGreek(char32_t c)
{
    switch (c) {
    case U'Ά': case U'ά': return U'α';
    case U'Έ': case U'έ': return U'ε';
    case U'Ή': case U'ή': return U'η';
    case U'Ί': case U'ί': case U'Ϊ': case U'ϊ': case U'ΐ': return U'ι';
    case U'Ό': case U'ό': return U'ο';
    case U'Ύ': case U'ύ': case U'Ϋ': case U'ϋ': case U'ΰ': return U'υ';
    case U'Ώ': case U'ώ': return U'ω';
    case U'ς': return U'σ';
    case U'\u0301': case U'\u0308': case U'\u0384': case U'\u0385': return 0;  // accents on their own
    default: break;
    }
    if (c >= U'Α' && c <= U'Ω') return c + (U'α' - U'Α');
    return c;
}

} // namespace

std::string nameKey(std::string_view utf8)
{
    std::string key;
    key.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            ++i;
            char c = static_cast<char>(b);
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            if (c >= 'a' && c <= 'z') {
                const char32_t greek = greekForLatin(c);
                if (greek != 0) {
                    appendUtf8(key, greek);
                } else {
                    key.push_back(c);
                }
            } else if (c >= '0' && c <= '9') {
                key.push_back(c);
            }
            continue;
        }
        // Two- and three-byte sequences carry the letters and marks that count.
        const std::size_t length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 1;
        bool valid = length > 1 && i + length <= utf8.size();
        char32_t c = length == 2 ? (b & 0x1F) : (b & 0x0F);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            key.push_back(utf8[i]);
            ++i;
            continue;
        }
        i += length;
        const char32_t folded = foldGreek(c);
        if (folded != 0) appendUtf8(key, folded);
    }
    return key;
}

bool isGreekEgsa87Name(std::string_view utf8)
{
    // "egsa87" folds to "εγσα87" except for its Latin "g" and "s".
    const std::string key = nameKey(utf8);
    return key == nameKey("ΕΓΣΑ87") || key == "εgsα87";
}

} // namespace hattsheet::text
