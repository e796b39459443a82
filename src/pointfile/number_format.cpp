#include "number_format.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <system_error>

namespace hattsheet::pointfile {

namespace {
constexpr int kSignificantDigits = 15;
constexpr int kMaxDecimals = 20;
// A finite double has at most 309 integer digits; one more for a carry.
constexpr int kMaxUnits = 310 + kMaxDecimals + 1;
}

void appendFixed(std::string& out, double value, int decimals)
{
    assert(std::isfinite(value));
    assert(decimals >= 0 && decimals <= kMaxDecimals);

    // The 15 significant digits d[0..15) and the decimal exponent e, so that
    // the written value is d0.d1d2...d14 × 10^e.
    char sci[32];
    auto res = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific,
                             kSignificantDigits - 1);
    // Above 1.797693134862315e308 the 15 digits round up past the largest
    // double, and the written number would not read back; 14 digits do.
    double check = 0.0;
    if (std::fabs(value) > 1e308 && std::from_chars(sci, res.ptr, check).ec == std::errc::result_out_of_range) {
        res = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific,
                            kSignificantDigits - 2);
    }
    char d[kSignificantDigits];
    int n = 0;
    const char* p = sci;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p != '.') d[n++] = *p;
    }
    // to_chars writes no terminating NUL: read the exponent within its bounds.
    int e = 0;
    const char* q = p + 1;
    if (q < res.ptr && *q == '+') ++q;
    std::from_chars(q, res.ptr, e);

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

std::string formatFixed(double value, int decimals)
{
    std::string s;
    appendFixed(s, value, decimals);
    return s;
}

} // namespace hattsheet::pointfile
