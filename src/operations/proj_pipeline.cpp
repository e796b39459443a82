#include "operations/proj_pipeline.h"

#include "geodesy/centre.h"
#include "geodesy/datum_shift.h"
#include "geodesy/sheet_catalogue.h"
#include "geodesy/transverse_mercator.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace hattsheet::operations {

namespace geo = hattsheet::geodesy;

std::string projNumber(double value)
{
    // Fixed notation ("500000", not "5e+05") but for the polynomials'
    // second-order terms, which read better as the table writes them.
    constexpr double kSmallestFixed = 1e-4;
    const auto format = value != 0.0 && std::abs(value) < kSmallestFixed ? std::chars_format::scientific
                                                                          : std::chars_format::fixed;
    char buffer[400];  // the longest fixed double (1.8e308) has 309 digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return std::string(buffer, result.ptr);
}

namespace {

// One step of the pipeline as it runs forward and as it runs backward.
// Push and pop of a coordinate never cancel: between them the height is
// the point's own, whatever the steps between made of it.
struct Step {
    std::string forward, backward;
    bool cancels = true;
};

Step operation(std::string definition)
{
    std::string backward = "+inv " + definition;
    return Step{std::move(definition), std::move(backward), true};
}

Step inverted(Step s)
{
    std::swap(s.forward, s.backward);
    return s;
}

// The three datums a pipeline meets: only a named sheet's polynomial goes
// from the old one to ΕΓΣΑ87, and only the Helmert step from HTRS07.
enum class Hub { OldDatum, Egsa87, Htrs07 };

// A system's way to the geodetic coordinates of its datum (radians).
struct Leg {
    Hub hub;
    std::vector<Step> steps;
};

Step degreesToRadians()
{
    return Step{"+proj=unitconvert +xy_in=deg +xy_out=rad", "+proj=unitconvert +xy_in=rad +xy_out=deg", true};
}
Step pushHeight() { return Step{"+proj=push +v_3", "+proj=pop +v_3", false}; }
Step popHeight() { return inverted(pushHeight()); }

Step tmerc(const geo::TransverseMercatorGrid& grid, std::string_view ellipsoid)
{
    const geo::TmDefinition& d = grid.definition();
    return operation("+proj=tmerc +lat_0=" + projNumber(d.phi0Deg) + " +lon_0=" + projNumber(d.lambda0Deg) +
                     " +k=" + projNumber(d.k0) + " +x_0=" + projNumber(d.falseEasting) +
                     " +y_0=" + projNumber(d.falseNorthing) + " " + std::string(ellipsoid));
}

// The exact projection the series approximate: on Bessel with the series'
// own e², the centre's λ0 east of Greenwich.
Step aeqd(const geo::Centre& centre)
{
    return operation("+proj=aeqd +lat_0=" + projNumber(centre.phi0Deg) +
                     " +lon_0=" + projNumber(centre.lambda0Deg + geo::kAthensMeridianDeg) +
                     " +x_0=0 +y_0=0 +a=" + projNumber(geo::kBesselA) + " +es=" + projNumber(geo::kBesselE2));
}

// PROJ's horner takes the x terms of u as 1, x, x², y, xy, y² and those of v
// as 1, y, y², x, xy, x²: E = A0 + A1·x + A2·y + A3·x² + A4·y² + A5·x·y
// becomes A0, A1, A3, A2, A5, A4 and N the B's as B0, B2, B4, B1, B5, B3.
Step horner(const geo::Sheet& sheet)
{
    const auto list = [](const std::array<double, 6>& c, std::initializer_list<int> order) {
        std::string text;
        for (const int i : order) text.append(text.empty() ? "" : ",").append(projNumber(c[i]));
        return text;
    };
    return operation("+proj=horner +ellps=bessel +deg=2 +range=10000000 +fwd_origin=0,0 +fwd_u=" +
                     list(sheet.a, {0, 1, 3, 2, 5, 4}) + " +fwd_v=" + list(sheet.b, {0, 2, 4, 1, 5, 3}));
}

Step cart(std::string_view ellipsoid) { return operation("+proj=cart " + std::string(ellipsoid)); }

// WGS84 -> ΕΓΣΑ87 geodetic (radians) as geodesy/datum_shift.h does it, and
// back. Forward the program carries the point through the translation and
// keeps its height; the way back it looks for the ΕΓΣΑ87 point whose forward
// step at the same height h gives the WGS84 position. Undoing the
// translation from the WGS84 point at h instead would miss it by up to
// 2.5 mm, so the pipeline does that once, carries the result forward at h
// to learn the WGS84 height H of the point sought, and undoes the
// translation again from the WGS84 position at H: then the point lands at
// h, within nanometres of the program's. Push and pop keep the position
// and h (each coordinate has its own stack); h is pushed twice rather than
// popped and pushed again, a pair PROJ drops as doing nothing.
Step wgs84Shift()
{
    const geo::GeocentricTranslation& t = geo::kEgsa87ToWgs84;
    const std::string translation =
        "+proj=helmert +x=" + projNumber(t.tx) + " +y=" + projNumber(t.ty) + " +z=" + projNumber(t.tz);
    const std::string back = "+proj=cart +ellps=WGS84 +step +inv " + translation + " +step +inv +proj=cart +ellps=GRS80";
    const std::string forward = "+proj=cart +ellps=GRS80 +step " + translation + " +step +inv +proj=cart +ellps=WGS84";
    return Step{"+proj=push +v_1 +v_2 +v_3 +step +proj=push +v_3 +step " + back + " +step +proj=pop +v_3 +step " +
                    forward + " +step +proj=pop +v_1 +v_2 +step " + back + " +step +proj=pop +v_3",
                "+proj=push +v_3 +step " + forward + " +step +proj=pop +v_3", false};
}

// HTRS07 -> ΕΓΣΑ87, steps 1-3 of the HEPOS model (geodesy/hepos_grid.h).
std::vector<Step> heposHelmert()
{
    const geo::HelmertParameters& p = geo::kHtrs07ToEgsa87;
    return {pushHeight(), cart("+ellps=GRS80"),
            operation("+proj=helmert +x=" + projNumber(p.tx) + " +y=" + projNumber(p.ty) + " +z=" + projNumber(p.tz) +
                      " +rx=" + projNumber(p.rxSec) + " +ry=" + projNumber(p.rySec) + " +rz=" + projNumber(p.rzSec) +
                      " +s=" + projNumber(p.scalePpm) + " +convention=coordinate_frame"),
            inverted(cart("+ellps=GRS80")), popHeight()};
}

// A system's leg; a Hatt end across the datums goes through its sheet's
// polynomial (sheet), else through its centre.
Leg legOf(SystemKind kind, const geo::Centre* centre, const geo::Sheet* sheet)
{
    const Step tm87 = tmerc(geo::tm87(), "+ellps=GRS80");
    switch (kind) {
    case SystemKind::Hatt:
        if (sheet != nullptr) return {Hub::Egsa87, {horner(*sheet), inverted(tm87)}};
        return {Hub::OldDatum, {inverted(aeqd(*centre))}};
    case SystemKind::Tm3West:
    case SystemKind::Tm3Central:
    case SystemKind::Tm3East: return {Hub::OldDatum, {inverted(tmerc(tm3Of(kind), "+ellps=bessel"))}};
    case SystemKind::Egsa87: return {Hub::Egsa87, {inverted(tm87)}};
    case SystemKind::Egsa87Geographic: return {Hub::Egsa87, {degreesToRadians()}};
    case SystemKind::Wgs84:
        return {Hub::Egsa87, {degreesToRadians(), wgs84Shift()}};
    case SystemKind::Tm07: return {Hub::Htrs07, {inverted(tmerc(geo::tm07(), "+ellps=GRS80"))}};
    case SystemKind::Htrs07: return {Hub::Htrs07, {degreesToRadians()}};
    }
    return {Hub::Egsa87, {}};
}

// Appends s, or drops it with the step before when that is its inverse.
void append(std::vector<Step>& steps, const Step& s)
{
    if (!steps.empty() && steps.back().cancels && s.cancels && steps.back().forward == s.backward) {
        steps.pop_back();
    } else {
        steps.push_back(s);
    }
}

// A Hatt end: its centre (and, across the datums, the sheet it names), or
// the refusal.
struct HattEnd {
    std::optional<geo::Centre> centre;
    const geo::Sheet* sheet = nullptr;
};

Expected<HattEnd, PipelineRefusal> hattEnd(const SystemId& end, Side side, bool acrossDatums)
{
    PipelineRefusal refusal;
    refusal.side = side;
    if (!acrossDatums) {
        const auto centre = geo::readCentre(end.phiText, end.lambdaText);
        if (centre) return HattEnd{*centre, nullptr};
        refusal.route = RouteError{RouteError::Cause::Centre, side, {}, centre.error()};
        return unexpected(refusal);
    }
    auto choice = end.sheet != nullptr ? SheetChoice::named(*end.sheet)
                                       : SheetChoice::onCentre(end.phiText, end.lambdaText);
    if (!choice) {
        refusal.route = RouteError{RouteError::Cause::Choice, side, choice.error(), {}};
        return unexpected(refusal);
    }
    if (end.sheet != nullptr) return HattEnd{std::nullopt, end.sheet};
    refusal.cause = PipelineRefusal::Cause::SheetPerPoint;
    for (const auto& candidate : choice->candidates()) {
        if (candidate.usable) refusal.sheets.push_back(candidate.sheet);
    }
    return unexpected(refusal);
}

// The leg of one end, or why it has none.
Expected<Leg, PipelineRefusal> legOfEnd(const SystemId& end, Side side, bool acrossDatums, ProjPipeline& result)
{
    if (end.kind == SystemKind::Hatt) {
        const auto hatt = hattEnd(end, side, acrossDatums);
        if (!hatt) return unexpected(hatt.error());
        if (hatt->sheet != nullptr) result.sheet = hatt->sheet;
        return legOf(end.kind, hatt->centre ? &*hatt->centre : nullptr, hatt->sheet);
    }
    if (acrossDatums && isOldDatum(end.kind)) {
        PipelineRefusal refusal;
        refusal.cause = PipelineRefusal::Cause::Tm3PerPoint;
        refusal.side = side;
        return unexpected(refusal);
    }
    return legOf(end.kind, nullptr, nullptr);
}

} // namespace

