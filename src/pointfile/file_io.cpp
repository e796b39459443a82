#include "pointfile/file_io.h"

#include "base/platform.h"

#include <cerrno>
#include <cstring>

namespace hattsheet::pointfile {

namespace fs = std::filesystem;
namespace sys = hattsheet::platform;

namespace {

FileError errorFor(const fs::path& path, int err)
{
    return FileError{sys::pathToUtf8(path), std::strerror(err)};
}

fs::path folderOf(const fs::path& path)
{
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link), also when that file does not exist yet; a descriptor name met on
// the way is returned as it is.
fs::path followLinks(fs::path path, int& err)
{
    constexpr int kMostLinks = 40;  // the kernel's own limit before ELOOP
    for (int hop = 0; hop < kMostLinks; ++hop) {
        if (sys::descriptorOf(path)) return path;
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

Expected<std::string, FileError> readWholeFile(const fs::path& path)
{
    // Only regular files: a FIFO would block the open until some writer
    // came (the open itself does not wait), and a device such as /dev/zero
    // would be read until memory ran out.
    int err = 0;
    bool regular = false;
    const int fd = sys::openForReading(path, err, regular);
    if (fd < 0) return unexpected(errorFor(path, err));
    if (!regular) {
        const bool folder = sys::factsOf(path, err).isFolder;
        sys::closeFile(fd);
        return unexpected(errorFor(path, folder ? EISDIR : EINVAL));
    }
    std::string data;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (!ec) data.reserve(static_cast<std::size_t>(size));
    char block[1 << 16];
    for (;;) {
        const long long n = sys::readSome(fd, block, sizeof block, err);
        if (n < 0) {
            sys::closeFile(fd);
            return unexpected(errorFor(path, err));
        }
        if (n == 0) break;
        data.append(block, static_cast<std::size_t>(n));
    }
    sys::closeFile(fd);
    return data;
}

SafeWriter::SafeWriter(const fs::path& chosen)
{
    const fs::path path = followLinks(chosen, m_error);
    if (m_error != 0) return;
    if (const auto fd = sys::descriptorOf(path)) {
        m_fd = sys::duplicate(*fd, m_error);
        return;
    }
    int err = 0;
    const sys::FileFacts facts = sys::factsOf(path, err);
    if (facts.exists) {
        if (facts.isFolder) {
            m_error = EISDIR;
            return;
        }
        // The shell's ">" refuses a file the user may not write; so does this.
        if ((m_error = sys::mayWrite(path)) != 0) return;
        if (!facts.isRegular) {
            m_fd = sys::openDeviceForWriting(path, m_error);
            return;
        }
        m_old = facts;
    } else if (err != ENOENT) {
        m_error = err;
        return;
    }
    m_fd = sys::createPrivateFile(folderOf(path), m_temp, m_error);
    if (m_fd < 0) m_temp.clear();
    m_target = path;
}

SafeWriter::~SafeWriter()
{
    if (m_fd >= 0) sys::closeFile(m_fd);
    if (!m_temp.empty()) sys::removeFile(m_temp);
}

void SafeWriter::write(std::string_view bytes)
{
    if (m_error == 0) m_error = sys::writeAll(m_fd, bytes);
}

int SafeWriter::commit()
{
    if (m_fd < 0) return m_error;
    if (m_error == 0 && !m_temp.empty()) {
        // Where the old owner cannot be kept (another user's file, written by
        // someone who is not root), refuse rather than change who may read it.
        m_error = sys::flushToDisk(m_fd);
        if (m_error == 0) m_error = sys::keepOwnerAndMode(m_fd, m_old);
    }
    if (const int err = sys::closeFile(m_fd); err != 0 && m_error == 0) m_error = err;
    m_fd = -1;
    if (m_error == 0 && !m_temp.empty()) {
        m_error = sys::replaceFile(m_temp, m_target);
        if (m_error == 0) m_temp.clear();
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
    const fs::path target = folder / sys::pathFromUtf8(name);
    fs::path temp;
    int err = 0;
    const int fd = sys::createPrivateFile(folder, temp, err);
    if (fd < 0) return unexpected(errorFor(target, err));
    err = sys::writeAll(fd, bytes);
    if (const int closed = sys::closeFile(fd); err == 0) err = closed;
    // The rename replaces a link or FIFO entry itself and refuses a folder.
    if (err == 0) err = sys::replaceFile(temp, target);
    if (err != 0) {
        sys::removeFile(temp);
        return unexpected(errorFor(target, err));
    }
    return Written{};
}

fs::path privateFolder(const fs::path& programDir, const fs::path& cacheDir)
{
    if (!programDir.empty() && sys::isOwnFolder(programDir) && !installedBinFolder(programDir)) return programDir;
    if (cacheDir.empty()) return {};
    std::error_code ec;
    fs::create_directories(cacheDir.parent_path(), ec);
    sys::makePrivateFolder(cacheDir);
    return sys::isOwnFolder(cacheDir) ? cacheDir : fs::path();
}

} // namespace hattsheet::pointfile
