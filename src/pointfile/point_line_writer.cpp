#include "pointfile/point_line_writer.h"

#include "text/number_format.h"

#include <algorithm>

namespace hattsheet::pointfile {

namespace {

// ", " and a number in "0.000" (or with the decimals given) at p; returns the end.
char* putField(char* p, double value, int decimals = text::kCoordinateDecimals)
{
    *p++ = ',';
    *p++ = ' ';
    return text::putFixed(p, value, decimals);
}

// The line written in a buffer first, code and all when the code is short:
// one append instead of seven (appending was a large share of the command
// line's time; the figures are in the README, Development).
void appendLine(std::string& out, std::string_view code, double x, double y, const double* h, std::string_view hText,
                bool height = true, int decimals = text::kCoordinateDecimals)
{
    constexpr std::size_t kShortCode = 64;
    char line[kShortCode + 4 * (2 + text::kMaxFixedChars)];
    char* p = line;
    if (code.size() <= kShortCode) {
        p = std::copy(code.begin(), code.end(), p);
    } else {
        out.append(code);
    }
    p = putField(putField(p, x, decimals), y, decimals);
    if (!height) {
        *p++ = '\r';
        *p++ = '\n';
        out.append(line, static_cast<std::size_t>(p - line));
        return;
    }
    if (h == nullptr) {
        out.append(line, static_cast<std::size_t>(p - line));
        out.append(", ");
        out.append(hText);
        out.append("\r\n");
        return;
    }
    p = putField(p, *h);
    *p++ = '\r';
    *p++ = '\n';
    out.append(line, static_cast<std::size_t>(p - line));
}

} // namespace

void appendPointLine(std::string& out, std::string_view code, double x, double y, double h, int decimals)
{
    appendLine(out, code, x, y, &h, {}, true, decimals);
}

void appendPointLine(std::string& out, std::string_view code, double x, double y, std::string_view hText, int decimals)
{
    appendLine(out, code, x, y, nullptr, hText, true, decimals);
}

std::string codeForCommaLine(std::string_view code)
{
    if (code.find(',') == std::string_view::npos) return std::string(code);
    std::string quoted(1, '"');
    quoted.append(code);
    quoted.push_back('"');
    return quoted;
}

void appendPlanePointLine(std::string& out, std::string_view code, double x, double y, int decimals)
{
    appendLine(out, code, x, y, nullptr, {}, false, decimals);
}

} // namespace hattsheet::pointfile
