#pragma once
// The Hatt projection of the Greek map series on the Bessel 1841 ellipsoid,
// as truncated power series about the centre of one map sheet.
//
// Source: the series of the Greek Hatt sheets as used by the old Greek datum,
// transcribed term by term with the grouping and the order of summation of
// the original program. Every coefficient depends on the centre latitude only.
// Symbols: φ0, λ0 centre of the point's sheet (inverse), φ1, λ1 centre of the
// target sheet (forward); s, c, t sine, cosine, tangent of the centre
// latitude; M, N radii of curvature of the meridian and the prime vertical
// there; e², e′² first and second eccentricity squared.
//
// Departures: none in the arithmetic. The coefficients of one centre are
// formed once (HattSheet) instead of at every use, and each power of a
// point's X, Y, Δφ, Δλ is raised once by the same std::pow call and reused
// where the series write it again; the expressions are the same, so the
// digits are the same.
//
// Accuracy against the exact azimuthal equidistant projection on the same
// ellipsoid (PROJ aeqd, tests/geodesy/tst_proj_oracle.cpp): see README.md.
// The two series are not exact inverses: inverse then forward at one centre
// moves a point 78 km from the centre by 2.7 cm.
//
// X is the easting and Y the northing (metres) from the sheet centre. The
// longitude λ0 of a centre counts from the Athens meridian; the geodetic
// longitude λ counts from Greenwich. Angles are radians here.

#include <optional>

namespace hattsheet::geodesy {

// Bessel 1841, with e² and e′² as the nine-decimal literals of the Greek
// formulas; deriving them from the axes (b = 6356078.963 m) would change the
// last digits of every result.
constexpr double kBesselA = 6377397.155;      // semi-major axis (metres)
constexpr double kBesselE2 = 0.006674372;     // first eccentricity squared
constexpr double kBesselEp2 = 0.006719219;    // second eccentricity squared

// π as 4·arctan(1), evaluated at run time as the original program does.
double pi();

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

// The coefficients of both series at one sheet centre, formed once; inverse()
// and forward() give the same digits as hattInverse() and hattForward().
// Both return an empty optional when a result is not finite: only absurd
// inputs get there (X = 1e100 overflows in X⁴).
class HattSheet {
public:
    explicit HattSheet(CentreRad centre);

    std::optional<GeodeticPosition> inverse(PlanePoint p) const;
    std::optional<PlanePoint> forward(GeodeticPosition g) const;

    // λ - (λ1 + λA): the longitude difference from this sheet's centre
    // (radians), formed exactly as forward() forms it.
    double longitudeDifference(double lambdaGreenwich) const;
    const CentreRad& centre() const { return m_centre; }

private:
    CentreRad m_centre;
    double m_lambdaA;
    double m_m;
    double m_centreLambdaGreenwich;  // λ1 + λA
    // inverse, latitude rows
    double m_invPhi[6];
    // inverse, longitude: N·c and the rows
    double m_nc;
    double m_invLambda[5];
    // forward, easting rows (N·c is m_nc)
    double m_fwdX[4];
    // forward, northing rows and the divisor 2·N
    double m_fwdY[6];
    double m_twoN;
};

// Plane point (metres) on the sheet with centre c -> geodetic position.
std::optional<GeodeticPosition> hattInverse(CentreRad c, PlanePoint p);
// Geodetic position -> plane point (metres) on the sheet with centre c.
std::optional<PlanePoint> hattForward(CentreRad c, GeodeticPosition g);

} // namespace hattsheet::geodesy
