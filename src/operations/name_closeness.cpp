#include "operations/name_closeness.h"

#include "text/name_key.h"
#include "text/text_codec.h"

#include <algorithm>
#include <vector>

namespace hattsheet::operations {

namespace {

// The code points of a UTF-8 text; a byte that starts no sequence counts as
// one letter of its own.
std::u32string codePoints(std::string_view utf8)
{
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const text::Utf8Char c = text::readUtf8Char(utf8, i);
        if (c.length == 0) {
            out.push_back(static_cast<unsigned char>(utf8[i]));
            ++i;
        } else {
            out.push_back(c.codePoint);
            i += c.length;
        }
    }
    return out;
}

std::size_t distance(const std::u32string& a, const std::u32string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// ELOT 743 for one lower-case Greek letter without accent (nameKey's form).
const char* latinLetter(char32_t c)
{
    static constexpr const char* kLetters[] = {"a", "v", "g", "d", "e", "z", "i", "th", "i", "k", "l", "m",
                                               "n", "x", "o", "p", "r", "s", "s", "t", "y", "f", "ch", "ps", "o"};
    if (c >= U'α' && c <= U'ω') return kLetters[c - U'α'];
    return nullptr;
}

// The letters after which αυ, ευ and ηυ are read af, ef, if (voiceless), and
// the end of the name; elsewhere av, ev, iv.
bool voicelessAfter(const std::u32string& s, std::size_t i)
{
    return i >= s.size() || std::u32string_view(U"θκξπστφχψ").find(s[i]) != std::u32string_view::npos;
}

// The two letters at i that ELOT 743 writes together, or none.
const char* latinPair(const std::u32string& s, std::size_t i)
{
    if (i + 1 >= s.size()) return nullptr;
    const char32_t a = s[i], b = s[i + 1];
    if (b == U'υ' && (a == U'α' || a == U'ε' || a == U'η')) {
        const bool voiceless = voicelessAfter(s, i + 2);
        if (a == U'α') return voiceless ? "af" : "av";
        if (a == U'ε') return voiceless ? "ef" : "ev";
        return voiceless ? "if" : "iv";
    }
    if (a == U'ο' && b == U'υ') return "ou";
    if (a == U'γ' && b == U'γ') return "ng";
    if (a == U'γ' && b == U'ξ') return "nx";
    if (a == U'γ' && b == U'χ') return "nch";
    return nullptr;
}

} // namespace

std::string latinKey(std::string_view utf8)
{
    // Latin letters stay Latin (nameKey would take look-alikes such as the
    // "h" of "Athos" for Greek capitals); every other run goes through
    // nameKey for its Greek letters in lower case without accents, σ for ς.
    std::u32string key;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z') key.push_back(b - 'A' + 'a');
            if ((b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) key.push_back(b);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
        key += codePoints(text::nameKey(utf8.substr(i, end - i)));
        i = end;
    }
    std::string out;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (const char* pair = latinPair(key, i)) {
            out += pair;
            ++i;
        } else if (const char* letter = latinLetter(key[i])) {
            out += letter;
        } else if (key[i] < 0x80) {
            out.push_back(static_cast<char>(key[i]));
        }
    }
    return out;
}

std::size_t editDistance(std::string_view a, std::string_view b) { return distance(codePoints(a), codePoints(b)); }

std::size_t nameDistance(std::string_view typed, std::string_view name)
{
    std::size_t best = SIZE_MAX;
    for (const bool latin : {false, true}) {
        const std::u32string t = codePoints(latin ? latinKey(typed) : text::nameKey(typed));
        const std::u32string n = codePoints(latin ? latinKey(name) : text::nameKey(name));
        if (t.empty()) continue;
        best = std::min({best, distance(t, n), distance(t, n.substr(0, t.size()))});
    }
    return best;
}

std::size_t closenessLimit(std::size_t letters)
{
    constexpr std::size_t kMostEdits = 3;
    return std::min(kMostEdits, 1 + (letters >= 4 ? letters / 4 : 0));
}

} // namespace hattsheet::operations
