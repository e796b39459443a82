// The platform layer on POSIX systems: descriptors, reading and writing,
// the program's own folders and the process. The path walk is in
// platform_posix_walk.cpp, the temporary files in platform_posix_temp.cpp.
// See platform.h.

#include "base/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hattsheet::platform {

namespace fs = std::filesystem;

int closeDescriptor(int fd)
{
    // After EINTR the descriptor is gone on Linux; it is not closed again.
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
}

Expected<Reading, SystemError> openForReading(const fs::path& path, bool waitForWriter)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (waitForWriter ? 0 : O_NONBLOCK));
    if (fd < 0) return failure(errno);
    Reading r{Descriptor(fd)};
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        r.regular = S_ISREG(st.st_mode);
        r.folder = S_ISDIR(st.st_mode);
    }
    // Reads wait for data again, as a pipe's reader expects.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return r;
}

Expected<std::size_t, SystemError> readSome(int fd, char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return std::size_t(n);
        if (errno != EINTR) return failure(errno);
    }
}

Expected<Done, SystemError> writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return failure(errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Done{};
}

bool isOwnFolder(const fs::path& folder)
{
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr) return false;
    const std::string path = real;
    std::free(real);
    const uid_t me = ::geteuid();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != me ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0 || ::access(path.c_str(), W_OK | X_OK) != 0)
        return false;
    // Every folder above it: the user's or the system's, and writable by
    // others only when sticky and what lies in it on the way is the user's
    // or the system's (then nobody else may rename it).
    for (std::size_t slash = path.size(); slash != 0 && slash != std::string::npos;) {
        const std::string child = path.substr(0, slash);
        slash = path.rfind('/', slash - 1);
        const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
        struct stat p {}, c {};
        if (::stat(parent.c_str(), &p) != 0 || ::lstat(child.c_str(), &c) != 0) return false;
        if (p.st_uid != 0 && p.st_uid != me) return false;
        if ((p.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (!(p.st_mode & S_ISVTX) || (c.st_uid != 0 && c.st_uid != me)))
            return false;
    }
    return true;
}

Expected<Done, SystemError> makePrivateFolder(const fs::path& folder)
{
    if (folder.has_parent_path() && folder.parent_path() != folder) {
        std::error_code ec;
        if (!fs::is_directory(folder.parent_path(), ec)) {
            if (auto made = makePrivateFolder(folder.parent_path()); !made && made.error().code != EEXIST) return made;
        }
    }
    if (::mkdir(folder.c_str(), 0700) != 0) return failure(errno);
    return Done{};
}

namespace {

// $variable/hattsheet when it is absolute, else ~/below/hattsheet (the
// XDG base directories' rule); empty without a home.
fs::path xdgFolder(const char* variable, const char* below)
{
    const char* set = std::getenv(variable);
    if (set != nullptr && set[0] == '/') return fs::path(set) / "hattsheet";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const struct passwd* user = ::getpwuid(::geteuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return fs::path(home) / below / "hattsheet";
}

} // namespace

fs::path userCacheFolder() { return xdgFolder("XDG_CACHE_HOME", ".cache"); }

fs::path userDataFolder() { return xdgFolder("XDG_DATA_HOME", ".local/share"); }

fs::path pathFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? fs::path(value) : fs::path();
}

void prepareProcess() { ::signal(SIGXFSZ, SIG_IGN); }

std::vector<std::string> utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

std::string reasonText(int code) { return std::strerror(code); }

bool userReadsGreek()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value[0] == 'e' && value[1] == 'l' &&
                   (value[2] == '\0' || value[2] == '_' || value[2] == '.' || value[2] == '@');
        }
    }
    return false;
}

} // namespace hattsheet::platform
