#include "text/decimal_to_double.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The number is d × 10^e with d the significant digits as an integer. Both
// d × 10^max(e,0) and 10^max(-e,0) are formed exactly as big integers, and
// one long division, scaled by a power of two, gives the 63 or 64 leading
// bits of the quotient and whether anything remains. That decides the
// rounding exactly, without the error analysis of the faster methods; it is
// the slow path of a few standard libraries only, and still takes a few
// microseconds for the numbers of a coordinate file.

namespace hattsheet::text {

namespace {

// Halfway points between doubles have at most 767 significant digits, so
// the digits past the 800th matter only as "something non-zero follows",
// which one extra digit 1 says as well.
constexpr std::size_t kMaxDigits = 800;
// A number below 10^m, m its decimal magnitude, is zero whatever its digits
// for m <= -324 (10^-324 is below half the smallest double, 4.9e-324); at or
// above 10^309 it is beyond the largest double (1.8e308).
constexpr long long kMaxMagnitude = 309;
constexpr long long kMinMagnitude = -324;

// A non-negative integer in base 2^32, least significant limb first, with
// no zero limb at the top.
class BigInt {
public:
    explicit BigInt(std::uint32_t v = 0)
    {
        if (v != 0) m_limbs.push_back(v);
    }

    void mulAdd(std::uint32_t factor, std::uint32_t addend)
    {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : m_limbs) {
            const std::uint64_t t = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        if (carry != 0) m_limbs.push_back(static_cast<std::uint32_t>(carry));
    }

    void mulPow10(long long n)
    {
        for (; n >= 9; n -= 9) mulAdd(1000000000u, 0);
        static constexpr std::uint32_t kSmall[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
        if (n > 0) mulAdd(kSmall[n], 0);
    }

    void shiftLeft(long long bits)
    {
        if (m_limbs.empty() || bits == 0) return;
        const auto words = static_cast<std::size_t>(bits / 32);
        const int rest = static_cast<int>(bits % 32);
        if (rest != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : m_limbs) {
                const std::uint32_t next = limb >> (32 - rest);
                limb = (limb << rest) | carry;
                carry = next;
            }
            if (carry != 0) m_limbs.push_back(carry);
        }
        m_limbs.insert(m_limbs.begin(), words, 0u);
    }

    void shiftRightOne()
    {
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            const std::uint32_t high = i + 1 < m_limbs.size() ? m_limbs[i + 1] << 31 : 0u;
            m_limbs[i] = (m_limbs[i] >> 1) | high;
        }
        trim();
    }

    // *this -= other, which is not larger.
    void subtract(const BigInt& other)
    {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < m_limbs.size(); ++i) {
            const std::int64_t t =
                std::int64_t{m_limbs[i]} - borrow - (i < other.m_limbs.size() ? other.m_limbs[i] : 0);
            borrow = t < 0 ? 1 : 0;
            m_limbs[i] = static_cast<std::uint32_t>(t);  // t + 2^32 when it is negative
        }
        trim();
    }

    int compare(const BigInt& other) const
    {
        if (m_limbs.size() != other.m_limbs.size()) return m_limbs.size() < other.m_limbs.size() ? -1 : 1;
        for (std::size_t i = m_limbs.size(); i-- > 0;) {
            if (m_limbs[i] != other.m_limbs[i]) return m_limbs[i] < other.m_limbs[i] ? -1 : 1;
        }
        return 0;
    }

    long long bitLength() const
    {
        if (m_limbs.empty()) return 0;
        long long bits = static_cast<long long>(m_limbs.size() - 1) * 32;
        for (std::uint32_t top = m_limbs.back(); top != 0; top >>= 1) ++bits;
        return bits;
    }

    bool isZero() const { return m_limbs.empty(); }

private:
    void trim()
    {
        while (!m_limbs.empty() && m_limbs.back() == 0) m_limbs.pop_back();
    }

