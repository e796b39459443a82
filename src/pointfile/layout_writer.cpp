#include "pointfile/layout_writer.h"

#include <algorithm>

namespace hattsheet::pointfile {

namespace {

constexpr std::string_view kWrittenSeparator = ", ";

// A number as the writer writes it in "0.000": a sign, digits, a point,
// digits.
bool isWrittenNumber(std::string_view s)
{
    if (!s.empty() && s.front() == '-') s.remove_prefix(1);
    const std::size_t point = s.find('.');
    const auto digits = [](std::string_view d) {
        return !d.empty() && std::all_of(d.begin(), d.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return point != std::string_view::npos && digits(s.substr(0, point)) && digits(s.substr(point + 1));
}

char separatorChar(Separator separator)
{
    switch (separator) {
    case Separator::Semicolon: return ';';
    case Separator::Tab: return '\t';
    case Separator::Spaces: return ' ';
    case Separator::Comma: break;
    }
    return ',';
}

// One point line (without CR LF) in the layout; false when it is not one.
bool appendLine(std::string& out, std::string_view line, const PointLayout& layout)
{
    const std::size_t numbers = layout.height ? 3 : 2;
    std::string_view parts[3];
    std::string_view code = line;
    for (std::size_t i = numbers; i-- > 0;) {
        const std::size_t at = code.rfind(kWrittenSeparator);
        if (at == std::string_view::npos) return false;
        parts[i] = code.substr(at + kWrittenSeparator.size());
        code = code.substr(0, at);
        if (!isWrittenNumber(parts[i])) return false;
    }
    // The quotes the comma layout put around a code with a comma.
    if (code.size() >= 2 && code.front() == '"' && code.back() == '"' && code.find(',') != std::string_view::npos) {
        code = code.substr(1, code.size() - 2);
    }
    const char sep = separatorChar(layout.separator);
    if (code.find_first_of(std::string{sep, '"'}) != std::string_view::npos) {
        out.append(1, '"').append(code).append(1, '"');
    } else {
        out.append(code);
    }
    for (std::size_t i = 0; i < numbers; ++i) {
        out.push_back(sep);
        const std::size_t start = out.size();
        out.append(parts[i]);
        if (layout.decimal == DecimalMark::Comma) std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '.', ',');
    }
    out.append("\r\n");
    return true;
}

} // namespace

void appendInLayout(std::string& out, std::string_view written, const PointLayout& layout)
{
    if (layout.separator == Separator::Comma) {
        out.append(written);
        return;
    }
    for (std::size_t p = 0; p < written.size();) {
        const std::size_t lf = written.find('\n', p);
        const std::size_t next = lf == std::string_view::npos ? written.size() : lf + 1;
        std::string_view line = written.substr(p, next - p);
        std::string_view bare = line;
        while (!bare.empty() && (bare.back() == '\n' || bare.back() == '\r')) bare.remove_suffix(1);
        if (!appendLine(out, bare, layout)) out.append(line);
        p = next;
    }
}

} // namespace hattsheet::pointfile
