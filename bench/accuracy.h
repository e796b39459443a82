#pragma once
// The Hatt series against an independent oracle: PROJ's exact ellipsoidal
// azimuthal equidistant projection (+proj=aeqd, it solves the geodesic) on
// the same ellipsoid, which the series approximate about the sheet centre.
// The sweep is the accuracy table of README.md (accuracy_report prints it);
// tst_proj_oracle holds a few of its rows to their bounds.

#include "geodesy/hatt_conversion.h"

#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

namespace hattsheet::accuracy {

using geodesy::GeodeticPosition;
using geodesy::PlanePoint;

constexpr int kAzimuths = 24;  // every 15°, starting north

// Bounds (mm) by distance (km). Inverse: the Hatt position of a plane point,
// projected with aeqd, against the point. Forward: the Hatt plane point of
// the exact aeqd position. Conversion (against aeqd inverse at the old centre
// and forward at the new one) and old -> new -> old round trip: points within
// the row's distance of both centres. 0: not measured there. Each bound is
// the maximum measured plus about a quarter, never loosened to pass.
struct Bound {
    double km, inverseMm, forwardMm, conversionMm, roundTripMm;
};
constexpr Bound kBounds[] = {
    // km  inverse  forward  conversion round trip     measured: inv, fwd, conv, trip
    {1, 0.0001, 0.00001, 0, 0},          // 0.000073 0.000002 (rounding noise)
    {5, 0.012, 0.00012, 0.012, 0.023},   // 0.0090 0.000087 0.0090 0.0179
    {10, 0.09, 0.0009, 0.09, 0.18},      // 0.0717 0.00072 0.0718 0.1436
    {15, 0.30, 0.0032, 0, 0},            // 0.2421 0.00254
    {20, 0.72, 0.008, 0.72, 1.44},       // 0.5740 0.00627 0.5745 1.1489
    {40, 5.8, 0.073, 5.8, 11.5},         // 4.599 0.0583 4.603 9.202
    {60, 19.5, 0.28, 0, 0},              // 15.549 0.2245
    {80, 46.0, 0.75, 46.0, 92.0},        // 36.940 0.5980 36.96 73.83
    {120, 0, 0, 46.0, 175.0},            // 36.96 139.74
};

// One aeqd projection at a sheet centre (degrees, λ0 from Athens).
struct Aeqd {
    std::unique_ptr<PJ, PJ* (*)(PJ*)> pj{nullptr, proj_destroy};
    Aeqd(double phi0Deg, double lambda0Deg)
    {
        char def[256];
        std::snprintf(def, sizeof def, "+proj=aeqd +a=%.17g +es=%.17g +lat_0=%.17g +lon_0=%.17g +units=m",
                      geodesy::kBesselA, geodesy::kBesselE2, phi0Deg, lambda0Deg + geodesy::kAthensMeridianDeg);
        pj.reset(proj_create(PJ_DEFAULT_CTX, def));
    }
    PlanePoint forward(GeodeticPosition g) const
    {
        const PJ_COORD c = proj_trans(pj.get(), PJ_FWD, proj_coord(g.lambda, g.phi, 0, 0));
        return {c.xy.x, c.xy.y};
    }
    GeodeticPosition inverse(PlanePoint p) const
    {
        const PJ_COORD c = proj_trans(pj.get(), PJ_INV, proj_coord(p.x, p.y, 0, 0));
        return {c.lp.phi, c.lp.lam};
    }
};

inline double distance(PlanePoint a, PlanePoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The largest departures (m) over the sweep of one row; ok false when the
// series gave no result for a point of the row.
struct Measured {
    double inverse = 0, forward = 0, conversion = 0, roundTrip = 0;
    bool ok = true;
    bool within(const Bound& b) const
    {
        return ok && inverse * 1e3 <= b.inverseMm && forward * 1e3 <= b.forwardMm &&
               conversion * 1e3 <= b.conversionMm && roundTrip * 1e3 <= b.roundTripMm;
    }
};

// 49 centres over the whole accepted range; the target sheets of a
// conversion are the same sheet, close neighbours like the window's defaults
// (6') and sheets up to 30' away, kept inside the range.
inline Measured sweep(const Bound& bound)
{
    using geodesy::degreesToRadians;
    constexpr std::pair<double, double> kNeighbourDeg[] = {{0, 0},     {0.1, 0.1}, {-0.1, 0.1}, {0.25, 0},
                                                           {0, -0.25}, {0.5, 0.5}, {-0.5, -0.5}};
    const auto at = [](double km, int k) {
        const double az = (k * (360.0 / kAzimuths)) * (M_PI / 180.0);
        return PlanePoint{km * 1000.0 * std::sin(az), km * 1000.0 * std::cos(az)};
    };
    Measured m;
    for (double phi : {34.0, 35.5, 37.0, 38.5, 40.0, 41.5, 42.0}) {
        for (double lambda : {-4.5, -2.5, -0.85, 0.0, 1.5, 3.0, 5.0}) {
            const Aeqd exactFrom(phi, lambda);
            const geodesy::HattProjection a(geodesy::Centre(phi, lambda));
            for (int k = 0; k < kAzimuths && bound.inverseMm > 0; ++k) {
                const auto g = a.inverse(at(bound.km, k));
                const auto q = a.forward(exactFrom.inverse(at(bound.km, k)));
                if (!g || !q) return {0, 0, 0, 0, false};
                m.inverse = std::max(m.inverse, distance(exactFrom.forward(*g), at(bound.km, k)));
                m.forward = std::max(m.forward, distance(*q, at(bound.km, k)));
            }
            for (auto [dPhi, dLambda] : kNeighbourDeg) {
                if (bound.conversionMm <= 0) break;
                const double toPhi = std::clamp(phi + dPhi, 34.0, 42.0), toLambda = std::clamp(lambda + dLambda, -4.5, 5.0);
                const Aeqd exactTo(toPhi, toLambda);
                const geodesy::HattProjection b(geodesy::Centre(toPhi, toLambda));
                for (double km : {1, 2, 5, 10, 15, 20, 30, 40, 60, 80}) {
                    for (int k = 0; k < kAzimuths && km <= bound.km; ++k) {
                        const auto there = b.forward(*a.inverse(at(km, k)));
                        if (std::hypot(there->x, there->y) > bound.km * 1000.0) continue;
                        const double off = distance(*there, exactTo.forward(exactFrom.inverse(at(km, k))));
                        m.conversion = std::max(m.conversion, off);
                        m.roundTrip = std::max(m.roundTrip, distance(*a.forward(*b.inverse(*there)), at(km, k)));
                    }
                }
            }
        }
    }
    return m;
}

} // namespace hattsheet::accuracy
