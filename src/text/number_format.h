#pragma once
// The number formats of the window and of the point lines: "0.000" for plane
// coordinates and heights, "0.00000" for seconds of arc.
//
// The value is first written with 15 significant digits; that decimal text
// is rounded to the number of decimals, halves away from zero. So a double
// that prints as 1.0005 with 15 digits gives "1.001" although its binary
// value lies a hair below the half. At least one digit before the point,
// "." whatever the locale, a leading "-" for a value below zero (also when
// it rounds to zero: -0.0001 gives "-0.000"; -0.0 gives "0.000"), no digit
// grouping. The value must be finite: callers check before they format.

#include <string>
#include <string_view>

namespace hattsheet::text {

constexpr int kCoordinateDecimals = 3;  // "0.000": millimetres
constexpr int kSecondsDecimals = 5;     // "0.00000": seconds of arc

// Room for the longest text appendFixed writes: "-", 309 integer digits and
// a carry, ".", 20 decimals, and one to spare.
constexpr std::size_t kMaxFixedChars = 1 + 310 + 1 + 20 + 1;

// Appends the formatted value to out (no allocation beyond out's growth).
void appendFixed(std::string& out, double value, int decimals);
// The same written at p, which has room for kMaxFixedChars; returns the end.
char* putFixed(char* p, double value, int decimals);

std::string formatFixed(double value, int decimals);

// Whether text is exactly what appendFixed writes for the number it reads as:
// an optional "-", "0" or digits without a leading zero, ".", exactly
// `decimals` digits, at most 15 digits in all (a double keeps 15), and not a
// negative zero (written "0.000"). A list's heights mostly are: they are
// copied as they stand instead of read and written again.
bool isWrittenFixed(std::string_view text, int decimals);

// The same through std::to_chars for every magnitude: appendFixed takes an
// exact integer path for 10^-3 <= |value| < 10^15 (far cheaper: README,
// Development) and
// this one for the rest; tests compare the two.
void appendFixedGeneral(std::string& out, double value, int decimals);

// "0.000"
inline std::string formatCoordinate(double value) { return formatFixed(value, kCoordinateDecimals); }

} // namespace hattsheet::text
