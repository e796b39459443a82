#pragma once
// Whole-file reading and the two ways this program writes files.
//
// The user's own files (a save, the command line's -o) go through SafeWriter.
// The name is looked up once, as the kernel would for this user, with the
// sticky-folder rules of the kernel's fs.protected_symlinks, _regular and
// _fifos applied whatever the machine's setting (another user's link, file
// or FIFO in /tmp is refused, to root too); the folder it ends in is held
// open and every later step (the temporary file, its attributes, the
// rename) is done relative to it, so that nothing done to the path in the
// meantime moves the write elsewhere. The window writes regular files only
// (a FIFO or device could hang it); a FIFO is never opened without a reader.
// The bytes go to a temporary file in that folder, without a name until the
// commit where the system allows (else a hidden one that a SIGINT, SIGTERM,
// SIGHUP or SIGPIPE removes), which takes the target's name only when every
// byte was written, so a failure leaves the old file as it was. It refuses
// what the shell's ">" would refuse (a write-protected file), keeps a
// replaced file's owner, group, mode, ACL and extended attributes (or
// refuses), writes a file with more than one name in place once all of it
// was written to the temporary file and room for all of it was reserved on
// the disk (a list streams in, so its length is known only then; a disk
// that fills refuses the reservation and the old bytes stay whole), writes
// devices and descriptors (/dev/null, /dev/stdout,
// /dev/fd/N) in place, and writes through a symbolic link, also a dangling
// one in a folder of the user's own.
//
// The program's own by-products (TempFeed.Dat, TempFile.Dat) have fixed
// names that others could plant a link, a FIFO or a folder at. Their folder
// is opened once, never through a link another user controls, and they are
// written relative to it; they are never opened by name: the bytes go to a private new file that is then
// renamed onto the name, which replaces a link or FIFO entry itself, never
// what it points to, and never blocks.

#include "base/expected.h"
#include "base/platform.h"
#include "base/system_error.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace hattsheet::files {

// Each failure is a SystemError naming the file or folder that could not be
// read or written.

// The whole of a regular file, read while it is no longer than limit bytes:
// EFBIG as soon as byte limit + 1 arrives (a file that grows while it is
// read, or one of /proc whose reported size is 0), EISDIR for a folder,
// platform::kNotRegularFile for a FIFO, device or socket (which could block
// or never end), platform::kWouldWait for a file whose read would wait for
// data (/proc/kmsg): nothing here ever waits.
Expected<std::string, SystemError> readWholeFile(const std::filesystem::path& path, std::uintmax_t limit);

// What a chosen name leads to, to see whether it changed while the user was
// asked about it.
struct TargetId {
    platform::FileId entry, file;
    int error = 0;  // the errno of a name that could not be looked up
    bool operator==(const TargetId&) const = default;
};
TargetId identify(const std::filesystem::path& chosen, platform::WriteKinds kinds = platform::WriteKinds::Any);

// A file written in place of the chosen one, piece by piece. Without a
// successful commit() a file target is left exactly as it was; a device or
// descriptor target has had the bytes written so far.
class SafeWriter {
public:
    // The window asks for WriteKinds::FilesOnly.
    explicit SafeWriter(const std::filesystem::path& chosen, platform::WriteKinds kinds = platform::WriteKinds::Any);
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // The first failure so far (also of the open), or Done.
    const Expected<Done, SystemError>& state() const { return m_state; }
    // Whether the bytes go straight to a device or descriptor.
    bool inPlace() const { return m_target.inPlace.valid(); }
    // What the name led to when it was opened.
    TargetId id() const { return {m_target.entry, m_target.file, m_lookupError}; }
    // Appends bytes; after a failure nothing more is written.
    void write(std::string_view bytes);
    // Gives the file the old file's owner, group, mode and attributes (or
    // the umask's mode for a new one), flushes it to the disk and puts it in
    // place; the first failure, or Done.
    Expected<Done, SystemError> commit();

private:
    platform::WriteTarget m_target;
    platform::TempFile m_temp;
    std::string m_path;     // the chosen name (UTF-8), for the error
    int m_lookupError = 0;  // the errno of the name's lookup
    Expected<Done, SystemError> m_state = Done{};

    void fail(int code);
};

// Replaces the entry name of the held folder (see privateFolder) by a new
// private file (mode 0600) holding bytes. An entry that is a folder is left
// alone and refused.
Expected<Done, SystemError> replaceFixedName(platform::WriteTarget& folder, std::string_view name,
                                              std::string_view bytes);

// The folder for the program's by-products, held open (its folderPath for
// messages): programDir when the user running the program owns it, nobody
// else may write in it or turn a name on its path elsewhere, and it is not
// an installed program's bin folder; otherwise cacheDir, made 0700 when
// missing and used only when it too is the user's alone (see
// platform::openPrivateFolder). The files are then written relative to the
// folder held, never by walking the path again. The error names cacheDir,
// the place that was tried last.
Expected<platform::WriteTarget, SystemError> privateFolder(const std::filesystem::path& programDir,
                                                           const std::filesystem::path& cacheDir);

} // namespace hattsheet::files
