#include "geodesy/ellipsoid.h"

#include <cmath>

namespace hattsheet::geodesy {

using std::pow;

namespace {

// π as 4·arctan(1), evaluated once at run time, not a literal.
double pi()
{
    static const double value = 4.0 * std::atan(1.0);
    return value;
}

} // namespace

double degreesToRadians(double degrees) { return (degrees * pi()) / 180.0; }

double radiansToDegrees(double radians) { return (radians * 180.0) / pi(); }

double athensMeridian()
{
    // 23°42'58.815": 2578.815 seconds past 23°, divided first, then added.
    static const double value = degreesToRadians((2578.815 / 3600.0) + 23.0);
    return value;
}

Radii radiiOfCurvature(double phi0Rad)
{
    const double s2 = pow(std::sin(phi0Rad), 2);
    const double w = 1.0 / std::sqrt(1.0 - (kBesselE2 * s2));
    return Radii{(kBesselA * (1.0 - kBesselE2)) * pow(w, 3), kBesselA * w};
}

} // namespace hattsheet::geodesy
