#pragma once
// The HEPOS model between HTRS07 (TM07) and ΕΓΣΑ87 (TM87), the Hellenic
// Cadastre's official transformation:
//   1. TM07 E, N -> geodetic on GRS80 (geodesy/transverse_mercator.h);
//   2. the 7-parameter Helmert step, with the point's ellipsoidal height
//      (geodesy/datum_shift.h);
//   3. geodetic -> TM87 E, N;
//   4. plus the correction grid's shifts (two files, east.grd and north.grd,
//      centimetres at nodes 2 km apart), read bilinearly at the TM07 E, N of
//      the point.
// The inverse is exact: it looks for the TM07 point whose forward step, with
// the same height, gives the TM87 point, and stops when two positions agree
// to kInverseToleranceMetres (the grid is read at the TM07 point sought, so
// a single backward step would read it up to metres away).
//
// The grid files (plain text, CR LF or LF): the number of rows (408), of
// columns (422), the spacing (2000 m), the TM07 northing of the first row
// and the easting of the first column, one number a line; then one line per
// row, south to north, of one shift per column, west to east. They are the
// agency's and are never shipped: the user installs them
// (operations/systems.h says where they are looked for).

#include "base/expected.h"
#include "geodesy/datum_shift.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::geodesy {

// Why a grid file is refused.
enum class GridProblem {
    Unreadable,     // the file cannot be read (error holds the errno)
    Unwritable,     // its copy cannot be written where it is installed (error)
    HeaderNumber,   // a line of the header is not one number
    RowCount,       // the header's rows are not kHeposRows
    ColumnCount,    // the header's columns are not kHeposColumns
    Spacing,        // the spacing is not kHeposSpacing
    Origin,         // the first row or column is not the model's
    NotANumber,     // a shift is not a number, or beyond kLargestShiftCm
    ShortRow,       // a row has fewer numbers than columns
    LongRow,        // a row has more numbers than columns
    MissingRows,    // the file ends before the last row
    TextAfterRows,  // something other than blank lines after the last row
};

struct GridFault {
    std::string file;               // the file's path (UTF-8)
    unsigned long long line = 0;    // 1-based; 0 for the file as a whole
    GridProblem problem = GridProblem::Unreadable;
    int error = 0;                  // Unreadable: the errno
};

// The model's grid: these rows, columns and spacing, and this origin (TM07
// metres); anything else is another file.
inline constexpr int kHeposRows = 408;
inline constexpr int kHeposColumns = 422;
inline constexpr double kHeposSpacing = 2000.0;
inline constexpr double kHeposFirstNorthing = 1845619.0;
inline constexpr double kHeposFirstEasting = 41600.0;
// No shift of the model reaches 2.5 m; one beyond 10 m is a damaged number.
inline constexpr double kLargestShiftCm = 1000.0;

// One grid file: the shifts (centimetres) row by row.
class CorrectionGrid {
public:
    // The text of a file named file (for the faults).
    static Expected<CorrectionGrid, GridFault> parse(std::string_view text, const std::string& file);
    static Expected<CorrectionGrid, GridFault> read(const std::filesystem::path& path);

    // The shift at TM07 E, N, bilinear between the four nodes around it
    // (centimetres); empty outside the outermost nodes.
    std::optional<double> at(GridPoint tm07) const;
    // The shift at a node (centimetres): row from the south, column from the west.
    double node(int row, int column) const { return m_cm[static_cast<std::size_t>(row) * kHeposColumns + column]; }

private:
    std::vector<double> m_cm;
};

// Steps 1-3 of the model, exactly: TM07 E, N and h -> TM87 E, N (metres).
GridPoint helmertStep(GridPoint tm07, double h);

// Steps 1-3 as a table: helmertStep's move (TM87 − TM07, metres) at the
// grid's nodes for the heights kStepHeights, worked out exactly the first
// time a cell is used, then read bilinearly across the cell and by the
// parabola through the three heights. The move turns with the meridian
// convergence (second derivative about 1e-11 per m²) and shrinks with
// (M + h)⁻¹, hence a parabola in h: within 4e-6 m of helmertStep for
// −500 m ≤ h ≤ 5000 m over the whole grid (tests/geodesy/
// tst_systems_oracle.cpp), and eight times cheaper than its three
// projections and two geocentric conversions. Safe to read from two
// threads at once (a node worked out twice gets the same numbers).
class StepTable;
inline constexpr double kStepHeights[3] = {0.0, 1500.0, 3000.0};  // metres

// The two files, and the table of steps 1-3 on their nodes.
class HeposGrid {
public:
    HeposGrid(CorrectionGrid east, CorrectionGrid north);
    ~HeposGrid();
    HeposGrid(HeposGrid&&) noexcept;
    HeposGrid& operator=(HeposGrid&&) noexcept;
    // east.grd and north.grd of a folder.
    static Expected<HeposGrid, GridFault> read(const std::filesystem::path& folder);

    // dE, dN at TM07 E, N (metres); empty outside the grid.
    std::optional<GridPoint> shift(GridPoint tm07) const;
    // Steps 1-3 from the table (TM87 E, N); empty outside the grid.
    std::optional<GridPoint> step(GridPoint tm07, double h) const;

private:
    CorrectionGrid m_east, m_north;
    std::unique_ptr<StepTable> m_steps;
};

// The names of the two files in their folder.
inline constexpr std::string_view kHeposEastFile = "east.grd";
inline constexpr std::string_view kHeposNorthFile = "north.grd";

// TM07 E, N (metres) and the ellipsoidal height (metres; 0 when unknown) ->
// TM87 E, N; empty outside the grid.
std::optional<GridPoint> tm07ToTm87(const HeposGrid& grid, GridPoint tm07, double h);
// TM87 -> the TM07 point whose tm07ToTm87 with the same h is the input;
// empty outside the grid or when the search does not settle.
std::optional<GridPoint> tm87ToTm07(const HeposGrid& grid, GridPoint tm87, double h);

// The inverse's steps stop when they move less than this (metres): a
// thousandth of the 0.1 mm the inverse must keep. Each step shrinks the
// error about 1e5 times (the grid changes by centimetres per 2 km), so two
// or three steps get there.
inline constexpr double kInverseToleranceMetres = 1e-7;
inline constexpr int kMaxInverseSteps = 10;

} // namespace hattsheet::geodesy
