// The one place where the program touches the file system differently on
// Windows and on POSIX systems. Paths are byte strings in the system's 8-bit
// (ANSI) code page on Windows and plain bytes elsewhere; nothing here converts
// text. Each operation opens, uses and closes its file within the call, and
// none of them throws.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::fs {

// Reads the whole file into `out`. False when the path is empty, names no
// regular file, or cannot be opened or read; `out` is then unspecified.
bool ReadWholeFile(const std::string& path, std::string& out);

// Lists the names (not paths) of the plain files directly inside `folder`:
// ordinary, archive and read-only files. Hidden and system files and
// sub-folders are left out (on POSIX a name that begins with a dot counts as
// hidden). False when the folder text is empty or the folder cannot be
// listed. The order of the names is unspecified.
bool ListPlainFiles(const std::string& folder, std::vector<std::string>& names);

// Replaces the file at `path` by `content` so that a concurrent reader sees
// either the whole old content or the whole new one: the bytes go to a
// temporary file in the same folder, which is then moved over `path`. A
// replace that a reader blocks (Windows sharing) is retried for a short while.
// On failure the old file is untouched and no temporary file is left behind.
// A read-only file is not replaced; on POSIX the replacement keeps the old
// file's permission bits and a symbolic link keeps pointing at the file.
bool ReplaceFileAtomically(const std::string& path, std::string_view content);

// Creates the folder (not its parents) when it does not exist yet. True when
// the folder exists afterwards.
bool EnsureFolder(const std::string& folder);

// The folder that holds the running program's executable, as the platform
// reports it, without a trailing separator.
std::string ExecutableFolder();

// Where the user's per-program settings belong when the program's own folder
// is not writable: $XDG_CONFIG_HOME, else $HOME/.config, on POSIX systems.
// Empty where there is none (and on Windows, where settings always sit
// beside the program).
std::string UserConfigFolder();

// True when the running user may create files in `folder`.
bool IsWritableFolder(const std::string& folder);

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
