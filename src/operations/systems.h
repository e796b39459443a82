#pragma once
// Conversions between any two of the systems surveyors meet: Hatt on a
// sheet's centre, TM3 (three zones), ΕΓΣΑ87 (TM87 and geographic), HTRS07
// (TM07 and geographic, with the HEPOS grid) and WGS84; one point or a list.
//
// How a window binds to this (the "Συστήματα" dialog):
//  - the two system choosers list systemTable(): each row's id, its words
//    (MessageBook::systemName) and the names of its two coordinates
//    (coordinateNames); a Hatt row takes its centre from the sheet chooser
//    (SystemId::hatt with the sheet or the typed centre texts);
//  - the grid: findHeposGrid({}) once (the per-user folder or
//    HATTSHEET_HEPOS_GRID); installHeposGrid(east, north) for the menu entry
//    that installs the two files the user picked;
//  - the button: SystemRoute::make(from, to, grid) (a refusal: routeMessage),
//    then convertPointTexts(route, aText, bText, hText) with the texts of
//    panel 1's fields: its lines are the result text, or its refusal;
//  - "convert panel 1 into panel 2": convertPanelBetweenSystems(route),
//    SystemLineConverter through the batch, as every list goes;
//  - the route's accuracy (routeAccuracy) is said beside the result.
// Nothing here keeps state between calls; the route is immutable and may be
// shared by the list engine's two threads.

#include "base/expected.h"
#include "geodesy/hepos_grid.h"
#include "geodesy/transverse_mercator.h"
#include "operations/direction.h"
#include "operations/egsa87_conversion.h"
#include "operations/geodetic_display.h"
#include "operations/list_engine.h"
#include "operations/message_book.h"
#include "operations/system_kind.h"
#include "operations/window_ports.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::operations {

// A system as one end of a conversion: for Hatt, its centre.
struct SystemId {
    SystemKind kind = SystemKind::Egsa87;
    std::string phiText, lambdaText;          // Hatt: the centre (degrees-minutes texts)
    const geodesy::Sheet* sheet = nullptr;    // Hatt: the sheet named, when one was
    static SystemId of(SystemKind kind) { return SystemId{kind, {}, {}, nullptr}; }
    static SystemId hatt(std::string phi, std::string lambda, const geodesy::Sheet* sheet = nullptr)
    {
        return SystemId{SystemKind::Hatt, std::move(phi), std::move(lambda), sheet};
    }
};

// The grid of a TM3 zone's system (Tm3West, Tm3Central, Tm3East).
const geodesy::TransverseMercatorGrid& tm3Of(SystemKind kind);

// Where the grid was looked for, and why it was not taken.
struct GridLookup {
    std::filesystem::path folder;               // the folder tried (empty: no home to look in)
    std::optional<geodesy::GridFault> fault;    // files there but refused; none: not there
};
// The HEPOS grid: in folder when given (--hepos-grid), else in
// $HATTSHEET_HEPOS_GRID, else in the per-user data folder's "hepos"
// (platform::userDataFolder). Missing files are not found (fault empty);
// files found but refused carry the fault.
Expected<std::shared_ptr<const geodesy::HeposGrid>, GridLookup> findHeposGrid(const std::filesystem::path& folder);
// The folder findHeposGrid({}) looks in last, where installHeposGrid puts the files.
std::filesystem::path userGridFolder();
// Checks the two files the user picked and copies them (through the safe
// writer) into userGridFolder() as east.grd and north.grd; the folder made
// when missing. The refusal's fault names the file and why.
Expected<std::filesystem::path, GridLookup> installHeposGrid(const std::filesystem::path& east,
                                                             const std::filesystem::path& north);

// Why a route cannot be made.
struct RouteError {
    enum class Cause { Choice, Centre, NoGrid } cause = Cause::Centre;
    Side side = Side::From;                    // the end whose system it is
    ChoiceError choice = ChoiceError::Latitude;  // Choice: a Hatt centre without its sheets
    geodesy::CentreError centre = geodesy::CentreError::Latitude;  // Centre
};

// A point of a system: a, b in its order (X, Y / E, N / φ, λ in degrees),
// and the height, which every route passes through unchanged (the Helmert
// step reads it as the ellipsoidal height; 0 when the point has none).
struct SystemPoint {
    double a = 0.0, b = 0.0;
    double h = 0.0;
};

