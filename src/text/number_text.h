#pragma once
// Reading numbers from the texts a user types or a coordinate file holds.
// Both readers ignore the locale: "." is the only decimal point.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
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

// A field's text typed with one decimal comma (a Greek keypad's decimal key):
// the text with that comma as a point, when so it is one whole number
// (parseWholeNumber) and it has no point of its own: "-12345,678" gives
// "-12345.678", "1,5E3" gives "1.5E3". Empty optional for any other text,
// two commas, a comma beside a point ("1.000,5"), or a comma that is no
// decimal separator (",5" and "5," are numbers, as ".5" and "5." are).
std::optional<std::string> decimalCommaAsPoint(std::string_view text);

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
// one integer are at most 2^53 and whose decimals are at most 22. The digits
// as an integer and the power of ten are both exact doubles, so the one
// division rounds correctly: the same double as the general readers above,
// without their scan. Reads from p up to the first character that cannot
// continue such a number and sets value and end; false when what stands
// there is no plain decimal. Inline, as the list reader calls it for two or
// three fields of every record.
inline bool scanPlainDecimal(const char* p, const char* const last, double& value, const char*& end)
{
    const bool negative = p != last && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;  // wraps past 19 digits; such a text is refused below
    // Digits onto the mantissa up to the first other character; in unsigned
    // bytes, so that one comparison tells a digit.
    const auto takeDigits = [&mantissa, last](const char* q) {
        for (; q != last; ++q) {
            const unsigned digit = static_cast<unsigned char>(*q) - unsigned{'0'};
            if (digit > 9) break;
            mantissa = mantissa * 10 + digit;
        }
        return q;
    };
    const char* const first = p;
    p = takeDigits(p);
    std::size_t digits = static_cast<std::size_t>(p - first);
    std::size_t scale = 0;  // decimal places of the mantissa
    if (p != last && *p == '.') {
        const char* const decimals = ++p;
        p = takeDigits(p);
        scale = static_cast<std::size_t>(p - decimals);
        digits += scale;
    }
    if (digits == 0 || digits > detail::kMostDigits || mantissa > detail::kExactIntegers ||
        scale >= std::size(detail::kExactPowers)) {
        return false;
    }
    const double magnitude = static_cast<double>(mantissa) / detail::kExactPowers[scale];
    value = negative ? -magnitude : magnitude;
    end = p;
    return true;
}

// The whole text as a plain decimal, and nothing else (no "+", blank or
// exponent); empty optional for every other text, which the caller reads
// the general way.
inline std::optional<double> readPlainDecimal(std::string_view s)
{
    const char* const last = s.data() + s.size();
    double value = 0.0;
    const char* end = nullptr;
    if (!scanPlainDecimal(s.data(), last, value, end) || end != last) return std::nullopt;
    return value;
}

} // namespace hattsheet::text