Expected<ProjPipeline, PipelineRefusal> projPipeline(const SystemId& from, const SystemId& to, bool approximate)
{
    const bool acrossDatums = isOldDatum(from.kind) != isOldDatum(to.kind);
    ProjPipeline result;
    const auto first = legOfEnd(from, Side::From, acrossDatums, result);
    if (!first) return unexpected(first.error());
    const auto last = legOfEnd(to, Side::To, acrossDatums, result);
    if (!last) return unexpected(last.error());
    const bool throughHelmert = first->hub != last->hub;
    if (throughHelmert && !approximate) {
        PipelineRefusal refusal;
        refusal.cause = PipelineRefusal::Cause::HeposGrid;
        refusal.side = needsHeposGrid(from.kind) ? Side::From : Side::To;
        return unexpected(refusal);
    }
    std::vector<Step> steps;
    for (const Step& s : first->steps) append(steps, s);
    if (throughHelmert) {
        const std::vector<Step> helmert = heposHelmert();
        if (first->hub == Hub::Htrs07) {
            for (const Step& s : helmert) append(steps, s);
        } else {
            for (auto s = helmert.rbegin(); s != helmert.rend(); ++s) append(steps, inverted(*s));
        }
    }
    for (auto s = last->steps.rbegin(); s != last->steps.rend(); ++s) append(steps, inverted(*s));

    if (first->hub == Hub::OldDatum && (from.kind == SystemKind::Hatt || to.kind == SystemKind::Hatt)) {
        result.notes.push_back(PipelineNote::AeqdNotSeries);
    }
    if (result.sheet != nullptr) result.notes.push_back(PipelineNote::SheetEverywhere);
    if (isApproximate(from.kind) || isApproximate(to.kind)) result.notes.push_back(PipelineNote::Wgs84);
    if (throughHelmert) result.notes.push_back(PipelineNote::WithoutGrid);
    result.text = "+proj=pipeline";
    if (steps.empty()) result.text += " +step +proj=noop";
    for (const Step& s : steps) result.text.append(" +step ").append(s.forward);
    return result;
}

} // namespace hattsheet::operations
