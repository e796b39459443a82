// The platform layer on Windows: wide-character calls for UTF-8 paths, C
// runtime descriptors over Windows handles. See platform.h.

#include "base/platform.h"

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <random>

// windows.h before shellapi.h, which needs its macros.
#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace hattsheet::platform {

namespace fs = std::filesystem;

namespace {

// The errno value closest to a Windows error code.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DIRECTORY: return ENOTDIR;
    default: return EIO;
    }
}

Unexpected<SystemError> lastFailure() { return failure(errnoOf(::GetLastError())); }

// The device a name stands for whatever its folder and extension ("NUL",
// "c:\x\aux.txt", "COM1 .log"): its upper-case name, or empty for a file.
std::wstring deviceName(const fs::path& path)
{
    std::wstring stem = path.filename().wstring();
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && (stem.back() == L' ' || stem.back() == L'\t')) stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(::towupper(c));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* d : kDevices) {
        if (stem == d) return stem;
    }
    // COM1-COM9, LPT1-LPT9 and the superscript digits ¹ ² ³ Windows also takes.
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
        ((stem[3] >= L'1' && stem[3] <= L'9') || stem[3] == L'\u00B9' || stem[3] == L'\u00B2' || stem[3] == L'\u00B3'))
        return stem;
    return {};
}

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

bool setDeletePending(int fd, bool pending)
{
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = pending ? TRUE : FALSE;
    return ::SetFileInformationByHandle(handleOf(fd), FileDispositionInfo, &info, sizeof info) != 0;
}

// A file of more than one name is written over in place (commitTemp), as
// the shell's ">" would, so that every name keeps seeing it: opened here
// with its number of names; t is left as it was for a file of one name.
Expected<Done, SystemError> openIfLinked(const fs::path& path, WriteTarget& t)
{
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lastFailure();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info) || info.nNumberOfLinks < 2) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        if (info.nNumberOfLinks == 0) return failure(errnoOf(error));
        return Done{};
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(h);
        return failure(EMFILE);
    }
    t.old = Descriptor(fd);
    t.links = unsigned(info.nNumberOfLinks);
    return Done{};
}

// Writes the whole of the file from over to, after reserving the room for
// all of it (FileAllocationInfo takes the clusters without moving the end of
// the file; never less than it has, which would cut it), so that a disk
// that fills leaves the old bytes whole; then ends to where from ends.
Expected<Done, SystemError> copyInPlace(int from, int to)
{
    LARGE_INTEGER size{}, had{};
    if (!::GetFileSizeEx(handleOf(from), &size) || !::GetFileSizeEx(handleOf(to), &had)) return lastFailure();
    FILE_ALLOCATION_INFO room{};
    room.AllocationSize = size.QuadPart > had.QuadPart ? size : had;
    if (!::SetFileInformationByHandle(handleOf(to), FileAllocationInfo, &room, sizeof room)) return lastFailure();
    if (::_lseeki64(from, 0, SEEK_SET) < 0 || ::_lseeki64(to, 0, SEEK_SET) < 0) return failure(errno);
    char block[1 << 16];
    for (int n; (n = ::_read(from, block, sizeof block)) != 0;) {
        if (n < 0) return failure(errno);
        if (auto w = writeAll(to, std::string_view(block, std::size_t(n))); !w) return w;
    }
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile = size;
    if (!::SetFileInformationByHandle(handleOf(to), FileEndOfFileInfo, &end, sizeof end) ||
        !::FlushFileBuffers(handleOf(to)))
        return lastFailure();
    return Done{};
}

} // namespace

int closeDescriptor(int fd) { return ::_close(fd) != 0 ? errno : 0; }

Expected<Reading, SystemError> openForReading(const fs::path& path, bool)
{
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        const int err = errno;
        std::error_code ec;
        if (err == EACCES && fs::is_directory(path, ec)) return failure(EISDIR);
        return failure(err);
    }
    struct _stat64 st {};
    const bool regular = ::_fstat64(fd, &st) == 0 && (st.st_mode & _S_IFREG) != 0;
    return Reading{Descriptor(fd), regular, false};
}

Expected<std::size_t, SystemError> readSome(int fd, char* buffer, std::size_t size)
{
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    const int n = ::_read(fd, buffer, chunk);
    if (n < 0) return failure(errno);
    return std::size_t(n);
}

Expected<Done, SystemError> writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const unsigned chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<unsigned>(bytes.size());
        const int n = ::_write(fd, bytes.data(), chunk);
        if (n < 0) return failure(errno);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return Done{};
}

