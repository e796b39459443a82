#include "text/number_format.h"

#include "text/read_double.h"
#include "text/number_text.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>
#include <type_traits>

namespace hattsheet::text {

namespace {
constexpr int kSignificantDigits = 15;
constexpr int kMaxDecimals = 20;
// A finite double has at most 309 integer digits; one more for a carry.
constexpr int kMaxUnits = 310 + kMaxDecimals + 1;
static_assert(kMaxFixedChars >= kMaxUnits + 2, "a sign and a point besides the digits");

constexpr std::uint64_t kPow10[] = {
    1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL, 100000000ULL, 1000000000ULL,
    10000000000ULL, 100000000000ULL, 1000000000000ULL, 10000000000000ULL, 100000000000000ULL,
    1000000000000000ULL, 10000000000000000ULL, 100000000000000000ULL, 1000000000000000000ULL,
};
constexpr int kLargestPow10 = 18;

// 53-bit mantissa times a power of ten up to 10^17 needs 110 bits.
__extension__ typedef unsigned __int128 Uint128;

// The magnitudes the integer path below takes: 10^-3 <= |value| < 10^15,
// which holds every coordinate and height of a map sheet.
constexpr int kFastLowestExponent = -3;
constexpr int kFastHighestExponent = 14;
constexpr int kFastMaxDecimals = 15;  // units of 10^-15 still fit in 64 bits

// v / 10^p for 0 <= p <= 18. Each divisor is a constant, which the compiler
// turns into a multiplication and a shift; a divisor read from a table costs
// a hardware division of some 40 cycles.
std::uint64_t dividePow10(std::uint64_t v, int p)
{
    switch (p) {
    case 0: return v / kPow10[0];
    case 1: return v / kPow10[1];
    case 2: return v / kPow10[2];
    case 3: return v / kPow10[3];
    case 4: return v / kPow10[4];
    case 5: return v / kPow10[5];
    case 6: return v / kPow10[6];
    case 7: return v / kPow10[7];
    case 8: return v / kPow10[8];
    case 9: return v / kPow10[9];
    case 10: return v / kPow10[10];
    case 11: return v / kPow10[11];
    case 12: return v / kPow10[12];
    case 13: return v / kPow10[13];
    case 14: return v / kPow10[14];
    case 15: return v / kPow10[15];
    case 16: return v / kPow10[16];
    case 17: return v / kPow10[17];
    case 18: return v / kPow10[18];
    default: return 0;
    }
}

// "00" "01" ... "99": the integer part is written two digits at a time.
struct DigitPairs {
    char text[200];
    constexpr DigitPairs() : text()
    {
        for (int i = 0; i < 100; ++i) {
            text[2 * i] = static_cast<char>('0' + i / 10);
            text[2 * i + 1] = static_cast<char>('0' + i % 10);
        }
    }
};
constexpr DigitPairs kDigitPairs;

// log10(2) as 78913 / 2^18 (0.30103 to six digits): floor(e * log10(2)) for
// the binary exponents |e| < 1000 of a double, the first guess of a value's
// decimal exponent.
constexpr int kLog10Of2Times2To18 = 78913;
constexpr int kLog10Of2Shift = 18;

// The 15 significant digits of a double as an integer, and the decimal
// exponent of the first: the value is about digits × 10^(exponent − 14).
struct FifteenDigits {
    std::uint64_t digits = 0;  // 10^14 <= digits < 10^15
    int exponent = 0;
};

// The same digits as the general path, by exact integer arithmetic instead
// of to_chars: the 15 significant digits are the double's exact binary value
// m * 2^-s times 10^(14 - E), rounded to an integer, ties to even as to_chars
// rounds them. Empty when a (positive) is outside the magnitudes above.
// Forced inline: out of line it costs appendFixed more instructions (the
// callgrind figures are in the README, Development).
[[gnu::always_inline]] inline std::optional<FifteenDigits> fifteenDigits(double a)
{
    if (!(a >= 1e-3) || !(a < 1e15)) return std::nullopt;
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);

    // E, the decimal exponent of the leading digit: exact for a >= 1, where
    // the powers of ten are exact doubles. With 2^b <= a < 2^(b+1), it is
    // floor(b * log10 2) or one more. Below 1 a first guess that the digit
    // count below corrects.
    int E = a >= 0.1 ? -1 : (a >= 0.01 ? -2 : -3);
    if (a >= 1.0) {
        E = ((biased - 1023) * kLog10Of2Times2To18) >> kLog10Of2Shift;
        if (E < kFastHighestExponent && a >= static_cast<double>(kPow10[E + 1])) ++E;
    }
    const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    const int shift = 1075 - biased;  // a = m * 2^-shift, 3 <= shift <= 62 in this range
    if (shift <= 0 || shift >= 64) return std::nullopt;

