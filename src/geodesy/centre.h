#pragma once
// The centre of a Hatt projection (φ0, λ0 from the Athens meridian), in
// degrees as typed (degrees-minutes, text/angle_text.h gives the form) and in
// radians as the series take it.

#include "base/expected.h"
#include "geodesy/ellipsoid.h"
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

// The radians are degreesToRadians of the degrees, formed once here and
// nowhere else, so every way to a centre (typed, or a sheet's) gives the
// same bits.
struct Centre {
    explicit Centre(double phi0Degrees, double lambda0Degrees)
        : phi0Deg(phi0Degrees), lambda0Deg(lambda0Degrees), phi0Rad(degreesToRadians(phi0Degrees)),
          lambda0Rad(degreesToRadians(lambda0Degrees))
    {
    }

    double phi0Deg;     // latitude (decimal degrees)
    double lambda0Deg;  // longitude from the Athens meridian, east positive (decimal degrees)
    double phi0Rad;     // the same latitude (radians)
    double lambda0Rad;  // the same longitude (radians)
};

enum class CentreError {
    Latitude,   // φ0 outside 34..42°, not finite, or no number in the φ text
    Longitude,  // λ0 outside -4.5..5°, not finite, or no number in the Δλ text
};

// Read with text::degMinToDegrees (text/angle_text.h).
using text::degMinToDegrees;

// Reads φ0 then λ0, then checks φ0, then λ0; the first failing check is the
// error. The texts are those of a centre's φ field and Δλ field.
Expected<Centre, CentreError> readCentre(std::string_view phiText, std::string_view lambdaText);

} // namespace hattsheet::geodesy