    std::vector<std::uint32_t> m_limbs;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The double nearest to digits × 10^exp10 (digits without leading zeros,
// at most kMaxDigits + 1 of them); infinity when it overflows.
double nearestDouble(const std::string& digits, long long exp10)
{
    BigInt num;
    for (std::size_t i = 0; i < digits.size(); i += 9) {
        std::uint32_t chunk = 0;
        std::uint32_t scale = 1;
        for (std::size_t j = i; j < i + 9 && j < digits.size(); ++j) {
            chunk = chunk * 10 + static_cast<std::uint32_t>(digits[j] - '0');
            scale *= 10;
        }
        num.mulAdd(scale, chunk);
    }
    BigInt den(1);
    if (exp10 >= 0) num.mulPow10(exp10);
    else den.mulPow10(-exp10);

    // Scale by 2^s so that q = floor(num × 2^s / den) lies in [2^62, 2^64).
    const long long s = 63 - (num.bitLength() - den.bitLength());
    if (s > 0) num.shiftLeft(s);
    else den.shiftLeft(-s);
    BigInt step = den;
    step.shiftLeft(63);
    std::uint64_t q = 0;
    for (int bit = 63; bit >= 0; --bit) {
        if (num.compare(step) >= 0) {
            num.subtract(step);
            q |= std::uint64_t{1} << bit;
        }
        step.shiftRightOne();
    }
    const bool sticky = !num.isZero();

    // Keep 53 bits, or fewer where the result is subnormal (its lowest bit
    // is 2^-1074), and round to nearest, ties to even.
    long long bits = 0;
    for (std::uint64_t t = q; t != 0; t >>= 1) ++bits;
    long long drop = bits - 53;
    if (s - 1074 > drop) drop = s - 1074;
    if (drop > 64) return 0.0;
    std::uint64_t kept = 0;
    bool roundBit = false;
    bool rest = sticky;
    if (drop == 64) {
        roundBit = (q >> 63) != 0;
        rest = rest || (q << 1) != 0;
    } else {
        kept = q >> drop;
        roundBit = ((q >> (drop - 1)) & 1u) != 0;
        rest = rest || (q & ((std::uint64_t{1} << (drop - 1)) - 1)) != 0;
    }
    if (roundBit && (rest || (kept & 1u) != 0)) ++kept;
    return std::ldexp(static_cast<double>(kept), static_cast<int>(drop - s));
}

} // namespace

namespace {

// An exponent at p ("e" or "E", a sign, digits) added to exp10; returns the
// end of what was read: p itself when no exponent stands there. Held below
// 10^8, which is past every double's range either way.
const char* readExponent(const char* p, const char* last, long long& exp10)
{
    if (p == last || (*p != 'e' && *p != 'E')) return p;
    const char* q = p + 1;
    const bool negative = q != last && *q == '-';
    if (q != last && (*q == '-' || *q == '+')) ++q;
    if (q == last || !isDigit(*q)) return p;
    long long exponent = 0;
    for (; q != last && isDigit(*q); ++q) {
        if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
    }
    exp10 += negative ? -exponent : exponent;
    return q;
}

} // namespace

DecimalResult decimalToDouble(const char* first, const char* last, double& value)
{
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) ++p;

    // The significant digits, and the power of ten of the last one kept.
    std::string digits;
    long long exp10 = 0;
    bool anyDigit = false;
    bool droppedNonZero = false;
    auto take = [&](char c, bool fraction) {
        anyDigit = true;
        if (digits.empty() && c == '0') {
            if (fraction) --exp10;
            return;
        }
        if (digits.size() < kMaxDigits) {
            digits.push_back(c);
            if (fraction) --exp10;
        } else {
            droppedNonZero = droppedNonZero || c != '0';
            if (!fraction) ++exp10;
        }
    };
    for (; p != last && isDigit(*p); ++p) take(*p, false);
    if (p != last && *p == '.') {
        const char* q = p + 1;
        for (; q != last && isDigit(*q); ++q) take(*q, true);
        if (anyDigit) p = q;
    }
    if (!anyDigit) return {first, std::errc::invalid_argument};

    p = readExponent(p, last, exp10);

    if (droppedNonZero) {
        digits.push_back('1');
        --exp10;
    } else {
        while (!digits.empty() && digits.back() == '0') {
            digits.pop_back();
            ++exp10;
        }
    }
    double magnitude = 0.0;
    if (!digits.empty()) {
        const long long decimalMagnitude = static_cast<long long>(digits.size()) + exp10;
        if (decimalMagnitude > kMaxMagnitude) return {p, std::errc::result_out_of_range};
        if (decimalMagnitude <= kMinMagnitude) return {p, std::errc::result_out_of_range};
        magnitude = nearestDouble(digits, exp10);
        if (std::isinf(magnitude) || magnitude == 0.0) return {p, std::errc::result_out_of_range};
    }
    value = negative ? -magnitude : magnitude;
    return {p, std::errc()};
}

} // namespace hattsheet::text
