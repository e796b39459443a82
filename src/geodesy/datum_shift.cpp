#include "geodesy/datum_shift.h"

#include <GeographicLib/Geocentric.hpp>

namespace hattsheet::geodesy {

namespace {

struct Xyz {
    double x, y, z;  // geocentric (metres)
};

const GeographicLib::Geocentric& grs80()
{
    static const GeographicLib::Geocentric earth(kGrs80A, kGrs80F);
    return earth;
}

const GeographicLib::Geocentric& wgs84()
{
    static const GeographicLib::Geocentric earth(kWgs84A, kWgs84F);
    return earth;
}

Xyz toXyz(const GeographicLib::Geocentric& earth, GeodeticPoint3 g)
{
    Xyz c{};
    earth.Forward(g.phiDeg, g.lambdaDeg, g.h, c.x, c.y, c.z);
    return c;
}

GeodeticPoint3 fromXyz(const GeographicLib::Geocentric& earth, Xyz c)
{
    GeodeticPoint3 g;
    earth.Reverse(c.x, c.y, c.z, g.phiDeg, g.lambdaDeg, g.h);
    return g;
}

double arcsecondsToRadians(double seconds) { return degreesToRadians(seconds / 3600.0); }

Xyz helmert(const HelmertParameters& p, Xyz c)
{
    const double rx = arcsecondsToRadians(p.rxSec), ry = arcsecondsToRadians(p.rySec),
                 rz = arcsecondsToRadians(p.rzSec);
    const double m = 1.0 + (p.scalePpm * 1e-6);
    return {p.tx + (m * ((c.x + (rz * c.y)) - (ry * c.z))), p.ty + (m * (((-rz * c.x) + c.y) + (rx * c.z))),
            p.tz + (m * (((ry * c.x) - (rx * c.y)) + c.z))};
}

HelmertParameters negated(const HelmertParameters& p)
{
    return {-p.tx, -p.ty, -p.tz, -p.rxSec, -p.rySec, -p.rzSec, -p.scalePpm};
}

} // namespace

GeodeticPoint3 helmertGrs80(const HelmertParameters& p, GeodeticPoint3 g)
{
    return fromXyz(grs80(), helmert(p, toXyz(grs80(), g)));
}

GeodeticPoint3 helmertGrs80Inverse(const HelmertParameters& p, GeodeticPoint3 g)
{
    const Xyz target = toXyz(grs80(), g);
    Xyz guess = helmert(negated(p), target);
    const Xyz back = helmert(p, guess);
    guess = {guess.x + (target.x - back.x), guess.y + (target.y - back.y), guess.z + (target.z - back.z)};
    return fromXyz(grs80(), guess);
}

GeodeticPoint3 egsa87ToWgs84(GeodeticPoint3 g)
{
    const Xyz c = toXyz(grs80(), g);
    return fromXyz(wgs84(), {c.x + kEgsa87ToWgs84.tx, c.y + kEgsa87ToWgs84.ty, c.z + kEgsa87ToWgs84.tz});
}

GeodeticPoint3 wgs84ToEgsa87(GeodeticPoint3 g)
{
    // The point whose forward step, at the same height, gives g: the
    // translation changes the height by up to a few metres, and reading the
    // shifted point at its old height would move it by a millimetre or two.
    const Xyz c = toXyz(wgs84(), g);
    GeodeticPoint3 p = fromXyz(grs80(), {c.x - kEgsa87ToWgs84.tx, c.y - kEgsa87ToWgs84.ty, c.z - kEgsa87ToWgs84.tz});
    p.h = g.h;
    constexpr int kSteps = 3;  // each leaves about 1e-6 of the error before it
    for (int step = 0; step < kSteps; ++step) {
        const GeodeticPoint3 there = egsa87ToWgs84(p);
        p.phiDeg += g.phiDeg - there.phiDeg;
        p.lambdaDeg += g.lambdaDeg - there.lambdaDeg;
    }
    return p;
}

} // namespace hattsheet::geodesy
