#include "operations/egsa87_operations.h"

#include "geodesy/centre.h"
#include "geodesy/sheet_outline.h"
#include "operations/window_texts.h"
#include "operations/point_list.h"
#include "pointfile/layout_reader.h"
#include "operations/single_point.h"
#include "text/angle_text.h"
#include "text/number_format.h"
#include "text/number_text.h"

#include <cmath>

namespace hattsheet::operations {

namespace pf = hattsheet::pointfile;

const geodesy::Sheet* defectiveSheetOnCentre(std::string_view phiText, std::string_view lambdaText)
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
                          const geodesy::Sheet* sheet, Language language)
{
    if (error == ChoiceError::Latitude || error == ChoiceError::Longitude) {
        // A refused centre that is a sheet's all the same: the message names it.
        if (const auto* defective = defectiveSheetOnCentre(phiText, lambdaText)) {
            return messageBook(language).defectiveSheet(*defective);
        }
    }
    switch (error) {
    case ChoiceError::Latitude:
    case ChoiceError::Longitude: {
        const auto centre = error == ChoiceError::Latitude ? geodesy::CentreError::Latitude : geodesy::CentreError::Longitude;
        return messageBook(language).centreRefused(centre) + "\n" + messageBook(language).centreRange(centre);
    }
    case ChoiceError::NoSheetOnCentre: return messageBook(language).noSheetOnCentre(phiText, lambdaText);
    case ChoiceError::DefectiveSheet: if (sheet != nullptr) return messageBook(language).defectiveSheet(*sheet); break;
    }
    return messageBook(language).coordinatesRefused();
}

std::string refusalMessage(const Egsa87Refusal& refusal, const SheetChoice& choice, Language language)
{
    switch (refusal.reason) {
    case PointRefusal::OffSheets: return messageBook(language).offSheets(choice.phiText(), choice.lambdaText());
    case PointRefusal::DefectiveSheet:
        if (refusal.sheet != nullptr) return messageBook(language).defectiveSheet(*refusal.sheet);
        break;
    case PointRefusal::Coordinates: break;
    }
    return messageBook(language).coordinatesRefused();
}

namespace {

Expected<Egsa87Result, Egsa87Refusal> convertPoint(const SheetChoice& choice, Direction direction, double x, double y)
{
    return direction == Direction::Forward ? hattToEgsa87(choice, {x, y}) : egsa87ToHatt(choice, {x, y});
}

} // namespace

Expected<Egsa87PointTexts, Egsa87Refusal> computeEgsa87Point(const SheetChoice& choice, Direction direction,
                                                       std::string_view xText, std::string_view yText)
{
    const auto x = text::readLeadingNumber(xText);
    const auto y = text::readLeadingNumber(yText);
    if (!x || !y) return unexpected(Egsa87Refusal{});
    const auto result = convertPoint(choice, direction, x->value, y->value);
    if (!result) return unexpected(result.error());
    auto geodetic = geodeticTexts(result->position, result->lambdaAthens);
    if (!geodetic) return unexpected(Egsa87Refusal{});
    return Egsa87PointTexts{text::formatCoordinate(result->target.x), text::formatCoordinate(result->target.y),
                            std::move(*geodetic), result->sheet, result->farOutside};
}

Expected<Egsa87Result, Egsa87Refusal> Egsa87LineConverter::convert(double x, double y) const
{
    auto result = convertPoint(m_choice, m_direction, x, y);
    if (result && result->farOutside) m_farOutside.fetch_add(1, std::memory_order_relaxed);
    return result;
}

bool Egsa87LineConverter::appendPoint(const pf::RecordPoint& point, const pf::PointLayout& layout, std::string& out) const
{
    const auto result = convert(point.x, point.y);
    if (!result) return false;
    appendTargetLine(point.record, result->target.x, result->target.y, out, layout);
    return true;
}

std::string Egsa87LineConverter::refusalOf(const pf::RecordPoint& point) const
{
    // A result beyond a double fails as in the Hatt batch, with its reason.
    const auto result = convertPoint(m_choice, m_direction, point.x, point.y);
    if (result || result.error().reason == PointRefusal::Coordinates) return {};
    return refusalMessage(result.error(), m_choice, m_language);
}

