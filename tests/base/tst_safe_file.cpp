// The safe writer, the whole-file reader and the fixed-name writer fail with
// the data a message needs: the system's errno (or the program's own code)
// and the name the user gave, in UTF-8, never a temporary name or a folder
// the lookup reached. Expected codes are the system's own for each case
// (Windows maps its errors to the same errno values); the limit rows sit at
// the byte where a file stops being accepted. Plain C++: runs in the Linux
// suite and, built with mingw, under wine (tests/windows).

#include "base/platform.h"
#include "base/safe_file.h"
#include "plain_table.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;
namespace files = hattsheet::files;
namespace sys = hattsheet::platform;
using hattsheet::SystemError;

namespace {

using plain_table::check;
using plain_table::kWindows;

// What a row does: save through SafeWriter, read whole up to a limit,
// replace a fixed name (the by-products' way).
enum class Way { Save, Read, Fixed };
// What stands at the name beforehand. FolderAtCommit: nothing, until a
// folder is made there between the writes and the commit, so that the
// commit's rename fails after the temporary file took a name of its own.
enum class Place { Nothing, MissingFolder, Folder, TenBytes, Fifo, FolderAtCommit };

struct Row {
    const char* name;
    Way way;
    Place place;
    std::uintmax_t limit;  // bytes, for Read
    int code;              // 0: it succeeds
    bool posixOnly;
};

const std::string kLeaf = "Σημεία.txt";
const std::string kBytes = "0123456789";

// The row's name, with what it needs in place.
fs::path prepare(const Row& row, const fs::path& scratch)
{
    const fs::path folder = scratch / (row.place == Place::MissingFolder ? "absent" : "present");
    if (row.place != Place::MissingFolder) fs::create_directory(folder);
    const fs::path path = folder / sys::pathFromUtf8(kLeaf);
    if (row.place == Place::Folder) fs::create_directory(path);
    if (row.place == Place::TenBytes) std::ofstream(path, std::ios::binary) << kBytes;
#ifndef _WIN32
    if (row.place == Place::Fifo) ::mkfifo(path.c_str(), 0600);
#endif
    return path;
}

// The row's outcome: its error, or none.
std::optional<SystemError> attempt(const Row& row, const fs::path& path)
{
    if (row.way == Way::Read) {
        const auto read = files::readWholeFile(path, row.limit);
        if (read) check(*read == kBytes, row.name, "read " + *read);
        return read ? std::nullopt : std::optional(read.error());
    }
    if (row.way == Way::Fixed) {
        auto folder = files::privateFolder(path.parent_path(), {});
        if (!folder) return folder.error();
        const auto written = files::replaceFixedName(*folder, kLeaf, kBytes);
        return written ? std::nullopt : std::optional(written.error());
    }
    files::SafeWriter writer(path);
    writer.write(kBytes);
    if (row.place == Place::FolderAtCommit) fs::create_directory(path);
    const auto before = writer.state();
    const auto committed = writer.commit();
    if (!before) {
        check(!committed && committed.error().code == before.error().code, row.name,
              "the commit forgot the open's failure");
    }
    return committed ? std::nullopt : std::optional(committed.error());
}

void runRow(const Row& row, const fs::path& scratch)
{
    if (row.posixOnly && kWindows) return;
    const fs::path path = prepare(row, scratch);
    const std::optional<SystemError> error = attempt(row, path);
    const int code = error ? error->code : 0;
    check(code == row.code, row.name, "code " + std::to_string(code) + ", expected " + std::to_string(row.code));
    // The by-products' folder that is missing is named itself.
    const bool folderNamed = row.way == Way::Fixed && row.place == Place::MissingFolder;
    if (error) check(error->path == sys::pathToUtf8(folderNamed ? path.parent_path() : path), row.name, "names " + error->path);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(path.parent_path(), ec))
        check(entry.path() == path, row.name, "left " + sys::pathToUtf8(entry.path().filename()));
    if (row.code == 0 && row.way != Way::Read) {
        std::ifstream in(path, std::ios::binary);
        const std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        check(back == kBytes, row.name, "wrote " + back);
    }
    if (row.code != 0 && row.place == Place::TenBytes) check(fs::file_size(path, ec) == kBytes.size(), row.name, "changed");
    fs::remove_all(path.parent_path(), ec);
}

} // namespace

int main()
{
    const Row rows[] = {
        {"save into a missing folder", Way::Save, Place::MissingFolder, 0, ENOENT, false},
        {"save onto a folder", Way::Save, Place::Folder, 0, EISDIR, false},
        {"save replaces a file", Way::Save, Place::TenBytes, 0, 0, false},
        {"read from a missing folder", Way::Read, Place::MissingFolder, 100, ENOENT, false},
        {"read a folder", Way::Read, Place::Folder, 100, EISDIR, false},
        {"read a FIFO", Way::Read, Place::Fifo, 100, sys::kNotRegularFile, true},
        {"read a file of exactly the limit", Way::Read, Place::TenBytes, 10, 0, false},
        {"read a file one byte over the limit", Way::Read, Place::TenBytes, 9, EFBIG, false},
        {"fixed name in a missing folder", Way::Fixed, Place::MissingFolder, 0, ENOENT, false},
        {"fixed name where a folder stands", Way::Fixed, Place::Folder, 0, EISDIR, false},
        {"fixed name replaces a file", Way::Fixed, Place::TenBytes, 0, 0, false},
        // The temporary file is named by then; the writer removes it when it goes.
        {"save whose rename fails leaves no temporary file", Way::Save, Place::FolderAtCommit, 0, EISDIR, true},
    };
    const fs::path scratch = fs::temp_directory_path() / ("hattsheet-safe-file-" + std::to_string(std::random_device()()));
    fs::create_directory(scratch);
    for (const Row& row : rows) runRow(row, scratch);
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return plain_table::finish();
}
