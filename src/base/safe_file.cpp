#include "base/safe_file.h"

#include <cerrno>

namespace hattsheet::files {

namespace fs = std::filesystem;
namespace sys = hattsheet::platform;

namespace {

FileError errorFor(const fs::path& path, int err) { return FileError{sys::pathToUtf8(path), err}; }

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

Expected<std::string, FileError> readWholeFile(const fs::path& path, std::uintmax_t limit)
{
    // Only regular files: a FIFO would block the open until some writer
    // came (the open itself does not wait), and a device such as /dev/zero
    // would be read until memory ran out.
    auto opened = sys::openForReading(path);
    if (!opened) return unexpected(errorFor(path, opened.error().code));
    if (!opened->regular) return unexpected(errorFor(path, opened->folder ? EISDIR : sys::kNotRegularFile));
    const int fd = opened->fd.get();
    std::string data;
    std::error_code ec;
    if (const auto size = fs::file_size(path, ec); !ec) data.reserve(std::size_t(std::min(size, limit)));
    // The size reported is not believed: bytes are counted as they come,
    // and a block that would take the text past the limit is refused. Whole
    // blocks: some files of /proc take no reads of odd sizes.
    char block[1 << 16];
    for (;;) {
        const auto n = sys::readSome(fd, block, sizeof block);
        if (!n) return unexpected(errorFor(path, n.error().code));
        if (*n == 0) break;
        if (*n > limit - data.size()) return unexpected(errorFor(path, EFBIG));
        data.append(block, *n);
    }
    return data;
}

TargetId identify(const fs::path& chosen)
{
    const auto target = sys::openWriteTarget(chosen);
    if (!target) return {{}, {}, target.error().code};
    return {target->entry, target->file, 0};
}

SafeWriter::SafeWriter(const fs::path& chosen)
{
    auto target = sys::openWriteTarget(chosen);
    if (!target) {
        m_error = m_lookupError = target.error().code;
        return;
    }
    m_target = std::move(*target);
    if (inPlace()) return;
    auto temp = sys::createTemp(m_target);
    if (!temp) {
        m_error = temp.error().code;
        return;
    }
    m_temp = std::move(*temp);
}

SafeWriter::~SafeWriter()
{
    if (m_temp.fd.valid() || !m_temp.name.empty()) sys::discardTemp(m_temp, m_target);
}

void SafeWriter::write(std::string_view bytes)
{
    if (m_error != 0) return;
    const int fd = inPlace() ? m_target.inPlace.get() : m_temp.fd.get();
    if (auto w = sys::writeAll(fd, bytes); !w) m_error = w.error().code;
}

int SafeWriter::commit()
{
    if (m_error != 0) return m_error;
    if (inPlace()) {
        if (auto closed = m_target.inPlace.close(); !closed) m_error = closed.error().code;
        return m_error;
    }
    // A file of more than one name is written over in place: it keeps
    // its own attributes.
    auto done = m_target.links > 1 ? sys::Result<sys::Done>(sys::Done{}) : sys::keepAttributes(m_temp, m_target);
    if (done) done = sys::commitTemp(m_temp, m_target);
    if (!done) m_error = done.error().code;
    return m_error;
}

Expected<Written, FileError> replaceFixedName(const fs::path& folder, std::string_view name, std::string_view bytes)
{
    const fs::path path = folder / sys::pathFromUtf8(name);
    auto target = sys::openFolder(folder);
    if (!target) return unexpected(errorFor(path, target.error().code));
    target->leaf = std::string(name);
    auto temp = sys::createTemp(*target);
    if (!temp) return unexpected(errorFor(path, temp.error().code));
    // The new file stays private (0600): no keepAttributes.
    auto done = sys::writeAll(temp->fd.get(), bytes);
    if (done) done = sys::commitTemp(*temp, *target);
    if (!done) {
        sys::discardTemp(*temp, *target);
        return unexpected(errorFor(path, done.error().code));
    }
    return Written{};
}

Expected<fs::path, FileError> privateFolder(const fs::path& programDir, const fs::path& cacheDir)
{
    if (!programDir.empty() && sys::isOwnFolder(programDir) && !installedBinFolder(programDir)) return programDir;
    if (cacheDir.empty()) return unexpected(errorFor(programDir, ENOENT));
    if (auto made = sys::makePrivateFolder(cacheDir); !made && made.error().code != EEXIST)
        return unexpected(errorFor(cacheDir, made.error().code));
    if (!sys::isOwnFolder(cacheDir)) return unexpected(errorFor(cacheDir, EACCES));
    return cacheDir;
}

} // namespace hattsheet::files
