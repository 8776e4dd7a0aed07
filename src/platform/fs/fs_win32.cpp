// Paths are handed to the ANSI ("A") functions as they are: the bytes are in
// the system's code page, which is what the user typed and what the settings
// file holds, so nothing here converts them.
#include "platform/fs/fs.h"

#include <windows.h>

#include <atomic>

namespace tessaly::fs {

namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (valid()) ::CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// A mail client that reads the signature may hold it open, which blocks the
// move for as long as it reads. Such a reader is quick, so a few short waits
// usually see it gone; the total stays far below a second so that the window
// never appears to hang.
constexpr int kMoveAttempts = 8;
constexpr DWORD kMoveWaitMs = 25;

bool IsTransientMoveError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// Whether every handle open on `path` shares delete, so that the file may be
// renamed or removed under its readers.
bool ReadersShareDelete(const std::string& path) {
    const HANDLE probe = ::CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(probe);
    return true;
}

// Moves `temp` over `path`. A plain move is atomic but refuses a target that
// is open at all; for readers that share delete ReplaceFile takes over, and
// they keep reading the old content while the new one takes the name.
bool MoveIntoPlace(const std::string& temp, const std::string& path) {
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kMoveWaitMs);
        if (::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (!IsTransientMoveError(::GetLastError())) return false;
        // ReplaceFile is only tried when it can succeed: where it fails on a
        // reader, some systems leave a stray file of their own in the folder.
        if (ReadersShareDelete(path) &&
            ::ReplaceFileA(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    if (path.empty()) return false;
    // Sharing everything lets the user's editor save the file while we read.
    Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
    // The size is a hint: the file may change while we read it, and whatever
    // the reads deliver up to the end of the file is taken.
    out.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t filled = 0;
    char tail[4096];
    for (;;) {
        const std::size_t room = out.size() - filled;
        const DWORD ask = room == 0 ? sizeof tail : room > 0x40000000u ? 0x40000000u : static_cast<DWORD>(room);
        DWORD got = 0;
        if (!::ReadFile(file.get(), room == 0 ? tail : out.data() + filled, ask, &got, nullptr)) return false;
        if (got == 0) break;
        if (room == 0) out.append(tail, got);
        filled += got;
    }
    out.resize(filled);
    return true;
}

bool ListPlainFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (folder.empty()) return false;
    std::string pattern = folder;
    if (!IsSeparator(pattern.back())) pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        // An existing folder with no entries at all (a drive's empty root).
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((found.dwFileAttributes & kLeftOut) == 0) names.emplace_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    const DWORD error = ::GetLastError();
    ::FindClose(search);
    return error == ERROR_NO_MORE_FILES;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty() || IsSeparator(path.back())) return false;
    const DWORD existing = ::GetFileAttributesA(path.c_str());
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (existing != INVALID_FILE_ATTRIBUTES) {
        // A read-only file stays as it is, as a truncating write would leave it.
        if (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
        // The replacement carries the old file's visible attributes.
        const DWORD kept = existing & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (kept != 0) attributes = kept;
    } else if (::GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;  // a missing folder, a bad name, no access
    }

    // Beside the target, since a move is atomic only within one volume, and
    // with a short name, so that it fits within the path length wherever the
    // target's name does.
    const std::size_t cut = path.find_last_of("\\/:");
    const std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    static std::atomic<unsigned> counter{0};

    std::string temp;
    HANDLE raw = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && raw == INVALID_HANDLE_VALUE; ++attempt) {
        temp = folder + "~tsy" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter.fetch_add(1)) +
               ".tmp";
        raw = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (raw == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (raw == INVALID_HANDLE_VALUE) return false;
    Handle file(raw);
    const bool written = WriteAll(file.get(), content) && ::FlushFileBuffers(file.get());
    if (file.close() && written && MoveIntoPlace(temp, path)) return true;
    ::DeleteFileA(temp.c_str());
    return false;
}

bool EnsureFolder(const std::string& folder) {
    if (folder.empty()) return false;
    if (::CreateDirectoryA(folder.c_str(), nullptr)) return true;
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

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

std::string UserConfigFolder() { return {}; }

bool IsWritableFolder(const std::string& folder) {
    // Settings always sit beside the Windows program; nothing asks this there.
    return !folder.empty();
}

char PathSeparator() { return '\\'; }

}  // namespace tessaly::fs
