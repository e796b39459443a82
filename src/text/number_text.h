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
// The largest integer up to which a double holds every integer exactly (2^53).
inline constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;
// At most this many digits fit a 64-bit integer without overflow.
inline constexpr std::size_t kMostDigits = 19;

inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

} // namespace detail

// The plain decimal that nearly every field and list holds: an optional "-",
// digits with at most one "." and at least one digit, whose digits read as
// one integer are at most 2^53 and whose decimals are at most 22, and nothing
// else (no "+", blank or exponent). The digits as an integer and the power of
// ten are both exact doubles, so the one division rounds correctly: the same
// double as the general readers above, without their scan. Empty optional for
// every other text, which the caller reads the general way. Inline, as the
// list reader calls it for three fields of every record.
inline std::optional<double> readPlainDecimal(std::string_view s)
{
    const char* p = s.data();
    const char* const end = p + s.size();
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;  // wraps past 19 digits; such a text is refused below
    const char* const first = p;
    for (; p != end && detail::isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    std::size_t digits = static_cast<std::size_t>(p - first);
    std::size_t scale = 0;  // decimal places of the mantissa
    if (p != end && *p == '.') {
        const char* const decimals = ++p;
        for (; p != end && detail::isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        scale = static_cast<std::size_t>(p - decimals);
        digits += scale;
    }
    if (p != end || digits == 0 || digits > detail::kMostDigits || mantissa > detail::kExactIntegers ||
        scale >= std::size(detail::kExactPowers)) {
        return std::nullopt;
    }
    const double magnitude = static_cast<double>(mantissa) / detail::kExactPowers[scale];
    return negative ? -magnitude : magnitude;
}

} // namespace hattsheet::text
