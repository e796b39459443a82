#pragma once
// The Hatt projection at one centre: the series of geodesy/hatt_series.h
// with longitudes east of Greenwich in and out, and the check that every
// result is finite. The Athens meridian is added and taken away here and nowhere
// else.

#include "geodesy/hatt_series.h"

#include <optional>

namespace hattsheet::geodesy {

// Both directions give an empty
// optional when a result is not finite: only absurd inputs get there
// (X = 1e100 overflows in X⁴).
class HattProjection {
public:
    explicit HattProjection(Centre centre);

    // Plane point (metres) -> latitude and longitude east of Greenwich (radians).
    std::optional<GeodeticPosition> inverse(PlanePoint p) const;
    // Latitude and longitude east of Greenwich (radians) -> plane point (metres).
    std::optional<PlanePoint> forward(GeodeticPosition g) const;

    // λ − (λ1 + λA): the longitude difference from this sheet's centre
    // (radians) that forward() takes to the series.
    double longitudeDifference(double lambdaGreenwich) const;
    // The longitude from the Athens meridian (radians, east positive) of a
    // longitude east of Greenwich, as the geodetic display shows it:
    // (λ − (λ1 + λA)) + λ1, not λ − λA, which can differ in the last bit.
    double longitudeFromAthens(double lambdaGreenwich) const;
    const Centre& centre() const { return m_series.centre(); }

private:
    HattSeries m_series;
    double m_lambdaA;                // λA, the Athens meridian east of Greenwich (radians)
    double m_centreLambdaGreenwich;  // λ1 + λA (radians)
};

} // namespace hattsheet::geodesy
