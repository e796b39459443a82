#pragma once
// Reading numbers from the texts a user types or a coordinate file holds.
// Both readers ignore the locale: "." is the only decimal point.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace hattsheet::text {

// The leading number of a text, read the way the window reads its centre and
// point fields. Blanks, tabs and line feeds are ignored wherever they stand
// ("1 234.5" is 1234.5); then an optional sign, digits, an optional "." with
// digits (".30" is 0.3) and an optional exponent (E or D, optional sign,
// digits). The first character that cannot continue the number ends it, so
// "1,5" reads as 1 and "12a" as 12.
struct LeadingNumber {
    double value = 0.0;  // 0 when the text has no number at its start
    bool found = false;  // whether any digit was read
};

// Empty optional only when the number lies beyond the range of a double
// ("1E999"); a number too small for a double reads as (signed) zero.
std::optional<LeadingNumber> readLeadingNumber(std::string_view text);

// A whole text that is one number: apart from leading and trailing spaces, an
// optional sign, digits with at most one decimal point and an optional
// exponent (E, optional sign, digits). Empty optional for the empty text, for
// anything else ("12a", "1,5", "inf", "nan") and for a number beyond the
// range of a double. Used by the field test of the window and for the X, Y
// and H fields of coordinate files.
std::optional<double> parseWholeNumber(std::string_view text);

namespace detail {

// Powers of ten that a double holds exactly.
inline constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// At most this many significant digits make an integer a double holds exactly.
inline constexpr int kExactDigits = 15;

} // namespace detail

// The plain decimal that nearly every field and list holds: an optional "-",
// digits with at most one "." and at least one digit, at most 15 significant
// digits and at most 22 decimals, and nothing else (no "+", blank or
// exponent). The digits as an integer and the power of ten are both exact
// doubles, so the one division rounds correctly: the same double as the
// general readers above, without their scan. Empty optional for every other
// text, which the caller reads the general way. Inline, as the list reader
// calls it for every field: out of line it costs the list mode 1.2 % more
// instructions.
inline std::optional<double> readPlainDecimal(std::string_view s)
{
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) ++i;
    std::uint64_t mantissa = 0;
    int significant = 0;
    int scale = 0;  // decimal places of the mantissa
    bool point = false;
    bool digit = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return std::nullopt;
        digit = true;
        if (mantissa != 0 || c != '0') ++significant;
        if (significant > detail::kExactDigits) return std::nullopt;
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        if (point) ++scale;
    }
    if (!digit || scale >= static_cast<int>(std::size(detail::kExactPowers))) return std::nullopt;
    const double magnitude = static_cast<double>(mantissa) / detail::kExactPowers[scale];
    return negative ? -magnitude : magnitude;
}

} // namespace hattsheet::text
