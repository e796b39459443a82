#include "geodesy/sheet_frame.h"

#include <cmath>

namespace hattsheet::geodesy {

SheetFrame::SheetFrame(CentreRad centre)
    : m_series(centre), m_lambdaA(athensMeridian()), m_centreLambdaGreenwich(centre.lambda0 + m_lambdaA)
{
}

std::optional<GeodeticPosition> SheetFrame::inverse(PlanePoint p) const
{
    const SeriesPosition s = m_series.inverse(p);
    const double lambda = s.lambdaAthens + m_lambdaA;
    if (!std::isfinite(s.phi) || !std::isfinite(lambda)) {
        return std::nullopt;
    }
    return GeodeticPosition{s.phi, lambda};
}

double SheetFrame::longitudeDifference(double lambdaGreenwich) const
{
    return lambdaGreenwich - m_centreLambdaGreenwich;
}

std::optional<PlanePoint> SheetFrame::forward(GeodeticPosition g) const
{
    const PlanePoint p = m_series.forward(g.phi, longitudeDifference(g.lambda));
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
        return std::nullopt;
    }
    return p;
}

} // namespace hattsheet::geodesy
