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

} // namespace hattsheet::pointfile
