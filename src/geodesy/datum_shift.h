#pragma once
// The shifts between the geodetic datums of the new systems, through
// geocentric coordinates (GeographicLib's Geocentric: exact to nanometres):
// the 7-parameter Helmert step of the HEPOS model (HTRS07 -> ΕΓΣΑ87), and
// ΕΓΣΑ87 -> WGS84 by EPSG:1272, a geocentric translation good to about 1 m.
//
// Helmert, coordinate-frame convention (the rotations turn the axes, not the
// point), in the first-order form for angles of a fraction of an arcsecond:
//   X' = tx + (1 + s)·( X + rz·Y − ry·Z)
//   Y' = ty + (1 + s)·(−rz·X + Y + rx·Z)
//   Z' = tz + (1 + s)·( ry·X − rx·Y + Z)
// (rotations in radians, s the scale difference). The exact rotation matrix
// differs from this by rotation² ≈ 1e-12 of the radius: 6e-6 m.

#include "geodesy/transverse_mercator.h"

namespace hattsheet::geodesy {

// A geodetic position with its ellipsoidal height: degrees, λ east of
// Greenwich; metres.
struct GeodeticPoint3 {
    double phiDeg = 0.0;
    double lambdaDeg = 0.0;
    double h = 0.0;
};

struct HelmertParameters {
    double tx, ty, tz;           // translations (metres)
    double rxSec, rySec, rzSec;  // rotations, coordinate frame (arcseconds)
    double scalePpm;             // scale difference (parts per million)
};

// The HEPOS model's step HTRS07 -> ΕΓΣΑ87 (the Hellenic Cadastre's figures).
inline constexpr HelmertParameters kHtrs07ToEgsa87{203.437, -73.461, -243.594, -0.170, -0.060, -0.151, -0.294};

// Geodetic on GRS80 through the Helmert step to geodetic on GRS80.
GeodeticPoint3 helmertGrs80(const HelmertParameters& p, GeodeticPoint3 g);
// Its inverse: the same step with every parameter negated, then corrected
// once by the residual of the forward step (the negated step alone leaves
// about 1e-7 m; after the correction below 1e-9 m).
GeodeticPoint3 helmertGrs80Inverse(const HelmertParameters& p, GeodeticPoint3 g);

// EPSG:1272's geocentric translation, ΕΓΣΑ87 (GRS80) to WGS84.
struct GeocentricTranslation {
    double tx, ty, tz;  // metres
};
inline constexpr GeocentricTranslation kEgsa87ToWgs84{-199.87, 74.79, 246.62};

// ΕΓΣΑ87 -> WGS84 by EPSG:1272, geocentric translation (−199.87, 74.79,
// 246.62 m), GRS80 -> WGS84 ellipsoid; and back. The transformation is
// stated good to 1 m (kEgsa87Wgs84AccuracyMetres). Heights pass through:
// the way back finds the ΕΓΣΑ87 point whose step with the same h gives the
// WGS84 one (its h is that same h).
GeodeticPoint3 egsa87ToWgs84(GeodeticPoint3 g);
GeodeticPoint3 wgs84ToEgsa87(GeodeticPoint3 g);
inline constexpr double kEgsa87Wgs84AccuracyMetres = 1.0;

} // namespace hattsheet::geodesy
