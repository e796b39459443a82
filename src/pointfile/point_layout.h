#pragma once
// The layouts of point lists as surveyors have them, and the one place that
// decides which layout a whole list is in.
//
// Today's comma layout (record_reader.h) is the one this program writes; a
// list that reads as it, one record per line, is read exactly so. Any other
// list is recognised from all of its lines:
//  - the separator: ";" (an Excel CSV under Greek regional settings), a tab,
//    a run of spaces (.xyh), or a comma;
//  - the decimal mark: a point, or a comma where the separator is not one;
//  - four fields (code, X, Y, H) or three (code, X, Y), written back without
//    a height;
//  - a first line whose X and Y are words without digits (Κωδικός;Χ;Υ;Η) is
//    a header and skipped.
// Each candidate layout is scored by the lines it reads as a whole record
// with X and Y numbers; the best wins, today's layout on a tie. A list of
// comma lines that fits no layout line by line (a line of three or five
// fields among lines of four) is read as today's field stream, its records
// across lines; when no line of it has three or four fields (decimal commas
// between commas: P1,1000,5,2000,25,100) it is ambiguous.
//
// A list is given as the blank-line filter leaves it: non-blank lines, each
// ended by CR LF.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::pointfile {

enum class Separator { Comma, Semicolon, Tab, Spaces };
enum class DecimalMark { Point, Comma };

struct PointLayout {
    Separator separator = Separator::Comma;
    DecimalMark decimal = DecimalMark::Point;
    bool height = true;       // four fields; false: three (code, X, Y)
    bool header = false;      // the first line is a header, skipped
    bool commaStream = true;  // records follow today's comma field stream (record_reader.h)
    bool operator==(const PointLayout&) const = default;
};

// The layout this program writes (today's comma layout without a header):
// every list it writes is in it.
inline bool isWrittenLayout(const PointLayout& layout) { return layout == PointLayout{}; }

enum class LayoutFit {
    OneRecordPerLine,  // each line is one record of the layout (a line that is not fails when read)
    AcrossLines,       // comma lines whose records do not sit one per line
    Ambiguous,         // comma separators with decimal commas: what is a field cannot be told
};

struct LayoutVerdict {
    PointLayout layout;
    LayoutFit fit = LayoutFit::OneRecordPerLine;
    std::size_t firstOddLine = 0;  // AcrossLines and Ambiguous: 0-based index of the first line without four fields
    std::size_t oddFields = 0;     // the number of comma-separated fields on that line
};

LayoutVerdict recogniseLayout(std::string_view lines);

// The line of such a list that starts at pos, without its line end.
std::string_view lineAt(std::string_view lines, std::size_t pos);
// The lines of such a list, without their line ends.
std::vector<std::string_view> splitLines(std::string_view lines);
// Whether lines[start, end), a record read from such a list, is one whole
// line of it. Its first byte may lie inside a line (a text cut where a
// record needed more): a record there spans a line end, so it is not.
bool fillsOneLine(std::string_view lines, std::size_t start, std::size_t end);

} // namespace hattsheet::pointfile
