#include "operations/systems_operations.h"

#include "base/platform.h"
#include "operations/point_list.h"

namespace hattsheet::operations {

Expected<std::shared_ptr<const geodesy::HeposGrid>, GridLookup> GridSlot::gridFor(SystemKind from, SystemKind to)
{
    if (needsHeposGrid(from) == needsHeposGrid(to)) return std::shared_ptr<const geodesy::HeposGrid>();
    if (!m_grid) {
        auto found = findHeposGrid({});
        if (!found) return unexpected(found.error());
        m_grid = std::move(*found);
    }
    return m_grid;
}

Expected<SystemRoute, std::string> makeSystemRoute(const SystemId& from, const SystemId& to, GridSlot& grid,
                                                   Language language)
{
    // The grid is looked for only once both ends are known to be sound, so
    // a refused centre is said before a missing grid.
    const auto unchecked = SystemRoute::make(from, to, nullptr);
    if (!unchecked && unchecked.error().cause != RouteError::Cause::NoGrid) {
        return unexpected(routeMessage(unchecked.error(), from, to, language));
    }
    const auto found = grid.gridFor(from.kind, to.kind);
    if (!found && found.error().fault) return unexpected(messageBook(language).gridRefused(*found.error().fault));
    auto route = SystemRoute::make(from, to, found ? *found : nullptr);
    if (!route) return unexpected(routeMessage(route.error(), from, to, language));
    return std::move(*route);
}

SystemPointOutcome convertSystemPoint(const SystemId& from, const SystemId& to, GridSlot& grid, std::string_view aText,
                                      std::string_view bText, std::string_view hText)
{
    const auto route = makeSystemRoute(from, to, grid);
    if (!route) return {route.error(), {}, true};
    const auto texts = convertPointTexts(*route, aText, bText, hText);
    if (!texts) return {refusalMessage(texts.error(), *route, kWindowLanguage), {}, true};
    SystemPointOutcome outcome;
    for (const std::string& line : texts->lines) outcome.text.append(outcome.text.empty() ? "" : "\n").append(line);
    if (texts->farOutside && texts->sheet != nullptr) outcome.warning = windowBook().farOutside(1, *texts->sheet);
    return outcome;
}

std::vector<std::string> coordinateNameList(SystemKind kind)
{
    // "φ, λ (μοίρες), h (m, γεωμετρικό)": the names are the pieces between
    // the commas outside brackets, each up to its first space.
    const std::string words = windowBook().coordinateNames(kind);
    std::vector<std::string> names(1);
    int depth = 0;
    bool inName = true;
    for (const char c : words) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            names.emplace_back();
            inName = true;
        } else if (c == ' ') {
            inName = names.back().empty();
        } else if (inName && depth == 0) {
            names.back().push_back(c);
        }
    }
    return names;
}

std::string routeAccuracy(SystemKind from, SystemKind to)
{
    if (isOldDatum(from) && isOldDatum(to)) return captions::kAccuracySameDatum;
    const MessageBook& book = windowBook();
    std::string text = captions::kAccuracyHead;
    // ΕΓΣΑ87 itself adds nothing; the same system twice is said once.
    std::vector<SystemKind> ends;
    for (const SystemKind kind : {from, to}) {
        if (kind != SystemKind::Egsa87 && (ends.empty() || ends.back() != kind)) ends.push_back(kind);
    }
    if (ends.empty()) return text + book.accuracyToEgsa87(SystemKind::Egsa87);
    for (std::size_t i = 0; i < ends.size(); ++i) {
        if (i != 0) text.append("; ");
        text.append(book.systemName(ends[i])).append(": ").append(book.accuracyToEgsa87(ends[i]));
    }
    return text;
}

unsigned long long convertListBetweenSystems(Fields& fields, Dialogs& dialogs, const TempPlaces& temp,
                                             const SystemId& from, const SystemId& to, GridSlot& grid)
{
    std::string list = fields.text(FieldId::File1);
    if (list.find_first_not_of(' ') == std::string::npos) {
        showWarning(dialogs, windowTexts().noList);
        return 0;
    }
    const auto route = makeSystemRoute(from, to, grid);
    if (!route) {
        showWarning(dialogs, route.error());
        return 0;
    }
    return runBatch(fields, dialogs, temp, std::move(list), SystemLineConverter(*route, kWindowLanguage));
}

bool installGridFiles(Dialogs& dialogs)
{
    const std::vector<FileFilter> filters{{captions::kGridFilter, "*.grd"}, {windowTexts().filterAll, "*"}};
    const auto east = dialogs.chooseOpenFile(captions::kGridEastTitle, filters);
    if (!east) return false;
    const auto north = dialogs.chooseOpenFile(captions::kGridNorthTitle, filters);
    if (!north) return false;
    const auto installed = installHeposGrid(platform::pathFromUtf8(*east), platform::pathFromUtf8(*north));
    if (!installed) {
        const auto& fault = installed.error().fault;
        showWarning(dialogs, fault ? windowBook().gridRefused(*fault) : std::string(captions::kNoUserFolder));
        return false;
    }
    dialogs.showMessage(windowBook().gridInstalled(platform::pathToUtf8(*installed)), windowTexts().titleInfo,
                        MessageIcon::Information);
    return true;
}

LineSystem lineSystemOf(const SystemId& to)
{
    if (to.kind == SystemKind::Hatt) return LineSystem{LineSystem::Kind::Hatt, to.phiText, to.lambdaText, {}};
    if (to.kind == SystemKind::Egsa87) return LineSystem{};
    return LineSystem{LineSystem::Kind::Other, {}, {}, windowBook().systemName(to.kind)};
}

} // namespace hattsheet::operations
