// Where the HEPOS grid is looked for, and its installation into the
// per-user data folder (operations/systems.h).

#include "operations/systems.h"

#include "base/platform.h"
#include "base/safe_file.h"

#include <cerrno>

namespace hattsheet::operations {

namespace fs = std::filesystem;

namespace {

// The two files hold about 1.2 MB each; a file far larger is not one of them.
constexpr std::uintmax_t kLargestGridFileBytes = std::uintmax_t{16} << 20;

bool holdsGridFiles(const fs::path& folder)
{
    std::error_code ec;
    return fs::exists(folder / platform::pathFromUtf8(geodesy::kHeposEastFile), ec) ||
           fs::exists(folder / platform::pathFromUtf8(geodesy::kHeposNorthFile), ec);
}

} // namespace

fs::path userGridFolder()
{
    const fs::path data = platform::userDataFolder();
    return data.empty() ? fs::path() : data / "hepos";
}

Expected<std::shared_ptr<const geodesy::HeposGrid>, GridLookup> findHeposGrid(const fs::path& folder)
{
    fs::path place = folder;
    if (place.empty()) place = platform::pathFromEnvironment("HATTSHEET_HEPOS_GRID");
    if (place.empty()) place = userGridFolder();
    // No file of the two there: not found (the message says where to put
    // them); one or both there: read, and a missing one is named.
    if (place.empty() || !holdsGridFiles(place)) return unexpected(GridLookup{place, std::nullopt});
    auto grid = geodesy::HeposGrid::read(place);
    if (!grid) return unexpected(GridLookup{place, grid.error()});
    return std::make_shared<const geodesy::HeposGrid>(std::move(*grid));
}

Expected<fs::path, GridLookup> installHeposGrid(const fs::path& east, const fs::path& north)
{
    const fs::path target = userGridFolder();
    struct Source {
        const fs::path* path;
        std::string_view name;
        std::string bytes;
    };
    Source sources[] = {{&east, geodesy::kHeposEastFile, {}}, {&north, geodesy::kHeposNorthFile, {}}};
    for (Source& s : sources) {
        const std::string shown = platform::pathToUtf8(*s.path);
        auto bytes = files::readWholeFile(*s.path, kLargestGridFileBytes);
        if (!bytes) return unexpected(GridLookup{target, geodesy::GridFault{shown, 0, geodesy::GridProblem::Unreadable, bytes.error().code}});
        const auto parsed = geodesy::CorrectionGrid::parse(*bytes, shown);
        if (!parsed) return unexpected(GridLookup{target, parsed.error()});
        s.bytes = std::move(*bytes);
    }
    if (target.empty()) return unexpected(GridLookup{target, std::nullopt});
    // Made 0700 where missing, without following a link another user planted.
    const auto made = platform::openPrivateFolder(target, true);
    if (!made) {
        return unexpected(GridLookup{target, geodesy::GridFault{platform::pathToUtf8(target), 0,
                                                                geodesy::GridProblem::Unwritable, made.error().code}});
    }
    for (const Source& s : sources) {
        const fs::path path = target / platform::pathFromUtf8(s.name);
        files::SafeWriter writer(path);
        writer.write(s.bytes);
        const auto committed = writer.commit();
        if (!committed) {
            return unexpected(GridLookup{target, geodesy::GridFault{platform::pathToUtf8(path), 0,
                                                                    geodesy::GridProblem::Unwritable, committed.error().code}});
        }
    }
    return target;
}

} // namespace hattsheet::operations
