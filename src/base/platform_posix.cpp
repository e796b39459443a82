// The platform layer on POSIX systems (Linux: O_PATH, O_TMPFILE, extended
// attributes). See platform.h.

#include "base/platform.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace hattsheet::platform {

namespace fs = std::filesystem;

namespace {

// The file-creation mask, read once before main while the program has one
// thread: umask() can only be read by setting it, which would race with the
// list mode's second thread.
const mode_t kCreationMask = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}();

constexpr int kMostLinks = 40;              // the kernel's own limit before ELOOP
constexpr long kProcSuperMagic = 0x9fa0;    // statfs' f_type of /proc

FileId idOf(const struct stat& st) { return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), true}; }

// --- Named temporary files removed when a signal ends the program ---------
//
// A fixed table the handler may read: a folder descriptor and a name per
// file. Writers fill a slot with the signals blocked, so the handler never
// sees half a slot.
struct PendingName {
    std::atomic<int> folder{-1};
    char name[32] = {};
};
PendingName g_pending[8];
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

extern "C" void removePendingAndDie(int signal)
{
    for (PendingName& p : g_pending) {
        const int folder = p.folder.load();
        if (folder >= 0) ::unlinkat(folder, p.name, 0);
    }
    // The default action once the handler returns: the parent sees the signal.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installs the handler for each signal the program does not ignore (nohup
// ignores SIGHUP, and so must the program then).
void installCleanup()
{
    static const bool installed = [] {
        for (int s : kCleanupSignals) {
            struct sigaction old {};
            if (::sigaction(s, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
            struct sigaction act {};
            act.sa_handler = removePendingAndDie;
            sigemptyset(&act.sa_mask);
            ::sigaction(s, &act, nullptr);
        }
        return true;
    }();
    (void)installed;
}

// Blocks the cleanup signals for its lifetime.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int s : kCleanupSignals) sigaddset(&set, s);
        ::pthread_sigmask(SIG_BLOCK, &set, &m_old);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }

private:
    sigset_t m_old;
};

void watchName(int folder, const std::string& name)
{
    installCleanup();
    for (PendingName& p : g_pending) {
        if (p.folder.load() >= 0) continue;
        std::strncpy(p.name, name.c_str(), sizeof p.name - 1);
        p.folder.store(folder);
        return;
    }
}

void forgetName(int folder, const std::string& name)
{
    for (PendingName& p : g_pending) {
        if (p.folder.load() == folder && name == p.name) p.folder.store(-1);
    }
}

std::string randomName()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::random_device random;
    std::string name = ".hs";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// --- Looking a name up as the kernel does ---------------------------------

// The descriptor a path stands for (/dev/stdout, /dev/fd/N), whose file is
// written through a copy of the descriptor instead of being opened afresh
// (which would truncate a log opened for appending).
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

// Debian's fs.protected_symlinks, which this program applies whatever the
// machine's setting: a link in a sticky folder that others may write (/tmp)
// is followed only by the link's owner or when the folder's owner owns it.
bool mayFollow(const struct stat& folder, const struct stat& link)
{
    if (link.st_uid == ::geteuid()) return true;
    if ((folder.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH)) return true;
    return folder.st_uid == link.st_uid;
}

// The names of a path text, in order; "" for none between slashes.
void pushNamesFront(std::deque<std::string>& names, std::string_view text)
{
    std::deque<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t slash = std::min(text.find('/', start), text.size());
        if (slash > start) parts.emplace_back(text.substr(start, slash - start));
        start = slash + 1;
    }
    names.insert(names.begin(), parts.begin(), parts.end());
}

Result<Descriptor> openRoot(bool absolute)
{
    const int fd = ::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    return Descriptor(fd);
}

