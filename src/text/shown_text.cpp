#include "text/shown_text.h"

#include "text/text_codec.h"

#include <algorithm>
#include <iterator>

namespace hattsheet::text {

namespace {

struct CodeRange {
    char32_t first, last;
};

// Categories Cc, Cf, Zl and Zp of Unicode 15.0 (UnicodeData.txt), in order.
// tests/text/tst_text.cpp holds it against Qt's own Unicode tables.
constexpr CodeRange kHidden[] = {
    {0x0000, 0x001F},   {0x007F, 0x009F},   // Cc: C0, DEL and C1
    {0x00AD, 0x00AD},                       // Cf: soft hyphen
    {0x0600, 0x0605},   {0x061C, 0x061C},   // Cf: Arabic number signs, Arabic letter mark
    {0x06DD, 0x06DD},   {0x070F, 0x070F},   // Cf: end of ayah, Syriac abbreviation mark
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   // Cf: Arabic pound and piastre marks, disputed end of ayah
    {0x180E, 0x180E},                       // Cf: Mongolian vowel separator
    {0x200B, 0x200F},                       // Cf: zero-width space, (non-)joiner, LRM, RLM
    {0x2028, 0x2028},   {0x2029, 0x2029},   // Zl, Zp: line and paragraph separators
    {0x202A, 0x202E},                       // Cf: bidirectional embeddings and overrides
    {0x2060, 0x2064},   {0x2066, 0x206F},   // Cf: word joiner, invisible operators; isolates...
    {0xFEFF, 0xFEFF},                       // Cf: byte-order mark (zero-width no-break space)
    {0xFFF9, 0xFFFB},                       // Cf: interlinear annotation
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, // Cf: Kaithi number signs
    {0x13430, 0x1343F},                     // Cf: Egyptian hieroglyph format controls
    {0x1BCA0, 0x1BCA3},                     // Cf: shorthand format controls
    {0x1D173, 0x1D17A},                     // Cf: musical symbol format controls
    {0xE0001, 0xE0001}, {0xE0020, 0xE007F}, // Cf: language tag, tag characters
};

constexpr char kHex[] = "0123456789abcdef";

void appendHex(std::string& out, char32_t value, int digits)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 0xF]);
}

// The bytes of the character at text[at]: a sequence as its lead byte gives
// it (well formed or not, as shownText escapes it whole), else one byte.
std::size_t characterLength(std::string_view text, std::size_t at)
{
    const std::size_t length = readUtf8Char(text, at).length;
    return length == 0 ? 1 : length;
}

// The byte where the character after the first `characters` ones starts
// (text.size() when there are no more).
std::size_t afterCharacters(std::string_view text, std::size_t characters)
{
    std::size_t at = 0;
    for (; at < text.size() && characters > 0; --characters) at += characterLength(text, at);
    return at;
}

std::size_t countCharacters(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) at += characterLength(text, at);
    return count;
}

} // namespace

bool isHiddenCharacter(char32_t codePoint)
{
    const auto after = std::upper_bound(std::begin(kHidden), std::end(kHidden), codePoint,
                                        [](char32_t cp, const CodeRange& r) { return cp < r.first; });
    return after != std::begin(kHidden) && codePoint <= std::prev(after)->last;
}

namespace {

std::string shown(std::string_view text, bool escapeStrayBytes)
{
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const Utf8Char read = c >= 0xC2 && c <= 0xF4 ? readUtf8Char(text, i) : Utf8Char{};
        if (read.length > 1) {
            if (!read.wellFormed || isHiddenCharacter(read.codePoint)) {
                const bool wide = read.codePoint > 0xFFFF;
                shown.append(wide ? "\\U" : "\\u");
                appendHex(shown, read.codePoint, wide ? 8 : 4);
            } else {
                shown.append(text.substr(i, read.length));
            }
            i += read.length;
            continue;
        }
        if (c == '\n') {
            shown.append("\\n");
        } else if (c == '\r') {
            shown.append("\\r");
        } else if (c == '\t') {
            shown.append("\\t");
        } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (escapeStrayBytes && c >= 0x80)) {
            shown.append("\\x");
            appendHex(shown, c, 2);
        } else {
            shown.push_back(static_cast<char>(c));
        }
        ++i;
    }
    return shown;
}

} // namespace

std::string shownText(std::string_view text) { return shown(text, false); }

std::string shownNotUtf8(std::string_view text)
{
    const std::size_t cut = afterCharacters(text, kExcerptCharacters);
    std::string shownCut = shown(text.substr(0, cut), true);
    if (cut < text.size()) shownCut.append(kEllipsis);
    return shownCut;
}

std::string shownExcerpt(std::string_view text)
{
    const std::size_t cut = afterCharacters(text, kExcerptCharacters);
    std::string shown = shownText(text.substr(0, cut));
    if (cut < text.size()) shown.append(kEllipsis);
    return shown;
}

std::string shownName(std::string_view name)
{
    // Counted only up to the bound: a name can be an argument of 128 KiB.
    const std::size_t bound = kNameHeadCharacters + kNameTailCharacters + 1;
    if (afterCharacters(name, bound) == name.size()) return shownText(name);
    const std::size_t head = afterCharacters(name, kNameHeadCharacters);
    const std::size_t rest = countCharacters(name.substr(head));
    const std::size_t tail = head + afterCharacters(name.substr(head), rest - kNameTailCharacters);
    return shownText(name.substr(0, head)) + std::string(kEllipsis) + shownText(name.substr(tail));
}

} // namespace hattsheet::text
