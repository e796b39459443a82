#include "geodesy/hatt_conversion.h"

namespace hattsheet::geodesy {

std::optional<PlanePoint> HattConversion::convert(PlanePoint p) const
{
    const auto position = m_from.inverse(p);
    return position ? m_to.forward(*position) : std::nullopt;
}

std::optional<Carried> HattConversion::carry(PlanePoint p) const
{
    const auto position = m_from.inverse(p);
    if (!position) {
        return std::nullopt;
    }
    const auto target = m_to.forward(*position);
    if (!target) {
        return std::nullopt;
    }
    const double lambdaAthens = m_to.longitudeFromAthens(position->lambda);
    return Carried{*position, lambdaAthens, *target};
}

} // namespace hattsheet::geodesy
