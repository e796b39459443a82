#pragma once
// The batch conversion of panel 1 into panel 2 (button "Μετατροπή ομάδας
// σημείων"), and the conversion of one point record that the command line
// shares with it, so both give the digits of the ">" button.

#include "operations/list_engine.h"
#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"
#include "text/number_format.h"
#include "operations/single_point.h"
#include "operations/window_ports.h"

#include <string>

namespace hattsheet::operations {

// Appends the point line of one record converted from sheets.from to
// sheets.to, its X and Y read as numbers already, in a layout (the written
// one by default): code as read, X′ and Y′ in "0.000", H in "0.000" (an
// empty H is 0; an H that is text is copied unchanged; a record without a
// height is written without one; H is read with the layout's decimal mark,
// and a code of a line layout that holds a comma is written in quotes,
// pointfile::codeForCommaLine). False, with nothing appended, when a result
// is not finite.
bool appendConvertedPoint(const geodesy::HattConversion& sheets, const pointfile::PointRecord& record, double x, double y,
                          std::string& out, const pointfile::PointLayout& layout = {});

// The line of a record whose point was carried to x, y (metres): the code
// as read, x and y in "0.000", H as above, in the record's layout.
// decimals: those of x and y ("0.000"; 9 for the degrees of a geographic list).
void appendTargetLine(const pointfile::PointRecord& record, double x, double y, std::string& out,
                      const pointfile::PointLayout& layout = {}, int decimals = text::kCoordinateDecimals);

// Appends the points of panel 1 converted between the two sheet centres to
// panel 2 (OldToNew: "Από Κ.Φ." to "Σε Κ.Φ."; NewToOld: back), in the layout
// pointfile::recogniseLayout finds, and says how many. Gives the number of
// points appended (those before a failing record too); 0 when a centre or
// the list was refused.
unsigned long long convertPointList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                    Direction direction = Direction::Forward);

// A list's records converted from sheets.from to sheets.to, as
// appendConvertedPoint writes them.
class HattConverter final : public PointConverter {
public:
    explicit HattConverter(const geodesy::HattConversion& sheets) : m_sheets(sheets) {}
    bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                     std::string& out) const override
    {
        return appendConvertedPoint(m_sheets, point.record, point.x, point.y, out, layout);
    }

private:
    const geodesy::HattConversion& m_sheets;
};

// The batch's steps for any conversion: the list (panel 1's text) without
// its blank lines written to the by-products, its layout recognised, each
// record read (X and Y as numbers) and converted into panel 2 in order, all
// by the list engine (list_engine.h). At the first record that cannot be
// read or converted the lines before it are kept and "Λάθος στον πίνακα!"
// is shown with a second line naming the record, the line and why (the
// converter's reason for a record that was read but not converted, when it
// gives one), and that line of panel 1 is selected. Otherwise the closing
// message says how many points, what layout was recognised unless it is
// the written one, and how many records did not sit one per line (read as
// the field stream, as the batch always read them). Gives the number of
// points appended.
unsigned long long runBatch(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, std::string list,
                            const PointConverter& converter);

} // namespace hattsheet::operations
