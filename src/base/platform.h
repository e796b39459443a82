#pragma once
// Everything that differs between POSIX systems and Windows, and nothing
// else: files opened by UTF-8 paths (wide APIs on Windows), a name looked up
// the way the kernel would for this user, a folder held open while a file is
// written into it, temporary files that leave nothing behind, ownership,
// permissions and extended attributes, binary standard streams, UTF-8
// arguments and console output. One header; CMake builds the POSIX sources
// (platform_posix.cpp, the path walk in platform_posix_walk.cpp, the
// temporary files in platform_posix_temp.cpp) or platform_windows.cpp
// behind it. No other file of the program includes a system header.
//
// Files are plain C runtime descriptors on both systems (descriptor.h).
// Calls that can fail give the value or a SystemError holding the errno of
// the failure (Windows errors are mapped to errno values), for the messages
// to show the system's reason.

#include "base/descriptor.h"
#include "base/expected.h"
#include "base/system_error.h"
#include "base/utf8_path.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hattsheet::platform {

// A Windows device name (CON, AUX, COM1, …, also with an extension): Windows
// would open the device instead of a file, so it is refused.
inline constexpr int kReservedName = 100001;
// A pipe, a device or a socket where a file was to be read whole (see
// files::readWholeFile) or the window saves; no errno names this.
inline constexpr int kNotRegularFile = 100002;
// A file whose read would wait for data that may never come (/proc/kmsg,
// which stat calls a regular file): the window never waits.
inline constexpr int kWouldWait = 100003;
// A file or FIFO of another user in a sticky folder that all may write
// (/tmp), which that folder's owner does not own either: the rule of the
// kernel's fs.protected_regular and fs.protected_fifos, applied whatever
// the machine's setting and to root too, so that nobody can plant the file
// the user's bytes go into.
inline constexpr int kOthersFile = 100004;

inline Unexpected<SystemError> failure(int code) { return systemFailure(code); }

inline constexpr int kStdin = 0;
inline constexpr int kStdout = 1;

// A file opened for reading, and whether it is a regular file. Without
// waitForWriter neither the open nor a read waits: a FIFO that nobody
// writes to does not block the open, and a read with nothing to give fails
// with EAGAIN (the window never waits); with it, the open waits for a
// writer and the reads for data, as a shell's "<" does (the command line).
struct Reading {
    Descriptor fd;
    bool regular = false;
    bool folder = false;
};
Expected<Reading, SystemError> openForReading(const std::filesystem::path& path, bool waitForWriter = false);
// Reads up to size bytes; the count, 0 at the end.
Expected<std::size_t, SystemError> readSome(int fd, char* buffer, std::size_t size);
// Writes all bytes, again after an interrupted or short write.
Expected<Done, SystemError> writeAll(int fd, std::string_view bytes);

// What a name is, to see whether it changed (a link swapped in while the
// user was asked): the entry itself and the file it leads to.
struct FileId {
    std::uint64_t device = 0, inode = 0;
    bool exists = false;
    bool operator==(const FileId&) const = default;
};

// What a write may go into: any file, FIFO or device (the command line's
// -o, as the shell's ">"), or regular files only (the window, which must
// never wait on a FIFO nobody reads).
enum class WriteKinds { Any, FilesOnly };

// Where a write of a chosen name goes, looked up once. Every link on the way
// is followed as the kernel follows it for this user, with the rule of
// Debian's fs.protected_symlinks whatever the machine's setting (a link in
// a sticky folder others may write is followed only by its owner or the
// folder's owner); a dangling link that ends the name is followed only in a
// folder of the user's own. A file or FIFO at the name is refused with
// kOthersFile by the rule of fs.protected_regular and fs.protected_fifos
// (see there), whatever its number of names; anything but a regular file
// with kNotRegularFile under WriteKinds::FilesOnly. Both are seen before
// the file is opened (opening a FIFO tells its reader) and again on what
// was opened. Then either
//  - inPlace is open: a device, FIFO or descriptor (/dev/stdout, /dev/fd/N)
//    written where it is, or Windows' NUL; a FIFO only when it has a reader
//    (ENXIO otherwise: nothing waits for one to come); or
//  - the file goes into folder (held open, so that nothing done to the path
//    afterwards moves the write elsewhere) under leaf; old is the file it
//    replaces, opened for writing (which proves the user may, as the
//    shell's ">" needs), or none for a new file.
struct WriteTarget {
    Descriptor inPlace;
    Descriptor folder;
    std::filesystem::path folderPath;  // for messages and Windows' calls by name
    std::string leaf;                  // the file's name in folder (native bytes; UTF-8 on Windows)
    Descriptor old;
    unsigned links = 1;  // names the old file has (hard links)
    FileId entry, file;  // the chosen name's own entry (a link itself) and what it leads to
};
Expected<WriteTarget, SystemError> openWriteTarget(const std::filesystem::path& chosen,
                                                   WriteKinds kinds = WriteKinds::Any);
