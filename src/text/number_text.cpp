#include "text/number_text.h"

#include "text/read_double.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

namespace hattsheet::text {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Upper bound for the digits kept from one number: readDouble reads the
// rest correctly only when it sees every significant digit, so a longer number
// is read from the heap copy below instead.
constexpr std::size_t kStackNumber = 128;

} // namespace

namespace {

// Converts a number already checked against the grammar and normalised to what
// readDouble takes: no "+" sign, "e" as the exponent letter.
// Empty optional when the number overflows; underflow gives a signed zero.
std::optional<double> convertChecked(std::string_view s)
{
    if (const auto plain = readPlainDecimal(s)) return plain;
    double value = 0.0;
    const auto [ptr, ec] = readDouble(s.data(), s.data() + s.size(), value);
    (void)ptr;
    if (ec == std::errc()) {
        return value;
    }
    if (ec != std::errc::result_out_of_range) {
        return std::nullopt;
    }
    // Out of range: tell overflow from underflow by the decimal magnitude,
    // the count of integer digits from the first non-zero one plus the exponent.
    bool negative = !s.empty() && s.front() == '-';
    std::size_t i = negative ? 1 : 0;
    long long magnitude = 0;
    bool seenNonZero = false;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        if (s[i] != '0') seenNonZero = true;
        if (seenNonZero) ++magnitude;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && isDigit(s[i]); ++i) {
            if (seenNonZero) continue;
            if (s[i] != '0') seenNonZero = true;
            else --magnitude;
        }
    }
    long long exponent = 0;
    if (i < s.size() && s[i] == 'e') {
        ++i;
        bool expNegative = false;
        if (i < s.size() && s[i] == '-') { expNegative = true; ++i; }
        for (; i < s.size() && isDigit(s[i]); ++i) {
            if (exponent < 100000000) exponent = exponent * 10 + (s[i] - '0');
        }
        if (expNegative) exponent = -exponent;
    }
    if (magnitude + exponent < 0) {
        return negative ? -0.0 : 0.0;
    }
    return std::nullopt;
}

// Scans one number from text[pos] on (the grammar shared by both readers) into
// out, skipping the characters skip() says to ignore. Returns whether any
// mantissa digit was read; pos ends after the last character taken.
template <typename Out, typename Skip>
bool scanNumber(std::string_view text, std::size_t& pos, Out& out, Skip skip, bool allowD)
{
    auto at = [&](std::size_t& p) -> int {
        while (p < text.size() && skip(text[p])) ++p;
        return p < text.size() ? static_cast<unsigned char>(text[p]) : -1;
    };
    std::size_t p = pos;
    int c = at(p);
    if (c == '+' || c == '-') {
        if (c == '-') out.push('-');
        ++p;
    }
    bool digits = false;
    for (c = at(p); isDigit(static_cast<char>(c)); c = at(++p)) {
        out.push(static_cast<char>(c));
        digits = true;
    }
    if (c == '.') {
        std::size_t q = p + 1;
        bool fraction = false;
        int d = at(q);
        if (isDigit(static_cast<char>(d)) || digits) {
            out.push('.');
            for (; isDigit(static_cast<char>(d)); d = at(++q)) {
                out.push(static_cast<char>(d));
                fraction = true;
            }
            if (fraction || digits) p = q;
            digits = digits || fraction;
        }
    }
    if (!digits) {
        return false;
    }
    pos = p;
    c = at(p);
    if (c == 'E' || c == 'e' || (allowD && (c == 'D' || c == 'd'))) {
        std::size_t q = p + 1;
        int d = at(q);
        bool expNegative = false;
        if (d == '+' || d == '-') {
            expNegative = d == '-';
            d = at(++q);
        }
        if (isDigit(static_cast<char>(d))) {
            out.push('e');
            if (expNegative) out.push('-');
            for (; isDigit(static_cast<char>(d)); d = at(++q)) out.push(static_cast<char>(d));
            pos = q;
        }
    }
    return true;
}

// Collects the normalised number, on the stack for every ordinary number.
class NumberBuffer {
public:
    void push(char c)
    {
        if (m_size < kStackNumber) m_stack[m_size] = c;
        else if (m_size == kStackNumber) m_heap.assign(m_stack, kStackNumber), m_heap.push_back(c);
        else m_heap.push_back(c);
        ++m_size;
    }
    std::string_view view() const
    {
        return m_size <= kStackNumber ? std::string_view(m_stack, m_size) : std::string_view(m_heap);
    }

private:
    char m_stack[kStackNumber];
    std::size_t m_size = 0;
    std::string m_heap;
};

} // namespace

std::optional<LeadingNumber> readLeadingNumber(std::string_view text)
{
    NumberBuffer buffer;
    std::size_t pos = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    if (!scanNumber(text, pos, buffer, blank, true)) {
        return LeadingNumber{0.0, false};
    }
    const auto value = convertChecked(buffer.view());
    if (!value) {
        return std::nullopt;
    }
    return LeadingNumber{*value, true};
}

std::optional<double> parseWholeNumber(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    const std::string_view core = text.substr(begin, end - begin);
    NumberBuffer buffer;
    std::size_t pos = 0;
    auto none = [](char) { return false; };
    if (!scanNumber(core, pos, buffer, none, false) || pos != core.size()) {
        return std::nullopt;
    }
    return convertChecked(buffer.view());
}

std::optional<std::string> decimalCommaAsPoint(std::string_view text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || text.find(',', comma + 1) != std::string_view::npos ||
        text.find('.') != std::string_view::npos) {
        return std::nullopt;
    }
    std::string withPoint(text);
    withPoint[comma] = '.';
    if (!parseWholeNumber(withPoint)) return std::nullopt;
    return withPoint;
}

} // namespace hattsheet::text
