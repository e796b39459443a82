#pragma once
// Decimal text to the nearest double, the same on every platform: Debian's
// libfast-float-dev (header-only; the algorithm libstdc++'s std::from_chars
// uses), which the Windows build has too, where the standard library has no
// std::from_chars for double. On the reference points of
// tests/geodesy/data and every number of the fuzz corpus it gives the
// doubles, results and end pointers std::from_chars gives
// (tests/text/tst_read_double).

#include <system_error>

namespace hattsheet::text {

struct DecimalResult {
    const char* ptr;  // one past the last character read; first when ec is invalid_argument
    std::errc ec;
};

// Reads [first, last) as std::from_chars(first, last, value) does in its
// general format for finite numbers: an optional "-", digits with at most one
// ".", an optional exponent ("e" or "E", optional sign, digits). No "+", no
// blanks, no "inf" or "nan" (invalid_argument). Every digit counts (rounded
// once, to nearest, ties to even), and the locale plays no part. A number
// beyond the largest double, or one that rounds to zero although it has a
// non-zero digit, gives result_out_of_range; value changes only on success.
DecimalResult readDouble(const char* first, const char* last, double& value);

} // namespace hattsheet::text
