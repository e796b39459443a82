#include "base/platform.h"

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
// windows.h before shellapi.h, which needs its macros.
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
#include <random>
#include <sys/stat.h>
#else
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hattsheet::platform {

namespace fs = std::filesystem;

fs::path pathFromUtf8(std::string_view utf8)
{
    // Through char8_t the path takes the text as UTF-8 on every system; a
    // std::string would go through the ANSI code page on Windows.
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string pathToUtf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32

namespace {

// The errno value closest to a Windows error code.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT: return EROFS;
    default: return EIO;
    }
}

} // namespace

FileFacts factsOf(const fs::path& path, int& err)
{
    struct _stat64 st {};
    if (::_wstat64(path.c_str(), &st) != 0) {
        err = errno;
        return {};
    }
    err = 0;
    FileFacts f;
    f.exists = true;
    f.isFolder = (st.st_mode & _S_IFDIR) != 0;
    f.isRegular = (st.st_mode & _S_IFREG) != 0;
    f.mode = (st.st_mode & _S_IWRITE) ? 0666u : 0444u;
    return f;
}

int openForReading(const fs::path& path, int& err, bool& regular, bool)
{
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        err = errno;
        return -1;
    }
    struct _stat64 st {};
    regular = ::_fstat64(fd, &st) == 0 && (st.st_mode & _S_IFREG) != 0;
    return fd;
}

int openDeviceForWriting(const fs::path& path, int& err)
{
    const int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) err = errno;
    return fd;
}

int createPrivateFile(const fs::path& folder, fs::path& name, int& err)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring leaf = L".hs";
        for (int i = 0; i < 6; ++i) leaf += static_cast<wchar_t>(kLetters[random() % (sizeof kLetters - 1)]);
        name = folder / leaf;
        const int fd = ::_wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                _S_IREAD | _S_IWRITE);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    err = errno;
    return -1;
}

long long readSome(int fd, char* buffer, std::size_t size, int& err)
{
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    const int n = ::_read(fd, buffer, chunk);
    if (n < 0) err = errno;
    return n;
}

int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const unsigned chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<unsigned>(bytes.size());
        const int n = ::_write(fd, bytes.data(), chunk);
        if (n < 0) return errno;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int flushToDisk(int fd) { return ::_commit(fd) == 0 ? 0 : errno; }
int closeFile(int fd) { return ::_close(fd) == 0 ? 0 : errno; }

int mayWrite(const fs::path& path) { return ::_waccess(path.c_str(), 2) == 0 ? 0 : errno; }

// Windows files have no owner or mode bits to carry: the new file inherits
// the folder's access rules, and a read-only file was refused before.
int keepOwnerAndMode(int, const FileFacts&) { return 0; }

int replaceFile(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    if (fs::is_directory(to, ec)) return EISDIR;
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    return errnoOf(::GetLastError());
}

void removeFile(const fs::path& path) { ::_wunlink(path.c_str()); }

std::optional<int> descriptorOf(const fs::path&) { return std::nullopt; }

int duplicate(int fd, int& err)
{
    const int copy = ::_dup(fd);
    if (copy < 0) err = errno;
    return copy;
}

bool isOwnFolder(const fs::path& folder)
{
    std::error_code ec;
    return fs::is_directory(folder, ec) && ::_waccess(folder.c_str(), 2) == 0;
}

int makePrivateFolder(const fs::path& folder) { return ::_wmkdir(folder.c_str()) == 0 ? 0 : errno; }

void useBinaryStdio()
{
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    ::SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
        if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
}

bool userReadsGreek() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GREEK; }

#else

namespace {

// The file-creation mask, read once before main while the program has one
// thread: umask() can only be read by setting it, which would race with the
// list mode's second thread.
const mode_t kCreationMask = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}();

} // namespace

FileFacts factsOf(const fs::path& path, int& err)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        err = errno;
        return {};
    }
    err = 0;
    return {true, S_ISDIR(st.st_mode), S_ISREG(st.st_mode), st.st_uid, st.st_gid, st.st_mode & 07777u};
}

int openForReading(const fs::path& path, int& err, bool& regular, bool waitForWriter)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (waitForWriter ? 0 : O_NONBLOCK));
    if (fd < 0) {
        err = errno;
        return -1;
    }
    struct stat st {};
    regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // Reads wait for data again, as a pipe's reader expects.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int openDeviceForWriting(const fs::path& path, int& err)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        err = errno;
        if (fd >= 0) ::close(fd);
        return -1;
    }
    return fd;
}

int createPrivateFile(const fs::path& folder, fs::path& name, int& err)
{
    // A short name: a target whose own name is at the file system's limit
    // still leaves room for it.
    std::string pattern = (folder / ".hsXXXXXX").string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) err = errno;
    name = pattern;
    return fd;
}

long long readSome(int fd, char* buffer, std::size_t size, int& err)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return n;
        if (errno != EINTR) {
            err = errno;
            return -1;
        }
    }
}

int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int flushToDisk(int fd) { return ::fsync(fd) == 0 ? 0 : errno; }
int closeFile(int fd) { return ::close(fd) == 0 ? 0 : errno; }

int mayWrite(const fs::path& path) { return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno; }

int keepOwnerAndMode(int fd, const FileFacts& old)
{
    if (!old.exists) return ::fchmod(fd, 0666 & ~kCreationMask) == 0 ? 0 : errno;
    // Owner and group first: changing them clears set-id bits of the mode.
    struct stat st {};
    if (::fstat(fd, &st) != 0) return errno;
    if ((st.st_uid != old.owner || st.st_gid != old.group) && ::fchown(fd, old.owner, old.group) != 0) return errno;
    return ::fchmod(fd, old.mode) == 0 ? 0 : errno;
}

int replaceFile(const fs::path& from, const fs::path& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void removeFile(const fs::path& path) { ::unlink(path.c_str()); }

std::optional<int> descriptorOf(const fs::path& path)
{
    const std::string text = path.lexically_normal().string();
    if (text == "/dev/stdout") return 1;
    if (text == "/dev/stderr") return 2;
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (text.size() <= prefix.size() || text.compare(0, prefix.size(), prefix) != 0) continue;
        int fd = -1;
        const char* first = text.data() + prefix.size();
        const char* last = text.data() + text.size();
        const auto [end, ec] = std::from_chars(first, last, fd);
        if (ec == std::errc() && end == last) return fd;
    }
    return std::nullopt;
}

int duplicate(int fd, int& err)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) err = errno;
    return copy;
}

bool isOwnFolder(const fs::path& folder)
{
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

int makePrivateFolder(const fs::path& folder) { return ::mkdir(folder.c_str(), 0700) == 0 ? 0 : errno; }

void useBinaryStdio() {}

std::vector<std::string> utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

bool userReadsGreek()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') return value[0] == 'e' && value[1] == 'l' && (value[2] == '\0' || value[2] == '_' || value[2] == '.' || value[2] == '@');
    }
    return false;
}

#endif

} // namespace hattsheet::platform