std::string Egsa87LineConverter::warning() const
{
    const unsigned long long far = farOutsideCount();
    const auto& candidates = m_choice.candidates();
    return far == 0 || candidates.empty() ? std::string()
                                                 : messageBook(m_language).farOutside(far, *candidates.front().sheet);
}

namespace {

// Panel 1 through a conversion to or from ΕΓΣΑ87: the batch's steps.
void convertList(Fields& fields, Dialogs& dialogs, const TempPlaces& temp, Direction direction)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        showWarning(dialogs, windowTexts().noList);
        return;
    }
    const bool toEgsa87 = direction == Direction::Forward;
    const std::string phi = fields.text(toEgsa87 ? FieldId::PhiOld : FieldId::PhiNew);
    const std::string lambda = fields.text(toEgsa87 ? FieldId::LambdaOld : FieldId::LambdaNew);
    const auto choice = SheetChoice::onCentre(phi, lambda);
    if (!choice) {
        showWarning(dialogs, choiceMessage(choice.error(), phi, lambda, nullptr));
        return;
    }
    runBatch(fields, dialogs, temp, std::move(list), Egsa87LineConverter(*choice, direction));
}

} // namespace

void convertPointToEgsa87(Fields& fields, Dialogs& dialogs)
{
    const std::string phi = fields.text(FieldId::PhiOld), lambda = fields.text(FieldId::LambdaOld);
    const auto choice = SheetChoice::onCentre(phi, lambda);
    if (!choice) {
        showWarning(dialogs, choiceMessage(choice.error(), phi, lambda, nullptr));
        return;
    }
    const auto result = computeEgsa87Point(*choice, Direction::Forward, fields.text(FieldId::X1), fields.text(FieldId::Y1));
    if (!result) {
        showWarning(dialogs, refusalMessage(result.error(), *choice));
        return;
    }
    std::string line(fields.endsInsideLine(FieldId::File2) ? "\r\n" : "");
    line.append(result->sheet->name).append(", ").append(result->x).append(", ").append(result->y).append(", 0.000\r\n");
    fields.appendText(FieldId::File2, line);
}

void convertListToEgsa87(Fields& fields, Dialogs& dialogs, const TempPlaces& temp)
{
    convertList(fields, dialogs, temp, Direction::Forward);
}

void convertListFromEgsa87(Fields& fields, Dialogs& dialogs, const TempPlaces& temp)
{
    convertList(fields, dialogs, temp, Direction::Backward);
}

void placeSheetCentre(Fields& fields, const geodesy::Sheet& sheet, Side side)
{
    const bool from = side == Side::From;
    fields.setText(from ? FieldId::PhiOld : FieldId::PhiNew, std::string(sheet.phi0DegMin));
    fields.setText(from ? FieldId::LambdaOld : FieldId::LambdaNew, std::string(sheet.lambda0DegMin));
}

std::string sheetNameOfPoint(std::string_view phiText, std::string_view lambdaText, std::string_view xText,
                             std::string_view yText)
{
    const auto centre = geodesy::readCentre(phiText, lambdaText);
    const auto x = text::readLeadingNumber(xText);
    const auto y = text::readLeadingNumber(yText);
    if (!centre || !x || !y) return {};
    const geodesy::HattProjection projection(*centre);
    const auto position = projection.inverse({x->value, y->value});
    if (!position) return {};
    const double phiDeg = geodesy::radiansToDegrees(position->phi);
    const double lambdaDeg = geodesy::radiansToDegrees(projection.longitudeFromAthens(position->lambda));
    // A sheet on this centre first: where outlines overlap (Άβδηρα and
    // Ν.Θάσος) it is the one whose coordinates these are.
    const geodesy::Sheet* found = nullptr;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        if (!geodesy::outlineHolds(sheet.outline, phiDeg, lambdaDeg)) continue;
        if (geodesy::isOnCentre(sheet, centre->phi0Deg, centre->lambda0Deg)) return windowBook().sheetNamed(sheet);
        if (found == nullptr) found = &sheet;
    }
    return found != nullptr ? windowBook().sheetNamed(*found) : std::string();
}

} // namespace hattsheet::operations
