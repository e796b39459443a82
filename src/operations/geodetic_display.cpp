#include "operations/geodetic_display.h"

#include "geodesy/ellipsoid.h"
#include "text/angle_text.h"

#include <cmath>

namespace hattsheet::operations {

std::optional<GeodeticTexts> geodeticTexts(const geodesy::GeodeticPosition& position, double lambdaAthens)
{
    // Each angle times 180 first, then divided by π.
    const double latDeg = geodesy::radiansToDegrees(position.phi);
    const double lonDeg = geodesy::radiansToDegrees(position.lambda);
    const double athensDeg = geodesy::radiansToDegrees(lambdaAthens);
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg) || !std::isfinite(athensDeg)) return std::nullopt;
    return GeodeticTexts{text::formatDms(latDeg), text::formatSignedDms(athensDeg), text::formatDms(lonDeg)};
}

} // namespace hattsheet::operations
