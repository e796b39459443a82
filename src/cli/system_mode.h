#pragma once
// hattsheet-convert between any two systems (operations/systems.h): one
// point or a list, the HEPOS grid where the run looks for it, and
// --systems.

#include "cli/list_mode.h"
#include "operations/systems.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace hattsheet::cli {

struct SystemRequest {
    operations::SystemId from, to;
    std::optional<std::pair<std::string, std::string>> point;  // A, B texts in the from-system's order
    std::string height;                                        // --point's H text ("" for none)
    std::optional<std::string> heposGrid;                      // --hepos-grid FOLDER (UTF-8)
    ListRequest list;
};

// The words of a refused route (a Hatt end's centre or sheets), which only
// the arguments' reader can give with the option and text the user typed.
using RouteRefusal = std::function<std::string(const operations::RouteError&)>;

// Runs the request; the exit status: 0 done, 1 a failing record or a file,
// 2 a refused route, point or grid (absent or damaged).
int runSystemConversion(const SystemRequest& request, const RouteRefusal& routeRefusal);
// --systems: id, other spellings, name, coordinates, accuracy to ΕΓΣΑ87, one per line.
int listSystems();

} // namespace hattsheet::cli
