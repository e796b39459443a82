#pragma once
// The Bessel 1841 ellipsoid of the old Greek datum and what is measured on
// it: the one conversion each way between degrees and radians, the Athens
// meridian, the radii of curvature (see geodesy/hatt_series.h for the series
// and their source, geodesy/points.h for the points).

namespace hattsheet::geodesy {

// Bessel 1841, with e² and e′² as the nine-decimal literals of the Greek
// formulas; deriving them from the axes (b = 6356078.963 m) would change the
// last digits of every result.
constexpr double kBesselA = 6377397.155;      // semi-major axis (metres)
constexpr double kBesselE2 = 0.006674372;     // first eccentricity squared
constexpr double kBesselEp2 = 0.006719219;    // second eccentricity squared

// π is 4·arctan(1), evaluated once at run time, not a literal.
// (d × π) / 180: the product first, then the division (degrees -> radians).
double degreesToRadians(double degrees);
// (r × 180) / π: r * (180 / π) can differ in the last bit (radians -> degrees).
double radiansToDegrees(double radians);

// The Athens meridian east of Greenwich, 23°42'58.815": 2578.815 seconds
// past 23°, divided first, then added (decimal degrees, 23.7163375), and
// degreesToRadians of it (radians, 0.4139281758892007).
constexpr double kAthensMeridianDeg = (2578.815 / 3600.0) + 23.0;
double athensMeridian();

struct Radii {
    double m = 0.0;  // meridian radius of curvature (metres)
    double n = 0.0;  // prime-vertical radius of curvature (metres)
};
// Radii of curvature at a latitude (radians).
Radii radiiOfCurvature(double phi0Rad);

} // namespace hattsheet::geodesy
