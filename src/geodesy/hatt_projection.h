#pragma once
// The vocabulary of the Hatt projection shared by the series, the sheet
// frame and the catalogue: the Bessel 1841 ellipsoid, the one conversion
// each way between degrees and radians, the Athens meridian, the radii of
// curvature, and the plane and geodetic points (see geodesy/hatt_series.h
// for the series and their source).

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

// The Athens meridian east of Greenwich, 23°42'58.815", formed as
// degreesToRadians(2578.815 / 3600 + 23) (radians, 0.4139281758892007).
double athensMeridian();

struct Radii {
    double m = 0.0;  // meridian radius of curvature (metres)
    double n = 0.0;  // prime-vertical radius of curvature (metres)
};
// Radii of curvature at a latitude (radians).
Radii radiiOfCurvature(double phi0Rad);

struct CentreRad {
    double phi0 = 0.0;     // latitude (radians)
    double lambda0 = 0.0;  // longitude from the Athens meridian, east positive (radians)
};

struct PlanePoint {
    double x = 0.0;  // easting from the sheet centre (metres)
    double y = 0.0;  // northing from the sheet centre (metres)
};

struct GeodeticPosition {
    double phi = 0.0;     // latitude (radians)
    double lambda = 0.0;  // longitude east of Greenwich (radians)
};

// What the inverse series give: the latitude and the longitude from the
// Athens meridian, east positive (radians).
struct SeriesPosition {
    double phi = 0.0;
    double lambdaAthens = 0.0;
};

} // namespace hattsheet::geodesy
