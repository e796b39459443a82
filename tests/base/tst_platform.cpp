// The platform layer's file operations, row by row, the way the file layer
// uses them to save: a private file in the target's folder, written in
// binary, flushed, given the old file's owner and mode, then put in the
// target's place – twice, since the second save finds the first one's file
// (Windows' rename refuses to replace it). Plain C++: runs in the Linux
// suite and, built with mingw, under wine (tests/windows).

#include "base/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
namespace sys = hattsheet::platform;

namespace {

int failures = 0;

void check(bool ok, const std::string& row, const std::string& what)
{
    if (ok) return;
    std::printf("FAIL %s: %s\n", row.c_str(), what.c_str());
    ++failures;
}

enum class Before { Nothing, File, ReadOnlyFile, Folder };

struct Row {
    const char* name;
    std::string leaf;    // the target's name (UTF-8)
    bool folderMissing;  // the target's folder does not exist
    Before before;       // what is at the target beforehand
    int mayWrite;        // errno of mayWrite (EACCES for a read-only file unless privileged)
    int create;          // errno of createPrivateFile in the target's folder
    int replace;         // errno of replaceFile onto the target
};

// The file's bytes through the platform's own reader, "?" when it cannot.
std::string readBack(const fs::path& path)
{
    int err = 0;
    bool regular = false;
    const int fd = sys::openForReading(path, err, regular);
    if (fd < 0) return "?";
    std::string bytes;
    char buffer[4096];
    for (long long n; (n = sys::readSome(fd, buffer, sizeof buffer, err)) > 0;) bytes.append(buffer, n);
    sys::closeFile(fd);
    return bytes;
}

// One save of bytes onto target as the file layer does it; the errno of
// the step that failed, the row's expectations checked on the way.
int save(const Row& row, const fs::path& target, const std::string& bytes)
{
    int err = 0;
    const sys::FileFacts old = sys::factsOf(target, err);
    fs::path temp;
    const int fd = sys::createPrivateFile(target.parent_path(), temp, err);
    check((fd < 0 ? err : 0) == row.create, row.name, "create: " + std::to_string(fd < 0 ? err : 0));
    if (fd < 0) return err;
    check(sys::writeAll(fd, bytes) == 0 && sys::flushToDisk(fd) == 0 && sys::keepOwnerAndMode(fd, old) == 0 &&
              sys::closeFile(fd) == 0,
          row.name, "write, flush, owner and mode, close");
    const int replaced = sys::replaceFile(temp, target);
    check(replaced == row.replace, row.name, "replace: " + std::string(std::strerror(replaced)));
    if (replaced != 0) sys::removeFile(temp);
    check(!fs::exists(temp), row.name, "the private file is left behind");
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

    int err = 0;
    const sys::FileFacts facts = sys::factsOf(target, err);
    check(facts.exists == (row.before != Before::Nothing) && facts.isFolder == (row.before == Before::Folder) &&
              facts.isRegular == (row.before == Before::File || row.before == Before::ReadOnlyFile),
          row.name, "exists, is a folder, is regular");
    const int may = sys::mayWrite(target);
    check(may == (privileged ? 0 : row.mayWrite), row.name, "mayWrite: " + std::string(std::strerror(may)));

    // The file layer refuses a target the user may not write before saving.
    if (row.before != Before::ReadOnlyFile && save(row, target, "first\r\nsave\r\n") == 0) {
        check(readBack(target) == "first\r\nsave\r\n", row.name, "first save: " + readBack(target));
        save(row, target, "second save\n");
        check(readBack(target) == "second save\n", row.name, "second save: " + readBack(target));
        int entries = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            ++entries;
            check(sys::pathToUtf8(entry.path().filename()) == row.leaf, row.name,
                  "listed as " + sys::pathToUtf8(entry.path().filename()));
        }
        check(entries == 1, row.name, std::to_string(entries) + " files in the folder");
    }
    if (row.before == Before::ReadOnlyFile) {
        check(readBack(target) == old, row.name, "the read-only file changed");
        fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    }
    fs::remove_all(folder);
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
        {"new file", "points.txt", false, Before::Nothing, ENOENT, 0, 0},
        {"an existing file is replaced", "points.txt", false, Before::File, 0, 0, 0},
        {"a read-only file is refused", "points.txt", false, Before::ReadOnlyFile, EACCES, 0, 0},
        {"a folder in the way", "points.txt", false, Before::Folder, 0, 0, EISDIR},
        {"a missing folder", "points.txt", true, Before::Nothing, ENOENT, ENOENT, 0},
        {"a Greek name, new", greek, false, Before::Nothing, ENOENT, 0, 0},
        {"a Greek name, replaced", greek, false, Before::File, 0, 0, 0},
        {"a long Greek name", longGreek + ".txt", false, Before::File, 0, 0, 0},
        {"a long plain name", std::string(200, 'n') + ".txt", false, Before::File, 0, 0, 0},
    };
    const fs::path scratch = fs::temp_directory_path() / ("hattsheet-platform-" + std::to_string(std::random_device()()));
    fs::create_directory(scratch);
    for (const Row& row : rows) runRow(row, scratch);
    std::error_code ec;
    fs::remove_all(scratch, ec);
    if (failures == 0) std::printf("all rows passed\n");
    return failures == 0 ? 0 : 1;
}
