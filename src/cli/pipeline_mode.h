#pragma once
// hattsheet-convert --proj-pipeline: the PROJ pipeline of a --from/--to
// route (operations/proj_pipeline.h) on stdout instead of a conversion, its
// notes on stderr.

#include "cli/system_mode.h"
#include "operations/systems.h"

namespace hattsheet::cli {

// Prints the pipeline, one line; the exit status: 0 printed, 2 a route
// with none (a refused Hatt end as a conversion refuses it, a route that
// needs each point's sheet, the HEPOS grid without approximate).
int printProjPipeline(const operations::SystemId& from, const operations::SystemId& to, bool approximate,
                      const RouteRefusal& routeRefusal);

} // namespace hattsheet::cli
