#pragma once
// Whether a point lies on a sheet: the sheet's outline as a quadrilateral of
// degrees on the old Greek datum (its four corners, λ from Athens).

#include "geodesy/sheet_catalogue.h"

#include <array>

namespace hattsheet::geodesy {

// Half-open: the south and west edges belong to the sheet, the north and
// east edges to its neighbours, so a point on a shared edge lies on exactly
// one sheet. (The even-odd ray test below gives exactly that: a ray to the
// east counts an edge whose latitudes span [lower, upper).) Degrees, λ from
// Athens.
bool outlineHolds(const std::array<OutlineCorner, 4>& outline, double phiDeg, double lambdaDeg);

// How far a point lies outside the outline (metres; 0 when it holds it),
// measured on the sphere of the point's radii of curvature: good to a few
// per cent, which is all a warning threshold of 1 km needs.
double distanceOutside(const std::array<OutlineCorner, 4>& outline, double phiDeg, double lambdaDeg);

} // namespace hattsheet::geodesy
