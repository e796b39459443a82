#include "geodesy/hepos_grid.h"

#include "base/safe_file.h"
#include "base/utf8_path.h"
#include "text/number_text.h"

#include <algorithm>
#include <cmath>

namespace hattsheet::geodesy {

namespace {

// The two files hold about 1.2 MB each; a file far larger is not one of them.
constexpr std::uintmax_t kLargestGridFileBytes = std::uintmax_t{16} << 20;

// The lines of a text one at a time, without their CR LF or LF.
class Lines {
public:
    explicit Lines(std::string_view text) : m_rest(text) {}
    bool next(std::string_view& line)
    {
        if (m_done) return false;
        const auto end = m_rest.find('\n');
        m_done = end == std::string_view::npos;
        line = m_rest.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        m_rest = m_done ? std::string_view{} : m_rest.substr(end + 1);
        ++m_number;
        return true;
    }
    unsigned long long number() const { return m_number; }

private:
    std::string_view m_rest;
    unsigned long long m_number = 0;
    bool m_done = false;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The numbers of a row line into out; the problem of the line, if any.
std::optional<GridProblem> readRow(std::string_view line, std::vector<double>& out)
{
    int count = 0;
    std::size_t p = 0;
    while (true) {
        while (p < line.size() && isBlank(line[p])) ++p;
        if (p == line.size()) break;
        std::size_t end = p;
        while (end < line.size() && !isBlank(line[end])) ++end;
        const auto value = text::parseWholeNumber(line.substr(p, end - p));
        if (!value || !(std::abs(*value) <= kLargestShiftCm)) return GridProblem::NotANumber;
        if (++count > kHeposColumns) return GridProblem::LongRow;
        out.push_back(*value);
        p = end;
    }
    if (count < kHeposColumns) return GridProblem::ShortRow;
    return std::nullopt;
}

// The five header lines, each one number that must be the model's.
std::optional<GridProblem> readHeader(Lines& lines)
{
    struct Expect {
        double value;
        GridProblem problem;
    };
    const Expect header[] = {{double(kHeposRows), GridProblem::RowCount},
                             {double(kHeposColumns), GridProblem::ColumnCount},
                             {kHeposSpacing, GridProblem::Spacing},
                             {kHeposFirstNorthing, GridProblem::Origin},
                             {kHeposFirstEasting, GridProblem::Origin}};
    for (const Expect& e : header) {
        std::string_view line;
        if (!lines.next(line)) return GridProblem::MissingRows;
        const auto value = text::parseWholeNumber(line);
        if (!value) return GridProblem::HeaderNumber;
        if (*value != e.value) return e.problem;
    }
    return std::nullopt;
}

} // namespace

Expected<CorrectionGrid, GridFault> CorrectionGrid::parse(std::string_view text, const std::string& file)
{
    Lines lines(text);
    // A missing line is named by the number it would have had.
    const auto fault = [&](GridProblem problem) {
        return unexpected(GridFault{file, lines.number() + (problem == GridProblem::MissingRows), problem, 0});
    };
    if (const auto problem = readHeader(lines)) return fault(*problem);
    CorrectionGrid grid;
    grid.m_cm.reserve(std::size_t{kHeposRows} * kHeposColumns);
    std::string_view line;
    for (int row = 0; row < kHeposRows; ++row) {
        if (!lines.next(line)) return fault(GridProblem::MissingRows);
        if (const auto problem = readRow(line, grid.m_cm)) return fault(*problem);
    }
    while (lines.next(line)) {
        for (char c : line) {
            if (!isBlank(c)) return fault(GridProblem::TextAfterRows);
        }
    }
    return grid;
}

Expected<CorrectionGrid, GridFault> CorrectionGrid::read(const std::filesystem::path& path)
{
    const std::string name = platform::pathToUtf8(path);
    const auto text = files::readWholeFile(path, kLargestGridFileBytes);
    if (!text) return unexpected(GridFault{name, 0, GridProblem::Unreadable, text.error().code});
    return parse(*text, name);
}

std::optional<double> CorrectionGrid::at(GridPoint tm07) const
{
    // Position in cells from the first node; the last row and column belong
    // to the cell below and left of them.
    const double u = (tm07.e - kHeposFirstEasting) / kHeposSpacing;
    const double v = (tm07.n - kHeposFirstNorthing) / kHeposSpacing;
    if (!(u >= 0.0 && u <= kHeposColumns - 1 && v >= 0.0 && v <= kHeposRows - 1)) return std::nullopt;
    const int i = std::min(static_cast<int>(u), kHeposColumns - 2);
    const int j = std::min(static_cast<int>(v), kHeposRows - 2);
    const double t = u - i, s = v - j;
    const double south = ((1.0 - t) * node(j, i)) + (t * node(j, i + 1));
    const double north = ((1.0 - t) * node(j + 1, i)) + (t * node(j + 1, i + 1));
    return ((1.0 - s) * south) + (s * north);
}

Expected<HeposGrid, GridFault> HeposGrid::read(const std::filesystem::path& folder)
{
    auto east = CorrectionGrid::read(folder / platform::pathFromUtf8(kHeposEastFile));
    if (!east) return unexpected(east.error());
    auto north = CorrectionGrid::read(folder / platform::pathFromUtf8(kHeposNorthFile));
    if (!north) return unexpected(north.error());
    return HeposGrid(std::move(*east), std::move(*north));
}

std::optional<GridPoint> HeposGrid::shift(GridPoint tm07) const
{
    const auto de = m_east.at(tm07);
    const auto dn = m_north.at(tm07);
    if (!de || !dn) return std::nullopt;
    return GridPoint{*de / 100.0, *dn / 100.0};
}

namespace {

// Steps 1-3 of the model: TM07 -> TM87 without the grid.
GridPoint helmertStep(GridPoint position, double h)
{
    const GeographicPoint g = tm07().inverse(position);
    const GeodeticPoint3 shifted = helmertGrs80(kHtrs07ToEgsa87, {g.phiDeg, g.lambdaDeg, h});
    return tm87().forward({shifted.phiDeg, shifted.lambdaDeg});
}

} // namespace

std::optional<GridPoint> tm07ToTm87(const HeposGrid& grid, GridPoint position, double h)
{
    const auto d = grid.shift(position);
    if (!d) return std::nullopt;
    const GridPoint p = helmertStep(position, h);
    return GridPoint{p.e + d->e, p.n + d->n};
}

std::optional<GridPoint> tm87ToTm07(const HeposGrid& grid, GridPoint target, double h)
{
    if (!std::isfinite(target.e) || !std::isfinite(target.n) || !std::isfinite(h)) return std::nullopt;
    // The forward step moves a point by about 150 m besides the false
    // northing and turns and scales it by a millionth or so: its Jacobian is
    // the unit matrix to 1e-5, so adding the residual converges at once.
    GridPoint p{target.e, target.n + tm07().definition().falseNorthing};
    for (int step = 0; step < kMaxInverseSteps; ++step) {
        const auto there = tm07ToTm87(grid, p, h);
        if (!there) return std::nullopt;
        const GridPoint move{target.e - there->e, target.n - there->n};
        p = {p.e + move.e, p.n + move.n};
        if (std::hypot(move.e, move.n) < kInverseToleranceMetres) {
            return grid.shift(p) ? std::optional(p) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace hattsheet::geodesy
