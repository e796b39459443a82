#pragma once
// The pipeline of every conversion from one sheet centre to another (the
// window's ">" and "<", its batch, and the command line): the inverse series
// at the source centre, then the forward series at the target centre.

#include "geodesy/hatt_projection.h"

#include <optional>

namespace hattsheet::geodesy {

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

// The source and the target frame of one conversion.
class HattConversion {
public:
    HattConversion(Centre from, Centre to) : m_from(from), m_to(to) {}

    // A plane point on the source sheet -> the same point on the target sheet
    // (metres); empty when a result of either step is not finite.
    std::optional<PlanePoint> convert(PlanePoint p) const;
    // The same conversion with the position between the two steps.
    std::optional<Carried> carry(PlanePoint p) const;

    const HattProjection& from() const { return m_from; }
    const HattProjection& to() const { return m_to; }

private:
    HattProjection m_from;
    HattProjection m_to;
};

} // namespace hattsheet::geodesy
