#include "operations/grid_operations.h"

#include "geodesy/sheet_centre.h"
#include "geodesy/sheet_outline.h"
#include "operations/messages.h"
#include "operations/point_list.h"
#include "pointfile/layout_reader.h"
#include "operations/single_point.h"
#include "text/angle_text.h"
#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

const geodesy::SheetRecord* defectiveSheetOnCentre(std::string_view phiText, std::string_view lambdaText)
{
    const auto phi = text::degMinToDegrees(phiText);
    const auto lambda = text::degMinToDegrees(lambdaText);
    if (!phi || !lambda || !std::isfinite(*phi) || !std::isfinite(*lambda) || std::abs(*phi) >= 90.0 ||
        std::abs(*lambda) >= 180.0) {
        return nullptr;
    }
    for (const auto& s : geodesy::sheetCatalogue()) {
        if (!geodesy::isUsable(s) && geodesy::isOnCentre(s, *phi, *lambda)) return &s;
    }
    return nullptr;
}

std::string choiceMessage(ChoiceError error, std::string_view phiText, std::string_view lambdaText,
                          const geodesy::SheetRecord* sheet, Language language)
{
    if (error == ChoiceError::Latitude || error == ChoiceError::Longitude) {
        // A refused centre that is a sheet's all the same: the message names it.
        if (const auto* defective = defectiveSheetOnCentre(phiText, lambdaText)) {
            return messageBook(language).defectiveSheet(*defective);
        }
    }
    switch (error) {
    case ChoiceError::Latitude: return centreRefused(true, language);
    case ChoiceError::Longitude: return centreRefused(false, language);
    case ChoiceError::NoSheetOnCentre: return messageBook(language).noSheetOnCentre(phiText, lambdaText);
    case ChoiceError::DefectiveSheet: if (sheet != nullptr) return messageBook(language).defectiveSheet(*sheet); break;
    }
    return coordinatesRefused(language);
}

std::string refusalMessage(const GridRefusal& refusal, const SheetChoice& choice, Language language)
{
    switch (refusal.reason) {
    case PointRefusal::OffSheets: return messageBook(language).offSheets(choice.phiText(), choice.lambdaText());
    case PointRefusal::DefectiveSheet:
        if (refusal.sheet != nullptr) return messageBook(language).defectiveSheet(*refusal.sheet);
        break;
    case PointRefusal::Coordinates: break;
    }
    return coordinatesRefused(language);
}

namespace {

Expected<GridResult, GridRefusal> convertPoint(const SheetChoice& choice, GridDirection direction, double x, double y)
{
    return direction == GridDirection::ToGrid ? hattToGrid(choice, {x, y}) : gridToHatt(choice, {x, y});
}

} // namespace

Expected<GridPointTexts, GridRefusal> computeGridPoint(const SheetChoice& choice, GridDirection direction,
                                                       std::string_view xText, std::string_view yText)
{
    const auto x = text::readLeadingNumber(xText);
    const auto y = text::readLeadingNumber(yText);
    if (!x || !y) return unexpected(GridRefusal{});
    const auto result = convertPoint(choice, direction, x->value, y->value);
    if (!result) return unexpected(result.error());
    const double latDeg = geodesy::radiansToDegrees(result->position.phi);
    const double lonDeg = geodesy::radiansToDegrees(result->position.lambda);
    const double athensDeg = geodesy::radiansToDegrees(result->lambdaAthens);
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg) || !std::isfinite(athensDeg)) {
        return unexpected(GridRefusal{});
    }
    return GridPointTexts{text::formatCoordinate(result->target.x), text::formatCoordinate(result->target.y),
                          text::formatDms(latDeg),     text::formatSignedDms(athensDeg),
                          text::formatDms(lonDeg),     result->sheet,
                          result->farOutside};
}

Expected<GridResult, GridRefusal> GridLineConverter::convert(double x, double y) const
{
    auto result = convertPoint(m_choice, m_direction, x, y);
    if (result && result->farOutside) m_farOutside.fetch_add(1, std::memory_order_relaxed);
    return result;
}

bool GridLineConverter::appendPoint(const pf::RecordPoint& point, const pf::PointLayout& layout, std::string& out) const
{
    const auto result = convert(point.x, point.y);
    if (!result) return false;
    appendTargetLine(point.record, result->target.x, result->target.y, out, layout);
    return true;
}

