#include "cli/system_mode.h"

#include "base/platform.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "operations/map_converter.h"
#include "operations/systems.h"
#include "pointfile/map_formats.h"

#include <cstdio>

namespace hattsheet::cli {

namespace ops = hattsheet::operations;

namespace {

// The HEPOS grid where the run looks for it; an absent or refused grid is
// said, never replaced by the Helmert step alone.
std::optional<std::shared_ptr<const geodesy::HeposGrid>> gridOfRun(const SystemRequest& request)
{
    const auto grid = ops::findHeposGrid(request.heposGrid ? platform::pathFromUtf8(*request.heposGrid)
                                                           : std::filesystem::path());
    if (grid) return *grid;
    if (grid.error().fault) {
        say(book().gridRefused(*grid.error().fault));
    } else {
        say(book().gridNotFound(platform::pathToUtf8(grid.error().folder)));
    }
    return std::nullopt;
}

// Whether the map format places points on the globe (KML, GeoJSON, GPX):
// they need the route from the target to WGS84; DXF draws the target's own.
bool placesInWgs84(pointfile::MapFormat format)
{
    return format != pointfile::MapFormat::Csv && format != pointfile::MapFormat::Dxf;
}

// A list into a map format: the route to WGS84 beside the conversion's,
// the file framed by its header and footer.
int runMapList(const ops::SystemRoute& route, const SystemRequest& request,
               std::shared_ptr<const geodesy::HeposGrid> grid, const RouteRefusal& routeRefusal)
{
    std::optional<ops::SystemRoute> toWgs84;
    if (placesInWgs84(request.list.format)) {
        auto hop = ops::wgs84RouteOf(request.to, std::move(grid));
        if (!hop) {
            say(routeRefusal(hop.error()));
            return kExitRefused;
        }
        toWgs84 = std::move(*hop);
        if (!route.approximate() && toWgs84) say(book().wgs84Accuracy());
    }
    const ops::MapLineConverter converter(route, toWgs84, request.list.format, messageLanguage());
    ListRequest list = request.list;
    const pointfile::MapTarget target = ops::mapTargetOf(request.to);
    list.frame = ListRequest::MapFrame{pointfile::mapHeader(list.format, target), pointfile::mapFooter(list.format),
                                       pointfile::firstPieceSkip(list.format)};
    return runListConversion(converter, list, messageLanguage());
}

int printLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines) out.append(line).append("\n");
    std::fputs(out.c_str(), stdout);
    return finishStdout();
}

} // namespace

int runSystemConversion(const SystemRequest& request, const RouteRefusal& routeRefusal)
{
    const pointfile::MapFormat format = request.point ? pointfile::MapFormat::Csv : request.list.format;
    if (format == pointfile::MapFormat::Dxf && ops::isGeographic(request.to.kind)) {
        say(book().dxfNeedsPlane(request.to.kind));
        say(book().seeHelp());
        return kExitUsage;
    }
    std::shared_ptr<const geodesy::HeposGrid> grid;
    if (ops::needsHeposGrid(request.from.kind) != ops::needsHeposGrid(request.to.kind) ||
        (placesInWgs84(format) && ops::needsHeposGrid(request.to.kind))) {
        auto found = gridOfRun(request);
        if (!found) return kExitRefused;
        grid = std::move(*found);
    }
    const auto route = ops::SystemRoute::make(request.from, request.to, grid);
    if (!route) {
        say(routeRefusal(route.error()));
        return kExitRefused;
    }
    if (route->approximate()) say(book().wgs84Accuracy());
    if (format != pointfile::MapFormat::Csv) return runMapList(*route, request, grid, routeRefusal);
    if (!request.point) {
        const ops::SystemLineConverter converter(*route, messageLanguage());
        return runListConversion(converter, request.list, messageLanguage());
    }
    const auto texts = ops::convertPointTexts(*route, request.point->first, request.point->second, request.height);
    if (!texts) {
        say(ops::refusalMessage(texts.error(), *route, messageLanguage()));
        return kExitRefused;
    }
    if (texts->farOutside) say(book().farOutside(1, *texts->sheet));
    return printLines(texts->lines);
}

int listSystems()
{
    std::vector<std::string> lines;
    const auto row = [&](ops::SystemKind kind, std::string_view id, const std::string& aliases) {
        lines.push_back(std::string(id) + "\t" + aliases + "\t" + book().systemName(kind) + "\t" +
                        book().coordinateNames(kind) + "\t" + book().accuracyToEgsa87(kind));
    };
    row(ops::SystemKind::Hatt, "PHI,DL", "NAME, NUMBER");
    for (const ops::SystemInfo& info : ops::systemTable()) {
        std::string aliases;
        for (const std::string_view alias : info.aliases) aliases.append(aliases.empty() ? "" : ", ").append(alias);
        if (info.kind == ops::SystemKind::Egsa87) aliases.append(", ΕΓΣΑ87");
        row(info.kind, info.id, aliases.empty() ? "-" : aliases);
    }
    return printLines(lines);
}

} // namespace hattsheet::cli
