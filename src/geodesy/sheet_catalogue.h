#pragma once
// The 390 Hatt 1:50,000 sheets of Greece with the agency's (ΟΚΧΕ)
// second-degree polynomials from each sheet's Hatt plane to the Greek Grid
// (ΕΓΣΑ87 / TM87, EPSG:2100).
//
// Source: data/hatt_sheets.csv (its README gives the columns, the licence and
// the measured problems), turned into a C++ table at build time by
// generate_sheet_table.cmake with every number as the CSV's decimal text.
// Nothing here changes a figure: the six inconsistent sheets keep their
// coefficients and are marked by sheetDefect() instead.

#include "geodesy/centre.h"
#include "geodesy/points.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

namespace hattsheet::geodesy {

// A corner of a sheet's outline on the old Greek datum (decimal degrees).
struct OutlineCorner {
    double lambdaDeg = 0.0;  // longitude from the Athens meridian, east positive
    double phiDeg = 0.0;     // latitude
};

struct Sheet {
    int id;                        // 1..390, unique: the row of the CSV
    int agencyNumber;              // the agency's number; 8, 77 and 311 name two sheets each
    std::string_view name;         // mixed case with accents, old spellings ("Άγ.Νικόλαος-Βόρ.")
    std::string_view nameUpper;    // the agency's capitals, often a modern or fuller spelling
    double phi0Deg, lambda0Deg;    // the projection centre (decimal degrees; λ from Athens)
    std::string_view phi0DegMin;   // the same centre as degrees-minutes text ("40.45")
    std::string_view lambda0DegMin;
    std::array<OutlineCorner, 4> outline;  // the four corners in order
    // Forward, Hatt X, Y (metres, on this centre) to the Greek Grid E, N (metres):
    // E = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y, N likewise with B.
    std::array<double, 6> a, b;
    // A third party's reverse set, applied to e = E − A0, n = N − B0:
    // x = C1·e + C2·n + C3·e² + C4·n² + C5·e·n, y likewise with D. Within
    // 0.11 m of the forward set's inverse: used only as Newton's start.
    std::array<double, 5> c, d;
};

namespace table {
extern const Sheet kSheets[390];  // generated: sheet_table.cpp in the build tree
}

// Every sheet, in the CSV's order (id 1 first).
inline std::span<const Sheet> sheetCatalogue() { return table::kSheets; }

// Why a sheet's polynomial is not used (measured against its neighbours,
// the reverse set and EPSG:1891; data/README.md).
enum class SheetDefect {
    None,
    OriginOffEgsa87,       // 390: A0/B0 270 km / 11 km from where its centre lands
    CoefficientSlip,     // 237 (A2 0.0374 for 0.0274), 88 (A2 0.0210 for 0.0160): errors of 150-253 m
    ImpossibleScale,     // 26 and 78: one copied set, scale off by -520 / +3079 ppm, 27-53 m jumps
    NorthingScaleSlip,   // 60: B2 off by -487 ppm, a 5.4 m jump at its edges
};
SheetDefect sheetDefect(const Sheet& sheet);
inline bool isUsable(const Sheet& sheet) { return sheetDefect(sheet) == SheetDefect::None; }

// The sheet of an id (1..390); none for any other number.
const Sheet* sheetById(int id);

// The centre of a sheet as the window and the command line read it: its
// degrees-minutes texts through readCentre's arithmetic, so that naming
// a sheet gives the digits of typing its centre (λ from Athens).
Centre centreOf(const Sheet& sheet);

// Whether a sheet's centre is the given one, to the whole minute of arc
// (centres are whole minutes; decimal degrees, λ from Athens).
bool isOnCentre(const Sheet& sheet, double phi0Deg, double lambda0Deg);

} // namespace hattsheet::geodesy
