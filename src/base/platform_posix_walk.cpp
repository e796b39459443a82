// Where a write of a chosen name goes on POSIX systems: the name looked up
// one entry at a time, as the kernel would for this user (Linux: O_PATH).
// See platform.h, openWriteTarget.

#include "base/platform.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <deque>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace hattsheet::platform {

namespace fs = std::filesystem;

namespace {

constexpr int kMostLinks = 40;              // the kernel's own limit before ELOOP
constexpr long kProcSuperMagic = 0x9fa0;    // statfs' f_type of /proc

FileId idOf(const struct stat& st) { return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), true}; }

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

// The kernel's fs.protected_regular and fs.protected_fifos (level 1),
// which this program applies whatever the machine's setting and to root
// too: a file or FIFO in a sticky folder that all may write is written only
// when the user or the folder's owner owns it. Otherwise another user may
// have planted it to read what is written (a FIFO with a reader, a file
// with a second name) or to keep it theirs.
bool plantedByOthers(const struct stat& folder, const struct stat& file)
{
    if (!S_ISREG(file.st_mode) && !S_ISFIFO(file.st_mode)) return false;
    if ((folder.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH)) return false;
    return file.st_uid != ::geteuid() && file.st_uid != folder.st_uid;
}

// Whether a write of the kinds asked may go into file (in folder); checked
// on the entry before it is opened and on what was opened.
Expected<Done, SystemError> mayWrite(const struct stat& folder, const struct stat& file, WriteKinds kinds)
{
    if (kinds == WriteKinds::FilesOnly && !S_ISREG(file.st_mode)) return failure(kNotRegularFile);
    if (plantedByOthers(folder, file)) return failure(kOthersFile);
    return Done{};
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

// The last name's file, found as an existing entry of the target's folder
// (folderSt): a regular file opened for writing (which proves the user
// may), anything else that is no folder opened to be written in place. A
// FIFO without a reader fails the open with ENXIO instead of waiting.
Expected<Done, SystemError> openExisting(WriteTarget& t, const struct stat& folderSt, WriteKinds kinds)
{
    const int flags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::openat(t.folder.get(), t.leaf.c_str(), flags);
    if (fd < 0) return failure(errno);
    Descriptor opened(fd);
    struct stat now {};
    if (::fstat(fd, &now) != 0) return failure(errno);
    // The entry may have been swapped since it was looked at.
    if (auto may = mayWrite(folderSt, now, kinds); !may) return may;
    t.file = idOf(now);
    if (S_ISREG(now.st_mode)) {
        t.old = std::move(opened);
        t.links = unsigned(now.st_nlink);
        return Done{};
    }
    // A FIFO's reads wait again, as its reader expects.
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return failure(errno);
    t.inPlace = std::move(opened);
    t.folder = Descriptor();
    return Done{};
}

// A lookup of chosen name by name from "/" or the working folder, each name
// relative to the folder found before it (openat with O_NOFOLLOW), links
// followed as the kernel would for this user. It ends with the folder of
// the last name held open and that name, or (wantFolder) with the folder
// chosen.
class Walk {
public:
    Walk(const fs::path& chosen, bool wantFolder, WriteKinds kinds = WriteKinds::Any)
        : m_chosen(chosen), m_wantFolder(wantFolder), m_kinds(kinds)
    {
    }
    Expected<WriteTarget, SystemError> run();

private:
    // Each step takes the next name; true when the target is found.
    using Step = Expected<bool, SystemError>;
    Step next();
    Step missing(int err, const std::string& name, bool last);
    Step followLink(int link, const struct stat& st, const std::string& name, bool last);
    Step followProcLink(const std::string& name, bool last);
    Expected<Done, SystemError> startAt(bool absolute);

    const fs::path& m_chosen;
    const bool m_wantFolder;
    const WriteKinds m_kinds;
    WriteTarget m_t;
    struct stat m_folderSt {};
    std::deque<std::string> m_names;
    int m_links = 0;
    bool m_lastFromLink = false;        // the last name came from a link that ended the name
    bool m_linkInOthersFolder = false;  // one of those links lies in a folder the user does not own
};

Expected<WriteTarget, SystemError> Walk::run()
{
    const std::string& text = m_chosen.native();
    if (text.empty()) return failure(ENOENT);
    if (struct stat st {}; ::lstat(text.c_str(), &st) == 0) m_t.entry = idOf(st);
    if (const auto fd = descriptorOf(m_chosen); fd && !m_wantFolder) {
        const int copy = ::fcntl(*fd, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) return failure(errno);
        m_t.inPlace = Descriptor(copy);
        struct stat st {};
        if (::fstat(copy, &st) != 0) return failure(errno);
        if (m_kinds == WriteKinds::FilesOnly && !S_ISREG(st.st_mode)) return failure(kNotRegularFile);
        return std::move(m_t);
    }
    // A name that ends in "/" names a folder.
    if (!m_wantFolder && text.back() == '/') return failure(EISDIR);
    pushNamesFront(m_names, text);
    if (auto started = startAt(text.front() == '/'); !started) return unexpected(started.error());
    while (!m_names.empty()) {
        const Step found = next();
        if (!found) return unexpected(found.error());
        if (*found) return std::move(m_t);
    }
    if (!m_wantFolder) return failure(EISDIR);
    m_t.folderPath = m_chosen;
    return std::move(m_t);
}

// Holds "/" or the working folder open as the folder of the next name.
Expected<Done, SystemError> Walk::startAt(bool absolute)
{
    const int fd = ::open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    m_t.folder = Descriptor(fd);
    if (::fstat(m_t.folder.get(), &m_folderSt) != 0) return failure(errno);
    return Done{};
}

Walk::Step Walk::next()
{
    const std::string name = std::move(m_names.front());
    m_names.pop_front();
    const bool last = m_names.empty();
    const int fd = ::openat(m_t.folder.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return missing(errno, name, last);
    Descriptor node(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return failure(errno);
    if (S_ISLNK(st.st_mode)) return followLink(fd, st, name, last);
    if (S_ISDIR(st.st_mode)) {
        if (last && !m_wantFolder) return failure(EISDIR);
        m_t.folder = std::move(node);
        m_folderSt = st;
        return false;
    }
    if (!last || m_wantFolder) return failure(ENOTDIR);
    if (auto may = mayWrite(m_folderSt, st, m_kinds); !may) return unexpected(may.error());
    m_t.leaf = name;
    m_t.folderPath = m_chosen.parent_path();
    if (auto opened = openExisting(m_t, m_folderSt, m_kinds); !opened) return unexpected(opened.error());
    return true;
}

// A name that is not there: a new file, when it is the last one.
Walk::Step Walk::missing(int err, const std::string& name, bool last)
{
    if (err != ENOENT || !last || m_wantFolder) return failure(err);
    // A new file; through a dangling link only in a folder of the user's own.
    if (m_lastFromLink && m_linkInOthersFolder) return failure(EACCES);
    m_t.leaf = name;
    m_t.folderPath = m_chosen.parent_path();
    return true;
}

Walk::Step Walk::followLink(int link, const struct stat& st, const std::string& name, bool last)
{
    if (!mayFollow(m_folderSt, st)) return failure(EACCES);
    if (++m_links > kMostLinks) return failure(ELOOP);
    struct statfs fsInfo {};
    if (::fstatfs(m_t.folder.get(), &fsInfo) == 0 && fsInfo.f_type == kProcSuperMagic)
        return followProcLink(name, last);
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(link, "", target, sizeof target);
    if (n < 0) return failure(errno);
    if (n == 0) return failure(ENOENT);
    if (std::size_t(n) == sizeof target) return failure(ENAMETOOLONG);
    if (last) {
        m_lastFromLink = true;
        m_linkInOthersFolder = m_linkInOthersFolder || m_folderSt.st_uid != ::geteuid();
    }
    const std::string_view linkText(target, std::size_t(n));
    if (linkText.front() == '/') {
        if (auto started = startAt(true); !started) return unexpected(started.error());
    }
    pushNamesFront(m_names, linkText);
    // A link to "/" or to a folder with "/" at the end still names a folder.
    if (last && m_names.empty()) m_names.emplace_back(".");
    return false;
}

// A link of /proc (/proc/PID/fd/N) names no path: the kernel follows it.
Walk::Step Walk::followProcLink(const std::string& name, bool last)
{
    const int target = ::openat(m_t.folder.get(), name.c_str(), O_PATH | O_CLOEXEC);
    if (target < 0) return failure(errno);
    Descriptor reached(target);
    struct stat st {};
    if (::fstat(target, &st) != 0) return failure(errno);
    if (S_ISDIR(st.st_mode)) {
        m_t.folder = std::move(reached);
        m_folderSt = st;
        return false;
    }
    if (!last || m_wantFolder) return failure(ENOTDIR);
    if (m_kinds == WriteKinds::FilesOnly && !S_ISREG(st.st_mode)) return failure(kNotRegularFile);
    // Written in place, as the kernel opens it; a FIFO without a reader
    // fails (ENXIO) instead of waiting for one, one with a reader waits
    // for it as a pipe's writer does.
    const int w = ::openat(m_t.folder.get(), name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (w < 0) return failure(errno);
    if (::fcntl(w, F_SETFL, ::fcntl(w, F_GETFL) & ~O_NONBLOCK) != 0) return failure(errno);
    m_t.inPlace = Descriptor(w);
    m_t.folder = Descriptor();
    return true;
}

} // namespace

Expected<WriteTarget, SystemError> openWriteTarget(const fs::path& chosen, WriteKinds kinds)
{
    return Walk(chosen, false, kinds).run();
}
Expected<WriteTarget, SystemError> openFolder(const fs::path& folder) { return Walk(folder, true).run(); }

} // namespace hattsheet::platform
