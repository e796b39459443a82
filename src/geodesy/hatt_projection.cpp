#include "geodesy/hatt_projection.h"

#include <cmath>

namespace hattsheet::geodesy {

HattProjection::HattProjection(Centre centre)
    : m_series(centre), m_lambdaA(athensMeridian()), m_centreLambdaGreenwich(centre.lambda0Rad + m_lambdaA)
{
}

std::optional<GeodeticPosition> HattProjection::inverse(PlanePoint p) const
{
    const SeriesPosition s = m_series.inverse(p);
    const double lambda = s.lambdaAthens + m_lambdaA;
    if (!std::isfinite(s.phi) || !std::isfinite(lambda)) {
        return std::nullopt;
    }
    return GeodeticPosition{s.phi, lambda};
}

double HattProjection::longitudeDifference(double lambdaGreenwich) const
{
    return lambdaGreenwich - m_centreLambdaGreenwich;
}

double HattProjection::longitudeFromAthens(double lambdaGreenwich) const
{
    return longitudeDifference(lambdaGreenwich) + centre().lambda0Rad;
}

std::optional<PlanePoint> HattProjection::forward(GeodeticPosition g) const
{
    const PlanePoint p = m_series.forward(g.phi, longitudeDifference(g.lambda));
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        return std::nullopt;
    }
    return p;
}

} // namespace hattsheet::geodesy
