#include "operations/systems.h"

#include "geodesy/centre.h"
#include "geodesy/datum_shift.h"
#include "geodesy/sheet_outline.h"

#include <algorithm>
#include <cmath>

namespace hattsheet::operations {

namespace geo = hattsheet::geodesy;
using geo::GeodeticPosition;
using geo::GeographicPoint;
using geo::GridPoint;

const geo::TransverseMercatorGrid& tm3Of(SystemKind kind)
{
    return geo::tm3(kind == SystemKind::Tm3West ? geo::Tm3Zone::West
                    : kind == SystemKind::Tm3East ? geo::Tm3Zone::East : geo::Tm3Zone::Central);
}

namespace {

GeodeticPosition radiansOf(GeographicPoint g)
{
    return {geo::degreesToRadians(g.phiDeg), geo::degreesToRadians(g.lambdaDeg)};
}

GeographicPoint degreesOf(GeodeticPosition g)
{
    return {geo::radiansToDegrees(g.phi), geo::radiansToDegrees(g.lambda)};
}

bool finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

Unexpected<SystemRefusal> refused(SystemRefusalCause cause) { return unexpected(SystemRefusal{cause, {}}); }

// A sheet of the catalogue with its projection, its polynomial and the
// rectangle of ΕΓΣΑ87 its outline maps into (metres, with a margin): what a
// TM3 point needs to find the sheet it lies on, from either datum.
struct SheetFrame {
    const geo::Sheet* sheet;
    geo::HattProjection projection;
    geo::Egsa87Polynomial polynomial;
    double eMin, eMax, nMin, nMax;
    bool usable;
};

// The outline's edges are straight in degrees and a little curved in the
// Grid; 2 km around the corners' rectangle holds every point of them.
constexpr double kFrameMarginMetres = 2000.0;

std::vector<SheetFrame> makeFrames()
{
    std::vector<SheetFrame> frames;
    for (const bool usable : {true, false}) {
        for (const geo::Sheet& sheet : geo::sheetCatalogue()) {
            if (geo::isUsable(sheet) != usable) continue;
            SheetFrame f{&sheet, geo::HattProjection(geo::centreOf(sheet)), geo::Egsa87Polynomial(sheet),
                         HUGE_VAL, -HUGE_VAL, HUGE_VAL, -HUGE_VAL, usable};
            for (const geo::OutlineCorner& c : sheet.outline) {
                const auto p = f.projection.forward(
                    {geo::degreesToRadians(c.phiDeg), geo::degreesToRadians(c.lambdaDeg + geo::kAthensMeridianDeg)});
                if (!p) continue;
                const geo::Egsa87Point g = f.polynomial.forward(*p);
                f.eMin = std::min(f.eMin, g.e - kFrameMarginMetres);
                f.eMax = std::max(f.eMax, g.e + kFrameMarginMetres);
                f.nMin = std::min(f.nMin, g.n - kFrameMarginMetres);
                f.nMax = std::max(f.nMax, g.n + kFrameMarginMetres);
            }
            frames.push_back(std::move(f));
        }
    }
    return frames;
}

const std::vector<SheetFrame>& sheetFrames()
{
    static const std::vector<SheetFrame> frames = makeFrames();
    return frames;
}

// The position whose forward series give the Hatt point p: the inverse
// series, corrected by what the forward series make of it. The forward
// series are a hundred times closer to the exact projection (0.006 mm at
// 20 km against 0.57 mm), so a point carried TM3 -> ΕΓΣΑ87 -> TM3 comes
// back to 0.001 mm instead of to a few millimetres.
std::optional<GeodeticPosition> positionOfHatt(const geo::HattProjection& projection, geo::PlanePoint p)
{
    auto g = projection.inverse(p);
    constexpr int kSteps = 3;  // each step leaves a thousandth of the error before it
    for (int step = 0; g && step < kSteps; ++step) {
        const auto there = projection.forward(*g);
        const auto back = there ? projection.inverse(*there) : std::nullopt;
        const auto aim = projection.inverse(p);
        if (!back || !aim) return std::nullopt;
        g = GeodeticPosition{g->phi + (aim->phi - back->phi), g->lambda + (aim->lambda - back->lambda)};
    }
    return g;
}

bool holds(const SheetFrame& f, GeodeticPosition g, double& lambdaAthens)
{
    lambdaAthens = f.projection.longitudeFromAthens(g.lambda);
    return geo::outlineHolds(f.sheet->outline, geo::radiansToDegrees(g.phi), geo::radiansToDegrees(lambdaAthens));
}

// A Hatt end's conversion through its sheet's polynomial: the target, and
// the old datum's position and the sheet into r.
Expected<geo::PlanePoint, SystemRefusal> throughSheet(const Expected<Egsa87Result, Egsa87Refusal>& result, SystemResult& r)
{
    if (!result) return unexpected(SystemRefusal{SystemRefusalCause::Sheet, result.error()});
    r.bessel = result->position;
    r.lambdaAthens = result->lambdaAthens;
    r.sheet = result->sheet;
    r.farOutside = result->farOutside;
    return result->target;
}

} // namespace

Expected<SystemRoute, RouteError> SystemRoute::make(const SystemId& from, const SystemId& to,
                                                    std::shared_ptr<const geo::HeposGrid> grid)
{
    SystemRoute route(from, to);
    const bool acrossDatums = isOldDatum(from.kind) != isOldDatum(to.kind);
    for (const Side side : {Side::From, Side::To}) {
        const SystemId& end = side == Side::From ? from : to;
        if (end.kind != SystemKind::Hatt) continue;
        if (acrossDatums) {
            auto choice = end.sheet != nullptr ? SheetChoice::named(*end.sheet)
                                               : SheetChoice::onCentre(end.phiText, end.lambdaText);
            if (!choice) return unexpected(RouteError{RouteError::Cause::Choice, side, choice.error(), {}});
            route.m_choice.emplace(std::move(*choice));
            continue;
        }
        const auto centre = geo::readCentre(end.phiText, end.lambdaText);
        if (!centre) return unexpected(RouteError{RouteError::Cause::Centre, side, {}, centre.error()});
        (side == Side::From ? route.m_fromHatt : route.m_toHatt).emplace(*centre);
    }
    if (needsHeposGrid(from.kind) != needsHeposGrid(to.kind)) {
        if (!grid) {
            return unexpected(RouteError{RouteError::Cause::NoGrid, needsHeposGrid(from.kind) ? Side::From : Side::To,
                                         {}, {}});
        }
        route.m_grid = std::move(grid);
    }
    return route;
}

Expected<GridPoint, SystemRefusal> SystemRoute::toTm87(SystemPoint p, SystemResult& r) const
{
    switch (m_from.kind) {
    case SystemKind::Hatt: {
        const auto target = throughSheet(hattToEgsa87(*m_choice, {p.a, p.b}), r);
        if (!target) return unexpected(target.error());
        return GridPoint{target->x, target->y};
    }
    case SystemKind::Tm3West:
    case SystemKind::Tm3Central:
    case SystemKind::Tm3East: {
        const GeodeticPosition g = radiansOf(tm3Of(m_from.kind).inverse({p.a, p.b}));
        for (const SheetFrame& f : sheetFrames()) {
            if (!holds(f, g, r.lambdaAthens)) continue;
            if (!f.usable) return unexpected(SystemRefusal{SystemRefusalCause::Sheet, {PointRefusal::DefectiveSheet, f.sheet}});
            const auto hatt = f.projection.forward(g);
            if (!hatt) break;
            const geo::Egsa87Point e = f.polynomial.forward(*hatt);
            r.bessel = g;
            r.sheet = f.sheet;
            return GridPoint{e.e, e.n};
        }
        return refused(SystemRefusalCause::OffEverySheet);
    }
    case SystemKind::Egsa87: return GridPoint{p.a, p.b};
    case SystemKind::Egsa87Geographic: return geo::tm87().forward({p.a, p.b});
    case SystemKind::Wgs84: {
        const geo::GeodeticPoint3 g = geo::wgs84ToEgsa87({p.a, p.b, p.h});
        return geo::tm87().forward({g.phiDeg, g.lambdaDeg});
    }
    case SystemKind::Tm07:
    case SystemKind::Htrs07: {
        const GridPoint tm07 = m_from.kind == SystemKind::Tm07 ? GridPoint{p.a, p.b} : geo::tm07().forward({p.a, p.b});
        const auto g = geo::tm07ToTm87(*m_grid, tm07, p.h);
        if (!g) return refused(SystemRefusalCause::OutsideGrid);
        return *g;
    }
    }
    return refused(SystemRefusalCause::Coordinates);
}

Expected<SystemPoint, SystemRefusal> SystemRoute::fromTm87(GridPoint g, double h, SystemResult& r) const
{
    switch (m_to.kind) {
    case SystemKind::Hatt: {
        const auto target = throughSheet(egsa87ToHatt(*m_choice, {g.e, g.n}), r);
        if (!target) return unexpected(target.error());
        return SystemPoint{target->x, target->y, h};
    }
    case SystemKind::Tm3West:
    case SystemKind::Tm3Central:
    case SystemKind::Tm3East: {
        for (const SheetFrame& f : sheetFrames()) {
            if (g.e < f.eMin || g.e > f.eMax || g.n < f.nMin || g.n > f.nMax) continue;
            const auto hatt = f.polynomial.inverse({g.e, g.n});
            const auto position = hatt ? positionOfHatt(f.projection, *hatt) : std::nullopt;
            if (!position || !holds(f, *position, r.lambdaAthens)) continue;
            if (!f.usable) return unexpected(SystemRefusal{SystemRefusalCause::Sheet, {PointRefusal::DefectiveSheet, f.sheet}});
            r.bessel = *position;
            r.sheet = f.sheet;
            const GridPoint t = tm3Of(m_to.kind).forward(degreesOf(*position));
            return SystemPoint{t.e, t.n, h};
        }
        return refused(SystemRefusalCause::OffEverySheet);
    }
    case SystemKind::Egsa87: return SystemPoint{g.e, g.n, h};
    case SystemKind::Egsa87Geographic: {
        const GeographicPoint p = geo::tm87().inverse(g);
        return SystemPoint{p.phiDeg, p.lambdaDeg, h};
    }
    case SystemKind::Wgs84: {
        const GeographicPoint p = geo::tm87().inverse(g);
        const geo::GeodeticPoint3 w = geo::egsa87ToWgs84({p.phiDeg, p.lambdaDeg, h});
        return SystemPoint{w.phiDeg, w.lambdaDeg, h};
    }
    case SystemKind::Tm07:
    case SystemKind::Htrs07: {
        const auto tm07 = geo::tm87ToTm07(*m_grid, g, h);
        if (!tm07) return refused(SystemRefusalCause::OutsideGrid);
        if (m_to.kind == SystemKind::Tm07) return SystemPoint{tm07->e, tm07->n, h};
        const GeographicPoint p = geo::tm07().inverse(*tm07);
        return SystemPoint{p.phiDeg, p.lambdaDeg, h};
    }
    }
    return refused(SystemRefusalCause::Coordinates);
}

namespace {

// Hatt or TM3 to Hatt or TM3 through the position on Bessel 1841.
std::optional<GeodeticPosition> oldDatumPosition(const SystemId& end, const std::optional<geo::HattProjection>& hatt,
                                                 SystemPoint p)
{
    if (end.kind == SystemKind::Hatt) return hatt->inverse({p.a, p.b});
    return radiansOf(tm3Of(end.kind).inverse({p.a, p.b}));
}

} // namespace

Expected<SystemResult, SystemRefusal> SystemRoute::convert(SystemPoint p) const
{
    if (!finite(p.a, p.b) || !std::isfinite(p.h)) return refused(SystemRefusalCause::Coordinates);
    if (isGeographic(m_from.kind) && !(std::abs(p.a) <= 90.0 && std::abs(p.b) <= 180.0)) {
        return refused(SystemRefusalCause::Coordinates);
    }
    SystemResult r;
    if (isOldDatum(m_from.kind) && isOldDatum(m_to.kind)) {
        const auto g = oldDatumPosition(m_from, m_fromHatt, p);
        if (!g) return refused(SystemRefusalCause::Coordinates);
        r.bessel = *g;
        if (m_to.kind == SystemKind::Hatt) {
            const auto x = m_toHatt->forward(*g);
            if (!x) return refused(SystemRefusalCause::Coordinates);
            r.point = {x->x, x->y, p.h};
            r.lambdaAthens = m_toHatt->longitudeFromAthens(g->lambda);
        } else {
            const GridPoint t = tm3Of(m_to.kind).forward(degreesOf(*g));
            r.point = {t.e, t.n, p.h};
            r.lambdaAthens = m_fromHatt ? m_fromHatt->longitudeFromAthens(g->lambda) : g->lambda - geo::athensMeridian();
        }
    } else if (needsHeposGrid(m_from.kind) && needsHeposGrid(m_to.kind)) {
        // TM07 and its geographic form: one projection, no grid.
        if (m_from.kind == m_to.kind) {
            r.point = p;
        } else if (m_from.kind == SystemKind::Tm07) {
            const GeographicPoint g = geo::tm07().inverse({p.a, p.b});
            r.point = {g.phiDeg, g.lambdaDeg, p.h};
        } else {
            const GridPoint t = geo::tm07().forward({p.a, p.b});
            r.point = {t.e, t.n, p.h};
        }
    } else {
        const auto g = toTm87(p, r);
        if (!g) return unexpected(g.error());
        const auto q = fromTm87(*g, p.h, r);
        if (!q) return unexpected(q.error());
        r.point = *q;
    }
    if (!finite(r.point.a, r.point.b)) return refused(SystemRefusalCause::Coordinates);
    return r;
}

} // namespace hattsheet::operations
