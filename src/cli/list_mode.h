#pragma once
// The command line's point-list mode: streams a list from INPUT (or stdin)
// to OUTPUT (or stdout) through the batch conversion's steps.

#include "operations/grid_operations.h"
#include "operations/single_point.h"

#include <optional>
#include <string>

namespace hattsheet::cli {

struct ListRequest {
    std::optional<std::string> input;   // empty or "-": stdin
    std::optional<std::string> output;  // empty or "-": stdout
};

// Returns the exit status: 0 done, 1 a failing record or a file that cannot
// be read or written (the message is on stderr).
int runListConversion(const geodesy::FramePair& sheets, const ListRequest& request);
// The same to or from the Greek Grid; a refused record's message says why,
// and points far outside a named sheet draw one warning with their count.
int runListConversion(const operations::GridLineConverter& converter, const ListRequest& request);

} // namespace hattsheet::cli
