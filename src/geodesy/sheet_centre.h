#pragma once
// Sheet centres and angles typed as degrees-minutes.
//
// A degrees-minutes text is an optional minus sign, the whole degrees and
// optionally a point followed by the minutes: the first two digits after the
// point are whole minutes, further digits are fractions of a minute.
// "40.51" is 40°51', "40.5" is 40°50', "40.515" is 40°51.5', "-0.51" is
// -(0°51'). Minutes are not checked against 60: "40.75" is 41°15'.

#include "base/expected.h"

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

// Decimal degrees of a degrees-minutes text: w + ((100 * (v - w)) / 60) with
// v the leading number and w its integer part truncated toward zero, in that
// order ("40.51" gives 40.849999999999994). Empty optional when the text
// holds no number at its start or one beyond the range of a double.
std::optional<double> degMinToDegrees(std::string_view degMinText);

// Reads φ0 then λ0, then checks φ0, then λ0; the first failing check is the
// error. The texts are those of a centre's φ field and Δλ field.
Expected<SheetCentre, CentreError> readSheetCentre(std::string_view phiText, std::string_view lambdaText);

} // namespace hattsheet::geodesy
