#include "geodesy/sheet_pair.h"

#include <cmath>

namespace hattsheet::geodesy {

Sheet::Sheet(CentreRad centre)
    : m_series(centre), m_lambdaA(athensMeridian()), m_centreLambdaGreenwich(centre.lambda0 + m_lambdaA)
{
}

std::optional<GeodeticPosition> Sheet::inverse(PlanePoint p) const
{
    const SeriesPosition s = m_series.inverse(p);
    const double lambda = s.lambdaAthens + m_lambdaA;
    if (!std::isfinite(s.phi) || !std::isfinite(lambda)) {
        return std::nullopt;
    }
    return GeodeticPosition{s.phi, lambda};
}

double Sheet::longitudeDifference(double lambdaGreenwich) const
{
    return lambdaGreenwich - m_centreLambdaGreenwich;
}

std::optional<PlanePoint> Sheet::forward(GeodeticPosition g) const
{
    const PlanePoint p = m_series.forward(g.phi, longitudeDifference(g.lambda));
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        return std::nullopt;
    }
    return p;
}

std::optional<PlanePoint> SheetPair::convert(PlanePoint p) const
{
    const auto position = m_from.inverse(p);
    return position ? m_to.forward(*position) : std::nullopt;
}

std::optional<Carried> SheetPair::carry(PlanePoint p) const
{
    const auto position = m_from.inverse(p);
    if (!position) {
        return std::nullopt;
    }
    const auto target = m_to.forward(*position);
    if (!target) {
        return std::nullopt;
    }
    const double lambdaAthens = m_to.longitudeDifference(position->lambda) + m_to.centre().lambda0;
    return Carried{*position, lambdaAthens, *target};
}

} // namespace hattsheet::geodesy
