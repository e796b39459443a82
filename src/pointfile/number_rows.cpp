#include "pointfile/number_rows.h"

#include <array>
#include <utility>

namespace hattsheet::pointfile {

namespace {

// Fields kept of a line: the row's and the empty ones a spreadsheet may add.
constexpr std::size_t kKeptFields = 2 * (kMostRowNumbers + 1);

struct SplitRow {
    std::array<Field, kKeptFields> fields;
    std::size_t count = 0;
};

SplitRow splitRow(std::string_view line, Separator separator, std::size_t expected)
{
    SplitRow row;
    const std::size_t found = splitLineFields(line, separator, row.fields.data(), kKeptFields);
    row.count = withoutTrailingBlanks(row.fields.data(), found, expected, kKeptFields);
    return row;
}

// A header: the row's count of fields, none of its number fields blank or a number.
bool isRowHeader(std::string_view line, const PointLayout& layout, std::size_t numbers)
{
    const SplitRow row = splitRow(line, layout.separator, numbers + 1);
    if (row.count != numbers + 1) return false;
    for (std::size_t k = 1; k <= numbers; ++k) {
        if (isBlank(row.fields[k]) || layoutNumber(row.fields[k], layout.decimal)) return false;
    }
    return true;
}

struct RowScore {
    PointLayout layout;
    std::size_t clean = 0;  // lines read as a whole row
    std::size_t good = 0;   // those and the lines refused for a thousands separator alone
    std::size_t fits = 0;   // lines of the row's count of fields
    // "100,500" reads as a number with a decimal comma, and as one with a
    // thousands separator beside a decimal point: the clean reading wins.
    bool beats(const RowScore& other) const { return clean != other.clean ? clean > other.clean : good > other.good; }
};

RowScore scoreRows(const std::vector<std::string_view>& lines, PointLayout layout, std::string_view names)
{
    layout.header = !lines.empty() && isRowHeader(lines[0], layout, names.size());
    RowScore score{layout, 0, 0, 0};
    for (std::size_t i = layout.header ? 1 : 0; i < lines.size(); ++i) {
        const auto row = readNumberRow(lines[i], layout, names);
        if (row || row.error().problem != RecordProblem::FieldCount) ++score.fits;
        if (row) ++score.clean;
        if (row || row.error().problem == RecordProblem::Thousands) ++score.good;
    }
    return score;
}

} // namespace

PointLayout recogniseRowLayout(std::string_view text, std::string_view names)
{
    const auto occurs = [&](const char* chars) { return text.find_first_of(chars) != std::string_view::npos; };
    std::vector<PointLayout> candidates{{Separator::Comma, DecimalMark::Point, true, false, false}};
    for (const auto& [separator, chars] : {std::pair{Separator::Semicolon, ";"}, std::pair{Separator::Tab, "\t"},
                                           std::pair{Separator::Spaces, " \t"}}) {
        if (!occurs(chars)) continue;
        candidates.push_back({separator, DecimalMark::Point, true, false, false});
        if (occurs(",")) candidates.push_back({separator, DecimalMark::Comma, true, false, false});
    }
    const std::vector<std::string_view> lines = splitLines(text);
    RowScore best, closest;
    for (const PointLayout& candidate : candidates) {
        const RowScore s = scoreRows(lines, candidate, names);
        if (&candidate == &candidates.front() || s.beats(best)) best = s;
        if (&candidate == &candidates.front() || s.fits > closest.fits) closest = s;
    }
    return best.good > 0 ? best.layout : closest.layout;
}

Expected<NumberRow, RecordFault> readNumberRow(std::string_view line, const PointLayout& layout, std::string_view names)
{
    const std::size_t expected = names.size() + 1;
    const SplitRow split = splitRow(line, layout.separator, expected);
    if (split.count != expected) {
        return unexpected(RecordFault{RecordProblem::FieldCount, names.front(), std::string(line), split.count, expected});
    }
    NumberRow row{split.fields[0], {}};
    for (std::size_t k = 0; k < names.size(); ++k) {
        const Field& f = split.fields[k + 1];
        if (isBlank(f)) return unexpected(RecordFault{RecordProblem::EmptyField, names[k], {}, 0, 0});
        const auto value = layoutNumber(f, layout.decimal);
        if (!value) {
            const bool grouped = hasThousandsSeparator(f.text, layout.decimal);
            return unexpected(RecordFault{grouped ? RecordProblem::Thousands : RecordProblem::NotANumber, names[k],
                                          std::string(f.text), 0, 0});
        }
        row.numbers.push_back(*value);
    }
    return row;
}

} // namespace hattsheet::pointfile
