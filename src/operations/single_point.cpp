#include "operations/single_point.h"

#include "operations/message_book.h"
#include "operations/window_texts.h"
#include "text/angle_text.h"
#include "text/number_format.h"
#include "text/number_text.h"
#include "geodesy/centre.h"

#include <cmath>
#include <optional>

namespace hattsheet::operations {

using geodesy::Centre;
using geodesy::PlanePoint;
using text::formatCoordinate;

std::string messageFor(ConversionError error, Language language)
{
    const MessageBook& book = messageBook(language);
    switch (error) {
    case ConversionError::Latitude:
    case ConversionError::Longitude: {
        // The range on a second line: the window's refusal says what it takes.
        const auto centre = error == ConversionError::Latitude ? geodesy::CentreError::Latitude
                                                               : geodesy::CentreError::Longitude;
        return book.centreRefused(centre) + "\n" + book.centreRange(centre);
    }
    case ConversionError::Coordinates: break;
    }
    return book.coordinatesRefused();
}

std::string minutesNote(std::string_view degMinText, Language language)
{
    const auto read = text::readLongMinutes(degMinText);
    if (!read) return {};
    return messageBook(language).minutesRead(read->typed, read->angle);
}

namespace {

Expected<Centre, ConversionError> readOneCentre(std::string_view phi, std::string_view lambda)
{
    const auto centre = geodesy::readCentre(phi, lambda);
    if (!centre) {
        return unexpected(centre.error() == geodesy::CentreError::Latitude ? ConversionError::Latitude
                                                                            : ConversionError::Longitude);
    }
    return *centre;
}

// X and Y as the window reads them: the leading number, 0 when there is none.
std::optional<PlanePoint> readPoint(std::string_view xText, std::string_view yText)
{
    const auto x = text::readLeadingNumber(xText);
    const auto y = text::readLeadingNumber(yText);
    if (!x || !y) {
        return std::nullopt;
    }
    return PlanePoint{x->value, y->value};
}

} // namespace

Expected<geodesy::HattConversion, ConversionError> readHattConversion(std::string_view fromPhi, std::string_view fromLambda,
                                                            std::string_view toPhi, std::string_view toLambda)
{
    const auto from = readOneCentre(fromPhi, fromLambda);
    if (!from) {
        return unexpected(from.error());
    }
    const auto to = readOneCentre(toPhi, toLambda);
    if (!to) {
        return unexpected(to.error());
    }
    return geodesy::HattConversion(*from, *to);
}

Expected<OldToNewTexts, ConversionError> computeOldToNew(CentreTexts oldCentre, CentreTexts newCentre,
                                                         std::string_view xText, std::string_view yText)
{
    const auto sheets = readHattConversion(oldCentre.phi, oldCentre.lambda, newCentre.phi, newCentre.lambda);
    if (!sheets) {
        return unexpected(sheets.error());
    }
    const auto point = readPoint(xText, yText);
    if (!point) {
        return unexpected(ConversionError::Coordinates);
    }
    const auto carried = sheets->carry(*point);
    if (!carried) {
        return unexpected(ConversionError::Coordinates);
    }
    auto geodetic = geodeticTexts(carried->position, carried->lambdaAthens);
    if (!geodetic) {
        return unexpected(ConversionError::Coordinates);
    }
    return OldToNewTexts{formatCoordinate(carried->target.x), formatCoordinate(carried->target.y), std::move(*geodetic)};
}

Expected<std::pair<std::string, std::string>, ConversionError>
computeNewToOld(CentreTexts newCentre, CentreTexts oldCentre, std::string_view xText, std::string_view yText)
{
    const auto sheets = readHattConversion(newCentre.phi, newCentre.lambda, oldCentre.phi, oldCentre.lambda);
    if (!sheets) {
        return unexpected(sheets.error());
    }
    const auto point = readPoint(xText, yText);
    if (!point) {
        return unexpected(ConversionError::Coordinates);
    }
    const auto target = sheets->convert(*point);
    if (!target) {
        return unexpected(ConversionError::Coordinates);
    }
    return std::pair{formatCoordinate(target->x), formatCoordinate(target->y)};
}

FieldId refusedField(const Fields& fields, ConversionError error, FieldId fromPhi, FieldId fromLambda, FieldId toPhi,
                     FieldId toLambda, FieldId xField)
{
    if (error == ConversionError::Coordinates) return xField;
    const bool fromRefused = !geodesy::readCentre(fields.text(fromPhi), fields.text(fromLambda));
    if (error == ConversionError::Latitude) return fromRefused ? fromPhi : toPhi;
    return fromRefused ? fromLambda : toLambda;
}

void noteLongMinutes(Fields& fields)
{
    for (const FieldId id : {FieldId::PhiOld, FieldId::LambdaOld, FieldId::PhiNew, FieldId::LambdaNew}) {
        const std::string note = minutesNote(fields.text(id), kWindowLanguage);
        if (!note.empty()) {
            fields.showNote(id, note);
            return;
        }
    }
}

void convertOldToNew(Fields& fields, Dialogs& dialogs)
{
    const std::string phiOld = fields.text(FieldId::PhiOld), lamOld = fields.text(FieldId::LambdaOld);
    const std::string phiNew = fields.text(FieldId::PhiNew), lamNew = fields.text(FieldId::LambdaNew);
    const auto result = computeOldToNew({phiOld, lamOld}, {phiNew, lamNew}, fields.text(FieldId::X1),
                                        fields.text(FieldId::Y1));
    if (!result) {
        showWarning(dialogs, messageFor(result.error()));
        fields.focus(refusedField(fields, result.error(), FieldId::PhiOld, FieldId::LambdaOld, FieldId::PhiNew,
                                  FieldId::LambdaNew, FieldId::X1));
        return;
    }
    noteLongMinutes(fields);
    // Everything is computed before the first field changes, so an overflow
    // in the forward step leaves the display as it was.
    fields.setText(FieldId::Lat, result->geodetic.lat);
    fields.setText(FieldId::LonGreenwich, result->geodetic.lonGreenwich);
    fields.setText(FieldId::LonAthens, result->geodetic.lonAthens);
    fields.setText(FieldId::X2, result->x2);
    fields.setText(FieldId::Y2, result->y2);
}

void convertNewToOld(Fields& fields, Dialogs& dialogs)
{
    const std::string phiNew = fields.text(FieldId::PhiNew), lamNew = fields.text(FieldId::LambdaNew);
    const std::string phiOld = fields.text(FieldId::PhiOld), lamOld = fields.text(FieldId::LambdaOld);
    const auto result = computeNewToOld({phiNew, lamNew}, {phiOld, lamOld}, fields.text(FieldId::X2),
                                        fields.text(FieldId::Y2));
    if (!result) {
        showWarning(dialogs, messageFor(result.error()));
        fields.focus(refusedField(fields, result.error(), FieldId::PhiNew, FieldId::LambdaNew, FieldId::PhiOld,
                                  FieldId::LambdaOld, FieldId::X2));
        return;
    }
    noteLongMinutes(fields);
    fields.setText(FieldId::X1, result->first);
    fields.setText(FieldId::Y1, result->second);
}

void swapCentres(Fields& fields)
{
    for (const auto& [a, b] : {std::pair{FieldId::PhiOld, FieldId::PhiNew}, std::pair{FieldId::LambdaOld, FieldId::LambdaNew}}) {
        const std::string old = fields.text(a);
        fields.setText(a, fields.text(b));
        fields.setText(b, old);
    }
}

} // namespace hattsheet::operations
