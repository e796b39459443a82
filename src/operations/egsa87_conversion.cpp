#include "operations/egsa87_conversion.h"

#include "geodesy/centre.h"
#include "geodesy/sheet_outline.h"

#include <cmath>
#include <optional>

namespace hattsheet::operations {

using geodesy::GeodeticPosition;
using geodesy::PlanePoint;
using geodesy::Sheet;

Expected<SheetChoice, ChoiceError> SheetChoice::onCentre(std::string_view phiText, std::string_view lambdaText)
{
    const auto centre = geodesy::readCentre(phiText, lambdaText);
    if (!centre) {
        return unexpected(centre.error() == geodesy::CentreError::Latitude ? ChoiceError::Latitude
                                                                            : ChoiceError::Longitude);
    }
    SheetChoice choice(*centre, std::string(phiText), std::string(lambdaText), false);
    for (bool usable : {true, false}) {
        for (const Sheet& sheet : geodesy::sheetCatalogue()) {
            if (geodesy::isUsable(sheet) == usable && geodesy::isOnCentre(sheet, centre->phi0Deg, centre->lambda0Deg)) {
                choice.m_candidates.push_back({&sheet, geodesy::Egsa87Polynomial(sheet), usable});
            }
        }
    }
    if (choice.m_candidates.empty()) return unexpected(ChoiceError::NoSheetOnCentre);
    return choice;
}

Expected<SheetChoice, ChoiceError> SheetChoice::named(const Sheet& sheet)
{
    if (!geodesy::isUsable(sheet)) return unexpected(ChoiceError::DefectiveSheet);
    // The centre through the checks a typed one gets (390's is outside them,
    // but it is defective anyway).
    const auto centre = geodesy::readCentre(sheet.phi0DegMin, sheet.lambda0DegMin);
    if (!centre) return unexpected(ChoiceError::DefectiveSheet);
    SheetChoice choice(geodesy::centreOf(sheet), std::string(sheet.phi0DegMin),
                       std::string(sheet.lambda0DegMin), true);
    choice.m_candidates.push_back({&sheet, geodesy::Egsa87Polynomial(sheet), true});
    return choice;
}

namespace {

struct Place {
    double phiDeg;          // latitude (decimal degrees)
    double lambdaAthensDeg; // longitude from Athens (decimal degrees)
    double lambdaAthens;    // the same (radians), formed as the window forms it
};

Place placeOf(const geodesy::HattProjection& projection, const GeodeticPosition& g)
{
    const double lambdaAthens = projection.longitudeFromAthens(g.lambda);
    return Place{geodesy::radiansToDegrees(g.phi), geodesy::radiansToDegrees(lambdaAthens), lambdaAthens};
}

bool holds(const Sheet& sheet, const Place& place)
{
    return geodesy::outlineHolds(sheet.outline, place.phiDeg, place.lambdaAthensDeg);
}

bool farOutside(const Sheet& sheet, const Place& place)
{
    return geodesy::distanceOutside(sheet.outline, place.phiDeg, place.lambdaAthensDeg) > kFarOutsideMetres;
}

bool finite(const PlanePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

} // namespace

Expected<Egsa87Result, Egsa87Refusal> hattToEgsa87(const SheetChoice& choice, PlanePoint p)
{
    const auto position = choice.projection().inverse(p);
    if (!position) return unexpected(Egsa87Refusal{});
    const Place place = placeOf(choice.projection(), *position);
    for (const auto& candidate : choice.candidates()) {
        if (!choice.isNamed() && !holds(*candidate.sheet, place)) continue;
        if (!candidate.usable) return unexpected(Egsa87Refusal{PointRefusal::DefectiveSheet, candidate.sheet});
        const geodesy::Egsa87Point g = candidate.polynomial.forward(p);
        const PlanePoint target{g.e, g.n};
        if (!finite(target)) return unexpected(Egsa87Refusal{});
        return Egsa87Result{target, *position, place.lambdaAthens, candidate.sheet,
                          choice.isNamed() && farOutside(*candidate.sheet, place)};
    }
    return unexpected(Egsa87Refusal{PointRefusal::OffSheets, nullptr});
}

Expected<Egsa87Result, Egsa87Refusal> egsa87ToHatt(const SheetChoice& choice, geodesy::Egsa87Point g)
{
    if (!std::isfinite(g.e) || !std::isfinite(g.n)) return unexpected(Egsa87Refusal{});
    // Each sheet's own inverse tells where the point would lie; the sheet
    // whose outline holds that place is the point's. Usable sheets come
    // first, so a defective one is named only when no usable one holds it.
    for (const auto& candidate : choice.candidates()) {
        const auto p = candidate.polynomial.inverse(g);
        if (!p) continue;
        const auto position = choice.projection().inverse(*p);
        if (!position) continue;
        const Place place = placeOf(choice.projection(), *position);
        if (!choice.isNamed() && !holds(*candidate.sheet, place)) continue;
        if (!candidate.usable) return unexpected(Egsa87Refusal{PointRefusal::DefectiveSheet, candidate.sheet});
        return Egsa87Result{*p, *position, place.lambdaAthens, candidate.sheet,
                          choice.isNamed() && farOutside(*candidate.sheet, place)};
    }
    if (choice.isNamed()) return unexpected(Egsa87Refusal{});
    return unexpected(Egsa87Refusal{PointRefusal::OffSheets, nullptr});
}

} // namespace hattsheet::operations
