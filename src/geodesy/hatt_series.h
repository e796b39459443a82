#pragma once
// The Hatt projection of the Greek map series on the Bessel 1841 ellipsoid,
// as truncated power series about the centre of one map sheet: the kernel,
// in radians, with no frame (see geodesy/hatt_projection.h for the Greenwich
// longitudes, the Athens meridian and the check of the results).
//
// Source: the published Hatt azimuthal series on the Bessel 1841 ellipsoid
// as used for the Greek 1:5000 and 1:50000 sheets of the old Greek datum:
// the inverse to fourth order in X and Y, the forward to fourth order in Δφ
// and Δλ, transcribed term by term with their grouping and order of
// summation. Every coefficient depends on the centre latitude only.
// Symbols: φ0, λ0 centre of the point's sheet (inverse), φ1, λ1 centre of the
// target sheet (forward); s, c, t sine, cosine, tangent of the centre
// latitude; M, N radii of curvature of the meridian and the prime vertical
// there; e², e′² first and second eccentricity squared.
//
// Departures from the published series:
// - e² and e′² are the nine-decimal literals the Greek series are printed
//   with, not values derived from the axes (see kBesselE2).
// - The coefficients of one centre are formed once (HattSeries) instead of at
//   every point, and each power of a point's X, Y, Δφ, Δλ is raised once by
//   the same std::pow call and reused where the series write it again. The
//   expressions are the same, so the digits are the same.
// - 1 − 2s² stands for cos 2φ0 and is formed as 1 − (s² + s²) throughout.
//
// Accuracy against the exact azimuthal equidistant projection on the same
// ellipsoid (PROJ aeqd, tests/geodesy/tst_proj_oracle.cpp): see README.md.
// The two series are not exact inverses: inverse then forward at one centre
// moves a point 78 km from the centre by 2.7 cm.
//
// X is the easting and Y the northing (metres) from the sheet centre. The
// longitude λ0 of a centre counts from the Athens meridian. Angles are
// radians here.

#include "geodesy/centre.h"
#include "geodesy/points.h"

namespace hattsheet::geodesy {

// The coefficients of both series at one sheet centre, formed once. Each
// term is named after the powers it multiplies (x2y: X²·Y; dLambda3DPhi:
// Δλ³·Δφ). Nothing is checked: an absurd input (X = 1e100 overflows in X⁴)
// gives an infinite or NaN result, which the frame refuses.
class HattSeries {
public:
    explicit HattSeries(Centre centre);

    // Plane point (metres) -> latitude and longitude from Athens (radians).
    SeriesPosition inverse(PlanePoint p) const;
    // Latitude and the longitude difference λ − (λ1 + λA) from this centre
    // (radians) -> plane point (metres).
    PlanePoint forward(double phi, double dLambda) const;
    const Centre& centre() const { return m_centre; }

    // Inverse, latitude: φ = φ0 + Y/M − x2·X² − y2·Y² − x2y·X²Y − y3·Y³
    //                        + x4·X⁴ − x2y2·X²Y².
    struct LatitudeTerms {
        double x2, y2, x2y, y3, x4, x2y2;
    };
    // Inverse, longitude: λ = λ0 + X/(N·c) + xy·XY − x3·X³ + xy2·XY²
    //                         + xy3·XY³ − x3y·X³Y.
    struct LongitudeTerms {
        double xy, x3, xy2, xy3, x3y;
    };
    // Forward, easting: X = N·c·Δλ − dLambdaDPhi·ΔλΔφ − dLambdaDPhi2·ΔλΔφ²/6
    //                       − dLambda3·Δλ³/6 − dLambda3DPhi·Δλ³Δφ/6.
    struct EastingTerms {
        double dLambdaDPhi, dLambdaDPhi2, dLambda3, dLambda3DPhi;
    };
    // Forward, northing: Y = M·Δφ + dLambda2·Δλ² + dPhi2·Δφ²/(2N)
    //   + dPhiDLambda2·ΔφΔλ²/6 + dPhi3·Δφ³/2 + dLambda4·Δλ⁴/24
    //   − dPhi2DLambda2·Δφ²Δλ²/3.
    struct NorthingTerms {
        double dLambda2, dPhi2, dPhiDLambda2, dPhi3, dLambda4, dPhi2DLambda2;
    };

private:
    Centre m_centre;
    double m_m;     // M at φ0 (metres)
    double m_nc;    // N·c at φ0 (metres)
    double m_twoN;  // 2·N, the divisor of the Δφ² northing term (metres)
    LatitudeTerms m_latitude;
    LongitudeTerms m_longitude;
    EastingTerms m_easting;
    NorthingTerms m_northing;
};

} // namespace hattsheet::geodesy
