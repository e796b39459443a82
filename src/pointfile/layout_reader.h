#pragma once
// Reading the records of a list in the layout recogniseLayout decided, with
// the fault when a record cannot be read (operations/list_engine.h reads a
// whole list so).

#include "base/expected.h"
#include "pointfile/point_layout.h"
#include "pointfile/point_record.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace hattsheet::pointfile {

enum class RecordProblem {
    FieldCount,     // a line of the wrong number of fields (count, expected)
    EmptyField,     // X or Y empty (field)
    NotANumber,     // X, Y or H not a number in the layout (field, text)
    CutShort,       // the text ends inside the record
    OffLine,        // a record not on a line of its own (count: the fields of its first line)
    Ambiguous,      // decimal commas between commas (count: the fields of the line)
    NotConvertible, // X and Y read, but the point does not convert
    TooLong,        // a record longer than the command line holds
    Thousands,      // X, Y or H written with a thousands separator (field, text): "-13.847,177"
};

struct RecordFault {
    RecordProblem problem = RecordProblem::NotANumber;
    char field = 'X';      // 'X', 'Y' or 'H'
    std::string text;      // the offending field's text
    std::size_t count = 0; // fields found
    std::size_t expected = 0;
};

// A field as a number of the layout: with a decimal comma, "123,45" is
// 123.45 and a text holding a "." is no number; otherwise as parseWholeNumber.
// An empty field is no number here.
std::optional<double> layoutNumber(const Field& f, DecimalMark decimal);

// Whether a field that is no number of the layout is one written with a
// thousands separator, as a spreadsheet formats it: the mark that is not the
// decimal one between groups of three digits ("-13.847,177", "4.509.876" with
// a decimal comma; "13,847.177" with a decimal point). Such a number is
// refused (RecordProblem::Thousands), never read: "1.234" could be either.
bool hasThousandsSeparator(std::string_view text, DecimalMark decimal);

// X and Y of a record as numbers, or the fault (an empty or non-numeric field).
Expected<RecordPoint, RecordFault> coordinatesOf(const PointRecord& r, DecimalMark decimal);

// The same for a record of a line layout, whose H must be empty or a number
// as well: a text there could hold a comma, and the comma layout written
// for it would read it as two fields.
Expected<RecordPoint, RecordFault> lineRecordNumbers(const PointRecord& r, DecimalMark decimal);

// The fields of one line (without its line end) in a line layout's
// separator: quoted fields run to their closing quote, spaces around a field
// are dropped, the quotes taken off. The first `most` go to fields; the
// count of all is returned. Views into line.
std::size_t splitLineFields(std::string_view line, Separator separator, Field* fields, std::size_t most);
// The count of fields without the empty ones a spreadsheet adds at the end
// of a row of ";" when another row is longer, down to `expected` and only
// when all count of them were kept (count <= kept).
std::size_t withoutTrailingBlanks(const Field* fields, std::size_t count, std::size_t expected, std::size_t kept);

// One line (without its line end) as a record of a line layout; the fault
// when its fields are not as many as the layout has. The numbers are not
// looked at. Views into line.
Expected<PointRecord, RecordFault> readLineRecord(std::string_view line, const PointLayout& layout);

} // namespace hattsheet::pointfile
