#pragma once
// The command line's point-list mode: streams a list from INPUT (or stdin)
// to OUTPUT (or stdout) through the batch conversion's steps.

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
int runListConversion(const geodesy::SheetPair& sheets, const ListRequest& request);

} // namespace hattsheet::cli
