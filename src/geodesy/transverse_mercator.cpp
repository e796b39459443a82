#include "geodesy/transverse_mercator.h"

namespace hattsheet::geodesy {

namespace {

// GeographicLib's forward gives a northing from the equator; a grid whose
// latitude of origin is φ0 counts from the northing of φ0 on its meridian.
double northingOfOrigin(const GeographicLib::TransverseMercator& tm, const TmDefinition& d)
{
    double x = 0.0, y = 0.0;
    tm.Forward(d.lambda0Deg, d.phi0Deg, d.lambda0Deg, x, y);
    return y;
}

} // namespace

TransverseMercatorGrid::TransverseMercatorGrid(const TmDefinition& definition)
    : m_definition(definition), m_tm(definition.a, definition.f, definition.k0),
      m_originNorthing(northingOfOrigin(m_tm, definition))
{
}

GridPoint TransverseMercatorGrid::forward(GeographicPoint g) const
{
    double x = 0.0, y = 0.0;
    m_tm.Forward(m_definition.lambda0Deg, g.phiDeg, g.lambdaDeg, x, y);
    return {x + m_definition.falseEasting, (y - m_originNorthing) + m_definition.falseNorthing};
}

GeographicPoint TransverseMercatorGrid::inverse(GridPoint p) const
{
    double phiDeg = 0.0, lambdaDeg = 0.0;
    m_tm.Reverse(m_definition.lambda0Deg, p.e - m_definition.falseEasting,
                 (p.n - m_definition.falseNorthing) + m_originNorthing, phiDeg, lambdaDeg);
    return {phiDeg, lambdaDeg};
}

const TransverseMercatorGrid& tm87()
{
    static const TransverseMercatorGrid grid({kGrs80A, kGrs80F, 0.9996, 24.0, 0.0, 500000.0, 0.0});
    return grid;
}

const TransverseMercatorGrid& tm07()
{
    static const TransverseMercatorGrid grid({kGrs80A, kGrs80F, 0.9996, 24.0, 0.0, 500000.0, -2000000.0});
    return grid;
}

int tm3OffsetDeg(Tm3Zone zone)
{
    switch (zone) {
    case Tm3Zone::West: return -3;
    case Tm3Zone::Central: return 0;
    case Tm3Zone::East: return 3;
    }
    return 0;
}

const TransverseMercatorGrid& tm3(Tm3Zone zone)
{
    // The Athens meridian as the Hatt frames use it, then the zone's offset.
    const auto make = [](Tm3Zone z) {
        return TransverseMercatorGrid({kBesselA, 1.0 / kBesselInverseF, 0.9999, kAthensMeridianDeg + tm3OffsetDeg(z),
                                       34.0, 200000.0, 0.0});
    };
    static const TransverseMercatorGrid west = make(Tm3Zone::West), central = make(Tm3Zone::Central),
                                         east = make(Tm3Zone::East);
    return zone == Tm3Zone::West ? west : zone == Tm3Zone::Central ? central : east;
}

} // namespace hattsheet::geodesy
