#pragma once
// Sheet centres typed as degrees-minutes (text/angle_text.h gives the form).

#include "base/expected.h"
#include "text/angle_text.h"

#include <optional>
#include <string_view>

namespace hattsheet::geodesy {

// Accepted sheet centres, decimal degrees, both bounds included. They cover
// the Greek map series; the series of the projection are only meant there.
constexpr double kMinCentreLatitudeDeg = 34.0;
constexpr double kMaxCentreLatitudeDeg = 42.0;
constexpr double kMinCentreLongitudeDeg = -4.5;  // from the Athens meridian, east positive
constexpr double kMaxCentreLongitudeDeg = 5.0;

struct SheetCentre {
    double phi0Deg = 0.0;     // latitude (decimal degrees)
    double lambda0Deg = 0.0;  // longitude from the Athens meridian, east positive (decimal degrees)
};

enum class CentreError {
    Latitude,   // φ0 outside 34..42°, not finite, or no number in the φ text
    Longitude,  // λ0 outside -4.5..5°, not finite, or no number in the Δλ text
};

// Read with text::degMinToDegrees (text/angle_text.h).
using text::degMinToDegrees;

// Reads φ0 then λ0, then checks φ0, then λ0; the first failing check is the
// error. The texts are those of a centre's φ field and Δλ field.
Expected<SheetCentre, CentreError> readSheetCentre(std::string_view phiText, std::string_view lambdaText);

} // namespace hattsheet::geodesy
