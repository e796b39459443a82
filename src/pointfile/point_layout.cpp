#include "pointfile/point_layout.h"

#include "pointfile/layout_reader.h"
#include "pointfile/plain_record_reader.h"
#include "pointfile/record_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace hattsheet::pointfile {

namespace {

bool hasDigit(std::string_view s)
{
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A header's X and Y: words, neither of them empty nor holding a digit.
bool isHeader(const PointRecord& r)
{
    return !isBlank(r.x) && !isBlank(r.y) && !hasDigit(r.x.text) && !hasDigit(r.y.text);
}

struct Score {
    PointLayout layout;
    std::size_t good = 0;     // lines read as a whole record with X and Y numbers
    std::size_t lines = 0;    // lines that should be records (the header not counted)
    std::size_t fits = 0;     // lines of the layout's number of fields
    std::size_t numbers = 0;  // X and Y fields that are numbers of the layout
};

// Whether a record read so counts for its layout: X, Y and H read as the
// list is then read (an H of "7,25" decides for the decimal comma where X
// and Y are whole numbers), or a number with a thousands separator, which
// the reading then refuses by name instead of blaming the layout.
bool countsAsRecord(const PointRecord& r, DecimalMark decimal)
{
    const auto read = lineRecordNumbers(r, decimal);
    return read || read.error().problem == RecordProblem::Thousands;
}

// A layout of one record per line, scored over every line.
Score scoreLineLayout(const std::vector<std::string_view>& lines, PointLayout layout)
{
    layout.commaStream = false;
    if (!lines.empty()) {
        const auto first = readLineRecord(lines[0], layout);
        layout.header = first && isHeader(*first);
    }
    Score score{layout, 0, lines.size() - (layout.header ? 1 : 0), 0, 0};
    for (std::size_t i = layout.header ? 1 : 0; i < lines.size(); ++i) {
        const auto r = readLineRecord(lines[i], layout);
        if (!r) continue;
        ++score.fits;
        if (countsAsRecord(*r, layout.decimal)) ++score.good;
        for (const Field* f : {&r->x, &r->y}) score.numbers += layoutNumber(*f, layout.decimal) ? 1 : 0;
    }
    return score;
}

// Of lists where no line reads as a record: whether a fits better than b,
// by the lines of its number of fields, then by the numbers among X and Y.
// Reading by that layout names the field that is wrong (a typo in one
// number), where today's field stream would run past the line end.
bool fitsBetter(const Score& a, const Score& b)
{
    return a.fits != b.fits ? a.fits > b.fits : a.numbers > b.numbers;
}

// Today's comma stream: whether every record sits on a line of its own, and
// how many have X and Y numbers.
struct StreamScan {
    bool oneRecordPerLine = true;
    bool header = false;
    std::size_t good = 0;
    std::size_t lines = 0;
};

// The lines of the list, as splitLines gives them, counted.
std::size_t lineCount(std::string_view text)
{
    const auto ends = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return ends + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

StreamScan scanStream(std::string_view text, std::size_t lines)
{
    StreamScan scan;
    std::size_t pos = 0;
    if (lines != 0) {
        std::size_t first = 0;
        if (const auto r = readRecord(text, first, true); r && isHeader(*r)) {
            scan.header = true;
            pos = text.find('\n');
            pos = pos == std::string_view::npos ? text.size() : pos + 1;
        }
    }
    scan.lines = lines - (scan.header ? 1 : 0);
    while (pos < text.size()) {
        const std::size_t start = pos;
        // The common record by its shape: its X and Y are numbers.
        if (skipPlainRecord(text, pos)) {
            if (!fillsOneLine(text, start, pos)) {
                scan.oneRecordPerLine = false;
                break;
            }
            ++scan.good;
            continue;
        }
        const auto r = readRecord(text, pos, true);
        if (!r || !fillsOneLine(text, start, pos)) {
            scan.oneRecordPerLine = false;
            break;
        }
        if (coordinatesOf(*r, DecimalMark::Point)) ++scan.good;
    }
    return scan;
}

std::size_t commaFields(std::string_view line) { return static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1; }

// A line written with commas between its fields: at least three of them,
// no ";" or tab, and X and Y without spaces inside (a line of spaces and
// decimal commas, "P1 1000,5 2000,25 100", is not one).
bool isCommaLine(std::string_view line)
{
    if (line.find_first_of(";\t") != std::string_view::npos || commaFields(line) < 3) return false;
    const std::size_t a = line.find(','), b = line.find(',', a + 1);
    const std::size_t c = std::min(line.find(',', b + 1), line.size());
    auto inner = [](std::string_view f) {
        while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
        while (!f.empty() && f.back() == ' ') f.remove_suffix(1);
        return f.find(' ') != std::string_view::npos;
    };
    return !inner(line.substr(a + 1, b - a - 1)) && !inner(line.substr(b + 1, c - b - 1));
}

// A line of decimal commas between commas: five fields or more, and every
// field after the code digits alone (a "-" before the first digits of a
// number), without spaces: "P1,1000,5,2000,25,100".
bool looksLikeDecimalCommas(std::string_view line)
{
    if (commaFields(line) < 5) return false;
    std::size_t p = line.find(',') + 1;
    while (p <= line.size()) {
        const std::size_t e = std::min(line.find(',', p), line.size());
        std::string_view f = line.substr(p, e - p);
        if (!f.empty() && f.front() == '-') f.remove_prefix(1);
        if (f.empty() || !std::all_of(f.begin(), f.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
        p = e + 1;
    }
    return true;
}

// Records across lines: the first line (from `from`, past a header) without
// four comma fields is where they leave their lines; a list of decimal
// commas between commas with no line of three or four fields is ambiguous.
LayoutVerdict acrossLines(const std::vector<std::string_view>& lines, LayoutVerdict verdict, std::size_t from)
{
    for (std::size_t i = from; i < lines.size(); ++i) {
        const std::size_t n = commaFields(lines[i]);
        if (n != 4) {
            verdict.fit = LayoutFit::AcrossLines;
            verdict.firstOddLine = i;
            verdict.oddFields = n;
            break;
        }
    }
    const bool decimalCommas = verdict.fit == LayoutFit::AcrossLines && looksLikeDecimalCommas(lines[verdict.firstOddLine]);
    const bool someRecordLine = std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())),
                                            lines.end(), [](std::string_view l) {
                                                const std::size_t n = commaFields(l);
                                                return n == 3 || n == 4;
                                            });
    if (decimalCommas && !someRecordLine) verdict.fit = LayoutFit::Ambiguous;
    return verdict;
}

} // namespace

std::string_view lineAt(std::string_view lines, std::size_t pos)
{
    std::string_view line = lines.substr(pos, std::min(lines.find('\n', pos), lines.size()) - pos);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t p = 0; p < text.size();) {
        lines.push_back(lineAt(text, p));
        const std::size_t lf = text.find('\n', p);
        p = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return lines;
}

bool fillsOneLine(std::string_view lines, std::size_t start, std::size_t end)
{
    return (start == 0 || lines[start - 1] == '\n') && lines[end - 1] == '\n' &&
           std::memchr(lines.data() + start, '\n', end - 1 - start) == nullptr;
}

LayoutVerdict recogniseLayout(std::string_view text)
{
    const StreamScan stream = scanStream(text, lineCount(text));
    LayoutVerdict verdict;
    verdict.layout.header = stream.header;
    // The common list, every line a record of today's layout, is decided at
    // once, without its lines split.
    if (stream.oneRecordPerLine && stream.good == stream.lines) return verdict;
    const std::vector<std::string_view> lines = splitLines(text);

    // Only the separators and marks that occur are tried.
    const auto occurs = [&](const char* chars) { return text.find_first_of(chars) != std::string_view::npos; };
    std::vector<PointLayout> candidates;
    // Four comma fields a line are today's layout, read as its field stream.
    candidates.push_back({Separator::Comma, DecimalMark::Point, false, false, false});
    for (const auto& [sep, chars] : {std::pair{Separator::Semicolon, ";"}, std::pair{Separator::Tab, "\t"},
                                     std::pair{Separator::Spaces, " \t"}}) {
        if (!occurs(chars)) continue;
        for (const DecimalMark decimal : {DecimalMark::Point, DecimalMark::Comma}) {
            if (decimal == DecimalMark::Comma && !occurs(",")) continue;
            for (const bool height : {true, false}) candidates.push_back({sep, decimal, height, false, false});
        }
    }
    Score best, closest, comma;
    for (const PointLayout& candidate : candidates) {
        const Score s = scoreLineLayout(lines, candidate);
        if (s.good > best.good) best = s;
        if (candidate.separator == Separator::Comma) comma = s;
        if (candidate.separator != Separator::Comma && fitsBetter(s, closest)) closest = s;
    }
    if (stream.oneRecordPerLine && stream.good >= best.good) return verdict;
    if (best.good > 0 && best.good == best.lines) return {best.layout, LayoutFit::OneRecordPerLine, 0, 0};

    const auto commaLines = static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), isCommaLine));
    if (commaLines >= best.good && commaLines > 0) {
        if (stream.oneRecordPerLine) return verdict;
        // Three comma fields on every line are records without heights, one a
        // line, even where a coordinate is no number: that line is the fault.
        if (comma.lines > 0 && comma.fits == comma.lines) return {comma.layout, LayoutFit::OneRecordPerLine, 0, 0};
        return acrossLines(lines, verdict, stream.header ? 1 : 0);
    }
    if (best.good > 0) return {best.layout, LayoutFit::OneRecordPerLine, 0, 0};
    if (closest.fits > 0) return {closest.layout, LayoutFit::OneRecordPerLine, 0, 0};
    return verdict;
}

} // namespace hattsheet::pointfile
