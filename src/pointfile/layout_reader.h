#pragma once
// Reading a list record by record in the layout recogniseLayout decided,
// with the reason and the line when a record cannot be read.

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

// X and Y of a record as numbers, or the fault (an empty or non-numeric field).
std::optional<RecordFault> coordinatesOf(const PointRecord& r, DecimalMark decimal, double& x, double& y);

// The same for a record of a line layout, whose H must be empty or a number
// as well: a text there could hold a comma, and the comma layout written
// for it would read it as two fields.
std::optional<RecordFault> lineRecordNumbers(const PointRecord& r, DecimalMark decimal, double& x, double& y);

// One line (without its line end) as a record of a line layout; the fault
// when its fields are not as many as the layout has. The numbers are not
// looked at. Views into line.
std::optional<RecordFault> readLineRecord(std::string_view line, const PointLayout& layout, PointRecord& out);

// The fault of a record that today's comma stream could not convert: read
// again from start, the reason it fails (cut short, empty or no number).
RecordFault diagnoseStreamRecord(std::string_view text, std::size_t start, bool atEnd);

// A whole list, record by record, in its recognised layout. The records of
// an AcrossLines list are read as the field stream and counted.
class ListReader {
public:
    ListReader(std::string_view lines, const LayoutVerdict& verdict);

    enum class Step { Record, End, Fault };
    // The next record with its X and Y; on Fault, fault() says why and
    // nothing more is read.
    Step next(PointRecord& record, double& x, double& y);

    const RecordFault& fault() const { return m_fault; }
    // The 0-based index (among the list's lines) of the line where the last
    // record read (or the faulty one) starts.
    std::size_t lineIndex() const { return m_lineIndex; }
    // Records read so far (the faulty one not counted).
    unsigned long long records() const { return m_records; }
    // Records that did not sit on a line of their own, and the line index of the first.
    unsigned long long offLine() const { return m_offLine; }
    std::size_t firstOffLineIndex() const { return m_firstOffLine; }

private:
    Step fail(RecordFault fault);
    void moveLineIndexTo(std::size_t pos);

    std::string_view m_text;
    LayoutVerdict m_verdict;
    std::size_t m_pos = 0;
    std::size_t m_counted = 0;     // m_lineIndex counts the line ends before this place
    std::size_t m_lineIndex = 0;
    unsigned long long m_records = 0;
    unsigned long long m_offLine = 0;
    std::size_t m_firstOffLine = 0;
    RecordFault m_fault;
};

} // namespace hattsheet::pointfile
