#include "file_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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

} // namespace

mode_t modeForReplacement(const fs::path& target)
{
    struct stat st {};
    return ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~creationMask());
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
    // Through a symbolic link the file it names is replaced and the link
    // stays: a rename over the link itself would leave that file stale.
    std::error_code ec;
    fs::path path = fs::is_symlink(chosen, ec) ? fs::weakly_canonical(chosen, ec) : chosen;
    if (ec || path.empty()) path = chosen;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        m_fd = S_ISDIR(st.st_mode) ? -1 : ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_fd < 0) m_error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        return;
    }
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    m_temp = (folder / std::string(".").append(path.filename().string()).append(".XXXXXX")).string();
    m_fd = ::mkstemp(m_temp.data());
    if (m_fd < 0) {
        m_error = errno;
        m_temp.clear();
        return;
    }
    m_target = std::move(path);
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
    if (m_error == 0 && !m_temp.empty() && ::fsync(m_fd) != 0) m_error = errno;
    if (::close(m_fd) != 0 && m_error == 0) m_error = errno;
    m_fd = -1;
    if (m_error == 0 && !m_temp.empty()) {
        if (::chmod(m_temp.c_str(), modeForReplacement(m_target)) != 0 ||
            ::rename(m_temp.c_str(), m_target.c_str()) != 0) {
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

fs::path firstWritableFolder(std::initializer_list<fs::path> candidates)
{
    for (const fs::path& folder : candidates) {
        if (folder.empty()) continue;
        std::error_code ec;
        fs::create_directories(folder, ec);
        std::string probe = (folder / ".hattsheet-probe.XXXXXX").string();
        const int fd = ::mkstemp(probe.data());
        if (fd < 0) continue;
        ::close(fd);
        ::unlink(probe.c_str());
        return folder;
    }
    return {};
}

} // namespace hattsheet::pointfile