// Windows resolves links itself; what this adds is the device names, which
// it would otherwise open whatever the folder: NUL is written in place like
// /dev/null, the others are refused before anything is converted. The
// folder is kept by name: a replaced file is renamed onto by its handle.
Expected<WriteTarget, SystemError> openWriteTarget(const fs::path& chosen, WriteKinds kinds)
{
    if (chosen.empty()) return failure(ENOENT);
    WriteTarget t;
    const std::wstring device = deviceName(chosen);
    if (device == L"NUL" && kinds == WriteKinds::FilesOnly) return failure(kNotRegularFile);
    if (device == L"NUL") {
        const int fd = ::_wopen(L"NUL", _O_WRONLY | _O_BINARY | _O_NOINHERIT);
        if (fd < 0) return failure(errno);
        t.inPlace = Descriptor(fd);
        return t;
    }
    if (!device.empty()) return failure(kReservedName);
    std::error_code ec;
    const fs::file_status status = fs::status(chosen, ec);
    if (fs::is_directory(status)) return failure(EISDIR);
    t.folderPath = chosen.has_parent_path() ? chosen.parent_path() : fs::path(".");
    t.leaf = pathToUtf8(chosen.filename());
    if (!fs::is_directory(t.folderPath, ec)) return failure(fs::exists(t.folderPath, ec) ? ENOTDIR : ENOENT);
    if (fs::exists(status)) {
        // The shell's ">" refuses a read-only file; so does this.
        if (::_waccess(chosen.c_str(), 2) != 0) return failure(errno);
        if (kinds == WriteKinds::FilesOnly && !fs::is_regular_file(status)) return failure(kNotRegularFile);
        t.file.exists = t.entry.exists = true;
        if (auto linked = openIfLinked(chosen, t); !linked) return unexpected(linked.error());
    }
    return t;
}

Expected<WriteTarget, SystemError> openFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return failure(fs::exists(folder, ec) ? ENOTDIR : ENOENT);
    WriteTarget t;
    t.folderPath = folder;
    return t;
}

// Created with the right to delete it, and marked for deletion at once: if
// the program ends before the rename, Windows removes it.
Expected<TempFile, SystemError> createTemp(const WriteTarget& target, bool)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string leaf = ".hs";
        for (int i = 0; i < 8; ++i) leaf += kLetters[random() % (sizeof kLetters - 1)];
        const fs::path name = target.folderPath / leaf;
        const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (::GetLastError() == ERROR_FILE_EXISTS) continue;
            return lastFailure();
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
        if (fd < 0) {
            ::CloseHandle(h);
            ::DeleteFileW(name.c_str());
            return failure(EMFILE);
        }
        TempFile temp{Descriptor(fd), leaf};
        if (!setDeletePending(fd, true)) {
            temp.fd = Descriptor();
            ::DeleteFileW(name.c_str());
            return lastFailure();
        }
        return temp;
    }
    return failure(EEXIST);
}

// Windows files have no owner or mode bits to carry: the new file inherits
// the folder's access rules, and a read-only file was refused before.
Expected<Done, SystemError> keepAttributes(const TempFile&, const WriteTarget&) { return Done{}; }

Expected<Done, SystemError> commitTemp(TempFile& temp, WriteTarget& target)
{
    const int fd = temp.fd.get();
    const fs::path to = target.folderPath / pathFromUtf8(target.leaf);
    std::error_code ec;
    if (fs::is_directory(to, ec)) return failure(EISDIR);
    if (!::FlushFileBuffers(handleOf(fd))) return lastFailure();
    if (target.old.valid() && target.links > 1) {
        if (auto copied = copyInPlace(fd, target.old.get()); !copied) return copied;
        discardTemp(temp, target);
        return target.old.close();
    }
    if (!setDeletePending(fd, false)) return lastFailure();
    // Renamed by its handle, replacing what is there.
    const std::wstring wide = to.wstring();
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + wide.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = DWORD(wide.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, wide.c_str(), wide.size() * sizeof(wchar_t));
    if (!::SetFileInformationByHandle(handleOf(fd), FileRenameInfo, info, DWORD(buffer.size()))) {
        const DWORD error = ::GetLastError();
        const fs::path from = target.folderPath / temp.name;
        if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const int err = errnoOf(error);
            setDeletePending(fd, true);
            return failure(err);
        }
    }
    temp.name.clear();
    return temp.fd.close();
}

void discardTemp(TempFile& temp, const WriteTarget& target)
{
    // Marked for deletion: closing removes it.
    temp.fd = Descriptor();
    if (!temp.name.empty()) ::DeleteFileW((target.folderPath / temp.name).c_str());
    temp.name.clear();
}

// Windows has no sticky folders or links of other users to walk around:
// a folder the user may write, made with its parents when missing.
Expected<WriteTarget, SystemError> openPrivateFolder(const fs::path& folder, bool create)
{
    std::error_code ec;
    if (create && !fs::is_directory(folder, ec)) {
        if (folder.has_parent_path()) fs::create_directories(folder.parent_path(), ec);
        if (::_wmkdir(folder.c_str()) != 0 && errno != EEXIST) return failure(errno);
    }
    if (!fs::is_directory(folder, ec)) return failure(fs::exists(folder, ec) ? ENOTDIR : ENOENT);
    if (::_waccess(folder.c_str(), 2) != 0) return failure(EACCES);
    WriteTarget t;
    t.folderPath = folder;
    return t;
}

fs::path userCacheFolder()
{
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0') return {};
    return fs::path(local) / L"hattsheet";
}

// The same folder holds the program's per-user data.
fs::path userDataFolder() { return userCacheFolder(); }

fs::path pathFromEnvironment(const char* name)
{
    std::wstring wide;
    for (const char* c = name; *c != '\0'; ++c) wide.push_back(static_cast<wchar_t>(*c));
    const wchar_t* value = ::_wgetenv(wide.c_str());
    return value != nullptr && *value != L'\0' ? fs::path(value) : fs::path();
}

void prepareProcess()
{
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
}

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    ::SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
        if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
}

std::string reasonText(int code) { return std::strerror(code); }

bool userReadsGreek() { return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GREEK; }

} // namespace hattsheet::platform
