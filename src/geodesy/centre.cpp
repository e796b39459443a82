#include "geodesy/centre.h"


namespace hattsheet::geodesy {

Expected<Centre, CentreError> readCentre(std::string_view phiText, std::string_view lambdaText)
{
    const std::optional<double> phi0 = degMinToDegrees(phiText);
    const std::optional<double> lambda0 = degMinToDegrees(lambdaText);
    // A NaN compares false both ways and so fails the range test like an
    // infinity; a text without a number is refused with its field's message
    // rather than read as 0.
    if (!phi0 || !(*phi0 >= kMinCentreLatitudeDeg && *phi0 <= kMaxCentreLatitudeDeg)) {
        return unexpected(CentreError::Latitude);
    }
    if (!lambda0 || !(*lambda0 >= kMinCentreLongitudeDeg && *lambda0 <= kMaxCentreLongitudeDeg)) {
        return unexpected(CentreError::Longitude);
    }
    return Centre(*phi0, *lambda0);
}

} // namespace hattsheet::geodesy
