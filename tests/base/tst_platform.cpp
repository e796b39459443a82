// The platform layer's file operations, row by row, the way the file layer
// uses them to save: a private file in the target's folder, written in
// binary, flushed, given the old file's owner and mode, then put in the
// target's place – twice, since the second save finds the first one's file
// (Windows' rename refuses to replace it); and Windows' device names. Plain C++: runs in the Linux
// suite and, built with mingw, under wine (tests/windows).

#include "base/platform.h"
#include "plain_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
namespace sys = hattsheet::platform;

namespace {

using plain_table::check;
using plain_table::kWindows;

enum class Before { Nothing, File, ReadOnlyFile, Folder };

struct Row {
    const char* name;
    std::string leaf;    // the target's name (UTF-8)
    bool folderMissing;  // the target's folder does not exist
    Before before;       // what is at the target beforehand
    int open;            // errno of openWriteTarget (EACCES for a read-only file unless privileged)
    int replace;         // errno of commitTemp onto the target
};

int codeOf(const hattsheet::Expected<hattsheet::Done, hattsheet::SystemError>& r) { return r ? 0 : r.error().code; }

// The file's bytes through the platform's own reader, "?" when it cannot.
std::string readBack(const fs::path& path)
{
    const auto opened = sys::openForReading(path);
    if (!opened) return "?";
    std::string bytes;
    char buffer[4096];
    for (hattsheet::Expected<std::size_t, hattsheet::SystemError> n = 0; (n = sys::readSome(opened->fd.get(), buffer, sizeof buffer)) && *n > 0;)
        bytes.append(buffer, *n);
    return bytes;
}

// One save of bytes onto target as the file layer does it; the errno of
// the step that failed, the row's expectations checked on the way.
int save(const Row& row, const fs::path& target, const std::string& bytes, int open)
{
    auto t = sys::openWriteTarget(target);
    check((t ? 0 : t.error().code) == open, row.name, "open: " + std::to_string(t ? 0 : t.error().code));
    if (!t) return t.error().code;
    if (t->inPlace.valid()) return codeOf(sys::writeAll(t->inPlace.get(), bytes));
    auto temp = sys::createTemp(*t);
    check(temp.hasValue(), row.name, "create");
    if (!temp) return temp.error().code;
    check(sys::writeAll(temp->fd.get(), bytes) && sys::keepAttributes(*temp, *t), row.name,
          "write, owner and mode");
    const int replaced = codeOf(sys::commitTemp(*temp, *t));
    check(replaced == row.replace, row.name, "replace: " + std::string(std::strerror(replaced)));
    if (replaced != 0) sys::discardTemp(*temp, *t);
    return replaced;
}

void runRow(const Row& row, const fs::path& scratch)
{
    const fs::path folder = scratch / (row.folderMissing ? "absent" : "present");
    if (!row.folderMissing) fs::create_directory(folder);
    const fs::path target = folder / sys::pathFromUtf8(row.leaf);
    const std::string old = "old line\r\n";
    bool privileged = false;
    if (row.before == Before::Folder) fs::create_directory(target);
    if (row.before == Before::File || row.before == Before::ReadOnlyFile) std::ofstream(target, std::ios::binary) << old;
    if (row.before == Before::ReadOnlyFile) {
        fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
#ifndef _WIN32
        // Root may still write it on POSIX and is not refused; on Windows
        // the read-only attribute holds for everyone.
        privileged = std::ofstream(target, std::ios::app).is_open();
#endif
    }

    const int open = privileged ? 0 : row.open;
    if (kWindows && row.leaf == "NUL") {
        // Written in place: no file appears.
        check(save(row, target, "gone\r\n", open) == 0, row.name, "written");
        check(fs::is_empty(folder), row.name, "a file appeared");
    } else if (save(row, target, "first\r\nsave\r\n", open) == 0) {
        check(readBack(target) == "first\r\nsave\r\n", row.name, "first save: " + readBack(target));
        save(row, target, "second save\n", open);
        check(readBack(target) == "second save\n", row.name, "second save: " + readBack(target));
        int entries = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            ++entries;
            check(sys::pathToUtf8(entry.path().filename()) == row.leaf, row.name,
                  "listed as " + sys::pathToUtf8(entry.path().filename()));
        }
        check(entries == 1, row.name, std::to_string(entries) + " files in the folder");
    }
    if (row.before == Before::ReadOnlyFile && !privileged) {
        check(readBack(target) == old, row.name, "the read-only file changed");
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    }
    fs::remove_all(folder);
}

// A named temporary file (file systems without unnamed ones) goes when
// SIGINT, SIGTERM, SIGHUP or SIGPIPE ends the program, which still ends
// by that signal; a file that took its name stays.
void signalsLeaveNothing(const fs::path& scratch)
{
#ifndef _WIN32
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        const std::string row = "killed by signal " + std::to_string(signal);
        const fs::path folder = scratch / "signals";
        fs::create_directory(folder);
        const pid_t child = ::fork();
        if (child == 0) {
            auto t = sys::openFolder(folder);
            if (!t) ::_exit(2);
            t->leaf = "kept.txt";
            auto kept = sys::createTemp(*t, true);
            if (!kept || !sys::commitTemp(*kept, *t)) ::_exit(3);
            auto temp = sys::createTemp(*t, true);
            if (!temp || temp->name.empty() || !sys::writeAll(temp->fd.get(), "part of a list\r\n")) ::_exit(4);
            ::raise(signal);
            ::_exit(5);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        check(WIFSIGNALED(status) && WTERMSIG(status) == signal, row, "status " + std::to_string(status));
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
        check(left == std::vector<std::string>{"kept.txt"}, row, std::to_string(left.size()) + " files left");
        fs::remove_all(folder);
    }
#else
    (void)scratch;
#endif
}

