#pragma once
// Decimal text to the nearest double, for standard libraries without
// std::from_chars for floating point (LLVM's libc++ before version 20).
// Where the library has it, readDouble is std::from_chars itself; otherwise
// it is decimalToDouble, which gives the same doubles and the same results:
// every digit counts (a number is rounded once, to nearest, ties to even,
// however many digits it has), and the locale plays no part.

#include <charconv>
#include <system_error>
#include <version>

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L && !defined(HATTSHEET_NO_DOUBLE_FROM_CHARS)
#define HATTSHEET_DOUBLE_FROM_CHARS 1
#else
#define HATTSHEET_DOUBLE_FROM_CHARS 0
#endif

namespace hattsheet::text {

struct DecimalResult {
    const char* ptr;  // one past the last character read; first when ec is invalid_argument
    std::errc ec;
};

// Reads [first, last) as std::from_chars(first, last, value) does in its
// general format for finite numbers: an optional "-", digits with at most one
// ".", an optional exponent ("e" or "E", optional sign, digits). No "+", no
// blanks, no "inf" or "nan" (invalid_argument). A number beyond the largest
// double, or one that rounds to zero although it has a non-zero digit, gives
// result_out_of_range; value changes only on success.
DecimalResult decimalToDouble(const char* first, const char* last, double& value);

inline DecimalResult readDouble(const char* first, const char* last, double& value)
{
#if HATTSHEET_DOUBLE_FROM_CHARS
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return {ptr, ec};
#else
    return decimalToDouble(first, last, value);
#endif
}

} // namespace hattsheet::text
