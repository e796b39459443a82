#pragma once
// The point line this program writes for one point, in every output: the
// window's panels and the command line alike.

#include <string>
#include <string_view>

namespace hattsheet::pointfile {

// Appends code, ", ", X, ", ", Y, ", ", H, CR LF with the numbers in "0.000".
// hText, when given, is written instead of the H number (a height that is
// text is carried through unchanged). decimals: those of X and Y (degrees
// of a geographic list take 9).
void appendPointLine(std::string& out, std::string_view code, double x, double y, double h, int decimals = 3);
void appendPointLine(std::string& out, std::string_view code, double x, double y, std::string_view hText,
                     int decimals = 3);
// A code as a line of today's layout holds it: one with a comma (read from
// a list of other separators) in double quotes, which the comma reader takes
// off again, so that the written list reads back as the same points. Any
// other code as it is.
std::string codeForCommaLine(std::string_view code);

// The line of a point read without a height: code, ", ", X, ", ", Y, CR LF.
void appendPlanePointLine(std::string& out, std::string_view code, double x, double y, int decimals = 3);

} // namespace hattsheet::pointfile