// The signal handler's table holds kMostPendingNames names. One more named
// file, made by createTemp or by the commit of an unnamed one onto an old
// file, is refused with EMFILE and leaves nothing behind, where it once was
// kept unwatched (left over when a signal came); a slot a discard frees is
// taken again.
void fullCleanupTableRefuses(const fs::path& scratch)
{
#ifndef _WIN32
    const std::string row = "more named temporary files than the clean-up table holds";
    const fs::path folder = scratch / "full";
    fs::create_directory(folder);
    std::ofstream(folder / "old.txt", std::ios::binary) << "old line\r\n";
    auto t = sys::openWriteTarget(folder / "old.txt");
    check(t.hasValue() && t->old.valid(), row, "open");
    if (!t) return;
    auto unnamed = sys::createTemp(*t);
    std::vector<sys::TempFile> held;
    for (int i = 0; i < sys::kMostPendingNames; ++i) {
        auto temp = sys::createTemp(*t, true);
        check(temp.hasValue(), row, "slot " + std::to_string(i));
        if (temp) held.push_back(std::move(*temp));
    }
    const auto entries = [&] { return std::distance(fs::directory_iterator(folder), fs::directory_iterator()); };
    const auto extra = sys::createTemp(*t, true);
    check(!extra && extra.error().code == EMFILE, row, "a named file beyond the table");
    if (unnamed && unnamed->name.empty()) {
        const bool wrote = sys::writeAll(unnamed->fd.get(), "new\n").hasValue();
        const int code = wrote ? codeOf(sys::commitTemp(*unnamed, *t)) : -1;
        check(code == EMFILE && readBack(folder / "old.txt") == "old line\r\n", row, "a commit beyond the table");
    }
    check(entries() == sys::kMostPendingNames + 1, row, std::to_string(entries()) + " entries");
    sys::discardTemp(held.back(), *t);
    held.pop_back();
    auto again = sys::createTemp(*t, true);
    check(again.hasValue(), row, "a freed slot is not taken again");
    if (again) held.push_back(std::move(*again));
    for (sys::TempFile& temp : held) sys::discardTemp(temp, *t);
    if (unnamed) sys::discardTemp(*unnamed, *t);
    check(entries() == 1, row, std::to_string(entries()) + " entries left");
    fs::remove_all(folder);
#else
    (void)scratch;
#endif
}

// The per-user cache folder from the environment: an absolute
// XDG_CACHE_HOME, else HOME's .cache, else the home of the password file
// (relative values count as unset, as the XDG rules say).
void cacheFolderFromEnvironment()
{
#ifndef _WIN32
    const struct passwd* user = ::getpwuid(::geteuid());
    const fs::path passwdHome = user != nullptr ? user->pw_dir : "";
    const struct {
        const char* name;
        const char *xdg, *home;  // nullptr: unset
        fs::path expected;
    } rows[] = {
        {"absolute XDG_CACHE_HOME", "/srv/cache", "/home/k", "/srv/cache/hattsheet"},
        {"relative XDG_CACHE_HOME is ignored", "cache", "/home/k", "/home/k/.cache/hattsheet"},
        {"empty XDG_CACHE_HOME is ignored", "", "/home/k", "/home/k/.cache/hattsheet"},
        {"no XDG_CACHE_HOME", nullptr, "/home/k", "/home/k/.cache/hattsheet"},
        {"relative HOME: the password file's home", nullptr, "k", passwdHome / ".cache/hattsheet"},
    };
    const auto set = [](const char* variable, const char* value) {
        if (value != nullptr) ::setenv(variable, value, 1);
        else ::unsetenv(variable);
    };
    for (const auto& row : rows) {
        set("XDG_CACHE_HOME", row.xdg);
        set("HOME", row.home);
        const fs::path got = sys::userCacheFolder();
        check(got == row.expected, row.name, got.string());
    }
#endif
}

} // namespace

int main()
{
    // 2 bytes in UTF-8 for each Greek letter: 120 of them fill 244 of the
    // 255 bytes a name may have on most Linux file systems.
    std::string longGreek;
    for (int i = 0; i < 120; ++i) longGreek += "λ";
    const std::string greek = "Σημεία Αθήνας.txt";
    const Row rows[] = {
        {"new file", "points.txt", false, Before::Nothing, 0, 0},
        {"an existing file is replaced", "points.txt", false, Before::File, 0, 0},
        {"a read-only file is refused", "points.txt", false, Before::ReadOnlyFile, EACCES, 0},
        {"a folder in the way", "points.txt", false, Before::Folder, EISDIR, 0},
        {"a missing folder", "points.txt", true, Before::Nothing, ENOENT, 0},
        {"a Greek name, new", greek, false, Before::Nothing, 0, 0},
        {"a Greek name, replaced", greek, false, Before::File, 0, 0},
        {"a long Greek name", longGreek + ".txt", false, Before::File, 0, 0},
        {"a long plain name", std::string(200, 'n') + ".txt", false, Before::File, 0, 0},
        // Windows opens a device for these names in any folder: NUL is
        // written like /dev/null, the others are refused.
        {"NUL is the null device", "NUL", false, Before::Nothing, 0, 0},
        {"aux.txt names a device", "aux.txt", false, Before::Nothing, kWindows ? sys::kReservedName : 0, 0},
    };
    const fs::path scratch = fs::temp_directory_path() / ("hattsheet-platform-" + std::to_string(std::random_device()()));
    fs::create_directory(scratch);
    for (const Row& row : rows) runRow(row, scratch);
    signalsLeaveNothing(scratch);
    cacheFolderFromEnvironment();
    fullCleanupTableRefuses(scratch);
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return plain_table::finish();
}
