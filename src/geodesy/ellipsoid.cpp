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
    static const double value = degreesToRadians(kAthensMeridianDeg);
    return value;
}

Radii radiiOfCurvature(double phi0Rad)
{
    const double s2 = pow(std::sin(phi0Rad), 2);
    const double w = 1.0 / std::sqrt(1.0 - (kBesselE2 * s2));
    return Radii{(kBesselA * (1.0 - kBesselE2)) * pow(w, 3), kBesselA * w};
}

} // namespace hattsheet::geodesy
