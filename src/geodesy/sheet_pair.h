#pragma once
// The frame around the series of geodesy/hatt_projection.h: one sheet with
// longitudes east of Greenwich, and the pipeline of every conversion from
// one sheet to another (the window's ">" and "<", its batch, and the command
// line): the inverse series at the source centre, the forward series at the
// target centre, and the check that every result is finite. The Athens
// meridian is added and taken away here and nowhere else.

#include "geodesy/hatt_projection.h"

#include <optional>

namespace hattsheet::geodesy {

// One map sheet. Both directions give an empty optional when a result is not
// finite: only absurd inputs get there (X = 1e100 overflows in X⁴).
class Sheet {
public:
    explicit Sheet(CentreRad centre);

    // Plane point (metres) -> latitude and longitude east of Greenwich (radians).
    std::optional<GeodeticPosition> inverse(PlanePoint p) const;
    // Latitude and longitude east of Greenwich (radians) -> plane point (metres).
    std::optional<PlanePoint> forward(GeodeticPosition g) const;

    // λ − (λ1 + λA): the longitude difference from this sheet's centre
    // (radians) that forward() takes to the series.
    double longitudeDifference(double lambdaGreenwich) const;
    const CentreRad& centre() const { return m_series.centre(); }

private:
    HattSheet m_series;
    double m_lambdaA;                // λA, the Athens meridian east of Greenwich (radians)
    double m_centreLambdaGreenwich;  // λ1 + λA (radians)
};

// A point carried from one sheet to the other, with where it lies on the
// ellipsoid between the two steps.
struct Carried {
    GeodeticPosition position;  // latitude, longitude east of Greenwich (radians)
    // The longitude from the Athens meridian (radians), formed from the
    // target sheet as Δλ + λ1 with Δλ = λ − (λ1 + λA): the longitude the
    // window shows, which can differ in the last bit from λ − λA.
    double lambdaAthens = 0.0;
    PlanePoint target;  // on the target sheet (metres)
};

class SheetPair {
public:
    SheetPair(CentreRad from, CentreRad to) : m_from(from), m_to(to) {}

    // A plane point on the source sheet -> the same point on the target sheet
    // (metres); empty when a result of either step is not finite.
    std::optional<PlanePoint> convert(PlanePoint p) const;
    // The same conversion with the position between the two steps.
    std::optional<Carried> carry(PlanePoint p) const;

    const Sheet& from() const { return m_from; }
    const Sheet& to() const { return m_to; }

private:
    Sheet m_from;
    Sheet m_to;
};

} // namespace hattsheet::geodesy
