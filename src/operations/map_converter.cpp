#include "operations/map_converter.h"

#include "operations/system_kind.h"
#include "text/number_format.h"

#include <cmath>

namespace hattsheet::operations {

Expected<std::optional<SystemRoute>, RouteError> wgs84RouteOf(const SystemId& to,
                                                              std::shared_ptr<const geodesy::HeposGrid> grid)
{
    if (to.kind == SystemKind::Wgs84) return std::optional<SystemRoute>();
    auto route = SystemRoute::make(to, SystemId::of(SystemKind::Wgs84), std::move(grid));
    if (!route) {
        RouteError error = route.error();
        error.side = Side::To;
        return unexpected(error);
    }
    return std::optional<SystemRoute>(std::move(*route));
}

pointfile::MapTarget mapTargetOf(const SystemId& to)
{
    if (to.kind == SystemKind::Hatt) return {"hatt", to.phiText + "," + to.lambdaText, "X", "Y", text::kCoordinateDecimals};
    const std::string id(systemInfo(to.kind).id);
    if (isGeographic(to.kind)) return {id, {}, "phi", "lambda", kGeographicDecimals};
    return {id, {}, "E", "N", text::kCoordinateDecimals};
}

MapLineConverter::MapLineConverter(const SystemRoute& route, const std::optional<SystemRoute>& toWgs84,
                                   pointfile::MapFormat format, Language language)
    : m_route(route), m_toWgs84(toWgs84), m_format(format), m_target(mapTargetOf(route.to())), m_language(language)
{
}

MapLineConverter::Converted MapLineConverter::convert(const pointfile::RecordPoint& point) const
{
    // The height of a record that has one as a number; 0 for none or text,
    // as the comma lists read it.
    std::optional<double> h;
    if (point.record.hasHeight) h = pointfile::fieldNumber(point.record.h);
    Converted c;
    const auto target = m_route.convert({point.x, point.y, h.value_or(0.0)});
    if (!target) {
        c.refusal = target.error();
        c.refusedBy = &m_route;
        return c;
    }
    c.farOutside = target->farOutside;
    SystemPoint wgs84 = target->point;
    if (m_toWgs84) {
        const auto place = m_toWgs84->convert(target->point);
        if (!place) {
            c.refusal = place.error();
            c.refusedBy = &*m_toWgs84;
            return c;
        }
        c.farOutside = c.farOutside || place->farOutside;
        wgs84 = place->point;
    }
    const pointfile::MapPoint p{point.record.code.text, target->point.a, target->point.b, target->point.h,
                                wgs84.a, wgs84.b};
    for (const double v : {p.a, p.b, p.h, p.latDeg, p.lonDeg}) {
        if (!std::isfinite(v)) return c;
    }
    c.point = p;
    return c;
}

bool MapLineConverter::appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout&,
                                   std::string& out) const
{
    const Converted c = convert(point);
    if (!c.point) return false;
    if (c.farOutside) m_farOutside.fetch_add(1, std::memory_order_relaxed);
    pointfile::appendMapPoint(out, m_format, m_target, *c.point);
    return true;
}

std::string MapLineConverter::refusalOf(const pointfile::RecordPoint& point) const
{
    const Converted c = convert(point);
    if (!c.refusal || c.refusal->cause == SystemRefusalCause::Coordinates) return {};
    return refusalMessage(*c.refusal, *c.refusedBy, m_language);
}

const SheetChoice* MapLineConverter::sheetsOfWarning() const
{
    if (m_route.choice() != nullptr) return m_route.choice();
    return m_toWgs84 ? m_toWgs84->choice() : nullptr;
}

std::string MapLineConverter::warning() const
{
    const unsigned long long far = m_farOutside.load(std::memory_order_relaxed);
    const SheetChoice* choice = sheetsOfWarning();
    if (far == 0 || choice == nullptr || choice->candidates().empty()) return {};
    return messageBook(m_language).farOutside(far, *choice->candidates().front().sheet);
}

} // namespace hattsheet::operations
