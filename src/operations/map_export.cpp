#include "operations/map_export.h"

#include "base/platform.h"
#include "operations/list_engine.h"
#include "operations/list_source.h"
#include "operations/map_converter.h"
#include "operations/panel_operations.h"
#include "operations/window_texts.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <utility>

namespace hattsheet::operations {

namespace {

namespace pf = hattsheet::pointfile;

struct MapType {
    pf::MapFormat format;
    const char* filter;     // the dialog's text
    const char* extension;  // with its dot
};
// The dialog's types after the comma lists, in --format's order.
constexpr MapType kMapTypes[] = {
    {pf::MapFormat::Kml, captions::kFilterKml, ".kml"},
    {pf::MapFormat::GeoJson, captions::kFilterGeoJson, ".geojson"},
    {pf::MapFormat::Dxf, captions::kFilterDxf, ".dxf"},
    {pf::MapFormat::Gpx, captions::kFilterGpx, ".gpx"},
};

// Whether a format places its points on the globe (KML, GeoJSON, GPX): they
// need the route to WGS84; DXF draws the panel's own coordinates.
bool placesInWgs84(pf::MapFormat format)
{
    return format != pf::MapFormat::Csv && format != pf::MapFormat::Dxf;
}

// The extension after the file name's last dot, in small ASCII letters
// (with the dot); empty for none, and a dot in a folder's name is none.
std::string extensionOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

// The route from the panel's system to WGS84 for a format that places its
// points, or the refusal's words.
Expected<std::optional<SystemRoute>, std::string> wgs84HopOf(const SystemId& system, GridSlot& grid)
{
    const auto found = grid.gridFor(system.kind, SystemKind::Wgs84);
    if (!found) {
        const GridLookup& lookup = found.error();
        if (lookup.fault) return unexpected(windowBook().gridRefused(*lookup.fault));
        return unexpected(mapGridMissing(platform::pathToUtf8(lookup.folder)));
    }
    auto hop = wgs84RouteOf(system, *found);
    // The refusal is of the panel's system, as the target's (its side To).
    if (!hop) return unexpected(routeMessage(hop.error(), system, system, kWindowLanguage));
    return std::move(*hop);
}

} // namespace

std::vector<FileFilter> saveAsFilters()
{
    std::vector<FileFilter> filters{listSaveFilters().front()};
    for (const MapType& type : kMapTypes) filters.push_back({type.filter, std::string("*") + type.extension});
    return filters;
}

std::optional<pf::MapFormat> formatOfFilter(std::size_t filter)
{
    if (filter == 0) return pf::MapFormat::Csv;
    if (filter > std::size(kMapTypes)) return std::nullopt;
    return kMapTypes[filter - 1].format;
}

SaveAsTarget saveAsTargetOf(const std::string& typed, std::optional<pf::MapFormat> chosen)
{
    const std::string extension = extensionOf(typed);
    if (extension == ".txt" || extension == ".csv") return {pf::MapFormat::Csv, typed};
    for (const MapType& type : kMapTypes) {
        if (extension == type.extension) return {type.format, typed};
    }
    const pf::MapFormat format = chosen.value_or(pf::MapFormat::Csv);
    for (const MapType& type : kMapTypes) {
        if (type.format == format) return {format, typed + type.extension};
    }
    return {pf::MapFormat::Csv, forceTxtExtension(typed)};
}

Expected<SystemId, std::string> mapSystemOf(const std::vector<LineSystem>& systems, bool openedLines)
{
    if (openedLines || systems.empty()) return unexpected(std::string(captions::kMapSystemUnknown));
    if (systems.size() > 1) {
        std::vector<std::string> names;
        for (const LineSystem& s : systems) names.push_back(systemName(s));
        return unexpected(mapSystemsMixed(names));
    }
    const LineSystem& s = systems.front();
    if (s.kind == LineSystem::Kind::Hatt) return SystemId::hatt(s.phi, s.lambda);
    if (s.kind == LineSystem::Kind::Egsa87) return SystemId::of(SystemKind::Egsa87);
    // A system of the systems dialog, by the name the window gave it
    // (lineSystemOf).
    for (const SystemInfo& info : systemTable()) {
        if (windowBook().systemName(info.kind) == s.name) return SystemId::of(info.kind);
    }
    return unexpected(std::string(captions::kMapSystemUnknown));
}

Expected<MapFile, std::string> mapFileOf(std::string panelText, const SystemId& system, pf::MapFormat format,
                                         GridSlot& grid, const MapBytes& write)
{
    if (format == pf::MapFormat::Dxf && isGeographic(system.kind)) {
        return unexpected(mapDxfNeedsPlane(windowBook().systemName(system.kind)));
    }
    // The panel's own system at both ends: the lines' coordinates pass as
    // they are, as the command line's --from S --to S takes them.
    const auto route = makeSystemRoute(system, system, grid);
    if (!route) return unexpected(route.error());
    std::optional<SystemRoute> toWgs84;
    if (placesInWgs84(format)) {
        auto hop = wgs84HopOf(system, grid);
        if (!hop) return unexpected(std::move(hop.error()));
        toWgs84 = std::move(*hop);
    }
    const MapLineConverter converter(*route, toWgs84, format, kWindowLanguage);
    MapFile file;
    file.throughWgs84Shift = toWgs84.has_value();
    const auto put = [&](std::string_view bytes) { write ? write(bytes) : void(file.bytes.append(bytes)); };
    put(pf::mapHeader(format, mapTargetOf(system)));
    // The points as the engine hands them on, the first piece without what
    // joins it to one before it.
    std::size_t skip = pf::firstPieceSkip(format);
    const LineSink sink = [&](std::string& lines) {
        const std::size_t dropped = std::min(skip, lines.size());
        put(std::string_view(lines).substr(dropped));
        skip -= dropped;
        lines.clear();
        return true;
    };
    std::string points;
    TextSource source(std::move(panelText));
    const auto run = convertList(source, converter, panelListOptions(), points, sink);
    if (!run) return unexpected(mapNotWritten(run.error()));
    sink(points);
    put(pf::mapFooter(format));
    file.points = run->records;
    return file;
}

namespace {

// The map file written into the file chosen takes its name.
bool commitMapFile(Dialogs& dialogs, const MapFile& map, files::SafeWriter& file, const std::string& path)
{
    if (auto committed = file.commit(); !committed) {
        showWarning(dialogs, windowBook().cannotWrite(shownPath(path), committed.error().code));
        return false;
    }
    dialogs.showMessage(mapWritten(map.points, map.throughWgs84Shift), windowTexts().titleInfoPlain,
                        MessageIcon::Information);
    return true;
}

} // namespace

std::optional<SavedAs> savePanelAs(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                   const PanelContents& contents, GridSlot& grid, const std::string& suggested)
{
    std::string panelText = fields.text(contents.field());
    if (!hasNonBlankLine(panelText)) {
        dialogs.showMessage(windowTexts().nothingToSave, windowTexts().titleInfoPlain, MessageIcon::Information);
        return std::nullopt;
    }
    std::optional<files::SafeWriter> file;
    const auto chosen = chooseFileToWrite(dialogs, saveAsFilters(), suggested,
                                          [](const Dialogs::ChosenSave& c) {
                                              return saveAsTargetOf(c.path, formatOfFilter(c.filter)).path;
                                          },
                                          file);
    if (!chosen) return std::nullopt;
    // The name written says its type: an extension of a known type decides.
    const SavedAs saved{chosen->path, saveAsTargetOf(chosen->path, std::nullopt).format};
    if (saved.format == pf::MapFormat::Csv) {
        if (!writeListFile(dialogs, temp, std::move(panelText), *file, saved.path, nullptr)) return std::nullopt;
        return saved;
    }
    const auto refused = [&](const std::string& why) {
        file.reset();  // the file chosen stays as it was
        showWarning(dialogs, why);
        return std::nullopt;
    };
    const auto system = mapSystemOf(contents.systems(), contents.holdsOpenedLines());
    if (!system) return refused(system.error());
    // Into the writer's temporary file, which takes the name only at its commit.
    const auto map = mapFileOf(std::move(panelText), *system, saved.format, grid,
                               [&file](std::string_view bytes) { file->write(bytes); });
    if (!map) return refused(map.error());
    if (!commitMapFile(dialogs, *map, *file, saved.path)) return std::nullopt;
    return saved;
}

} // namespace hattsheet::operations