// The last name's file, found as an existing entry st of folder: a regular
// file opened for writing (which proves the user may), anything else that
// is no folder opened to be written in place.
Result<Done> openExisting(WriteTarget& t, const struct stat& st)
{
    const int flags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::openat(t.folder.get(), t.leaf.c_str(), flags);
    if (fd < 0) return failure(errno);
    Descriptor opened(fd);
    struct stat now {};
    if (::fstat(fd, &now) != 0) return failure(errno);
    t.file = idOf(now);
    if (S_ISREG(now.st_mode)) {
        t.old = std::move(opened);
        t.links = unsigned(now.st_nlink);
        return Done{};
    }
    (void)st;
    // A FIFO's reads wait again, as its reader expects.
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return failure(errno);
    t.inPlace = std::move(opened);
    t.folder = Descriptor();
    return Done{};
}

// Looks chosen up name by name from "/" or the working folder, each name
// relative to the folder found before it (openat with O_NOFOLLOW), links
// followed as the kernel would for this user. Ends with the folder of the
// last name held open and that name, or (wantFolder) with the folder chosen.
Result<WriteTarget> walk(const fs::path& chosen, bool wantFolder)
{
    const std::string& text = chosen.native();
    if (text.empty()) return failure(ENOENT);
    WriteTarget t;
    if (struct stat st {}; ::lstat(text.c_str(), &st) == 0) t.entry = idOf(st);
    if (const auto fd = descriptorOf(chosen); fd && !wantFolder) {
        const int copy = ::fcntl(*fd, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) return failure(errno);
        t.inPlace = Descriptor(copy);
        return t;
    }
    // A name that ends in "/" names a folder.
    if (!wantFolder && text.back() == '/') return failure(EISDIR);
    std::deque<std::string> names;
    pushNamesFront(names, text);
    auto root = openRoot(text.front() == '/');
    if (!root) return unexpected(root.error());
    t.folder = std::move(*root);
    struct stat folderSt {};
    if (::fstat(t.folder.get(), &folderSt) != 0) return failure(errno);
    int links = 0;
    bool lastFromLink = false;     // the last name came from a link that ended the name
    bool linkInOthersFolder = false;  // one of those links lies in a folder the user does not own
    while (!names.empty()) {
        const std::string name = std::move(names.front());
        names.pop_front();
        const bool last = names.empty();
        const int fd = ::openat(t.folder.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT || !last || wantFolder) return failure(errno);
            // A new file; through a dangling link only in a folder of the user's own.
            if (lastFromLink && linkInOthersFolder) return failure(EACCES);
            t.leaf = name;
            t.folderPath = chosen.parent_path();
            return t;
        }
        Descriptor node(fd);
        struct stat st {};
        if (::fstat(fd, &st) != 0) return failure(errno);
        if (S_ISLNK(st.st_mode)) {
            if (!mayFollow(folderSt, st)) return failure(EACCES);
            if (++links > kMostLinks) return failure(ELOOP);
            struct statfs fsInfo {};
            if (::fstatfs(t.folder.get(), &fsInfo) == 0 && fsInfo.f_type == kProcSuperMagic) {
                // A link of /proc (/proc/PID/fd/N) names no path: the kernel follows it.
                const int target = ::openat(t.folder.get(), name.c_str(), O_PATH | O_CLOEXEC);
                if (target < 0) return failure(errno);
                Descriptor reached(target);
                if (::fstat(target, &st) != 0) return failure(errno);
                if (!S_ISDIR(st.st_mode)) {
                    if (!last || wantFolder) return failure(ENOTDIR);
                    // Written in place, as the kernel opens it.
                    const int w = ::openat(t.folder.get(), name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
                    if (w < 0) return failure(errno);
                    t.inPlace = Descriptor(w);
                    t.folder = Descriptor();
                    return t;
                }
                t.folder = std::move(reached);
                folderSt = st;
                continue;
            }
            char target[PATH_MAX];
            const ssize_t n = ::readlinkat(fd, "", target, sizeof target);
            if (n < 0) return failure(errno);
            if (n == 0) return failure(ENOENT);
            if (std::size_t(n) == sizeof target) return failure(ENAMETOOLONG);
            if (last) {
                lastFromLink = true;
                linkInOthersFolder = linkInOthersFolder || folderSt.st_uid != ::geteuid();
            }
            const std::string_view linkText(target, std::size_t(n));
            if (linkText.front() == '/') {
                auto top = openRoot(true);
                if (!top) return unexpected(top.error());
                t.folder = std::move(*top);
                if (::fstat(t.folder.get(), &folderSt) != 0) return failure(errno);
            }
            pushNamesFront(names, linkText);
            // A link to "/" or to a folder with "/" at the end still names a folder.
            if (last && names.empty()) names.emplace_back(".");
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (last && !wantFolder) return failure(EISDIR);
            t.folder = std::move(node);
            folderSt = st;
            continue;
        }
        if (!last || wantFolder) return failure(ENOTDIR);
        t.leaf = name;
        t.folderPath = chosen.parent_path();
        if (auto opened = openExisting(t, st); !opened) return unexpected(opened.error());
        return t;
    }
    if (!wantFolder) return failure(EISDIR);
    t.folderPath = chosen;
    return t;
}

