#include "text/read_double.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>

namespace hattsheet::text {

DecimalResult readDouble(const char* first, const char* last, double& value)
{
    // fast_float reads "inf" and "nan" as std::from_chars does; a coordinate
    // never is one.
    const char* digits = first != last && *first == '-' ? first + 1 : first;
    if (digits == last || !((*digits >= '0' && *digits <= '9') || *digits == '.')) {
        return {first, std::errc::invalid_argument};
    }
    double read = 0.0;
    const auto [ptr, ec] = fast_float::from_chars(first, last, read);
    if (ec != std::errc()) return {ptr, ec};
    // This version of fast_float gives an infinity or a zero where
    // std::from_chars reports the number out of range.
    const char* mantissaEnd = std::find_if(first, ptr, [](char c) { return c == 'e' || c == 'E'; });
    const bool nonZeroDigit = std::any_of(first, mantissaEnd, [](char c) { return c >= '1' && c <= '9'; });
    if (std::isinf(read) || (read == 0.0 && nonZeroDigit)) return {ptr, std::errc::result_out_of_range};
    value = read;
    return {ptr, ec};
}

} // namespace hattsheet::text
