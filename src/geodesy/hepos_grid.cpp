#include "geodesy/hepos_grid.h"

#include "base/safe_file.h"
#include "base/utf8_path.h"
#include "text/number_text.h"

#include <algorithm>
#include <atomic>
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

GridPoint helmertStep(GridPoint tm07Point, double h)
{
    const GeographicPoint g = tm07().inverse(tm07Point);
    const GeodeticPoint3 shifted = helmertGrs80(kHtrs07ToEgsa87, {g.phiDeg, g.lambdaDeg, h});
    return tm87().forward({shifted.phiDeg, shifted.lambdaDeg});
}

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

namespace {

// Cell i, j of a TM07 point and its place in the cell (0..1 each); false
// outside the outermost nodes. The last row and column belong to the cell
// below and left of them.
struct CellPlace {
    int i, j;
    double t, s;
};
std::optional<CellPlace> cellOf(GridPoint p)
{
    const double u = (p.e - kHeposFirstEasting) / kHeposSpacing;
    const double v = (p.n - kHeposFirstNorthing) / kHeposSpacing;
    if (!(u >= 0.0 && u <= kHeposColumns - 1 && v >= 0.0 && v <= kHeposRows - 1)) return std::nullopt;
    const int i = std::min(static_cast<int>(u), kHeposColumns - 2);
    const int j = std::min(static_cast<int>(v), kHeposRows - 2);
    return CellPlace{i, j, u - i, v - j};
}

double bilinear(const CellPlace& c, double sw, double se, double nw, double ne)
{
    const double south = ((1.0 - c.t) * sw) + (c.t * se);
    const double north = ((1.0 - c.t) * nw) + (c.t * ne);
    return ((1.0 - c.s) * south) + (c.s * north);
}

} // namespace

class StepTable {
public:
    StepTable() : m_nodes(new Node[std::size_t{kHeposRows} * kHeposColumns]) {}

    GridPoint at(const CellPlace& c, double h) const
    {
        const Node* corner[4] = {&node(c.j, c.i), &node(c.j, c.i + 1), &node(c.j + 1, c.i), &node(c.j + 1, c.i + 1)};
        // Lagrange's parabola through the three heights.
        const double h0 = kStepHeights[0], h1 = kStepHeights[1], h2 = kStepHeights[2];
        const double w[3] = {((h - h1) * (h - h2)) / ((h0 - h1) * (h0 - h2)),
                             ((h - h0) * (h - h2)) / ((h1 - h0) * (h1 - h2)),
                             ((h - h0) * (h - h1)) / ((h2 - h0) * (h2 - h1))};
        double move[2] = {0.0, 0.0};
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 2; ++axis) {
                const int v = (2 * k) + axis;
                move[axis] += w[k] * bilinear(c, corner[0]->value(v), corner[1]->value(v), corner[2]->value(v),
                                              corner[3]->value(v));
            }
        }
        return {move[0], move[1]};
    }

private:
    struct Node {
        std::atomic<bool> ready{false};
        std::atomic<double> moves[6];  // E, N moves at each of kStepHeights (metres)
        double value(int v) const { return moves[v].load(std::memory_order_relaxed); }
    };

    const Node& node(int row, int column) const
    {
        Node& n = m_nodes[(static_cast<std::size_t>(row) * kHeposColumns) + column];
        if (!n.ready.load(std::memory_order_acquire)) {
            const GridPoint p{kHeposFirstEasting + (kHeposSpacing * column), kHeposFirstNorthing + (kHeposSpacing * row)};
            for (int k = 0; k < 3; ++k) {
                const GridPoint q = helmertStep(p, kStepHeights[k]);
                n.moves[2 * k].store(q.e - p.e, std::memory_order_relaxed);
                n.moves[(2 * k) + 1].store(q.n - p.n, std::memory_order_relaxed);
            }
            n.ready.store(true, std::memory_order_release);
        }
        return n;
    }

    std::unique_ptr<Node[]> m_nodes;
};

HeposGrid::HeposGrid(CorrectionGrid east, CorrectionGrid north)
    : m_east(std::move(east)), m_north(std::move(north)), m_steps(std::make_unique<StepTable>())
{
}
HeposGrid::~HeposGrid() = default;
HeposGrid::HeposGrid(HeposGrid&&) noexcept = default;
HeposGrid& HeposGrid::operator=(HeposGrid&&) noexcept = default;

std::optional<double> CorrectionGrid::at(GridPoint tm07) const
{
    const auto c = cellOf(tm07);
    if (!c) return std::nullopt;
    return bilinear(*c, node(c->j, c->i), node(c->j, c->i + 1), node(c->j + 1, c->i), node(c->j + 1, c->i + 1));
}

std::optional<GridPoint> HeposGrid::step(GridPoint tm07, double h) const
{
    const auto cell = cellOf(tm07);
    if (!cell) return std::nullopt;
    const GridPoint move = m_steps->at(*cell, h);
    return GridPoint{tm07.e + move.e, tm07.n + move.n};
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


std::optional<GridPoint> tm07ToTm87(const HeposGrid& grid, GridPoint position, double h)
{
    const auto d = grid.shift(position);
    const auto p = grid.step(position, h);
    if (!d || !p) return std::nullopt;
    return GridPoint{p->e + d->e, p->n + d->n};
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
