#include "file_io.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace hattsheet::pointfile {

namespace fs = std::filesystem;

namespace {

FileError errorFor(const fs::path& path, int err)
{
    return FileError{path.string(), std::strerror(err)};
}

// The process's file-creation mask. umask() can only be read by setting it,
// which would race with the list mode's second thread, so it is read from
// /proc; without /proc the usual 022 is assumed.
mode_t creationMask()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 022;
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf - 1);
    ::close(fd);
    if (n <= 0) return 022;
    buf[n] = '\0';
    const char* line = std::strstr(buf, "\nUmask:");
    if (line == nullptr) return 022;
    return static_cast<mode_t>(std::strtoul(line + 7, nullptr, 8)) & 0777;
}

// A new private file in folder with a short random name (long target names
// still leave room for it); its descriptor, or -1 with errno set.
int createPrivateFile(const fs::path& folder, std::string& name)
{
    name = (folder / ".hsXXXXXX").string();
    return ::mkostemp(name.data(), O_CLOEXEC);
}

// The descriptor a path such as /dev/stdout or /dev/fd/3 stands for. Opening
// such a name again would open the file behind the descriptor afresh (and
// truncate a log that the shell opened for appending), so it is written
// through a copy of the descriptor instead.
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

// The file a chain of symbolic links ends at (the path itself when it is no
// link), also when that file does not exist yet; a descriptor name met on
// the way is returned as it is.
fs::path followLinks(fs::path path, int& err)
{
    constexpr int kMostLinks = 40;  // the kernel's own limit before ELOOP
    for (int hop = 0; hop < kMostLinks; ++hop) {
        if (descriptorOf(path)) return path;
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            err = ec.value();
            return path;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    err = ELOOP;
    return path;
}

// Whether folder is the user's alone: a folder owned by the user running the
// program, writable by nobody else, and writable by the user.
bool ownFolder(const fs::path& folder)
{
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// A bin folder beside the share folder of an install of this program: no
// place for data files, whoever runs it.
bool installedBinFolder(const fs::path& folder)
{
    const fs::path prefix = folder.parent_path();
    std::error_code ec;
    return folder.filename() == "bin" && (fs::exists(prefix / "share/doc/hattsheet", ec) ||
                                          fs::exists(prefix / "share/applications/hattsheet.desktop", ec));
}

} // namespace

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

Expected<std::string, FileError> readWholeFile(const fs::path& path)
{
    // Only regular files: a FIFO would block the open until some writer
    // came (O_NONBLOCK keeps the open itself from waiting), and a device
    // such as /dev/zero would be read until memory ran out.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return unexpected(errorFor(path, errno));
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return unexpected(errorFor(path, err));
    }
    data.reserve(static_cast<std::size_t>(st.st_size));
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            return unexpected(errorFor(path, err));
        }
        if (n == 0) break;
        data.append(block, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

SafeWriter::SafeWriter(const fs::path& chosen)
{
    const fs::path path = followLinks(chosen, m_error);
    if (m_error != 0) return;
    if (const auto fd = descriptorOf(path)) {
        m_fd = ::fcntl(*fd, F_DUPFD_CLOEXEC, 0);
        if (m_fd < 0) m_error = errno;
        return;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            m_error = EISDIR;
            return;
        }
        // The shell's ">" refuses a file the user may not write; so does this.
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            m_error = errno;
            return;
        }
        if (!S_ISREG(st.st_mode)) {
            // A device or FIFO, written in place; a FIFO without a reader is
            // refused (ENXIO) instead of waiting for one.
            m_fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
            if (m_fd < 0 || ::fcntl(m_fd, F_SETFL, 0) != 0) m_error = errno;
            return;
        }
        m_old = {st.st_uid, st.st_gid, st.st_mode & 07777u, true};
    } else if (errno != ENOENT) {
        m_error = errno;
        return;
    }
    m_fd = createPrivateFile(path.has_parent_path() ? path.parent_path() : fs::path("."), m_temp);
    if (m_fd < 0) {
        m_error = errno;
        m_temp.clear();
        return;
    }
    m_target = path;
}

SafeWriter::~SafeWriter()
{
    if (m_fd >= 0) ::close(m_fd);
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
}

void SafeWriter::write(std::string_view bytes)
{
    if (m_error == 0) m_error = writeAll(m_fd, bytes);
}

int SafeWriter::commit()
{
    if (m_fd < 0) return m_error;
    if (m_error == 0 && !m_temp.empty()) {
        // Owner and group first: changing them clears set-id bits of the mode.
        // Where the old owner cannot be kept (another user's file, written by
        // someone who is not root), refuse rather than change who may read it.
        struct stat st {};
        if (::fsync(m_fd) != 0 || ::fstat(m_fd, &st) != 0) {
            m_error = errno;
        } else if (m_old.exists && (st.st_uid != m_old.uid || st.st_gid != m_old.gid) &&
                   ::fchown(m_fd, m_old.uid, m_old.gid) != 0) {
            m_error = errno;
        } else if (::fchmod(m_fd, m_old.exists ? m_old.mode : (0666 & ~creationMask())) != 0) {
            m_error = errno;
        }
    }
    if (::close(m_fd) != 0 && m_error == 0) m_error = errno;
    m_fd = -1;
    if (m_error == 0 && !m_temp.empty()) {
        if (::rename(m_temp.c_str(), m_target.c_str()) != 0) {
            m_error = errno;
        } else {
            m_temp.clear();
        }
    }
    return m_error;
}

Expected<Written, FileError> writeFileSafely(const fs::path& chosen, std::string_view bytes)
{
    SafeWriter file(chosen);
    file.write(bytes);
    if (const int err = file.commit(); err != 0) return unexpected(errorFor(chosen, err));
    return Written{};
}

Expected<Written, FileError> replaceFixedName(const fs::path& folder, std::string_view name, std::string_view bytes)
{
    const fs::path target = folder / name;
    std::string temp;
    const int fd = createPrivateFile(folder, temp);
    if (fd < 0) return unexpected(errorFor(target, errno));
    int err = writeAll(fd, bytes);
    if (::close(fd) != 0 && err == 0) err = errno;
    // rename() replaces a link or FIFO entry itself and refuses a folder.
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return unexpected(errorFor(target, err));
    }
    return Written{};
}

fs::path privateFolder(const fs::path& programDir, const fs::path& cacheDir)
{
    if (!programDir.empty() && ownFolder(programDir) && !installedBinFolder(programDir)) return programDir;
    if (cacheDir.empty()) return {};
    std::error_code ec;
    fs::create_directories(cacheDir.parent_path(), ec);
    ::mkdir(cacheDir.c_str(), 0700);
    return ownFolder(cacheDir) ? cacheDir : fs::path();
}

} // namespace hattsheet::pointfile