std::string GridLineConverter::refusalOf(const pf::RecordPoint& point) const
{
    // A result beyond a double fails as in the Hatt batch, with its reason.
    const auto result = convertPoint(m_choice, m_direction, point.x, point.y);
    if (result || result.error().reason == PointRefusal::Coordinates) return {};
    return refusalMessage(result.error(), m_choice, m_language);
}

std::string GridLineConverter::warning() const
{
    const unsigned long long far = farOutsideCount();
    const auto& candidates = m_choice.candidates();
    return far == 0 || candidates.empty() ? std::string()
                                                 : messageBook(m_language).farOutside(far, *candidates.front().sheet);
}

namespace {

// Panel 1 through a conversion to or from the Grid: the batch's steps.
void convertList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, GridDirection direction)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        showWarning(dialogs, windowTexts().noList);
        return;
    }
    const bool toGrid = direction == GridDirection::ToGrid;
    const std::string phi = fields.text(toGrid ? FieldId::PhiOld : FieldId::PhiNew);
    const std::string lambda = fields.text(toGrid ? FieldId::LambdaOld : FieldId::LambdaNew);
    const auto choice = SheetChoice::onCentre(phi, lambda);
    if (!choice) {
        showWarning(dialogs, choiceMessage(choice.error(), phi, lambda, nullptr));
        return;
    }
    runBatch(fields, dialogs, temp, std::move(list), GridLineConverter(*choice, direction));
}

} // namespace

void convertPointToGrid(Fields& fields, Dialogs& dialogs)
{
    const std::string phi = fields.text(FieldId::PhiOld), lambda = fields.text(FieldId::LambdaOld);
    const auto choice = SheetChoice::onCentre(phi, lambda);
    if (!choice) {
        showWarning(dialogs, choiceMessage(choice.error(), phi, lambda, nullptr));
        return;
    }
    const auto result = computeGridPoint(*choice, GridDirection::ToGrid, fields.text(FieldId::X1), fields.text(FieldId::Y1));
    if (!result) {
        showWarning(dialogs, refusalMessage(result.error(), *choice));
        return;
    }
    std::string line(fields.endsInsideLine(FieldId::File2) ? "\r\n" : "");
    line.append(result->sheet->name).append(", ").append(result->x).append(", ").append(result->y).append(", 0.000\r\n");
    fields.appendText(FieldId::File2, line);
}

void convertListToGrid(Fields& fields, Dialogs& dialogs, const TempPlaces& temp)
{
    convertList(fields, dialogs, temp, GridDirection::ToGrid);
}

void convertListFromGrid(Fields& fields, Dialogs& dialogs, const TempPlaces& temp)
{
    convertList(fields, dialogs, temp, GridDirection::FromGrid);
}

void placeSheetCentre(Fields& fields, const geodesy::SheetRecord& sheet, CentreFrame frame)
{
    const bool from = frame == CentreFrame::From;
    fields.setText(from ? FieldId::PhiOld : FieldId::PhiNew, std::string(sheet.phi0DegMin));
    fields.setText(from ? FieldId::LambdaOld : FieldId::LambdaNew, std::string(sheet.lambda0DegMin));
}

std::string sheetNameOfPoint(std::string_view phiText, std::string_view lambdaText, std::string_view xText,
                             std::string_view yText)
{
    const auto centre = geodesy::readSheetCentre(phiText, lambdaText);
    const auto x = text::readLeadingNumber(xText);
    const auto y = text::readLeadingNumber(yText);
    if (!centre || !x || !y) return {};
    const geodesy::SheetFrame frame(
        {geodesy::degreesToRadians(centre->phi0Deg), geodesy::degreesToRadians(centre->lambda0Deg)});
    const auto position = frame.inverse({x->value, y->value});
    if (!position) return {};
    const double phiDeg = geodesy::radiansToDegrees(position->phi);
    const double lambdaDeg = geodesy::radiansToDegrees(frame.longitudeDifference(position->lambda) + frame.centre().lambda0);
    // A sheet on this centre first: where outlines overlap (Άβδηρα and
    // Ν.Θάσος) it is the one whose coordinates these are.
    const geodesy::SheetRecord* found = nullptr;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        if (!geodesy::outlineHolds(sheet.outline, phiDeg, lambdaDeg)) continue;
        if (geodesy::isOnCentre(sheet, centre->phi0Deg, centre->lambda0Deg)) return windowBook().sheetNamed(sheet);
        if (found == nullptr) found = &sheet;
    }
    return found != nullptr ? windowBook().sheetNamed(*found) : std::string();
}

} // namespace hattsheet::operations
