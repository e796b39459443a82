#include "base/safe_file.h"

#include <cerrno>

namespace hattsheet::files {

namespace fs = std::filesystem;
namespace sys = hattsheet::platform;

namespace {

Unexpected<SystemError> errorFor(const fs::path& path, int err) { return systemFailure(err, sys::pathToUtf8(path)); }

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

Expected<std::string, SystemError> readWholeFile(const fs::path& path, std::uintmax_t limit)
{
    // Only regular files: a FIFO would block the reads until some writer
    // came (the open itself does not wait), and a device such as /dev/zero
    // would be read until memory ran out.
    auto opened = sys::openForReading(path);
    if (!opened) return errorFor(path, opened.error().code);
    if (!opened->regular) return errorFor(path, opened->folder ? EISDIR : sys::kNotRegularFile);
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
        // Reads do not wait (openForReading): EAGAIN is a file such as
        // /proc/kmsg, which would block until the kernel logs something.
        if (!n) return errorFor(path, n.error().code == EAGAIN ? sys::kWouldWait : n.error().code);
        if (*n == 0) break;
        if (*n > limit - data.size()) return errorFor(path, EFBIG);
        data.append(block, *n);
    }
    return data;
}

TargetId identify(const fs::path& chosen, sys::WriteKinds kinds)
{
    const auto target = sys::openWriteTarget(chosen, kinds);
    if (!target) return {{}, {}, target.error().code};
    return {target->entry, target->file, 0};
}

SafeWriter::SafeWriter(const fs::path& chosen, sys::WriteKinds kinds) : m_path(sys::pathToUtf8(chosen))
{
    auto target = sys::openWriteTarget(chosen, kinds);
    if (!target) {
        fail(m_lookupError = target.error().code);
        return;
    }
    m_target = std::move(*target);
    if (inPlace()) return;
    auto temp = sys::createTemp(m_target);
    if (!temp) {
        fail(temp.error().code);
        return;
    }
    m_temp = std::move(*temp);
}

void SafeWriter::fail(int code)
{
    if (m_state) m_state = systemFailure(code, m_path);
}

SafeWriter::~SafeWriter()
{
    if (m_temp.fd.valid() || !m_temp.name.empty()) sys::discardTemp(m_temp, m_target);
}

void SafeWriter::write(std::string_view bytes)
{
    if (!m_state) return;
    const int fd = inPlace() ? m_target.inPlace.get() : m_temp.fd.get();
    if (auto w = sys::writeAll(fd, bytes); !w) fail(w.error().code);
}

Expected<Done, SystemError> SafeWriter::commit()
{
    if (!m_state) return m_state;
    if (inPlace()) {
        if (auto closed = m_target.inPlace.close(); !closed) fail(closed.error().code);
        return m_state;
    }
    // A file of more than one name is written over in place: it keeps
    // its own attributes.
    auto done = m_target.links > 1 ? Expected<Done, SystemError>(Done{}) : sys::keepAttributes(m_temp, m_target);
    if (done) done = sys::commitTemp(m_temp, m_target);
    if (!done) fail(done.error().code);
    return m_state;
}

Expected<Done, SystemError> replaceFixedName(sys::WriteTarget& folder, std::string_view name, std::string_view bytes)
{
    const fs::path path = folder.folderPath / sys::pathFromUtf8(name);
    folder.leaf = std::string(name);
    auto temp = sys::createTemp(folder);
    if (!temp) return errorFor(path, temp.error().code);
    // The new file stays private (0600): no keepAttributes.
    auto done = sys::writeAll(temp->fd.get(), bytes);
    if (done) done = sys::commitTemp(*temp, folder);
    if (!done) {
        sys::discardTemp(*temp, folder);
        return errorFor(path, done.error().code);
    }
    return Done{};
}

Expected<sys::WriteTarget, SystemError> privateFolder(const fs::path& programDir, const fs::path& cacheDir)
{
    if (!programDir.empty() && !installedBinFolder(programDir)) {
        if (auto own = sys::openPrivateFolder(programDir, false)) return own;
    }
    if (cacheDir.empty()) return errorFor(programDir, ENOENT);
    auto cache = sys::openPrivateFolder(cacheDir, true);
    if (!cache) return errorFor(cacheDir, cache.error().code);
    return cache;
}

} // namespace hattsheet::files
