#pragma once
// Whole-file reading and safe writing. A write goes to a temporary file in
// the target's folder, which replaces the target only after every byte was
// written and the file closed without error; a failure leaves the old file
// as it was. A target that exists and is not a regular file (a device, a
// FIFO) is written in place, since renaming over it would replace the node.

#include "expected.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace hattsheet::pointfile {

struct FileError {
    std::string path;    // the file that could not be read or written (UTF-8)
    std::string reason;  // the system's reason, for logs and the command line
};

Expected<std::string, FileError> readWholeFile(const std::filesystem::path& path);

// Writes all bytes to a file descriptor, again after an interrupted or
// short write; the errno of the failure, or 0.
int writeAll(int fd, std::string_view bytes);

// The permissions a file written in place of `target` gets: the old file's,
// or for a new file what the user's umask allows (0666 less the mask).
mode_t modeForReplacement(const std::filesystem::path& target);

// A file written in place of the chosen one, piece by piece: into a
// temporary file beside it that takes its name at commit(), so a failure
// leaves the old file as it was. A target that is a device or FIFO is
// written in place, a folder refused with EISDIR. Without a successful
// commit() the temporary file goes.
class SafeWriter {
public:
    explicit SafeWriter(const std::filesystem::path& chosen);
    ~SafeWriter();
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // The errno of the first failure so far (also of the open), or 0.
    int error() const { return m_error; }
    // Appends bytes; after a failure nothing more is written.
    void write(std::string_view bytes);
    // Flushes to disk, closes and renames; the errno of the first failure, or 0.
    int commit();

private:
    std::filesystem::path m_target;  // empty when written in place
    std::string m_temp;
    int m_fd = -1;
    int m_error = 0;
};

struct Written {};
// The whole of bytes through a SafeWriter.
Expected<Written, FileError> writeFileSafely(const std::filesystem::path& path, std::string_view bytes);

// The folder for the temporary files: the first of the candidates in which a
// file can be created (a folder that does not exist yet is created).
// Empty path when none works.
std::filesystem::path firstWritableFolder(std::initializer_list<std::filesystem::path> candidates);

} // namespace hattsheet::pointfile
