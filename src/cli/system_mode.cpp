#include "cli/system_mode.h"

#include "base/platform.h"
#include "cli/cli_texts.h"
#include "cli/exit_codes.h"

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
    std::shared_ptr<const geodesy::HeposGrid> grid;
    if (ops::needsHeposGrid(request.from.kind) != ops::needsHeposGrid(request.to.kind)) {
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
