#pragma once
// The batch conversion of panel 1 into panel 2 (button "Μετατροπή ομάδας
// σημείων"), and the conversion of one point record that the command line
// shares with it, so both give the digits of the ">" button.

#include "pointfile/field_reader.h"
#include "operations/single_point.h"
#include "operations/window_ports.h"

#include <functional>
#include <string>

namespace hattsheet::operations {

// Appends the point line of one record converted from sheets.from to
// sheets.to: code as read, X′ and Y′ in "0.000", H in "0.000" (an empty H is
// 0; an H that is text is copied unchanged). False, with nothing appended,
// when X or Y is not a number or a result is not finite.
bool appendConvertedLine(const geodesy::FramePair& sheets, const pointfile::PointRecord& record, std::string& out);
// The same for a record whose X and Y were read as numbers already.
bool appendConvertedPoint(const geodesy::FramePair& sheets, const pointfile::PointRecord& record, double x, double y,
                          std::string& out);

// The line of a record whose point was carried to x, y (metres): the code
// as read, x and y in "0.000", H as above.
void appendTargetLine(const pointfile::PointRecord& record, double x, double y, std::string& out);

// Appends the points of panel 1 converted between the two sheet centres to
// panel 2 (OldToNew: "Από Κ.Φ." to "Σε Κ.Φ."; NewToOld: back), and says how
// many. Gives the number of points appended (those before a failing record
// too); 0 when a centre or the list was refused.
unsigned long long convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                    Direction direction = Direction::OldToNew);

// The batch's steps for any conversion of a record: the list (panel 1's
// text) without its blank lines written to the by-products, each record
// read and converted into panel 2 in order, and at the first record that
// cannot be read or converted the lines before it kept and "Λάθος στον
// πίνακα!" shown, with refusal's text for that record on a second line when
// it gives one (refusal may be empty); when every record was converted, a
// message says so and how many. Gives the number of points appended.
using RecordConverter = std::function<bool(const pointfile::PointRecord&, std::string& out)>;
using RefusalText = std::function<std::string(const pointfile::PointRecord&)>;
unsigned long long runBatch(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, std::string list,
                            const RecordConverter& convert, const RefusalText& refusal);

} // namespace hattsheet::operations