// The folder itself (held open as above).
Expected<WriteTarget, SystemError> openFolder(const std::filesystem::path& folder);

// A new file in the target's folder, readable and writable by the user only:
// without a name where the system can (Linux' O_TMPFILE), else with a short
// random one that is removed when the program is ended by SIGINT, SIGTERM,
// SIGHUP or SIGPIPE (on Windows, deleted when closed until it is renamed).
inline constexpr int kMostPendingNames = 8;
struct TempFile {
    Descriptor fd;
    std::string name;  // empty while the file has no name
};
// named asks for a named one where an unnamed one could be had (the path
// taken on other file systems, for tests). At most kMostPendingNames named
// ones (temporary files or names taken during a commit) may wait at once:
// the signal handler's table has no more slots, and a file it could not
// remove would be left behind, so one more is refused with EMFILE.
Expected<TempFile, SystemError> createTemp(const WriteTarget& target, bool named = false);
// Gives the temporary file what the replaced file has: owner and group
// (refused where they cannot be kept), mode, ACL and the other extended
// attributes (refused where they cannot be copied); a new file gets 0666
// less the umask.
Expected<Done, SystemError> keepAttributes(const TempFile& temp, const WriteTarget& target);
// Flushes the temporary file to the disk and puts it in place of
// target.leaf in one step (a link or FIFO entry there is replaced itself,
// never followed; a folder is refused). An old file with more than one name
// is instead written over in place with the temporary file's bytes (all of
// them were written before), so that every name keeps seeing it, as ">"
// does; the whole new length is reserved on the disk before the first old
// byte is overwritten, so that a disk that fills (ENOSPC) leaves the old
// file whole.
Expected<Done, SystemError> commitTemp(TempFile& temp, WriteTarget& target);
// Closes and removes a temporary file that is not wanted.
void discardTemp(TempFile& temp, const WriteTarget& target);

// The folder for the program's own files, held open (folder, folderPath)
// so that its files are written relative to it: a folder of the user's,
// writable by nobody else, reached by a path that no other user can turn
// elsewhere. Each name is opened without following a link; a link is
// followed only when neither its owner nor the owner of its folder is
// another user (root aside) and, in a folder others may write, the folder
// is sticky; every folder on the way is held to the same rule, so that
// a link or folder another user controls is never walked through (EACCES).
// With create, missing folders are made 0700 on the way. On Windows: a
// folder the user may write, made when missing.
Expected<WriteTarget, SystemError> openPrivateFolder(const std::filesystem::path& folder, bool create);
// The per-user cache folder of the program: $XDG_CACHE_HOME/hattsheet, else
// ~/.cache/hattsheet; %LOCALAPPDATA%\hattsheet on Windows. Empty when there
// is no home.
std::filesystem::path userCacheFolder();
// The per-user data folder of the program (where the user installs data it
// does not ship, such as the HEPOS grid): $XDG_DATA_HOME/hattsheet (an
// absolute one), else ~/.local/share/hattsheet; %LOCALAPPDATA%\hattsheet on
// Windows. Empty when there is no home.
std::filesystem::path userDataFolder();
// The path an environment variable names (UTF-8 on every system); empty
// when it is not set or empty.
std::filesystem::path pathFromEnvironment(const char* name);

// Sets the process up for the command line and the window: standard input
// and output without any line-end translation (Windows would turn every CR
// LF into CR CR LF), SIGXFSZ ignored so that a file size limit makes a write
// fail with EFBIG (reported) instead of killing the program.
void prepareProcess();
// The program's arguments as UTF-8 (on Windows from the wide command line,
// whatever the code page), and UTF-8 output on the console.
std::vector<std::string> utf8Arguments(int argc, char** argv);
// The system's text for an errno value.
std::string reasonText(int code);
// Whether the user reads Greek: on POSIX the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty names a Greek locale ("el_GR.UTF-8",
// "el"); on Windows the user's display language is Greek.
bool userReadsGreek();

} // namespace hattsheet::platform