struct SystemResult {
    SystemPoint point;
    // The position on the old datum, when the route has one (a Hatt or TM3
    // end): as the window's geodetic display shows it.
    std::optional<geodesy::GeodeticPosition> bessel;
    double lambdaAthens = 0.0;                // radians, with bessel
    const geodesy::Sheet* sheet = nullptr;    // the sheet whose polynomial was used
    bool farOutside = false;                  // a named sheet's polynomial far outside its outline
};

enum class SystemRefusalCause { Sheet, OutsideGrid, OffEverySheet, Coordinates };
struct SystemRefusal {
    SystemRefusalCause cause = SystemRefusalCause::Coordinates;
    Egsa87Refusal sheet;  // Sheet: the polynomial's refusal
};

class SystemRoute {
public:
    // grid is needed (and kept) when exactly one end is TM07 or HTRS07.
    static Expected<SystemRoute, RouteError> make(const SystemId& from, const SystemId& to,
                                                  std::shared_ptr<const geodesy::HeposGrid> grid);
    Expected<SystemResult, SystemRefusal> convert(SystemPoint p) const;

    const SystemId& from() const { return m_from; }
    const SystemId& to() const { return m_to; }
    // Whether the route goes through the agency's sheet polynomials.
    bool throughSheets() const { return isOldDatum(m_from.kind) != isOldDatum(m_to.kind); }
    bool approximate() const { return isApproximate(m_from.kind) || isApproximate(m_to.kind); }
    // A Hatt end's sheets (when the route goes through the polynomials).
    const SheetChoice* choice() const { return m_choice ? &*m_choice : nullptr; }

private:
    SystemRoute(SystemId from, SystemId to) : m_from(std::move(from)), m_to(std::move(to)) {}
    Expected<geodesy::GridPoint, SystemRefusal> toTm87(SystemPoint p, SystemResult& r) const;
    Expected<SystemPoint, SystemRefusal> fromTm87(geodesy::GridPoint g, double h, SystemResult& r) const;

    SystemId m_from, m_to;
    std::optional<SheetChoice> m_choice;              // the Hatt end's sheets
    std::optional<geodesy::HattProjection> m_fromHatt, m_toHatt;
    std::shared_ptr<const geodesy::HeposGrid> m_grid;
};

// The message of a refused route (its Hatt end's centre or sheets; the
// grid's message is gridNotFound with the folder looked in) or point.
std::string routeMessage(const RouteError& error, const SystemId& from, const SystemId& to, Language language);
std::string refusalMessage(const SystemRefusal& refusal, const SystemRoute& route, Language language);

// One point as texts: the lines --point prints and the dialog shows.
// Plane target: "Χ = E", "Υ = N"; geographic: φ, λ in degrees (9
// decimals), then in degrees, minutes and seconds, and h for HTRS07; then
// the geodetic display of the old datum's position for a plane target, and
// "Φύλλο = NAME" after a sheet's polynomial.
struct SystemPointTexts {
    std::vector<std::string> lines;
    bool farOutside = false;
    const geodesy::Sheet* sheet = nullptr;
};
Expected<SystemPointTexts, SystemRefusal> convertPointTexts(const SystemRoute& route, std::string_view aText,
                                                            std::string_view bText, std::string_view hText);

// A list's records through a route: code, a, b, h per line (plane systems
// in "0.000", geographic in degrees with 9 decimals); the height passes
// through as today's lists carry it.
class SystemLineConverter final : public PointConverter {
public:
    SystemLineConverter(const SystemRoute& route, Language language) : m_route(route), m_language(language) {}
    bool appendPoint(const pointfile::RecordPoint& point, const pointfile::PointLayout& layout,
                     std::string& out) const override;
    std::string refusalOf(const pointfile::RecordPoint& point) const override;
    // Points converted far outside a named sheet's outline, as the ΕΓΣΑ87 lists say it.
    std::string warning() const override;

private:
    const SystemRoute& m_route;
    Language m_language;
    mutable std::atomic<unsigned long long> m_farOutside{0};
};

// "Convert panel 1 into panel 2" of the systems dialog: panel 1's list
// through the route into panel 2 as the batch does (point_list.h runBatch:
// the same messages, the failing record selected); "Δεν υπάρχει λίστα"
// for an empty panel. Gives the number of points appended.
unsigned long long convertPanelBetweenSystems(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                              const SystemRoute& route);

// The decimals of a geographic coordinate's degrees in lists and --point.
inline constexpr int kGeographicDecimals = 9;

} // namespace hattsheet::operations
