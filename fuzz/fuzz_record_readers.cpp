// The comma record readers, testCoordinateFile and the list engine on arbitrary
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
// - whatever layout recogniseLayout decides for the filtered text, the list
//   engine (read whole, as the window reads) ends, each record has X and Y
//   finite numbers, the records of today's layout are those readRecord
//   gives, a stop names a record and a line of the input, and an ambiguous
//   list gives no record.

#include "pointfile/record_reader.h"
#include "pointfile/point_line_writer.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/blank_line_filter.h"
#include "pointfile/layout_reader.h"
#include "fuzz_check.h"
#include "operations/list_engine.h"
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
        const std::size_t before = p;
        const auto r = readRecord(piece, p, false);
        require(r || r.error() != ReadStop::Truncated, "no Truncated while more may follow");
        if (!r) {
            require(p == before, "NeedMore leaves the position");
            break;
        }
        require(n < whole.size() && copyOf(*r) == whole[n], "a piece gives the first records of the whole");
        ++n;
    }
}

// Checks every record the engine reads: X and Y finite, and the records of
// today's layout those readRecord gives.
class Checker final : public hattsheet::operations::PointConverter {
public:
    explicit Checker(std::string_view lines, std::size_t streamPos) : m_lines(lines), m_streamPos(streamPos) {}
    bool appendPoint(const RecordPoint& point, const PointLayout& layout, std::string&) const override
    {
        require(std::isfinite(point.x) && std::isfinite(point.y), "X and Y are finite numbers");
        if (layout.commaStream) {
            const auto same = readRecord(m_lines, m_streamPos, true);
            require(same && copyOf(*same) == copyOf(point.record), "today's layout is read as the field stream");
        }
        return true;
    }

private:
    std::string_view m_lines;
    mutable std::size_t m_streamPos;  // one thread only
};

// The list engine over the text, read whole.
void checkLayouts(std::string_view text)
{
    namespace ops = hattsheet::operations;
    const std::string lines = dropBlankLines(text);
    const LayoutVerdict verdict = recogniseLayout(lines);
    const auto inputLines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') +
                                                     std::count(text.begin(), text.end(), '\r')) + 1;
    ops::TextSource source{std::string(text)};
    ops::ListOptions options;
    options.blockBytes = SIZE_MAX;
    options.dropByteOrderMark = false;
    options.strictLines = false;
    std::string out;
    const Checker checker(lines, verdict.layout.header ? lines.find('\n') + 1 : 0);
    const auto run = ops::convertList(source, checker, options, out, [](std::string& l) { l.clear(); return true; });
    const ops::ListTally& tally = run ? *run : run.error().tally;
    if (!run) {
        require(run.error().record == tally.records + 1 && run.error().line >= 1 && run.error().line <= inputLines,
                "a stop names the next record and a line of the input");
    }
    require(verdict.fit != LayoutFit::Ambiguous || (!run && tally.records == 0), "an ambiguous list gives no record");
    require(verdict.fit != LayoutFit::OneRecordPerLine || tally.offLine == 0 || verdict.layout.commaStream,
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
        const std::size_t before = pos;
        const auto read = readRecord(text, pos, true);
        require(read || read.error() != ReadStop::NeedMore, "no NeedMore at the end of the text");
        if (!read) {
            require(pos == before, "a record cut short leaves the position");
            allRead = false;
            break;
        }
        const PointRecord& r = *read;
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
        const auto read = readRecord(line, q, true);
        require(read && q == line.size(), "a point line is one record", line);
        const PointRecord& back = *read;
        require(back.code.text == r.code.text, "the code reads back unchanged", line);
        const auto bx = fieldNumber(back.x), by = fieldNumber(back.y), bh = fieldNumber(back.h);
        require(bx && by && bh, "X, Y and H of a point line are numbers", line);
        require(withinHalfUnit(*bx, x) && withinHalfUnit(*by, y) && withinHalfUnit(*bh, h),
                "X, Y and H read back within half a unit", line);
    }
    return 0;
}
