// The file layer's system calls, as one table of plain functions. The POSIX
// and the Windows side each fill it with thin wrappers, one system call each,
// that translate the system's error numbers into fs::Error; everything above
// them (fs.cpp) is shared and calls only through the table. Tests swap
// entries to make a call fail, write short or be interrupted, and put the
// platform's entries back afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/fs.h"

namespace tessaly::fs::sys {

// A descriptor (POSIX) or a HANDLE's value (Windows).
using Handle = std::intptr_t;

enum class OpenMode {
    Read,       // an existing plain file, for reading; others may read, write and delete meanwhile
    CreateNew,  // a file that must not exist yet, for writing, with `kept` permissions or attributes
    Overwrite,  // an existing file, for writing from its start; others may keep reading and writing it
};

struct Attributes {
    bool exists = false;
    bool folder = false;
    bool plainFile = false;
    bool readOnly = false;    // a file the user does not want written, or may not write
    std::uint32_t kept = 0;   // what a replacement carries over: POSIX mode bits, Windows attributes
    std::string target;       // where the path leads: the file a symbolic link names, else the path
};

// Which file or folder a path leads to, as the system tells them apart: the
// same for every way of writing the path. POSIX: device and inode; Windows:
// volume serial number and file index.
struct Identity {
    bool known = false;  // false: no such file, or the system gives no identity
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const Identity&) const = default;
};

struct Entry {
    std::string name;
    bool plain = false;  // a plain file that is neither hidden nor a system file
};

struct Calls {
    Result (*open)(const std::string& path, OpenMode mode, std::uint32_t kept, Handle& handle);
    // Reads up to `size` bytes at the current position; 0 bytes at the end.
    Result (*read)(Handle handle, char* buffer, std::size_t size, std::size_t& got);
    // Writes up to `size` bytes at the current position; may write fewer.
    Result (*write)(Handle handle, const char* bytes, std::size_t size, std::size_t& put);
    // The file's length now: only a hint, as the file may change meanwhile.
    Result (*size)(Handle handle, std::uint64_t& bytes);
    // Sets the file's length; the position stays.
    Result (*resize)(Handle handle, std::uint64_t size);
    // Puts the written bytes on the disk.
    Result (*flush)(Handle handle);
    // Releases the handle, also when it reports a failure.
    Result (*close)(Handle handle);
    // Moves `from` over an existing `to` (Windows: also for readers that
    // share delete). Held when a reader keeps `to` open.
    Result (*rename)(const std::string& from, const std::string& to);
    Result (*remove)(const std::string& path);
    Result (*makeFolder)(const std::string& path);
    Result (*list)(const std::string& folder, std::vector<Entry>& entries);
    // A path that does not exist is no failure: `exists` is false then.
    Result (*attributes)(const std::string& path, Attributes& out);
    // Follows links. A path that does not exist is no failure: `known` is
    // false then.
    Result (*identity)(const std::string& path, Identity& out);
    void (*wait)(unsigned ms);
    // Where installed programs keep each user's settings, as the user's
    // environment names it: %APPDATA% (the roaming application data) on
    // Windows, $XDG_CONFIG_HOME or else $HOME/.config elsewhere. NotFound
    // when it names none.
    Result (*userConfigFolder)(std::string& folder);
};

// The table the file layer calls through.
Calls& SystemCalls();
// The platform's own entries, for putting the table back and for test
// entries that fail only sometimes and pass the other calls on.
const Calls& PlatformCalls();

// The name of a temporary file in `folderPrefix` (the target's folder, with
// its trailing separator, or empty): short, and unique within the process
// for each `serial`.
std::string TemporaryName(const std::string& folderPrefix, unsigned serial);

}  // namespace tessaly::fs::sys
