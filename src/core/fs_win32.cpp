// The Windows side of the file layer: the entries of the table, the system's
// error numbers translated into fs::Error. Paths are handed to the ANSI ("A")
// functions as they are: the bytes are in the system's code page, which is
// what the user typed and what the settings file holds, so nothing here
// converts them.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "core/fs.h"
#include "core/fs_calls.h"

namespace tessaly::fs {

namespace {

using sys::Handle;

Result Failed(DWORD code = ::GetLastError()) {
    const int number = static_cast<int>(code);
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME: return {Error::NotFound, number};
        case ERROR_ACCESS_DENIED: return {Error::AccessDenied, number};
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE: return {Error::Held, number};
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return {Error::DiskFull, number};
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW: return {Error::NameTooLong, number};
        case ERROR_DIRECTORY: return {Error::NotAFolder, number};
        case ERROR_WRITE_PROTECT: return {Error::ReadOnly, number};
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME: return {Error::BadName, number};
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return {Error::Exists, number};
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return {Error::TooLarge, number};
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE: return {Error::Io, number};
        default: return {Error::Other, number};
    }
}

Result Done(BOOL ok) { return ok ? Result{} : Failed(); }

HANDLE Native(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

// Bytes per call: a DWORD counts them.
DWORD Chunk(std::size_t size) { return static_cast<DWORD>(std::min<std::size_t>(size, 0x40000000u)); }

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Result Open(const std::string& path, sys::OpenMode mode, std::uint32_t kept, Handle& handle) {
    HANDLE file = INVALID_HANDLE_VALUE;
    switch (mode) {
        case sys::OpenMode::Read:
            // Sharing everything lets the user's editor save the file while we read.
            file = ::CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
            break;
        case sys::OpenMode::CreateNew:
            file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
            break;
        case sys::OpenMode::Overwrite:
            file = ::CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A folder opened as a file reads as "access denied"; say what it is.
        const DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return {Error::IsAFolder, static_cast<int>(error)};
        }
        return Failed(error);
    }
    if (mode == sys::OpenMode::Read && ::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        return {Error::NotAFile};
    }
    handle = reinterpret_cast<Handle>(file);
    return {};
}

Result Read(Handle handle, char* buffer, std::size_t size, std::size_t& got) {
    DWORD n = 0;
    const BOOL ok = ::ReadFile(Native(handle), buffer, Chunk(size), &n, nullptr);
    got = n;
    return Done(ok);
}

Result Write(Handle handle, const char* bytes, std::size_t size, std::size_t& put) {
    DWORD n = 0;
    const BOOL ok = ::WriteFile(Native(handle), bytes, Chunk(size), &n, nullptr);
    put = n;
    return Done(ok);
}

Result Size(Handle handle, std::uint64_t& bytes) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(Native(handle), &size)) return Failed();
    bytes = static_cast<std::uint64_t>(size.QuadPart);
    return {};
}

Result Resize(Handle handle, std::uint64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return Done(::SetFileInformationByHandle(Native(handle), FileEndOfFileInfo, &end, sizeof end));
}

Result Flush(Handle handle) { return Done(::FlushFileBuffers(Native(handle))); }

Result Close(Handle handle) { return Done(::CloseHandle(Native(handle))); }

// A plain move is atomic but refuses a target that is open at all. For
// readers that share delete ReplaceFile takes over, and they keep reading the
// old content while the new one takes the name; a reader that does not share
// delete holds the file.
Result Rename(const std::string& from, const std::string& to) {
    if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return {};
    const DWORD error = ::GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION) {
        return Failed(error);
    }
    // ReplaceFile is only tried when it can succeed: where it fails on a
    // reader, some systems leave a stray file of their own in the folder.
    const HANDLE probe =
        ::CreateFileA(to.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD refused = ::GetLastError();
        return refused == ERROR_SHARING_VIOLATION ? Failed(refused) : Failed(error);
    }
    ::CloseHandle(probe);
    return Done(::ReplaceFileA(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
}

Result Remove(const std::string& path) { return Done(::DeleteFileA(path.c_str())); }

Result MakeFolder(const std::string& path) { return Done(::CreateDirectoryA(path.c_str(), nullptr)); }

Result List(const std::string& folder, std::vector<sys::Entry>& entries) {
    std::string pattern = folder;
    if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // An existing folder with no entries at all (a drive's empty root).
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return Result{};
        // "file\*" is refused as a bad name (or ERROR_DIRECTORY): the user
        // named a file where a folder belongs, and should be told so.
        const DWORD attributes = ::GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return Failed(ERROR_DIRECTORY);
        }
        return Failed(error);
    }
    constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        entries.push_back({found.cFileName, (found.dwFileAttributes & kLeftOut) == 0});
    } while (::FindNextFileA(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    return error == ERROR_NO_MORE_FILES ? Result{} : Failed(error);
}

Result Attributes(const std::string& path, sys::Attributes& out) {
    out = {};
    out.target = path;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Result{} : Failed(error);
    }
    out.exists = true;
    out.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out.plainFile = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    out.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // The replacement carries the old file's visible attributes.
    out.kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return {};
}

// Reading attributes only, the open neither meets nor causes a sharing
// violation; backup semantics let it open a folder too.
Result Identity(const std::string& path, sys::Identity& out) {
    out = {};
    const HANDLE file = ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Result{} : Failed(error);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL got = ::GetFileInformationByHandle(file, &info);
    const DWORD error = got ? 0 : ::GetLastError();
    ::CloseHandle(file);
    if (!got) return Failed(error);
    out.volume = info.dwVolumeSerialNumber;
    out.file = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    // Some file systems give every file the index 0: then nothing is known.
    out.known = out.file != 0;
    return {};
}

void Wait(unsigned ms) { ::Sleep(ms); }

// %APPDATA%, as the user's session sets it: it follows folder redirection,
// and it is the name the user reads in the help.
Result RoamingFolder(std::string& folder) {
    folder.assign(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableA("APPDATA", folder.data(), static_cast<DWORD>(folder.size()));
        if (length == 0) {
            folder.clear();
            return {Error::NotFound, static_cast<int>(::GetLastError())};
        }
        // Too small a buffer gives the length it needs, terminator included.
        if (length < folder.size()) {
            folder.resize(length);
            return {};
        }
        folder.resize(length);
    }
}

constexpr sys::Calls kWin32Calls{Open,   Read,   Write,      Size,     Resize, Flush,     Close,
                                 Rename, Remove, MakeFolder, List,     Attributes, Identity, Wait, RoamingFolder};

}  // namespace

namespace sys {

const Calls& PlatformCalls() { return kWin32Calls; }

std::string TemporaryName(const std::string& folderPrefix, unsigned serial) {
    // Short, so that it fits within the path length wherever the target's
    // name does.
    return folderPrefix + "~tsy" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(serial) + ".tmp";
}

}  // namespace sys

std::string ExecutableFolder() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return ".";
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t cut = buffer.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : buffer.substr(0, cut);
}

bool IsWritableFolder(const std::string& folder) {
    // Settings always sit beside the Windows program; nothing asks this there.
    return !folder.empty();
}

std::string HomeFolder() {
    const char* home = std::getenv("USERPROFILE");
    return home ? home : "";
}

char PathSeparator() { return '\\'; }

}  // namespace tessaly::fs