    // The 15-digit integer of a * 10^(14 - e), ties to even. A multiplication
    // by a power of ten from the table costs no more than by a constant.
    auto digitsAt = [&](int e) {
        const Uint128 n = static_cast<Uint128>(m) * kPow10[14 - e];
        Uint128 d = n >> shift;
        const Uint128 rem = n - (d << shift);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        if (rem > half || (rem == half && (d & 1) != 0)) ++d;
        return d;
    };
    Uint128 d = digitsAt(E);
    if (d < kPow10[14] && E > kFastLowestExponent) d = digitsAt(--E);
    if (d > kPow10[15] && E < kFastHighestExponent) d = digitsAt(++E);
    if (d == kPow10[15]) {
        // 9.99...95 rounds up to the next power of ten: exactly 1.0e(E+1).
        d = kPow10[14];
        ++E;
    }
    if (d < kPow10[14] || d >= kPow10[15] || E > kFastHighestExponent) return std::nullopt;
    return FifteenDigits{static_cast<std::uint64_t>(d), E};
}

// Writes units × 10^-Decimals at p, with "-" when negative; returns the
// end. The integer digits are counted first so that every digit is written
// in its place, two at a time.
template <int Decimals>
char* putUnits(char* p, std::uint64_t units, bool negative)
{
    constexpr std::uint64_t kUnit = kPow10[Decimals];
    if (negative) *p++ = '-';
    std::uint64_t w = units / kUnit;
    int intDigits = 1;
    while (intDigits <= kLargestPow10 && w >= kPow10[intDigits]) ++intDigits;
    char* q = p + intDigits;
    p = q;
    for (; w >= 100; w /= 100) {
        const char* pair = kDigitPairs.text + 2 * (w % 100);
        *--q = pair[1];
        *--q = pair[0];
    }
    if (w >= 10) {
        *--q = kDigitPairs.text[2 * w + 1];
        *--q = kDigitPairs.text[2 * w];
    } else {
        *--q = static_cast<char>('0' + w);
    }
    if constexpr (Decimals > 0) {
        *p++ = '.';
        std::uint64_t frac = units % kUnit;
        q = p + Decimals;
        p = q;
        for (int i = 0; i + 1 < Decimals; i += 2) {
            const char* pair = kDigitPairs.text + 2 * (frac % 100);
            *--q = pair[1];
            *--q = pair[0];
            frac /= 100;
        }
        if constexpr (Decimals % 2 == 1) *--q = static_cast<char>('0' + frac);
    }
    return p;
}

// The units of 10^-Decimals of a (10^-3 <= a < 10^15), rounded from a's
// exact binary value in one step, where that gives what the two roundings
// below give (to 15 digits, then to the decimals). They differ only when the
// fraction past the last decimal lies just below one half, within the half
// unit of the 15th digit that rounding to 15 digits may move it by: then,
// and outside the range where this holds, the answer is empty. For a
// coordinate near 10^5 that is about one value in 10^5.
template <int Decimals>
[[gnu::always_inline]] inline std::optional<std::uint64_t> unitsInOneStep(double a)
{
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);
    const int shift = 1075 - biased;  // a = m * 2^-shift
    // floor(log10 a) is at most one above this guess; a 15-digit rounding
    // that carries to the next power adds one more.
    const int highestE = (((biased - 1023) * kLog10Of2Times2To18) >> kLog10Of2Shift) + 2;
    const int extraDigits = 14 - highestE - Decimals;  // 15-digit places past the last decimal, at least
    if (shift <= 0 || shift >= 64 || extraDigits < 1 || extraDigits > kLargestPow10) return std::nullopt;
    const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    // m < 2^53: up to 10^3 the product fits 64 bits, which is faster.
    using Wide = std::conditional_t<(Decimals <= 3), std::uint64_t, Uint128>;
    const Wide n = static_cast<Wide>(m) * kPow10[Decimals];
    const std::uint64_t units = static_cast<std::uint64_t>(n >> shift);
    const Wide rest = n - (static_cast<Wide>(units) << shift);  // the fraction, times 2^shift
    const Wide half = static_cast<Wide>(1) << (shift - 1);
    if (rest >= half) return units + 1;
    // Below one half by at most half a unit of the 15th digit: undecided.
    if (static_cast<Uint128>(half - rest) * kPow10[extraDigits] <= half) return std::nullopt;
    return units;
}

// The integer path of appendFixed: the 15 digits above, rounded to the
// wanted decimals half away from zero on that digit string, as the general
// path rounds. Null when the value is outside the magnitudes above or the
// result would not fit in 64 bits. Decimals is a template argument so that
// the divisions by 10^Decimals are by constants too.
template <int Decimals>
char* putFixedFast(char* p, double value)
{
    static_assert(Decimals >= 0 && Decimals <= kFastMaxDecimals);
    const double a = std::fabs(value);
    if (!(a >= 1e-3) || !(a < 1e15)) return nullptr;
    if (const auto direct = unitsInOneStep<Decimals>(a)) return putUnits<Decimals>(p, *direct, value < 0);
    const auto f = fifteenDigits(a);
    if (!f) return nullptr;
    // digits * 10^(E - 14): k decimals.
    const int k = 14 - f->exponent;
    std::uint64_t units;
    if (k > Decimals) {
        const std::uint64_t upToNext = dividePow10(f->digits, k - Decimals - 1);
        units = upToNext / 10;
        if (upToNext % 10 >= 5) ++units;
    } else {
        if (Decimals - k > 3) return nullptr;
        units = f->digits * kPow10[Decimals - k];
    }
    return putUnits<Decimals>(p, units, value < 0);
}

} // namespace

