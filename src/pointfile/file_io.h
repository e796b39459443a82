#pragma once
// Whole-file reading and the two ways this program writes files.
//
// The user's own files (a save, the command line's -o) go through SafeWriter:
// a private temporary file beside the target that takes its name only when
// every byte was written, so a failure leaves the old file as it was. It
// refuses what the shell's ">" would refuse (a write-protected file), keeps
// a replaced file's owner, group and mode, writes devices and descriptors
// (/dev/null, /dev/stdout, /dev/fd/N) in place, and writes through a
// symbolic link, also a dangling one.
//
// The program's own by-products (TempFeed.Dat, TempFile.Dat) have fixed
// names that others could plant a link, a FIFO or a folder at. They are
// never opened by name: the bytes go to a private new file that is then
// renamed onto the name, which replaces a link or FIFO entry itself, never
// what it points to, and never blocks.

#include "base/platform.h"
#include "base/expected.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace hattsheet::pointfile {

struct FileError {
    std::string path;    // the file that could not be read or written (UTF-8)
    std::string reason;  // the system's reason, for logs and the command line
};

Expected<std::string, FileError> readWholeFile(const std::filesystem::path& path);

// A file written in place of the chosen one, piece by piece. Without a
// successful commit() a file target is left exactly as it was; a device or
// descriptor target has had the bytes written so far.
class SafeWriter {
public:
    explicit SafeWriter(const std::filesystem::path& chosen);
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // The errno of the first failure so far (also of the open), or 0.
    int error() const { return m_error; }
    // Whether the bytes go straight to a device or descriptor.
    bool inPlace() const { return m_temp.empty() && m_fd >= 0; }
    // Appends bytes; after a failure nothing more is written.
    void write(std::string_view bytes);
    // Flushes to disk, gives the file the old file's owner, group and mode
    // (or the umask's for a new one), closes and renames; the errno of the
    // first failure, or 0.
    int commit();

private:
    std::filesystem::path m_target;  // the file that takes the temporary file's name
    std::filesystem::path m_temp;    // empty when written in place
    platform::FileFacts m_old;       // the file replaced, if any
    int m_fd = -1;
    int m_error = 0;
};

struct Written {};
// The whole of bytes through a SafeWriter.
Expected<Written, FileError> writeFileSafely(const std::filesystem::path& path, std::string_view bytes);

// Replaces the entry folder/name by a new private file (mode 0600) holding
// bytes. An entry that is a folder is left alone and refused.
Expected<Written, FileError> replaceFixedName(const std::filesystem::path& folder, std::string_view name,
                                              std::string_view bytes);

// The folder for the program's by-products: programDir when the user running
// the program owns it and nobody else may write in it and it is not an
// installed program's bin folder; otherwise cacheDir, created 0700 when
// missing and used only when it too is the user's alone. Empty when neither.
std::filesystem::path privateFolder(const std::filesystem::path& programDir,
                                    const std::filesystem::path& cacheDir);

} // namespace hattsheet::pointfile
