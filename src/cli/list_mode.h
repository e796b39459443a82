#pragma once
// The command line's point-list mode: streams a list from INPUT (or stdin)
// to OUTPUT (or stdout) through the batch conversion's steps.

#include "geodesy/hatt_conversion.h"
#include "operations/list_engine.h"
#include "operations/message_book.h"
#include "pointfile/map_formats.h"

#include <optional>
#include <string>

namespace hattsheet::cli {

struct ListRequest {
    std::optional<std::string> input;   // empty or "-": stdin
    std::optional<std::string> output;  // empty or "-": stdout
    // Comma records that do not sit one per line are converted as the
    // window's batch reads them (one warning); else such a record fails.
    bool recordsAcrossLines = false;
    // The lines written in the layout the list was read in (separator,
    // decimal mark, its header line first), and that layout said on stderr;
    // else in today's comma layout.
    bool keepLayout = false;
    // The list as a map file (--format, or OUTPUT's extension) instead of
    // comma lines: cli/system_mode.cpp converts it, and sets its frame.
    pointfile::MapFormat format = pointfile::MapFormat::Csv;
    struct MapFrame {
        std::string header;           // before the first point
        std::string footer;           // after the last, when the list converted whole
        std::size_t firstSkip = 0;    // bytes the first point's piece drops (pointfile::firstPieceSkip)
    };
    std::optional<MapFrame> frame;
};

// The layout of the list is recognised from its first block (1 MiB, the
// whole of most lists; pointfile/point_layout.h), and said on stderr when it
// is not today's comma layout. A later line that does not fit it is a
// failing record, whose message says where the layout came from.
// Returns the exit status: 0 done, 1 a failing record or a file that cannot
// be read or written (the message is on stderr, in the language given).
int runListConversion(const geodesy::HattConversion& sheets, const ListRequest& request, operations::Language language);
// The same through any converter: to or from the Greek Grid
// (Egsa87LineConverter; a refused record's message says why, and points far
// outside a named sheet draw one warning with their count), between any two
// systems (SystemLineConverter), into a map format framed by request.frame
// (MapLineConverter), through a saved plane fit (cli/fit_mode.cpp).
int runListConversion(const operations::PointConverter& converter, const ListRequest& request,
                      operations::Language language);

} // namespace hattsheet::cli
