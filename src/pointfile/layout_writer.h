#pragma once
// Writing converted points back in the layout of the list they came from
// (hattsheet-convert --keep-layout, the window's save in the list's
// layout): a list read with ";" and decimal commas goes back with them.
//
// The converters write every point in today's comma layout
// (point_line_writer.h); these lines are then rewritten, so the digits are
// those of every other output, and only the separator and the decimal mark
// change.

#include "pointfile/point_layout.h"

#include <string>
#include <string_view>

namespace hattsheet::pointfile {

// Appends the whole lines of `written`, point lines as this program writes
// them (code, ", ", X, ", ", Y[, ", ", H], CR LF, the numbers in "0.000";
// the code in double quotes when it holds a comma), in a layout: its
// separator (";", a tab, one space; with a comma the lines are copied as
// they are) and its decimal mark. A code that holds the separator or a
// double quote is written in double quotes, as a spreadsheet writes it, so
// that the list reads back as the same points. A line that is not such a
// point line (a panel edited by hand) is copied as it is.
void appendInLayout(std::string& out, std::string_view written, const PointLayout& layout);

} // namespace hattsheet::pointfile
