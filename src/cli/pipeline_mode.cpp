#include "cli/pipeline_mode.h"

#include "cli/cli_texts.h"
#include "cli/exit_codes.h"
#include "operations/proj_pipeline.h"

#include <cstdio>

namespace hattsheet::cli {

namespace ops = hattsheet::operations;

namespace {

std::string refusalText(const ops::PipelineRefusal& refusal, const RouteRefusal& routeRefusal)
{
    const char* option = refusal.side == ops::Side::From ? "--from" : "--to";
    switch (refusal.cause) {
    case ops::PipelineRefusal::Cause::Route: return routeRefusal(refusal.route);
    case ops::PipelineRefusal::Cause::SheetPerPoint: return book().pipelineNeedsSheet(option, refusal.sheets);
    case ops::PipelineRefusal::Cause::Tm3PerPoint: return book().pipelineTm3PerPoint(option);
    case ops::PipelineRefusal::Cause::HeposGrid: return book().pipelineNeedsGrid();
    }
    return {};
}

std::string noteText(ops::PipelineNote note, const ops::ProjPipeline& pipeline)
{
    switch (note) {
    case ops::PipelineNote::AeqdNotSeries: return book().pipelineAeqdNote();
    case ops::PipelineNote::SheetEverywhere: return book().pipelineSheetNote(*pipeline.sheet);
    case ops::PipelineNote::Wgs84: return book().wgs84Accuracy();
    case ops::PipelineNote::WithoutGrid: return book().pipelineWithoutGridNote();
    }
    return {};
}

} // namespace

int printProjPipeline(const ops::SystemId& from, const ops::SystemId& to, bool approximate,
                      const RouteRefusal& routeRefusal)
{
    const auto pipeline = ops::projPipeline(from, to, approximate);
    if (!pipeline) {
        say(refusalText(pipeline.error(), routeRefusal));
        return kExitRefused;
    }
    for (const ops::PipelineNote note : pipeline->notes) say(noteText(note, *pipeline));
    std::fputs((pipeline->text + "\n").c_str(), stdout);
    return finishStdout();
}

} // namespace hattsheet::cli
