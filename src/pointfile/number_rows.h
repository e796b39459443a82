#pragma once
// Lists whose every line is a code and a fixed count of numbers: common
// points, `code, x, y, X, Y`. They come in the separators, decimal marks,
// quoting and header lines of the point lists (point_layout.h); only the
// count of fields differs, so today's comma stream, which reads four fields
// a record across lines, does not apply: each line is one row.
//
// The layout is recognised from all the lines, given as the blank-line
// filter leaves them (non-blank lines, each ended by CR LF):
//  - candidates: "," with a decimal point, then ";", a tab and runs of
//    spaces, each with a decimal point and, where a comma occurs in the
//    text, a decimal comma; only separators that occur are tried;
//  - a first line of the row's count of fields none of whose number fields
//    is a number of the layout is a header, skipped;
//  - each candidate is scored by the lines it reads as a whole row (one
//    with a thousands separator counts: reading then refuses it by name);
//    the best wins, the earlier candidate on a tie;
//  - when no line reads, the candidate whose count of fields fits most
//    lines, so that reading names the field that is wrong.
// The layout is a PointLayout of a line layout (commaStream false); its
// height member does not apply.

#include "base/expected.h"
#include "pointfile/layout_reader.h"
#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"

#include <string_view>
#include <vector>

namespace hattsheet::pointfile {

// The most numbers a row may have.
inline constexpr std::size_t kMostRowNumbers = 8;

struct NumberRow {
    Field code;                   // views into the line read
    std::vector<double> numbers;  // in the order of the line
};

// The layout of rows of a code and names.size() numbers; each character of
// names (at most kMostRowNumbers) names a number's field in a fault ("xyXY").
PointLayout recogniseRowLayout(std::string_view lines, std::string_view names);

// One line (without its line end) as a row of the layout; the fault when
// its fields are not 1 + names.size(), or a number field is empty or no
// number of the layout (a thousands separator by name).
Expected<NumberRow, RecordFault> readNumberRow(std::string_view line, const PointLayout& layout,
                                               std::string_view names);

} // namespace hattsheet::pointfile
