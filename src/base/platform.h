#pragma once
// Everything that differs between POSIX systems and Windows, and nothing
// else: files opened by UTF-8 paths (wide APIs on Windows), flushing to disk,
// replacing a file in one step, ownership and permissions, binary standard
// streams, UTF-8 arguments and console output. No other file of the program
// includes a system header.
//
// Files are plain C runtime descriptors on both systems (open/_wopen), so
// the code above reads and writes them the same way. Functions that can fail
// return 0 or the errno of the failure (Windows errors are mapped to errno
// values), so callers show the system's reason with std::strerror.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::platform {

// The path of a UTF-8 text, without the narrow code page on Windows.
std::filesystem::path pathFromUtf8(std::string_view utf8);
// A path as UTF-8, for messages.
std::string pathToUtf8(const std::filesystem::path& path);

// What is at a path (links followed).
struct FileFacts {
    bool exists = false;
    bool isFolder = false;
    bool isRegular = false;
    unsigned owner = 0, group = 0;  // POSIX user and group ids; 0 on Windows
    unsigned mode = 0;              // permission bits (07777); on Windows 0444 or 0666
};
FileFacts factsOf(const std::filesystem::path& path, int& err);

// Opens a file for reading; -1 with err set. regular says whether it is a
// regular file. Without waitForWriter a FIFO that nobody writes to does not
// block the open (the window never waits); with it, the open waits for a
// writer as a shell's "<" does (the command line).
int openForReading(const std::filesystem::path& path, int& err, bool& regular, bool waitForWriter = false);
// Opens an existing device or FIFO for writing in place; a FIFO without a
// reader is refused (ENXIO) instead of waited for.
int openDeviceForWriting(const std::filesystem::path& path, int& err);
// A new file, created exclusively with mode 0600, with a short random name in
// folder; its descriptor, or -1 with err set. name receives its path.
int createPrivateFile(const std::filesystem::path& folder, std::filesystem::path& name, int& err);

// Reads up to size bytes; the count, 0 at the end, -1 with err set.
long long readSome(int fd, char* buffer, std::size_t size, int& err);
// Writes all bytes, again after an interrupted or short write; 0 or errno.
int writeAll(int fd, std::string_view bytes);
// Flushes a file's data to the disk; 0 or errno.
int flushToDisk(int fd);
// Closes a descriptor; 0 or errno.
int closeFile(int fd);

// Whether the user could write the existing file in place (the shell's ">"
// refuses otherwise); 0 or errno.
int mayWrite(const std::filesystem::path& path);
// Gives the open file fd the owner, group and mode of old (a replaced file),
// or for a new file (old.exists false) 0666 less the umask; 0 or errno.
// Where the owner cannot be kept, the errno of that failure.
int keepOwnerAndMode(int fd, const FileFacts& old);
// Puts from in place of to in one step (a link or FIFO entry at to is
// replaced itself, never followed; a folder at to is refused); 0 or errno.
int replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
void removeFile(const std::filesystem::path& path);

// The descriptor a path stands for (/dev/stdout, /dev/fd/N), whose file is
// written through a copy of the descriptor instead of being opened afresh
// (which would truncate a log opened for appending); none on Windows.
std::optional<int> descriptorOf(const std::filesystem::path& path);
// A copy of a descriptor that is not inherited; -1 with err set.
int duplicate(int fd, int& err);

// Whether folder is the user's alone: owned by the user running the program,
// writable by nobody else, writable by the user. On Windows: writable.
bool isOwnFolder(const std::filesystem::path& folder);
// Makes a folder that only its owner may enter (0700); 0 or errno (EEXIST
// when it is already there).
int makePrivateFolder(const std::filesystem::path& folder);

inline constexpr int kStdin = 0;
inline constexpr int kStdout = 1;
// Standard input and output without any line-end translation (Windows would
// turn every CR LF into CR CR LF).
void useBinaryStdio();
// The program's arguments as UTF-8 (on Windows from the wide command line,
// whatever the code page), and UTF-8 output on the console.
std::vector<std::string> utf8Arguments(int argc, char** argv);
// Whether the user reads Greek: on POSIX the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty names a Greek locale ("el_GR.UTF-8",
// "el"); on Windows the user's display language is Greek.
bool userReadsGreek();

} // namespace hattsheet::platform
