// The blank-line filter of writePanelToFile on arbitrary bytes, fed whole and
// in pieces. The first two bytes choose the two cuts between the pieces.
//
// Properties:
// - the output equals a plain reference: trim the spaces at the very ends of
//   the whole text, split it at CR LF, CR and LF, keep the lines holding a
//   character other than a space, a tab, a comma or a semicolon (a row of
//   separators only, as spreadsheets write for empty rows, is blank), end
//   each with CR LF;
// - feeding the text in three pieces (cuts anywhere, also between CR and LF)
//   gives the same bytes, and the kept line numbers are those of the input;
// - the output has no blank line, no lone CR or LF, and filtering it again
//   changes nothing but the first line's leading spaces.

#include "pointfile/blank_line_filter.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using hattsheet::fuzz::require;

namespace {

struct Reference {
    std::string out;
    std::vector<unsigned long long> kept;  // 1-based input line numbers
};

Reference reference(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    const std::size_t end = text.find_last_not_of(' ') + 1;
    // Spaces removed at the very beginning may hold no line end, so the line
    // numbers count from the input's first line.
    const std::string_view body = text.substr(begin, end - begin);
    Reference ref;
    unsigned long long number = 1;
    std::size_t i = 0;
    while (true) {
        std::size_t j = i;
        while (j < body.size() && body[j] != '\r' && body[j] != '\n') ++j;
        const std::string_view line = body.substr(i, j - i);
        if (line.find_first_not_of(" \t,;") != std::string_view::npos) {
            ref.out.append(line).append("\r\n");
            ref.kept.push_back(number);
        }
        if (j == body.size()) break;
        i = j + ((body[j] == '\r' && j + 1 < body.size() && body[j + 1] == '\n') ? 2 : 1);
        ++number;
        if (i == body.size()) break;
    }
    return ref;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::size_t cut1 = text.empty() ? 0 : data[0] % (text.size() + 1);
    std::size_t cut2 = text.empty() ? 0 : data[1] % (text.size() + 1);
    if (cut1 > cut2) std::swap(cut1, cut2);

    const Reference ref = reference(text);
    const std::string whole = hattsheet::pointfile::dropBlankLines(text);
    require(whole == ref.out, "the filter drops exactly the blank lines", text);

    hattsheet::pointfile::BlankLineFilter filter;
    std::string pieces;
    std::vector<unsigned long long> kept;
    auto onLine = [&](unsigned long long n) { kept.push_back(n); };
    filter.feed(text.substr(0, cut1), pieces, onLine);
    filter.feed(text.substr(cut1, cut2 - cut1), pieces, onLine);
    filter.feed(text.substr(cut2), pieces, onLine);
    filter.finish(pieces, onLine);
    require(pieces == whole, "pieces give the same bytes as the whole", text);
    require(kept == ref.kept, "kept lines carry their input line numbers", text);

    for (std::size_t i = 0; i < whole.size();) {
        const std::size_t crlf = whole.find("\r\n", i);
        require(crlf != std::string::npos, "every line ends with CR LF", whole);
        const std::string_view line = std::string_view(whole).substr(i, crlf - i);
        require(line.find_first_of("\r\n") == std::string_view::npos, "no lone CR or LF", whole);
        require(line.find_first_not_of(" \t,;") != std::string_view::npos, "no blank line", whole);
        i = crlf + 2;
    }
    // Filtering again only takes the first line's leading spaces, since the
    // whole text is trimmed once at its very beginning.
    const std::size_t lead = std::min(whole.find_first_not_of(' '), whole.size());
    require(hattsheet::pointfile::dropBlankLines(whole) == whole.substr(lead), "filtering twice changes nothing else",
            whole);
    return 0;
}