// Links the unnamed file fd into folder as name.
bool linkUnnamed(int fd, int folder, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    // Without /proc; needs CAP_DAC_READ_SEARCH.
    return ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Writes the whole of the file from over to in, from the start, and cuts in
// there.
Result<Done> copyInPlace(int from, int to)
{
    char block[1 << 16];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(from, block, sizeof block, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failure(errno);
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::pwrite(to, block + done, std::size_t(n - done), at + done);
            if (w < 0) {
                if (errno == EINTR) continue;
                return failure(errno);
            }
            done += w;
        }
        at += n;
    }
    if (::ftruncate(to, at) != 0 || ::fsync(to) != 0) return failure(errno);
    return Done{};
}

// The names of fd's extended attributes; empty where the file system has none.
Result<std::vector<std::string>> attributeNames(int fd)
{
    std::vector<char> list(1024);
    for (;;) {
        const ssize_t n = ::flistxattr(fd, list.data(), list.size());
        if (n >= 0) {
            std::vector<std::string> names;
            for (ssize_t at = 0; at < n; at += ssize_t(std::strlen(list.data() + at)) + 1) names.emplace_back(list.data() + at);
            return names;
        }
        if (errno == ENOTSUP) return std::vector<std::string>{};
        if (errno != ERANGE) return failure(errno);
        list.resize(list.size() * 4);
    }
}

} // namespace

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

Descriptor::~Descriptor()
{
    if (m_fd >= 0) ::close(m_fd);
}

Result<Done> Descriptor::close()
{
    if (m_fd < 0) return Done{};
    // After EINTR the descriptor is gone on Linux; it is not closed again.
    if (::close(release()) != 0 && errno != EINTR) return failure(errno);
    return Done{};
}

Result<Reading> openForReading(const fs::path& path, bool waitForWriter)
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

Result<std::size_t> readSome(int fd, char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return std::size_t(n);
        if (errno != EINTR) return failure(errno);
    }
}

Result<Done> writeAll(int fd, std::string_view bytes)
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

Result<WriteTarget> openWriteTarget(const fs::path& chosen) { return walk(chosen, false); }
Result<WriteTarget> openFolder(const fs::path& folder) { return walk(folder, true); }

