#pragma once
// The transverse Mercator grids of the systems beside Hatt: TM87 (ΕΓΣΑ87,
// EPSG:2100) and TM07 (HTRS07) on GRS80, and the three TM3 zones of the old
// datum on Bessel 1841. The projection itself is GeographicLib's
// TransverseMercator (Krüger's series to the sixth order: within 5 nm of the
// exact projection up to 35° from the central meridian, far beyond Greece);
// this file only gives each grid its ellipsoid, origin, scale and false
// origin. Against PROJ's tmerc the grids agree to 1e-7 m
// (tests/geodesy/tst_systems_oracle.cpp).

#include "geodesy/ellipsoid.h"

#include <GeographicLib/TransverseMercator.hpp>

namespace hattsheet::geodesy {

// A latitude and a longitude east of Greenwich (decimal degrees): the form
// the geographic systems are typed and shown in.
struct GeographicPoint {
    double phiDeg = 0.0;
    double lambdaDeg = 0.0;
};

// A point of a transverse Mercator grid (metres).
struct GridPoint {
    double e = 0.0;  // easting
    double n = 0.0;  // northing
};

// GRS80 (the ellipsoid of ΕΓΣΑ87 and HTRS07) and WGS84: semi-major axis
// (metres) and flattening, as defined (1/f is the defining figure).
constexpr double kGrs80A = 6378137.0;
constexpr double kGrs80F = 1.0 / 298.257222101;
constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84F = 1.0 / 298.257223563;
// Bessel 1841 by its defining axis and 1/f, as the TM3 zones are defined;
// the Hatt series keep their own e² (geodesy/ellipsoid.h).
constexpr double kBesselInverseF = 299.1528128;

struct TmDefinition {
    double a;            // semi-major axis (metres)
    double f;            // flattening
    double k0;           // scale on the central meridian
    double lambda0Deg;   // central meridian east of Greenwich (degrees)
    double phi0Deg;      // latitude of origin (degrees); its northing is taken away
    double falseEasting;   // metres
    double falseNorthing;  // metres
};

class TransverseMercatorGrid {
public:
    explicit TransverseMercatorGrid(const TmDefinition& definition);

    // Geographic point (degrees) -> E, N (metres).
    GridPoint forward(GeographicPoint g) const;
    // E, N (metres) -> geographic point (degrees).
    GeographicPoint inverse(GridPoint p) const;
    const TmDefinition& definition() const { return m_definition; }

private:
    TmDefinition m_definition;
    GeographicLib::TransverseMercator m_tm;
    double m_originNorthing;  // the northing of φ0 on the central meridian, before the false northing (metres)
};

// ΕΓΣΑ87 / TM87: GRS80, λ0 = 24°, k0 = 0.9996, false easting 500 000 m.
const TransverseMercatorGrid& tm87();
// HTRS07 / TM07: as TM87 but false northing −2 000 000 m.
const TransverseMercatorGrid& tm07();

// The TM3 zones of the old datum: Bessel 1841, φ0 = 34°, central meridian
// 3° west of, on, or 3° east of the Athens meridian, k0 = 0.9999, false
// easting 200 000 m, false northing 0.
enum class Tm3Zone { West, Central, East };
const TransverseMercatorGrid& tm3(Tm3Zone zone);
// The zone's central meridian from the Athens meridian (degrees: −3, 0, 3).
int tm3OffsetDeg(Tm3Zone zone);

} // namespace hattsheet::geodesy
