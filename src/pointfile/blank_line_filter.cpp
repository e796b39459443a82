#include "pointfile/blank_line_filter.h"

namespace hattsheet::pointfile {

std::string dropBlankLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    BlankLineFilter filter;
    filter.feed(text, out);
    filter.finish(out);
    return out;
}

KeptLines keptLinesWithNumbers(std::string_view text)
{
    KeptLines kept;
    kept.text.reserve(text.size() + text.size() / 16);
    BlankLineFilter filter;
    const auto track = [&](unsigned long long n) { kept.lineNumbers.push_back(n); };
    filter.feed(text, kept.text, track);
    filter.finish(kept.text, track);
    return kept;
}

} // namespace hattsheet::pointfile
