#include "list_mode.h"

#include <cstdio>

namespace hattsheet::cli {

int runListConversion(const conversion::SheetPair&, const ListRequest&)
{
    std::fputs("hattsheet-convert: point lists are not available yet\n", stderr);
    return 1;
}

} // namespace hattsheet::cli
