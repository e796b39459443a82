#include "operations/egsa87_conversion.h"

#include "geodesy/sheet_centre.h"
#include "geodesy/sheet_outline.h"

#include <cmath>
#include <optional>

namespace hattsheet::operations {

using geodesy::GeodeticPosition;
using geodesy::PlanePoint;
using geodesy::SheetRecord;

Expected<SheetChoice, ChoiceError> SheetChoice::onCentre(std::string_view phiText, std::string_view lambdaText)
{
    const auto centre = geodesy::readSheetCentre(phiText, lambdaText);
    if (!centre) {
        return unexpected(centre.error() == geodesy::CentreError::Latitude ? ChoiceError::Latitude
                                                                            : ChoiceError::Longitude);
    }
    SheetChoice choice({geodesy::degreesToRadians(centre->phi0Deg), geodesy::degreesToRadians(centre->lambda0Deg)},
                       std::string(phiText), std::string(lambdaText), false);
    for (bool usable : {true, false}) {
        for (const SheetRecord& sheet : geodesy::sheetCatalogue()) {
            if (geodesy::isUsable(sheet) == usable && geodesy::isOnCentre(sheet, centre->phi0Deg, centre->lambda0Deg)) {
                choice.m_candidates.push_back({&sheet, geodesy::Egsa87Polynomial(sheet), usable});
            }
        }
    }
    if (choice.m_candidates.empty()) return unexpected(ChoiceError::NoSheetOnCentre);
    return choice;
}

Expected<SheetChoice, ChoiceError> SheetChoice::named(const SheetRecord& sheet)
{
    if (!geodesy::isUsable(sheet)) return unexpected(ChoiceError::DefectiveSheet);
    // The centre through the checks a typed one gets (390's is outside them,
    // but it is defective anyway).
    const auto centre = geodesy::readSheetCentre(sheet.phi0DegMin, sheet.lambda0DegMin);
    if (!centre) return unexpected(ChoiceError::DefectiveSheet);
    SheetChoice choice(geodesy::sheetCentreRad(sheet), std::string(sheet.phi0DegMin),
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

Place placeOf(const geodesy::SheetFrame& frame, const GeodeticPosition& g)
{
    const double lambdaAthens = frame.longitudeDifference(g.lambda) + frame.centre().lambda0;
    return Place{geodesy::radiansToDegrees(g.phi), geodesy::radiansToDegrees(lambdaAthens), lambdaAthens};
}

bool holds(const SheetRecord& sheet, const Place& place)
{
    return geodesy::outlineHolds(sheet.outline, place.phiDeg, place.lambdaAthensDeg);
}

bool farOutside(const SheetRecord& sheet, const Place& place)
{
    return geodesy::distanceOutside(sheet.outline, place.phiDeg, place.lambdaAthensDeg) > kFarOutsideMetres;
}

bool finite(const PlanePoint& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

} // namespace

Expected<GridResult, GridRefusal> hattToGrid(const SheetChoice& choice, PlanePoint p)
{
    const auto position = choice.frame().inverse(p);
    if (!position) return unexpected(GridRefusal{});
    const Place place = placeOf(choice.frame(), *position);
    for (const auto& candidate : choice.candidates()) {
        if (!choice.isNamed() && !holds(*candidate.sheet, place)) continue;
        if (!candidate.usable) return unexpected(GridRefusal{PointRefusal::DefectiveSheet, candidate.sheet});
        const geodesy::GridPoint g = candidate.polynomial.forward(p);
        const PlanePoint target{g.e, g.n};
        if (!finite(target)) return unexpected(GridRefusal{});
        return GridResult{target, *position, place.lambdaAthens, candidate.sheet,
                          choice.isNamed() && farOutside(*candidate.sheet, place)};
    }
    return unexpected(GridRefusal{PointRefusal::OffSheets, nullptr});
}

Expected<GridResult, GridRefusal> gridToHatt(const SheetChoice& choice, geodesy::GridPoint g)
{
    if (!std::isfinite(g.e) || !std::isfinite(g.n)) return unexpected(GridRefusal{});
    // Each sheet's own inverse tells where the point would lie; the sheet
    // whose outline holds that place is the point's. Usable sheets come
    // first, so a defective one is named only when no usable one holds it.
    for (const auto& candidate : choice.candidates()) {
        const auto p = candidate.polynomial.inverse(g);
        if (!p) continue;
        const auto position = choice.frame().inverse(*p);
        if (!position) continue;
        const Place place = placeOf(choice.frame(), *position);
        if (!choice.isNamed() && !holds(*candidate.sheet, place)) continue;
        if (!candidate.usable) return unexpected(GridRefusal{PointRefusal::DefectiveSheet, candidate.sheet});
        return GridResult{*p, *position, place.lambdaAthens, candidate.sheet,
                          choice.isNamed() && farOutside(*candidate.sheet, place)};
    }
    if (choice.isNamed()) return unexpected(GridRefusal{});
    return unexpected(GridRefusal{PointRefusal::OffSheets, nullptr});
}

} // namespace hattsheet::operations
