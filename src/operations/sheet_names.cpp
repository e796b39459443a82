#include "operations/sheet_names.h"

#include "geodesy/sheet_outline.h"
#include "operations/name_closeness.h"
#include "text/name_key.h"
#include "text/text_codec.h"

#include <algorithm>
#include <utility>

namespace hattsheet::operations {

namespace {

bool digitsOnly(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The agency number of a text of digits; -1 when it is too long to be one.
int agencyNumber(std::string_view digits)
{
    constexpr std::size_t kMostDigits = 6;
    if (digits.size() > kMostDigits) return -1;
    int n = 0;
    for (char c : digits) n = (n * 10) + (c - '0');
    return n;
}

SheetList withNumber(int number)
{
    SheetList found;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        if (sheet.agencyNumber == number) found.push_back(&sheet);
    }
    return found;
}

} // namespace

SheetList sheetsMatching(std::string_view text)
{
    if (digitsOnly(text)) return withNumber(agencyNumber(text));
    const std::string key = text::nameKey(text);
    SheetList found;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        if (text::nameKey(sheet.name).find(key) != std::string::npos ||
            text::nameKey(sheet.nameUpper).find(key) != std::string::npos) {
            found.push_back(&sheet);
        }
    }
    return found;
}

Expected<const geodesy::Sheet*, SheetNotFound> findSheet(std::string_view text)
{
    if (digitsOnly(text)) {
        SheetList numbered = withNumber(agencyNumber(text));
        if (numbered.size() == 1) return numbered.front();
        return unexpected(SheetNotFound{numbered.size() > 1, std::move(numbered), false});
    }
    const std::string key = text::nameKey(text);
    if (key.empty()) return unexpected(SheetNotFound{});
    SheetList whole, prefixed;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        const std::string keys[] = {text::nameKey(sheet.name), text::nameKey(sheet.nameUpper)};
        if (keys[0] == key || keys[1] == key) {
            whole.push_back(&sheet);
        } else if (keys[0].starts_with(key) || keys[1].starts_with(key)) {
            prefixed.push_back(&sheet);
        }
    }
    if (whole.size() == 1) return whole.front();
    if (whole.size() > 1) return unexpected(SheetNotFound{true, std::move(whole), false});
    if (prefixed.size() == 1) return prefixed.front();
    if (prefixed.size() > 1) return unexpected(SheetNotFound{true, std::move(prefixed), false});
    SheetList containing = sheetsMatching(text);
    if (!containing.empty()) return unexpected(SheetNotFound{false, std::move(containing), false});
    return unexpected(SheetNotFound{false, closestSheets(text), true});
}

SheetList closestSheets(std::string_view text)
{
    if (digitsOnly(text)) return {};
    std::size_t letters = 0;
    const std::string key = text::nameKey(text);
    for (std::size_t i = 0; i < key.size(); i += std::max<std::size_t>(1, text::readUtf8Char(key, i).length)) ++letters;
    if (letters == 0) return {};
    std::size_t nearest = closenessLimit(letters);
    SheetList found;
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        const std::size_t d = std::min(nameDistance(text, sheet.name), nameDistance(text, sheet.nameUpper));
        if (d > nearest) continue;
        // Only the nearest are offered: "Athos" gets Άθως, not every name
        // two letters from it.
        if (d < nearest) found.clear();
        nearest = d;
        found.push_back(&sheet);
    }
    return found;
}

std::string candidateList(const SheetList& sheets)
{
    std::string list;
    for (std::size_t i = 0; i < sheets.size() && i < kCandidatesShown; ++i) {
        if (i != 0) list += ", ";
        list.append(sheets[i]->name).append(" (").append(std::to_string(sheets[i]->agencyNumber)).append(")");
    }
    if (sheets.size() > kCandidatesShown) list += ", …";
    return list;
}

const geodesy::Sheet* sheetAtPlace(double phiDeg, double lambdaAthensDeg)
{
    for (const auto& sheet : geodesy::sheetCatalogue()) {
        if (geodesy::outlineHolds(sheet.outline, phiDeg, lambdaAthensDeg)) return &sheet;
    }
    return nullptr;
}

std::string centreText(const geodesy::Sheet& sheet)
{
    return std::string(sheet.phi0DegMin).append(",").append(sheet.lambda0DegMin);
}

} // namespace hattsheet::operations
