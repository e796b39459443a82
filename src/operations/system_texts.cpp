// The texts of the conversions between systems: messages, one point's
// lines, a list's lines (operations/systems.h).

#include "operations/systems.h"

#include "base/platform.h"
#include "operations/egsa87_operations.h"
#include "operations/point_list.h"
#include "operations/window_texts.h"
#include "text/angle_text.h"
#include "text/number_format.h"
#include "text/number_text.h"

namespace hattsheet::operations {

std::string routeMessage(const RouteError& error, const SystemId& from, const SystemId& to, Language language)
{
    const SystemId& end = error.side == Side::From ? from : to;
    switch (error.cause) {
    case RouteError::Cause::Choice: return choiceMessage(error.choice, end.phiText, end.lambdaText, end.sheet, language);
    case RouteError::Cause::Centre: return messageBook(language).centreRefused(error.centre);
    case RouteError::Cause::NoGrid: return messageBook(language).gridNotFound(platform::pathToUtf8(userGridFolder()));
    }
    return messageBook(language).coordinatesRefused();
}

std::string refusalMessage(const SystemRefusal& refusal, const SystemRoute& route, Language language)
{
    const MessageBook& book = messageBook(language);
    switch (refusal.cause) {
    case SystemRefusalCause::Sheet:
        if (route.choice() != nullptr) return refusalMessage(refusal.sheet, *route.choice(), language);
        if (refusal.sheet.sheet != nullptr) return book.defectiveSheet(*refusal.sheet.sheet);
        break;
    case SystemRefusalCause::OutsideGrid: return book.outsideGrid();
    case SystemRefusalCause::OffEverySheet: return book.offEverySheet();
    case SystemRefusalCause::Coordinates: break;
    }
    return book.coordinatesRefused();
}

namespace {

std::string degreesLine(const char* name, double degrees)
{
    return std::string(name) + " = " + text::formatFixed(degrees, kGeographicDecimals);
}

std::string dmsLine(const char* name, double degrees)
{
    return std::string(name) + " = " + text::formatSignedDms(degrees);
}

} // namespace

Expected<SystemPointTexts, SystemRefusal> convertPointTexts(const SystemRoute& route, std::string_view aText,
                                                            std::string_view bText, std::string_view hText)
{
    const auto a = text::readLeadingNumber(aText);
    const auto b = text::readLeadingNumber(bText);
    const auto h = hText.empty() ? std::optional(text::LeadingNumber{}) : text::readLeadingNumber(hText);
    if (!a || !b || !h) return unexpected(SystemRefusal{});
    const auto result = route.convert({a->value, b->value, h->value});
    if (!result) return unexpected(result.error());
    SystemPointTexts texts;
    const SystemPoint& p = result->point;
    const SystemKind to = route.to().kind;
    if (isGeographic(to)) {
        texts.lines = {degreesLine("φ", p.a), degreesLine("λ", p.b), dmsLine("φ", p.a), dmsLine("λ", p.b)};
        if (to == SystemKind::Htrs07) texts.lines.push_back("h = " + text::formatCoordinate(p.h));
    } else {
        texts.lines = {"Χ = " + text::formatCoordinate(p.a), "Υ = " + text::formatCoordinate(p.b)};
        if (result->bessel) {
            const auto geodetic = geodeticTexts(*result->bessel, result->lambdaAthens);
            if (!geodetic) return unexpected(SystemRefusal{});
            texts.lines.push_back("φ = " + geodetic->lat);
            texts.lines.push_back("Δλ = " + geodetic->lonAthens);
            texts.lines.push_back("λ = " + geodetic->lonGreenwich);
        }
    }
    if (result->sheet != nullptr) texts.lines.push_back("Φύλλο = " + std::string(result->sheet->name));
    texts.sheet = result->sheet;
    texts.farOutside = result->farOutside;
    return texts;
}

namespace {

Expected<SystemResult, SystemRefusal> convertRecord(const SystemRoute& route, const pointfile::RecordPoint& point)
{
    // The height of a record that has one as a number; 0 for none or text.
    std::optional<double> h;
    if (point.record.hasHeight) h = pointfile::fieldNumber(point.record.h);
    return route.convert({point.x, point.y, h.value_or(0.0)});
}

} // namespace

bool SystemLineConverter::appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                                      std::string& out) const
{
    const auto result = convertRecord(m_route, point);
    if (!result) return false;
    if (result->farOutside) m_farOutside.fetch_add(1, std::memory_order_relaxed);
    const int decimals = isGeographic(m_route.to().kind) ? kGeographicDecimals : text::kCoordinateDecimals;
    appendTargetLine(point.record, result->point.a, result->point.b, out, layout, decimals);
    return true;
}

std::string SystemLineConverter::warning() const
{
    const unsigned long long far = m_farOutside.load(std::memory_order_relaxed);
    const SheetChoice* choice = m_route.choice();
    if (far == 0 || choice == nullptr || choice->candidates().empty()) return {};
    return messageBook(m_language).farOutside(far, *choice->candidates().front().sheet);
}

std::string SystemLineConverter::refusalOf(const pointfile::RecordPoint& point) const
{
    const auto result = convertRecord(m_route, point);
    if (result || result.error().cause == SystemRefusalCause::Coordinates) return {};
    return refusalMessage(result.error(), m_route, m_language);
}

unsigned long long convertPanelBetweenSystems(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                              const SystemRoute& route)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        showWarning(dialogs, windowTexts().noList);
        return 0;
    }
    return runBatch(fields, dialogs, temp, std::move(list), SystemLineConverter(route, kWindowLanguage));
}

} // namespace hattsheet::operations
