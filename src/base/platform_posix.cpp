// The platform layer on POSIX systems: descriptors, reading and writing,
// the program's own folders and the process. The path walk is in
// platform_posix_walk.cpp, the temporary files in platform_posix_temp.cpp.
// See platform.h.

#include "base/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <climits>

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
    // For the command line, reads wait for data again, as a pipe's reader
    // expects; the window's reads fail at once where there is nothing yet.
    if (waitForWriter) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
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

namespace {

constexpr int kMostLinks = 40;  // the kernel's own limit before ELOOP

// Puts the names of a path text on names, the first one last (taken first).
void pushNames(std::vector<std::string>& names, std::string_view text)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t slash = std::min(text.find('/', start), text.size());
        if (slash > start) parts.emplace_back(text.substr(start, slash - start));
        start = slash + 1;
    }
    names.insert(names.end(), parts.rbegin(), parts.rend());
}

bool trusted(uid_t uid) { return uid == ::geteuid() || uid == 0; }

// Whether another user may turn entry, found in folder, into something
// else: own it, own its folder (who may rename anything in it), or write a
// folder that is not sticky.
bool othersControl(const struct stat& folder, const struct stat& entry)
{
    if (!trusted(folder.st_uid) || !trusted(entry.st_uid)) return true;
    return (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0;
}

// The walk of openPrivateFolder: the folders passed, innermost last, each
// a child of the one before it, so that ".." is the one before.
class PrivateWalk {
public:
    Expected<Done, SystemError> startAt(const char* where)
    {
        m_held.clear();
        return push(::open(where, O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    Expected<Done, SystemError> step(const std::string& name, bool create, std::vector<std::string>& names);
    Expected<WriteTarget, SystemError> finish(const fs::path& folder);

private:
    struct Held {
        Descriptor fd;
        struct stat st {};
    };
    Expected<Done, SystemError> push(int fd);
    const Held& top() const { return m_held.back(); }
    std::vector<Held> m_held;
    int m_links = 0;
};

Expected<Done, SystemError> PrivateWalk::push(int fd)
{
    if (fd < 0) return failure(errno);
    Held h{Descriptor(fd)};
    if (::fstat(fd, &h.st) != 0) return failure(errno);
    m_held.push_back(std::move(h));
    return Done{};
}

// names is what is left to walk, the next name last.
Expected<Done, SystemError> PrivateWalk::step(const std::string& name, bool create, std::vector<std::string>& names)
{
    if (name.empty() || name == ".") return Done{};
    if (name == "..") {
        if (m_held.size() > 1) m_held.pop_back();
        return Done{};
    }
    const int folder = top().fd.get();
    int fd = ::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && create) {
        if (::mkdirat(folder, name.c_str(), 0700) != 0 && errno != EEXIST) return failure(errno);
        fd = ::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) return failure(errno);
    Descriptor entry(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return failure(errno);
    if (othersControl(top().st, st)) return failure(EACCES);
    if (S_ISDIR(st.st_mode)) {
        m_held.push_back({std::move(entry), st});
        return Done{};
    }
    if (!S_ISLNK(st.st_mode)) return failure(ENOTDIR);
    if (++m_links > kMostLinks) return failure(ELOOP);
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(fd, "", target, sizeof target);
    if (n <= 0) return failure(n < 0 ? errno : ENOENT);
    if (std::size_t(n) == sizeof target) return failure(ENAMETOOLONG);
    const std::string text(target, std::size_t(n));
    if (text.front() == '/') {
        if (auto started = startAt("/"); !started) return started;
    }
    pushNames(names, text);
    return Done{};
}

Expected<WriteTarget, SystemError> PrivateWalk::finish(const fs::path& folder)
{
    const struct stat& st = top().st;
    if (st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0 ||
        (st.st_mode & (S_IWUSR | S_IXUSR)) != (S_IWUSR | S_IXUSR))
        return failure(EACCES);
    WriteTarget t;
    t.folder = std::move(m_held.back().fd);
    t.folderPath = folder;
    return t;
}

} // namespace

Expected<WriteTarget, SystemError> openPrivateFolder(const fs::path& folder, bool create)
{
    const std::string& text = folder.native();
    if (text.empty()) return failure(ENOENT);
    PrivateWalk walk;
    if (auto started = walk.startAt(text.front() == '/' ? "/" : "."); !started) return unexpected(started.error());
    std::vector<std::string> names;
    pushNames(names, text);
    while (!names.empty()) {
        const std::string name = std::move(names.back());
        names.pop_back();
        if (auto stepped = walk.step(name, create, names); !stepped) return unexpected(stepped.error());
    }
    return walk.finish(folder);
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
