#include "text/name_key.h"

#include "text/text_codec.h"

#include <cstdint>

namespace hattsheet::text {

namespace {

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
        // Two- and three-byte sequences carry the letters and marks that
        // count, taken as their bits give them (a longer form than needed
        // too); any other byte is kept as it is.
        const Utf8Char read = readUtf8Char(utf8, i);
        if (read.length != 2 && read.length != 3) {
            key.push_back(utf8[i]);
            ++i;
            continue;
        }
        i += read.length;
        const char32_t folded = foldGreek(read.codePoint);
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
