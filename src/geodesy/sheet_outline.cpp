#include "geodesy/sheet_outline.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace hattsheet::geodesy {

bool outlineHolds(const std::array<OutlineCorner, 4>& outline, double phiDeg, double lambdaDeg)
{
    bool inside = false;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        const OutlineCorner& a = outline[i];
        const OutlineCorner& b = outline[j];
        if ((a.phiDeg > phiDeg) != (b.phiDeg > phiDeg)) {
            const double crossing =
                a.lambdaDeg + (((phiDeg - a.phiDeg) * (b.lambdaDeg - a.lambdaDeg)) / (b.phiDeg - a.phiDeg));
            if (lambdaDeg < crossing) inside = !inside;
        }
    }
    return inside;
}

double distanceOutside(const std::array<OutlineCorner, 4>& outline, double phiDeg, double lambdaDeg)
{
    if (outlineHolds(outline, phiDeg, lambdaDeg)) return 0.0;
    // Metres per degree along the meridian and along the parallel at the point.
    const Radii r = radiiOfCurvature(degreesToRadians(phiDeg));
    const double perDegreeNorth = degreesToRadians(1.0) * r.m;
    const double perDegreeEast = degreesToRadians(1.0) * (r.n * std::cos(degreesToRadians(phiDeg)));
    double nearest = INFINITY;
    for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
        // The edge from b to a in metres about the point.
        const double ax = (outline[i].lambdaDeg - lambdaDeg) * perDegreeEast;
        const double ay = (outline[i].phiDeg - phiDeg) * perDegreeNorth;
        const double bx = (outline[j].lambdaDeg - lambdaDeg) * perDegreeEast;
        const double by = (outline[j].phiDeg - phiDeg) * perDegreeNorth;
        const double ex = ax - bx, ey = ay - by;
        const double length2 = (ex * ex) + (ey * ey);
        const double t = length2 > 0.0 ? std::clamp(-((bx * ex) + (by * ey)) / length2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(bx + (t * ex), by + (t * ey)));
    }
    return nearest;
}

} // namespace hattsheet::geodesy
