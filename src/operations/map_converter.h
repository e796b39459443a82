#pragma once
// A list's records through a route into a map format (pointfile/
// map_formats.h): each point in the target system, and in WGS84 for the
// formats that place it on the globe, by a second route from the target
// to WGS84 (a Hatt target's goes through its sheet's polynomial; a TM07 or
// HTRS07 target's through the HEPOS grid).

#include "base/expected.h"
#include "operations/list_engine.h"
#include "operations/message_book.h"
#include "operations/systems.h"
#include "pointfile/map_formats.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace hattsheet::operations {

// The route from the target to WGS84; none when the target is WGS84 (its
// own coordinates are the place). A refusal is the target's, so its side
// is To. grid: the HEPOS grid, needed for a TM07 or HTRS07 target.
Expected<std::optional<SystemRoute>, RouteError> wgs84RouteOf(const SystemId& to,
                                                              std::shared_ptr<const geodesy::HeposGrid> grid);

// The target system as the map formats name it: its id ("hatt" with the
// centre's PHI,DL for Hatt), its coordinates' names and decimals.
pointfile::MapTarget mapTargetOf(const SystemId& to);

class MapLineConverter final : public PointConverter {
public:
    // toWgs84 empty: the target is WGS84. Both routes outlive the converter.
    MapLineConverter(const SystemRoute& route, const std::optional<SystemRoute>& toWgs84, pointfile::MapFormat format,
                     Language language);
    // Appends the point's piece; false when either route refuses it or a
    // coordinate is not finite.
    bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                     std::string& out) const override;
    std::string refusalOf(const pointfile::RecordPoint& point) const override;
    // Points far outside a named sheet's outline, as the other lists say it.
    std::string warning() const override;

private:
    struct Converted {
        std::optional<pointfile::MapPoint> point;
        std::optional<SystemRefusal> refusal;  // why not, when a route said
        const SystemRoute* refusedBy = nullptr;
        bool farOutside = false;
    };
    Converted convert(const pointfile::RecordPoint& point) const;
    const SheetChoice* sheetsOfWarning() const;

    const SystemRoute& m_route;
    const std::optional<SystemRoute>& m_toWgs84;
    pointfile::MapFormat m_format;
    pointfile::MapTarget m_target;
    Language m_language;
    mutable std::atomic<unsigned long long> m_farOutside{0};
};

} // namespace hattsheet::operations
