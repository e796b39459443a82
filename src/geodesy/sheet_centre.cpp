#include "geodesy/sheet_centre.h"

#include "text/number_text.h"

#include <cmath>

namespace hattsheet::geodesy {

std::optional<double> degMinToDegrees(std::string_view degMinText)
{
    const auto number = text::readLeadingNumber(degMinText);
    if (!number || !number->found) {
        return std::nullopt;
    }
    const double v = number->value;
    const double w = std::trunc(v);
    // The difference first, then times 100, then divided by 60, then plus w:
    // any other order changes the last bits that the range checks look at
    // ("33.60" must come out as exactly 34).
    return w + ((100.0 * (v - w)) / 60.0);
}

Expected<SheetCentre, CentreError> readSheetCentre(std::string_view phiText, std::string_view lambdaText)
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
    return SheetCentre{*phi0, *lambda0};
}

} // namespace hattsheet::geodesy