Result<TempFile> createTemp(const WriteTarget& target, bool named)
{
#ifdef O_TMPFILE
    const int fd = named ? -1 : ::openat(target.folder.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return TempFile{Descriptor(fd), {}};
    if (named) errno = EOPNOTSUPP;
    // File systems without unnamed files say so in one of these ways.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return failure(errno);
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = randomName();
        const SignalsHeld held;
        const int named = ::openat(target.folder.get(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (named >= 0) {
            watchName(target.folder.get(), name);
            return TempFile{Descriptor(named), std::move(name)};
        }
        if (errno != EEXIST) return failure(errno);
    }
    return failure(EEXIST);
}

Result<Done> keepAttributes(const TempFile& temp, const WriteTarget& target)
{
    const int fd = temp.fd.get();
    if (!target.old.valid()) {
        if (::fchmod(fd, 0666 & ~kCreationMask) != 0) return failure(errno);
        return Done{};
    }
    struct stat old {};
    if (::fstat(target.old.get(), &old) != 0) return failure(errno);
    // Owner and group first: changing them clears set-id bits and file
    // capabilities. Where they cannot be kept (another user's file, written
    // by someone who is not root), the write is refused rather than change
    // who may read the file.
    struct stat now {};
    if (::fstat(fd, &now) != 0) return failure(errno);
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return failure(errno);
    if (::fchmod(fd, old.st_mode & 07777) != 0) return failure(errno);
    // Then every extended attribute, the ACL (system.posix_acl_access, with
    // its mask) among them; what the new file took from its folder (a
    // default ACL) and the old one lacks goes.
    const auto names = attributeNames(target.old.get());
    if (!names) return unexpected(names.error());
    const auto had = attributeNames(fd);
    if (!had) return unexpected(had.error());
    for (const std::string& name : *had) {
        bool kept = false;
        for (const std::string& n : *names) kept = kept || n == name;
        if (!kept && ::fremovexattr(fd, name.c_str()) != 0) return failure(errno);
    }
    std::vector<char> value;
    for (const std::string& name : *names) {
        const ssize_t size = ::fgetxattr(target.old.get(), name.c_str(), nullptr, 0);
        if (size < 0) return failure(errno);
        value.resize(std::size_t(size) + 1);
        const ssize_t got = ::fgetxattr(target.old.get(), name.c_str(), value.data(), value.size());
        if (got < 0) return failure(errno);
        if (::fsetxattr(fd, name.c_str(), value.data(), std::size_t(got), 0) != 0) return failure(errno);
    }
    return Done{};
}

Result<Done> commitTemp(TempFile& temp, WriteTarget& target)
{
    const int folder = target.folder.get();
    if (::fsync(temp.fd.get()) != 0) return failure(errno);
    if (target.old.valid() && target.links > 1) {
        auto copied = copyInPlace(temp.fd.get(), target.old.get());
        if (!copied) return copied;
        discardTemp(temp, target);
        return target.old.close();
    }
    if (temp.name.empty()) {
        // A new file takes its name in one step when nothing is there;
        // anything else is replaced through a short-lived name.
        if (!target.old.valid() && linkUnnamed(temp.fd.get(), folder, target.leaf)) {
            return temp.fd.close();
        }
        for (int attempt = 0; attempt < 100 && temp.name.empty(); ++attempt) {
            std::string name = randomName();
            const SignalsHeld held;
            if (linkUnnamed(temp.fd.get(), folder, name)) {
                watchName(folder, name);
                temp.name = std::move(name);
            } else if (errno != EEXIST) {
                return failure(errno);
            }
        }
        if (temp.name.empty()) return failure(EEXIST);
    }
    if (auto closed = temp.fd.close(); !closed) return closed;
    if (::renameat(folder, temp.name.c_str(), folder, target.leaf.c_str()) != 0) return failure(errno);
    const SignalsHeld held;
    forgetName(folder, temp.name);
    temp.name.clear();
    return Done{};
}

void discardTemp(TempFile& temp, const WriteTarget& target)
{
    temp.fd = Descriptor();
    if (temp.name.empty()) return;
    const SignalsHeld held;
    ::unlinkat(target.folder.get(), temp.name.c_str(), 0);
    forgetName(target.folder.get(), temp.name);
    temp.name.clear();
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

Result<Done> makePrivateFolder(const fs::path& folder)
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

fs::path userCacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return fs::path(cache) / "hattsheet";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const struct passwd* user = ::getpwuid(::geteuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return fs::path(home) / ".cache" / "hattsheet";
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