char* putFixed(char* p, double value, int decimals)
{
    assert(std::isfinite(value));
    assert(decimals >= 0 && decimals <= kMaxDecimals);
    // The integer path for the formats this program writes: whole degrees
    // and minutes, "0.000" and "0.00000".
    char* end = nullptr;
    switch (decimals) {
    case 0: end = putFixedFast<0>(p, value); break;
    case kCoordinateDecimals: end = putFixedFast<kCoordinateDecimals>(p, value); break;
    case kSecondsDecimals: end = putFixedFast<kSecondsDecimals>(p, value); break;
    default: break;
    }
    if (end != nullptr) return end;
    std::string general;
    appendFixedGeneral(general, value, decimals);
    return std::copy(general.begin(), general.end(), p);
}

void appendFixed(std::string& out, double value, int decimals)
{
    char text[kMaxFixedChars];
    out.append(text, static_cast<std::size_t>(putFixed(text, value, decimals) - text));
}

namespace {

// The significant digits of a magnitude in scientific notation, by to_chars.
struct ScientificDigits {
    char d[kSignificantDigits];
    int n = 0;  // digits in d (15, or 14 near the largest double)
    int e = 0;  // decimal exponent of d[0]
};

ScientificDigits scientificDigits(double a)
{
    char sci[32];
    auto res = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, kSignificantDigits - 1);
    // Above 1.797693134862315e308 the 15 digits round up past the largest
    // double, and the written number would not read back; 14 digits do.
    double check = 0.0;
    if (a > 1e308 && readDouble(sci, res.ptr, check).ec == std::errc::result_out_of_range) {
        res = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, kSignificantDigits - 2);
    }
    ScientificDigits out;
    const char* p = sci;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p != '.') out.d[out.n++] = *p;
    }
    // to_chars writes no terminating NUL: read the exponent within its bounds.
    const char* q = p + 1;
    if (q < res.ptr && *q == '+') ++q;
    std::from_chars(q, res.ptr, out.e);
    return out;
}

} // namespace

void appendFixedGeneral(std::string& out, double value, int decimals)
{
    assert(std::isfinite(value));
    assert(decimals >= 0 && decimals <= kMaxDecimals);

    // The 15 significant digits d[0..n) and the decimal exponent e, so that
    // the written value is d0.d1d2...d14 × 10^e.
    const ScientificDigits sd = scientificDigits(std::fabs(value));
    const char* d = sd.d;
    const int n = sd.n;
    const int e = sd.e;

    // The value in units of the last decimal place, as a digit string:
    // the digits of places 10^e down to 10^-decimals.
    const int keep = e + decimals + 1;  // how many of d[] reach down to that place
    char units[kMaxUnits];
    int len = 0;
    for (int i = 0; i < keep && i < n; ++i) units[len++] = d[i];
    for (int i = n; i < keep; ++i) units[len++] = '0';
    if (keep >= 0 && keep < n && d[keep] >= '5') {
        // Round half away from zero: the magnitude goes up by one unit.
        int i = len - 1;
        while (i >= 0 && units[i] == '9') units[i--] = '0';
        if (i >= 0) {
            ++units[i];
        } else {
            for (int j = len; j > 0; --j) units[j] = units[j - 1];
            units[0] = '1';
            ++len;
        }
    }
    // At least one digit before the point, none of them a leading zero.
    int start = 0;
    while (start < len - (decimals + 1) && units[start] == '0') ++start;
    const int significant = len - start;
    const int padding = significant < decimals + 1 ? decimals + 1 - significant : 0;
    const int intDigits = padding + significant - decimals;

    if (value < 0) {
        out.push_back('-');
    }
    int written = 0;
    auto put = [&](char c) {
        if (written == intDigits) out.push_back('.');
        out.push_back(c);
        ++written;
    };
    for (int i = 0; i < padding; ++i) put('0');
    for (int i = start; i < len; ++i) put(units[i]);
}

bool isWrittenFixed(std::string_view text, int decimals)
{
    using detail::isDigit;
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    const char* const whole = p;
    while (p != end && isDigit(*p)) ++p;
    const auto wholeDigits = p - whole;
    if (wholeDigits == 0 || (wholeDigits > 1 && *whole == '0') || p == end || *p != '.') return false;
    const char* const fraction = ++p;
    bool zero = *whole == '0';
    for (; p != end && isDigit(*p); ++p) zero = zero && *p == '0';
    return p == end && p - fraction == decimals && wholeDigits + decimals <= kSignificantDigits &&
           !(negative && zero);
}

std::string formatFixed(double value, int decimals)
{
    std::string s;
    appendFixed(s, value, decimals);
    return s;
}

} // namespace hattsheet::text
