#pragma once
// A conversion between two systems (operations/systems.h) written as a PROJ
// pipeline, for the engines that convert whole datasets (ogr2ogr -ct, QGIS,
// PostGIS ST_TransformPipeline) with hattsheet's numbers.
//
// The steps, each PROJ's own operation with this program's parameters:
//  - Hatt: +proj=aeqd at the sheet centre (Bessel 1841 with the series' e²,
//    λ0 east of Greenwich through kAthensMeridianDeg). The program's series
//    approximate it: kAeqdAgainstSeriesMm below is their largest difference.
//  - a named sheet to ΕΓΣΑ87: +proj=horner with the sheet's polynomial; the
//    other way the same step with +inv, which PROJ inverts by iteration as
//    the program inverts the forward polynomial (not the reverse set).
//  - TM87, TM07, TM3: +proj=tmerc with the grids' definitions
//    (geodesy/transverse_mercator.h).
//  - ΕΓΣΑ87 ↔ WGS84: cart, the EPSG:1272 translation, cart; HTRS07 ↔ ΕΓΣΑ87
//    (only with approximate): cart, the HEPOS Helmert step (coordinate
//    frame), cart, without the grid. Both keep the height as the program
//    does (push and pop of the third coordinate).
// Geographic ends are degrees, longitude first (x, y as GIS files hold them).
// A step next to its own inverse is dropped, so TM07 ↔ HTRS07 is one tmerc.
//
// Refused: routes that need the sheet each point lies on (a Hatt centre
// rather than a named sheet, or TM3, across the datums), the refused sheets
// as the program refuses them, and the HEPOS grid (PROJ before 9.4 applies no
// grid in projected coordinates) unless approximate is asked.

#include "base/expected.h"
#include "operations/systems.h"

#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

// The largest difference between the aeqd pair and the program's series,
// measured over a 5 × 5 grid of every sheet's outline and its centre
// (tests/cli/tst_proj_pipeline.cpp holds the pipelines to it): 12.5 mm, at
// the far corners of island sheets 55-66 km from their centre (Hatt -> TM3
// and a sheet there and back); 8.9 mm from a sheet to a neighbouring
// sheet's centre; under 3 mm within 30 km of the centre (README.md,
// "Accuracy").
inline constexpr double kAeqdAgainstSeriesMm = 13.0;

// The Helmert step without the HEPOS grid against the program with it
// (metres), measured both ways on 80 × 80 points over the grid's area:
// median 0.66 m, 95th percentile 1.6 m, largest 2.69 m (the grid's own
// shifts; tests/cli/tst_proj_pipeline.cpp holds a few points to it).
inline constexpr double kWithoutGridMedianMetres = 0.7;
inline constexpr double kWithoutGridMetres = 2.7;

// Why a route has no pipeline.
struct PipelineRefusal {
    enum class Cause {
        Route,          // a Hatt end's centre or sheet, refused as the program refuses it: route
        SheetPerPoint,  // a Hatt centre across the datums: sheets are the centre's usable sheets
        Tm3PerPoint,    // TM3 across the datums
        HeposGrid,      // the HEPOS grid, without approximate
    };
    Cause cause = Cause::Route;
    Side side = Side::From;       // the end whose system it is
    RouteError route;             // Route
    std::vector<const geodesy::Sheet*> sheets;  // SheetPerPoint
};

// What is said beside a pipeline, in this order.
enum class PipelineNote {
    AeqdNotSeries,   // aeqd where the program uses its series (kAeqdAgainstSeriesMm)
    SheetEverywhere, // the named sheet's polynomial for every point, also far outside its outline
    Wgs84,           // the EPSG:1272 translation, about 1 m
    WithoutGrid,     // approximate: the Helmert step alone (kWithoutGridMetres)
};

struct ProjPipeline {
    std::string text;                          // "+proj=pipeline +step ...", one line, no newline
    std::vector<PipelineNote> notes;
    const geodesy::Sheet* sheet = nullptr;     // the named sheet of a horner step
};

// The pipeline from one system to the other. approximate: the HEPOS routes
// with the Helmert step alone.
Expected<ProjPipeline, PipelineRefusal> projPipeline(const SystemId& from, const SystemId& to, bool approximate);

// A double as PROJ reads it back to the same bits: the shortest decimal
// ("24", "0.006674372", "-1.08e-09").
std::string projNumber(double value);

} // namespace hattsheet::operations
