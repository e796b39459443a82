#pragma once
// The batch conversion of panel 1 into panel 2 (button "Μετατροπή ομάδας
// σημείων"), and the conversion of one point record that the command line
// shares with it, so both give the digits of the ">" button.

#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"
#include "operations/single_point.h"
#include "operations/window_ports.h"

#include <string>

namespace hattsheet::operations {

// Appends the point line of one record converted from sheets.from to
// sheets.to: code as read, X′ and Y′ in "0.000", H in "0.000" (an empty H is
// 0; an H that is text is copied unchanged; a record without a height is
// written without one). False, with nothing appended, when X or Y is empty
// or not a number or a result is not finite.
bool appendConvertedLine(const geodesy::SheetPair& sheets, const pointfile::PointRecord& record, std::string& out);
// The same for a record whose X and Y were read as numbers already, in a
// layout (today's by default): H is read with its decimal mark, and a code
// of a line layout that holds a comma is written in quotes
// (pointfile::codeForCommaLine).
bool appendConvertedPoint(const geodesy::SheetPair& sheets, const pointfile::PointRecord& record, double x, double y,
                          std::string& out, const pointfile::PointLayout& layout = {});

// The batch: panel 1's list, in the layout recogniseLayout finds, converted
// and appended to panel 2. A refused record stops it with "Λάθος στον
// πίνακα!" and a second line naming the record, the line and why, and that
// line of panel 1 is selected; records across lines are converted as the
// field stream gives them and the closing message says so.

void convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp);

} // namespace hattsheet::operations
