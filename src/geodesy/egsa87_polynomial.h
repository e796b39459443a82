#pragma once
// The agency's second-degree polynomial of one sheet, from its Hatt plane to
// the Greek Grid (ΕΓΣΑ87 / TM87, EPSG:2100), and its exact inverse.
//
// Source: the coefficients of data/hatt_sheets.csv (geodesy/sheet_catalogue.h),
// evaluated term by term in the published order:
//   E = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y
//   N = B0 + B1·x + B2·y + B3·x² + B4·y² + B5·x·y
// with x the easting and y the northing on the sheet's own centre (metres).
// PROJ's +proj=horner with the same coefficients agrees to 1e-9 m on every
// usable sheet's centre and corners (tests/geodesy/tst_egsa87.cpp).
//
// Departure: the inverse is not the third party's reverse polynomial (off by
// up to 0.11 m) but Newton's method on the forward polynomial, started from
// that reverse polynomial, so a round trip Hatt -> ΕΓΣΑ87 -> Hatt gives back
// the point to well below 0.1 mm.

#include "geodesy/points.h"
#include "geodesy/sheet_catalogue.h"

#include <array>
#include <optional>

namespace hattsheet::geodesy {

// A point of the Greek Grid (metres).
struct Egsa87Point {
    double e = 0.0;  // easting
    double n = 0.0;  // northing
};

class Egsa87Polynomial {
public:
    explicit Egsa87Polynomial(const Sheet& sheet);

    // Hatt x, y on the sheet's centre (metres) -> E, N (metres).
    Egsa87Point forward(PlanePoint p) const;
    // E, N (metres) -> Hatt x, y (metres) with forward(x, y) within
    // kInverseTolerance of E, N; empty when E or N is not finite or Newton's
    // method does not settle (far outside any sheet).
    std::optional<PlanePoint> inverse(Egsa87Point g) const;

    // Newton's last step is below this (metres): a hundredth of the 0.1 mm
    // a round trip must keep, far above the rounding of E, N (1e-9 m at 4e6 m).
    static constexpr double kInverseTolerance = 1e-6;
    // More steps than a quadratic start 0.11 m off ever needs (three); a
    // point that has not settled by then is refused.
    static constexpr int kMaxNewtonSteps = 20;

private:
    std::array<double, 6> m_a, m_b;
    std::array<double, 5> m_c, m_d;
};

} // namespace hattsheet::geodesy
