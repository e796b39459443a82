#pragma once
// The batch conversion of panel 1 into panel 2 (button "Μετατροπή ομάδας
// σημείων"), and the conversion of one point record that the command line
// shares with it, so both give the digits of the ">" button.

#include "pointfile/field_reader.h"
#include "operations/single_point.h"
#include "operations/window_ports.h"

#include <string>

namespace hattsheet::operations {

// Appends the point line of one record converted from sheets.from to
// sheets.to: code as read, X′ and Y′ in "0.000", H in "0.000" (an empty H is
// 0; an H that is text is copied unchanged). False, with nothing appended,
// when X or Y is not a number or a result is not finite.
bool appendConvertedLine(const geodesy::SheetPair& sheets, const pointfile::PointRecord& record, std::string& out);
// The same for a record whose X and Y were read as numbers already.
bool appendConvertedPoint(const geodesy::SheetPair& sheets, const pointfile::PointRecord& record, double x, double y,
                          std::string& out);

// Appends the points of panel 1 converted between the two sheet centres to
// panel 2 (OldToNew: "Από Κ.Φ." to "Σε Κ.Φ."; NewToOld: back), and says how
// many. Gives the number of points appended (those before a failing record
// too); 0 when a centre or the list was refused.
unsigned long long convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                    Direction direction = Direction::OldToNew);

} // namespace hattsheet::operations
