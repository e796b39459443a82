#pragma once
// The geodetic display of a converted point: the window's φ, Δλ and λ
// fields (txtf, txtm, txtl) and lines 3-5 of hattsheet-convert --point, for
// Hatt↔Hatt and Hatt↔ΕΓΣΑ87 alike.

#include "geodesy/points.h"

#include <optional>
#include <string>

namespace hattsheet::operations {

struct GeodeticTexts {
    std::string lat;           // φ: "D° M' S.SSSSS''" (text::formatDms)
    std::string lonAthens;     // Δλ: from the Athens meridian, "-" before a west one
    std::string lonGreenwich;  // λ: east of Greenwich
};

// The texts of a position (radians, λ east of Greenwich) and its longitude
// from the Athens meridian (radians, as the projection forms it:
// geodesy::HattProjection::longitudeFromAthens). Each angle in degrees is
// (r × 180) / π; empty when one of them is not finite.
std::optional<GeodeticTexts> geodeticTexts(const geodesy::GeodeticPosition& position, double lambdaAthens);

} // namespace hattsheet::operations
