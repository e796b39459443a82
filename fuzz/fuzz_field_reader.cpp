// The field reader, testCoordinateFile and the layout readers on arbitrary
// bytes. The first byte chooses where the text is cut in two, as the command
// line meets it when a block of the input ends.
//
// Properties:
// - reading the whole text record by record ends, every record moves the
//   position forward, and a record cut short leaves the position alone;
// - reading the first piece with more text to follow (NeedMore) delivers
//   exactly the first records of the whole text, field for field;
// - testCoordinateFile accepts exactly the texts whose records all read and
//   whose X, Y and H are numbers (the empty text included);
// - for a valid text, the point line of every record reads back through the
//   reader to four fields with X, Y and H numbers within half a millimetre of
//   the record's, and a code without comma, quote, line end or edge spaces
//   reads back unchanged;
// - whatever layout recogniseLayout decides for the filtered text, the
//   ListReader ends, its records start on lines that never go back and lie
//   within the text, each has X and Y finite numbers, the records of today's
//   layout are those readRecord gives, and a fault is the last step.

#include "pointfile/record_reader.h"
#include "pointfile/point_line_writer.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/blank_line_filter.h"
#include "pointfile/layout_reader.h"
#include "fuzz_check.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

using namespace hattsheet::pointfile;
using hattsheet::fuzz::require;
using hattsheet::fuzz::spellsNonFinite;

namespace {

// Half a unit of "0.000", and the 15-digit rounding of the format for the
// large values a fuzzer writes.
bool withinHalfUnit(double back, double value)
{
    const double magnitude = std::fabs(value);
    const double fifteenth = magnitude > 0 ? 0.5 * std::pow(10.0, std::floor(std::log10(magnitude)) - 13) : 0.0;
    return std::fabs(back - value) <= (0.0005 + fifteenth) * (1 + 1e-12) + magnitude * 4e-16;
}

struct Copy {
    std::string code, x, y, h;
    bool operator==(const Copy&) const = default;
};

Copy copyOf(const PointRecord& r)
{
    return {std::string(r.code.text), std::string(r.x.text), std::string(r.y.text), std::string(r.h.text)};
}

bool cleanCode(std::string_view code)
{
    return code.find_first_of(",\"\r\n") == std::string_view::npos && (code.empty() || (code.front() != ' ' && code.back() != ' '));
}

// The first piece of the text, with more to follow, gives the first records
// of the whole and then NeedMore, never Truncated.
void checkFirstPiece(std::string_view piece, const std::vector<Copy>& whole)
{
    std::size_t p = 0;
    std::size_t n = 0;
    for (;;) {
        PointRecord r;
        const std::size_t before = p;
        const ReadStatus s = readRecord(piece, p, false, r);
        require(s != ReadStatus::Truncated, "no Truncated while more may follow");
        if (s == ReadStatus::NeedMore) {
            require(p == before, "NeedMore leaves the position");
            break;
        }
        require(n < whole.size() && copyOf(r) == whole[n], "a piece gives the first records of the whole");
        ++n;
    }
}

// Every layout's reader over the filtered text.
void checkLayouts(std::string_view text)
{
    const std::string lines = dropBlankLines(text);
    const LayoutVerdict verdict = recogniseLayout(lines);
    const auto lineCount = static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n'));
    ListReader reader(lines, verdict);
    PointRecord r;
    double x = 0.0, y = 0.0;
    std::size_t lastLine = 0;
    std::size_t streamPos = verdict.layout.header ? lines.find('\n') + 1 : 0;
    for (std::size_t steps = 0;; ++steps) {
        require(steps <= lines.size() + 1, "the layout reader ends");
        const ListReader::Step step = reader.next(r, x, y);
        if (step == ListReader::Step::End) break;
        require(reader.lineIndex() >= lastLine && reader.lineIndex() <= lineCount, "records keep to the lines, in order");
        lastLine = reader.lineIndex();
        if (step == ListReader::Step::Fault) {
            require(reader.next(r, x, y) != ListReader::Step::Record || verdict.fit != LayoutFit::Ambiguous,
                    "an ambiguous list gives no record");
            break;
        }
        require(std::isfinite(x) && std::isfinite(y), "X and Y are finite numbers");
        if (verdict.layout.commaStream && verdict.fit != LayoutFit::Ambiguous) {
            PointRecord same;
            require(readRecord(lines, streamPos, true, same) == ReadStatus::Ok && copyOf(same) == copyOf(r),
                    "today's layout is read as the field stream");
        }
    }
    require(verdict.fit != LayoutFit::OneRecordPerLine || reader.offLine() == 0 || verdict.layout.commaStream,
            "a line layout has no records across lines");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        require(testCoordinateFile({}), "the empty text is valid");
        return 0;
    }
    const std::size_t cut = data[0] % size;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<Copy> whole;
    std::vector<PointRecord> records;
    bool allRead = true;
    bool allNumbers = true;
    std::size_t pos = 0;
    while (pos < text.size()) {
        PointRecord r;
        const std::size_t before = pos;
        const ReadStatus s = readRecord(text, pos, true, r);
        require(s != ReadStatus::NeedMore, "no NeedMore at the end of the text");
        if (s == ReadStatus::Truncated) {
            require(pos == before, "a record cut short leaves the position");
            allRead = false;
            break;
        }
        require(pos > before && pos <= text.size(), "a record moves forward within the text");
        whole.push_back(copyOf(r));
        records.push_back(r);
        if (!fieldNumber(r.x) || !fieldNumber(r.y) || !fieldNumber(r.h)) allNumbers = false;
    }
    require(testCoordinateFile(text) == (allRead && allNumbers), "testCoordinateFile: all records read, all numbers");

    checkFirstPiece(text.substr(0, cut < text.size() ? cut : text.size()), whole);
    checkLayouts(text);

    if (!(allRead && allNumbers)) return 0;
    for (const PointRecord& r : records) {
        const double x = *fieldNumber(r.x), y = *fieldNumber(r.y), h = *fieldNumber(r.h);
        std::string line;
        appendPointLine(line, r.code.text, x, y, h);
        require(!spellsNonFinite(line.substr(r.code.text.size())), "a point line's numbers are finite", line);
        if (!cleanCode(r.code.text)) continue;
        std::size_t q = 0;
        PointRecord back;
        require(readRecord(line, q, true, back) == ReadStatus::Ok && q == line.size(),
                "a point line is one record", line);
        require(back.code.text == r.code.text, "the code reads back unchanged", line);
        const auto bx = fieldNumber(back.x), by = fieldNumber(back.y), bh = fieldNumber(back.h);
        require(bx && by && bh, "X, Y and H of a point line are numbers", line);
        require(withinHalfUnit(*bx, x) && withinHalfUnit(*by, y) && withinHalfUnit(*bh, h),
                "X, Y and H read back within half a unit", line);
    }
    return 0;
}
