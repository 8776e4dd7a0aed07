// The one place where the program touches the file system differently on
// Windows and on POSIX systems. Paths are byte strings in the system's 8-bit
// (ANSI) code page on Windows and plain bytes elsewhere; nothing here converts
// text. Each operation opens, uses and closes its file within the call, and
// none of them throws. Every system call below passes the table of
// fs_calls.h, so that tests can make any of them fail.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::fs {

// Why a file operation failed, in the same words on every system.
enum class Error {
    None,
    NotFound,      // no such file or folder
    AccessDenied,  // the user's rights do not allow it
    Held,          // another program holds the file open
    DiskFull,
    NameTooLong,
    NotAFolder,    // a part of the path is a file, or a folder was expected
    IsAFolder,     // a file was expected
    NotAFile,      // a device, a pipe or another thing that is no plain file
    ReadOnly,      // the file or its file system is read-only
    BadName,       // an empty path, or characters the system refuses
    Exists,
    Interrupted,   // a signal interrupted the call; it may be made again
    TooLarge,      // more than the program can hold
    Io,            // the device reported an error
    Malformed,     // read, but not in the form the program writes
    Other,         // see the code
};

// The outcome of one file operation: nothing, or why it failed. True when it
// worked, so that `if (!ReadWholeFile(...))` reads as it always has.
struct Result {
    Error error = Error::None;
    int code = 0;  // the system's own number (errno, GetLastError), 0 when none
    explicit operator bool() const noexcept { return error == Error::None; }
};

// The reason in words, for the failure log and the user's messages.
inline std::string Reason(const Result& result) {
    switch (result.error) {
        case Error::None: return "no error";
        case Error::NotFound: return "not found";
        case Error::AccessDenied: return "access denied";
        case Error::Held: return "held by another program";
        case Error::DiskFull: return "disk full";
        case Error::NameTooLong: return "name too long";
        case Error::NotAFolder: return "not a folder";
        case Error::IsAFolder: return "a folder, not a file";
        case Error::NotAFile: return "not a plain file";
        case Error::ReadOnly: return "read-only";
        case Error::BadName: return "not a valid name";
        case Error::Exists: return "already exists";
        case Error::Interrupted: return "interrupted";
        case Error::TooLarge: return "too large";
        case Error::Io: return "input/output error";
        case Error::Malformed: return "malformed";
        case Error::Other: break;
    }
    return "system error " + std::to_string(result.code);
}

// Reads the whole file into `out`. Fails when the path is empty, names no
// plain file, or cannot be opened or read; `out` is then unspecified.
Result ReadWholeFile(const std::string& path, std::string& out);

// Lists the names (not paths) of the plain files directly inside `folder`:
// ordinary, archive and read-only files. Hidden and system files and
// sub-folders are left out (on POSIX a name that begins with a dot counts as
// hidden). Fails when the folder text is empty or the folder cannot be
// listed. The order of the names is unspecified.
Result ListPlainFiles(const std::string& folder, std::vector<std::string>& names);

// Replaces the file at `path` by `content` so that a concurrent reader sees
// either the whole old content or the whole new one: the bytes go to a
// temporary file in the same folder, which is then moved over `path`. A move
// that a reader blocks is retried for a short while; when the reader still
// holds the file, the bytes are written into it in place, as an overwrite
// would (a reader that shares writing sees them; one that shares nothing
// keeps the old file). On failure the old file is whole and unchanged and no
// temporary file is left behind. A read-only file is not replaced; on POSIX
// the replacement keeps the old file's permission bits and a symbolic link
// keeps pointing at the file.
Result ReplaceFileAtomically(const std::string& path, std::string_view content);

// True when both paths lead to one existing file or folder, however each is
// written (letter case, "." and "..", links, short names): the system's
// identities of the two are compared, not the texts. False when either does
// not exist or the system cannot tell.
bool SameFile(const std::string& a, const std::string& b);

// True when a file written at `path` lands inside `folder` or in a folder
// below it, however either is written: the folder that would hold the file
// (the one a link leads into, for a link) and each folder above it are
// compared with `folder` by their identities. The file itself need not exist
// yet. False when `folder` does not exist or the system cannot tell.
bool LiesInside(const std::string& path, const std::string& folder);

// Creates the folder (not its parents) when it does not exist yet. Succeeds
// when the folder exists afterwards.
Result EnsureFolder(const std::string& folder);

// True when `path` names an existing plain file; a path that cannot be
// looked at counts as none.
bool IsPlainFile(const std::string& path);

// Waits `ms` milliseconds before a file operation is tried again.
void Wait(unsigned ms);

// The folder that holds the running program's executable, as the platform
// reports it, without a trailing separator.
std::string ExecutableFolder();

// Where an installed program keeps the user's settings: %APPDATA% on
// Windows; $XDG_CONFIG_HOME, else $HOME/.config, on POSIX systems. Empty
// where there is none.
std::string UserConfigFolder();

// True when the running user may create files in `folder`.
bool IsWritableFolder(const std::string& folder);

// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

// The user's home folder ($HOME; %USERPROFILE% on Windows), empty when unknown.
std::string HomeFolder();

// The folder part of `path`: everything before its last separator; empty
// when it has none.
std::string FolderOf(const std::string& path);

// The separator that the platform's paths use ('\\' on Windows, '/' elsewhere).
char PathSeparator();

// `folder` followed by each part, each behind one separator. The folder text
// is kept exactly as given: one that already ends in a separator gives a
// doubled one, as the program has always addressed such paths.
inline std::string JoinPath(std::string folder, std::initializer_list<std::string_view> parts) {
    for (const std::string_view part : parts) {
        folder += PathSeparator();
        folder += part;
    }
    return folder;
}

}  // namespace tessaly::fs
