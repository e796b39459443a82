// Temporary files on POSIX systems: unnamed where the file system allows
// (Linux' O_TMPFILE), else named and removed by a signal handler when the
// program is ended before the rename; the replaced file's owner, mode and
// extended attributes carried over; the rename that puts it in place. See
// platform.h, createTemp.

#include "base/platform.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace hattsheet::platform {

namespace {

// The file-creation mask, read once before main while the program has one
// thread: umask() can only be read by setting it, which would race with the
// list mode's second thread.
const mode_t kCreationMask = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}();

// --- Named temporary files removed when a signal ends the program ---------
//
// A fixed table the handler may read: a folder descriptor and a name per
// file. Writers fill a slot with the signals blocked, so the handler never
// sees half a slot.
struct PendingName {
    std::atomic<int> folder{-1};
    char name[32] = {};
};
PendingName g_pending[kMostPendingNames];
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

// Puts the name of a file just made in folder in the table (the signals
// held by the caller). When every slot is taken the handler could not remove
// it, so the file goes at once and EMFILE says why.
Expected<Done, SystemError> watchOrRemove(int folder, const std::string& name)
{
    installCleanup();
    for (PendingName& p : g_pending) {
        if (p.folder.load() >= 0) continue;
        std::strncpy(p.name, name.c_str(), sizeof p.name - 1);
        p.folder.store(folder);
        return Done{};
    }
    ::unlinkat(folder, name.c_str(), 0);
    return failure(EMFILE);
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

// Links the unnamed file fd into folder as name.
bool linkUnnamed(int fd, int folder, const std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    // Without /proc; needs CAP_DAC_READ_SEARCH.
    return ::linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// Writes the bytes [at, end) of from over the same bytes of to.
Expected<Done, SystemError> copyRange(int from, int to, off_t at, off_t end)
{
    char block[1 << 16];
    while (at < end) {
        const ssize_t n = ::pread(from, block, std::size_t(std::min<off_t>(end - at, off_t(sizeof block))), at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failure(errno);
        if (n == 0) return failure(EIO);  // the temporary file is shorter than it was
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::pwrite(to, block + done, std::size_t(n - done), at + done);
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return failure(errno);
            done += w;
        }
        at += n;
    }
    return Done{};
}

// Room on the disk for length bytes of to, taken before any of its bytes is
// overwritten: fallocate, or where the file system has none, the part past
// the old end written first (which overwrites nothing). When there is no
// room, to is cut back to its old length, so it holds its old bytes alone.
// (A copy-on-write file system may still need room for the overwrite
// itself; no call reserves that.)
Expected<Done, SystemError> reserveLength(int from, int to, off_t length)
{
    struct stat st {};
    if (::fstat(to, &st) != 0) return failure(errno);
    const off_t had = st.st_size;
    if (length == 0 || ::fallocate(to, 0, 0, length) == 0) return Done{};
    int err = errno;
    if (err == EOPNOTSUPP || err == ENOSYS) {
        const auto tail = length > had ? copyRange(from, to, had, length) : Expected<Done, SystemError>(Done{});
        if (tail) return tail;
        err = tail.error().code;
    }
    if (::ftruncate(to, had) != 0) return failure(errno);
    return failure(err);
}

// Writes the whole of the file from over to, from the start, and cuts to
// there, after reserving the room for all of it.
Expected<Done, SystemError> copyInPlace(int from, int to)
{
    struct stat st {};
    if (::fstat(from, &st) != 0) return failure(errno);
    if (auto reserved = reserveLength(from, to, st.st_size); !reserved) return reserved;
    if (auto copied = copyRange(from, to, 0, st.st_size); !copied) return copied;
    if (::ftruncate(to, st.st_size) != 0 || ::fsync(to) != 0) return failure(errno);
    return Done{};
}

// The names of fd's extended attributes; empty where the file system has none.
Expected<std::vector<std::string>, SystemError> attributeNames(int fd)
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

Expected<TempFile, SystemError> createTemp(const WriteTarget& target, bool named)
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
            Descriptor fd(named);
            if (auto watched = watchOrRemove(target.folder.get(), name); !watched) return unexpected(watched.error());
            return TempFile{std::move(fd), std::move(name)};
        }
        if (errno != EEXIST) return failure(errno);
    }
    return failure(EEXIST);
}

Expected<Done, SystemError> keepAttributes(const TempFile& temp, const WriteTarget& target)
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

Expected<Done, SystemError> commitTemp(TempFile& temp, WriteTarget& target)
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
                if (auto watched = watchOrRemove(folder, name); !watched) return watched;
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

} // namespace hattsheet::platform
