#include "operations/system_kind.h"

#include "text/name_key.h"

#include <string>

namespace hattsheet::operations {

namespace {

// The key a system's name is compared by: text::nameKey of each piece
// between the signs "-", "+" and ":", which are kept (nameKey drops them,
// and "tm3:-3" is not "tm3:3"), and the Latin letters nameKey keeps turned
// into the Greek ones typed for them, so "egsa87" and "ΕΓΣΑ87" meet.
std::string systemKey(std::string_view text)
{
    std::string key;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t sign = text.find_first_of("-+:", start);
        const std::size_t end = sign == std::string_view::npos ? text.size() : sign;
        for (const char c : text::nameKey(text.substr(start, end - start))) {
            switch (c) {
            case 'g': key += "γ"; break;
            case 's': key += "σ"; break;
            case 'd': key += "δ"; break;
            case 'l': key += "λ"; break;
            case 'r': key += "ρ"; break;
            case 'f': key += "φ"; break;
            case 'w': key += "ω"; break;
            default: key += c;
            }
        }
        if (end == text.size()) break;
        key += text[end];
        start = end + 1;
    }
    return key;
}

} // namespace

const std::vector<SystemInfo>& systemTable()
{
    static const std::vector<SystemInfo> table = {
        {SystemKind::Egsa87, "egsa87", {"tm87"}},
        {SystemKind::Egsa87Geographic, "egsa87-geo", {}},
        {SystemKind::Tm07, "tm07", {}},
        {SystemKind::Htrs07, "htrs07", {}},
        {SystemKind::Wgs84, "wgs84", {}},
        {SystemKind::Tm3West, "tm3-west", {"tm3:-3"}},
        {SystemKind::Tm3Central, "tm3-central", {"tm3:0"}},
        {SystemKind::Tm3East, "tm3-east", {"tm3:3", "tm3:+3"}},
    };
    return table;
}

const SystemInfo& systemInfo(SystemKind kind)
{
    for (const SystemInfo& info : systemTable()) {
        if (info.kind == kind) return info;
    }
    static const SystemInfo hatt{SystemKind::Hatt, "PHI,DL", {}};
    return hatt;
}

std::optional<SystemKind> systemNamed(std::string_view text)
{
    const std::string key = systemKey(text);
    for (const SystemInfo& info : systemTable()) {
        if (key == systemKey(info.id)) return info.kind;
        for (const std::string_view alias : info.aliases) {
            if (key == systemKey(alias)) return info.kind;
        }
    }
    return std::nullopt;
}

bool isGeographic(SystemKind kind)
{
    return kind == SystemKind::Egsa87Geographic || kind == SystemKind::Htrs07 || kind == SystemKind::Wgs84;
}

bool isOldDatum(SystemKind kind)
{
    return kind == SystemKind::Hatt || kind == SystemKind::Tm3West || kind == SystemKind::Tm3Central ||
           kind == SystemKind::Tm3East;
}

bool needsHeposGrid(SystemKind kind) { return kind == SystemKind::Tm07 || kind == SystemKind::Htrs07; }

bool isApproximate(SystemKind kind) { return kind == SystemKind::Wgs84; }

} // namespace hattsheet::operations
