#include "pointfile/layout_reader.h"

#include "text/number_text.h"

#include <algorithm>

namespace hattsheet::pointfile {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A field as a spreadsheet writes it: spaces around dropped, and a pair of
// double quotes around it taken off.
Field fieldOf(std::string_view s)
{
    s = trimmed(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return Field{s.substr(1, s.size() - 2), true};
    return Field{s, false};
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The fault of a field that is no number of the layout.
RecordFault notANumber(const Field& f, char name, DecimalMark decimal)
{
    const RecordProblem problem = hasThousandsSeparator(f.text, decimal) ? RecordProblem::Thousands : RecordProblem::NotANumber;
    return RecordFault{problem, name, std::string(f.text), 0, 0};
}

} // namespace

bool hasThousandsSeparator(std::string_view text, DecimalMark decimal)
{
    const char group = decimal == DecimalMark::Comma ? '.' : ',';
    const char mark = decimal == DecimalMark::Comma ? ',' : '.';
    std::size_t p = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    std::size_t lead = 0;
    for (; p < text.size() && isDigit(text[p]); ++p) ++lead;
    if (lead == 0 || lead > 3) return false;
    std::size_t groups = 0;
    while (p + 3 < text.size() && text[p] == group && isDigit(text[p + 1]) && isDigit(text[p + 2]) &&
           isDigit(text[p + 3])) {
        p += 4;
        ++groups;
        if (p < text.size() && isDigit(text[p])) return false;  // a group of four digits
    }
    if (groups == 0) return false;
    if (p < text.size() && text[p] == mark) {
        ++p;
        const std::size_t fraction = p;
        while (p < text.size() && isDigit(text[p])) ++p;
        if (p == fraction) return false;
    }
    return p == text.size();
}

std::optional<double> layoutNumber(const Field& f, DecimalMark decimal)
{
    if (isBlank(f)) return std::nullopt;
    if (decimal == DecimalMark::Point) {
        if (const auto plain = text::readPlainDecimal(f.text)) return plain;
        return text::parseWholeNumber(f.text);
    }
    const std::size_t comma = f.text.find(',');
    if (f.text.find('.') != std::string_view::npos || (comma != std::string_view::npos && f.text.find(',', comma + 1) != std::string_view::npos)) {
        return std::nullopt;
    }
    // A decimal comma stands between digits: "100," and ",5" are no numbers.
    const auto digitAt = [&](std::size_t i) { return i < f.text.size() && f.text[i] >= '0' && f.text[i] <= '9'; };
    if (comma != std::string_view::npos && (comma == 0 || !digitAt(comma - 1) || !digitAt(comma + 1))) return std::nullopt;
    std::string s(f.text);
    if (comma != std::string_view::npos) s[comma] = '.';
    return text::parseWholeNumber(s);
}

Expected<RecordPoint, RecordFault> coordinatesOf(const PointRecord& r, DecimalMark decimal)
{
    RecordPoint point{r, 0.0, 0.0};
    struct Coordinate {
        const Field* field;
        char name;
        double* value;
    };
    for (const Coordinate c : {Coordinate{&r.x, 'X', &point.x}, Coordinate{&r.y, 'Y', &point.y}}) {
        if (isBlank(*c.field)) return unexpected(RecordFault{RecordProblem::EmptyField, c.name, {}, 0, 0});
        const auto v = layoutNumber(*c.field, decimal);
        if (!v) return unexpected(notANumber(*c.field, c.name, decimal));
        *c.value = *v;
    }
    return point;
}

Expected<RecordPoint, RecordFault> lineRecordNumbers(const PointRecord& r, DecimalMark decimal)
{
    auto point = coordinatesOf(r, decimal);
    if (point && r.hasHeight && !isBlank(r.h) && !layoutNumber(r.h, decimal)) {
        return unexpected(notANumber(r.h, 'H', decimal));
    }
    return point;
}

std::size_t splitLineFields(std::string_view line, Separator separator, Field* fields, std::size_t most)
{
    std::size_t count = 0;
    auto add = [&](std::string_view s) {
        if (count < most) fields[count] = fieldOf(s);
        ++count;
    };
    if (separator == Separator::Spaces) {
        std::size_t p = 0;
        while (true) {
            p = line.find_first_not_of(" \t", p);
            if (p == std::string_view::npos) break;
            const std::size_t e = std::min(line.find_first_of(" \t", p), line.size());
            add(line.substr(p, e - p));
            p = e;
        }
        return count;
    }
    const char sep = separator == Separator::Semicolon ? ';' : separator == Separator::Tab ? '\t' : ',';
    std::size_t p = 0;
    while (true) {
        // A field in double quotes (as a spreadsheet writes one holding
        // the separator) runs to its closing quote.
        std::size_t from = p;
        while (from < line.size() && line[from] == ' ') ++from;
        if (from < line.size() && line[from] == '"') {
            const std::size_t close = line.find('"', from + 1);
            if (close != std::string_view::npos) from = close;
        }
        const std::size_t e = line.find(sep, from);
        add(line.substr(p, e == std::string_view::npos ? std::string_view::npos : e - p));
        if (e == std::string_view::npos) return count;
        p = e + 1;
    }
}

std::size_t withoutTrailingBlanks(const Field* fields, std::size_t count, std::size_t expected, std::size_t kept)
{
    while (count > expected && count <= kept && isBlank(fields[count - 1])) --count;
    return count;
}

Expected<PointRecord, RecordFault> readLineRecord(std::string_view line, const PointLayout& layout)
{
    Field fields[4];
    const std::size_t expected = layout.height ? 4 : 3;
    // Excel ends a row of ";" with empty fields when another row is longer.
    const std::size_t count = withoutTrailingBlanks(fields, splitLineFields(line, layout.separator, fields, 4), expected, 4);
    if (count != expected) return unexpected(RecordFault{RecordProblem::FieldCount, 'X', std::string(line), count, expected});
    return PointRecord{fields[0], fields[1], fields[2], layout.height ? fields[3] : Field{}, layout.height};
}

} // namespace hattsheet::pointfile
