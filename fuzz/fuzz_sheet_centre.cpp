// degMinToDegrees and readCentre on arbitrary text. The input is the φ
// text and the Δλ text, separated by the first '|'.
//
// Properties:
// - degMinToDegrees is finite whenever it gives a value, and has the sign of
//   the leading number (degrees and minutes never cancel);
// - readCentre never accepts a centre outside 34..42° / -4.5..5°, and
//   the accepted values are those of degMinToDegrees;
// - the error it reports is the first failing check, in the order φ0, λ0:
//   a longitude error only when φ0 itself was accepted.

#include "fuzz_check.h"
#include "text/number_text.h"
#include "geodesy/centre.h"

#include <cmath>
#include <cstdint>
#include <cstring>

using namespace hattsheet::geodesy;
using hattsheet::text::readLeadingNumber;
using hattsheet::fuzz::require;

namespace {

bool inRange(const std::optional<double>& v, double lo, double hi) { return v && *v >= lo && *v <= hi; }

void checkDegMin(std::string_view text)
{
    const auto degrees = degMinToDegrees(text);
    const auto leading = hattsheet::text::readLeadingNumber(text);
    if (!degrees) {
        require(!leading || !leading->found, "degMinToDegrees refuses only texts without a (finite) number", text);
        return;
    }
    require(std::isfinite(*degrees), "degMinToDegrees is finite", text);
    require(leading && leading->found, "a value needs a leading number", text);
    require(!(leading->value > 0 && *degrees < 0) && !(leading->value < 0 && *degrees > 0),
            "degrees keep the sign of the text", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view texts[2];
    hattsheet::fuzz::splitTexts(std::string_view(reinterpret_cast<const char*>(data), size), texts);
    const std::string_view phiText = texts[0];
    const std::string_view lambdaText = texts[1];
    checkDegMin(phiText);
    checkDegMin(lambdaText);

    const auto phi0 = degMinToDegrees(phiText);
    const auto lambda0 = degMinToDegrees(lambdaText);
    const bool phiOk = inRange(phi0, kMinCentreLatitudeDeg, kMaxCentreLatitudeDeg);
    const bool lambdaOk = inRange(lambda0, kMinCentreLongitudeDeg, kMaxCentreLongitudeDeg);

    const auto centre = readCentre(phiText, lambdaText);
    if (centre) {
        require(phiOk && lambdaOk, "an accepted centre lies in the range");
        require(centre->phi0Deg >= kMinCentreLatitudeDeg && centre->phi0Deg <= kMaxCentreLatitudeDeg,
                "accepted φ0 in 34..42");
        require(centre->lambda0Deg >= kMinCentreLongitudeDeg && centre->lambda0Deg <= kMaxCentreLongitudeDeg,
                "accepted λ0 in -4.5..5");
        require(std::memcmp(&centre->phi0Deg, &*phi0, sizeof(double)) == 0 &&
                    std::memcmp(&centre->lambda0Deg, &*lambda0, sizeof(double)) == 0,
                "accepted values are those of degMinToDegrees");
    } else if (centre.error() == CentreError::Latitude) {
        require(!phiOk, "a latitude error only for a refused φ0");
    } else {
        require(phiOk && !lambdaOk, "a longitude error only after φ0 passed");
    }
    return 0;
}
