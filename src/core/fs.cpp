// The file layer's logic, the same on every system: it reaches the system only
// through the table of fs_calls.h.
#include <algorithm>
#include <atomic>
#include <exception>

#include "core/fs.h"
#include "core/fs_calls.h"

namespace tessaly::fs {

namespace {

using sys::Handle;
using sys::OpenMode;
using sys::SystemCalls;

// A call that a signal interrupted is made again, though never forever.
template <class Call>
Result Retrying(Call call) {
    Result result;
    for (int attempt = 0; attempt < 100; ++attempt) {
        result = call();
        if (result.error != Error::Interrupted) break;
    }
    return result;
}

// An open file that is closed on every way out.
class OpenFile {
public:
    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        if (open_) SystemCalls().close(handle_);
    }
    Result Open(const std::string& path, OpenMode mode, std::uint32_t kept = 0) {
        const Result opened = Retrying([&] { return SystemCalls().open(path, mode, kept, handle_); });
        open_ = static_cast<bool>(opened);
        return opened;
    }
    // Closes now; a close that a signal interrupted has still released the
    // handle, and the bytes were flushed before.
    Result Close() {
        open_ = false;
        const Result closed = SystemCalls().close(handle_);
        return closed.error == Error::Interrupted ? Result{} : closed;
    }
    Handle get() const { return handle_; }

private:
    Handle handle_ = -1;
    bool open_ = false;
};

Result WriteAll(Handle file, std::string_view bytes) {
    while (!bytes.empty()) {
        std::size_t put = 0;
        const Result written = Retrying([&] { return SystemCalls().write(file, bytes.data(), bytes.size(), put); });
        if (!written) return written;
        // A write that takes nothing would loop for ever.
        if (put == 0 || put > bytes.size()) return {Error::Io};
        bytes.remove_prefix(put);
    }
    return {};
}

Result ReadAll(Handle file, std::string& out) {
    // The size is a hint: the file may change while we read it, and whatever
    // the reads deliver up to the end of the file is taken.
    std::uint64_t size = 0;
    if (!SystemCalls().size(file, size)) size = 0;
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size, out.max_size())));
    std::size_t filled = 0;
    char tail[4096];
    for (;;) {
        const bool room = filled < out.size();
        std::size_t got = 0;
        const Result read = Retrying([&] {
            return room ? SystemCalls().read(file, out.data() + filled, out.size() - filled, got)
                        : SystemCalls().read(file, tail, sizeof tail, got);
        });
        if (!read || got == 0) {
            out.resize(filled);
            return read;
        }
        if (!room) out.append(tail, got);
        filled += got;
    }
}

Result Resize(Handle file, std::uint64_t size) {
    return Retrying([&] { return SystemCalls().resize(file, size); });
}

Result Flush(Handle file) {
    return Retrying([&] { return SystemCalls().flush(file); });
}

bool IsSeparator(char c) { return c == PathSeparator() || (PathSeparator() == '\\' && (c == '/' || c == ':')); }

// Writes `bytes` over the start of the existing file and cuts it to their
// length. Returns the first failure; the file may then be partly written.
Result Overwrite(const std::string& path, std::string_view bytes, std::uint64_t room) {
    OpenFile file;
    Result result = file.Open(path, OpenMode::Overwrite);
    if (!result) return result;
    // Room for the longer of the two first: a full disk then fails before
    // any byte has changed.
    if (room > bytes.size()) result = Resize(file.get(), room);
    if (result) result = WriteAll(file.get(), bytes);
    if (result) result = Resize(file.get(), bytes.size());
    if (result) result = Flush(file.get());
    const Result closed = file.Close();
    return result ? closed : result;
}

// The fallback for a file that a reader holds: the bytes go into the file
// itself, as a plain overwrite would. When that fails, the old bytes are put
// back, so that the file is still whole.
Result WriteInPlace(const std::string& path, std::string_view content) {
    std::string old;
    if (const Result read = ReadWholeFile(path, old); !read) return read;
    const std::uint64_t room = std::max(old.size(), content.size());
    const Result written = Overwrite(path, content, room);
    if (!written) Overwrite(path, old, room);
    return written;
}

// Moves the temporary file over the target; a reader that holds the target
// usually lets go within a few milliseconds.
Result MoveIntoPlace(const std::string& temp, const std::string& path) {
    constexpr int kAttempts = 4;
    constexpr unsigned kWaitMs = 25;
    Result moved;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) SystemCalls().wait(kWaitMs);
        moved = Retrying([&] { return SystemCalls().rename(temp, path); });
        if (moved.error != Error::Held) break;
    }
    return moved;
}

// The identity of what `path` leads to; not known when the path is empty,
// leads nowhere or the system cannot tell.
sys::Identity Identify(const std::string& path) {
    sys::Identity identity;
    if (path.empty()) return identity;
    if (!Retrying([&] { return SystemCalls().identity(path, identity); })) return {};
    return identity;
}

}  // namespace

sys::Calls& sys::SystemCalls() {
    static Calls calls = PlatformCalls();
    return calls;
}

Result ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    if (path.empty()) return {Error::BadName};
    try {
        OpenFile file;
        if (const Result opened = file.Open(path, OpenMode::Read); !opened) return opened;
        // The bytes are in hand: how the close goes does not matter.
        return ReadAll(file.get(), out);
    } catch (const std::exception&) {
        return {Error::TooLarge};
    }
}

Result ListPlainFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (folder.empty()) return {Error::BadName};
    try {
        std::vector<sys::Entry> entries;
        const Result listed = Retrying([&] {
            entries.clear();
            return SystemCalls().list(folder, entries);
        });
        if (!listed) return listed;
        for (sys::Entry& entry : entries) {
            if (entry.plain) names.push_back(std::move(entry.name));
        }
        return {};
    } catch (const std::exception&) {
        return {Error::TooLarge};
    }
}

Result ReplaceFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) return {Error::BadName};
    if (IsSeparator(path.back())) return {Error::IsAFolder};
    try {
        sys::Attributes target;
        if (const Result seen = Retrying([&] { return SystemCalls().attributes(path, target); }); !seen) return seen;
        if (target.exists) {
            if (target.folder) return {Error::IsAFolder};
            if (!target.plainFile) return {Error::NotAFile};
            // A read-only file stays as it is, as a truncating write would leave it.
            if (target.readOnly) return {Error::ReadOnly};
        }
        const std::string destination = target.exists && !target.target.empty() ? target.target : path;

        // Beside the target, since a move is atomic only within one volume.
        const auto cut = std::find_if(destination.rbegin(), destination.rend(), IsSeparator);
        const std::string folder(destination.begin(), cut.base());
        static std::atomic<unsigned> serial{0};
        std::string temp;
        OpenFile file;
        for (int attempt = 0;; ++attempt) {
            temp = sys::TemporaryName(folder, serial.fetch_add(1));
            const Result created = file.Open(temp, OpenMode::CreateNew, target.exists ? target.kept : 0);
            if (created) break;
            if (created.error != Error::Exists || attempt == 99) return created;
        }
        Result result = WriteAll(file.get(), content);
        if (result) result = Flush(file.get());
        const Result closed = file.Close();
        if (result) result = closed;
        const bool written = static_cast<bool>(result);
        if (written) result = MoveIntoPlace(temp, destination);
        if (result) return result;

        Retrying([&] { return SystemCalls().remove(temp); });
        // Held: a reader keeps the file open without letting it be replaced.
        // Denied: the file may be written but not replaced. Either way an
        // overwrite may still work.
        if (written && target.exists && (result.error == Error::Held || result.error == Error::AccessDenied)) {
            return WriteInPlace(destination, content);
        }
        return result;
    } catch (const std::exception&) {
        return {Error::TooLarge};
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    const sys::Identity first = Identify(a);
    return first.known && Identify(b) == first;
}

bool LiesInside(const std::string& path, const std::string& folder) {
    try {
        const sys::Identity wanted = Identify(folder);
        if (!wanted.known || path.empty()) return false;
        // A replacement lands where a link leads, so that is where to look.
        sys::Attributes target;
        if (!Retrying([&] { return SystemCalls().attributes(path, target); })) return false;
        const std::string& destination = target.exists && !target.target.empty() ? target.target : path;
        // The folder that holds the file, then its parent through "..", which
        // the system resolves: texts would differ by case, links and short
        // names, identities do not.
        const auto cut = std::find_if(destination.rbegin(), destination.rend(), IsSeparator);
        std::string at = std::string(destination.begin(), cut.base()) + ".";
        sys::Identity below;
        for (int depth = 0; depth < 256; ++depth) {
            const sys::Identity seen = Identify(at);
            if (!seen.known) return false;
            if (seen == wanted) return true;
            if (seen == below) return false;  // the root is its own parent
            below = seen;
            at += PathSeparator();
            at += "..";
        }
    } catch (const std::exception&) {
        // Out of memory: nothing shows that the file lands there.
    }
    return false;
}

Result EnsureFolder(const std::string& folder) {
    if (folder.empty()) return {Error::BadName};
    const Result made = Retrying([&] { return SystemCalls().makeFolder(folder); });
    if (made.error != Error::Exists) return made;
    sys::Attributes seen;
    if (const Result looked = Retrying([&] { return SystemCalls().attributes(folder, seen); }); !looked) {
        return looked;
    }
    return seen.folder ? Result{} : Result{Error::NotAFolder};
}

void Wait(unsigned ms) { SystemCalls().wait(ms); }

bool IsFolder(const std::string& path) {
    sys::Attributes seen;
    return !path.empty() && SystemCalls().attributes(path, seen) && seen.folder;
}

std::string FolderOf(const std::string& path) {
#ifdef _WIN32
    const std::size_t last = path.find_last_of("\\/");
#else
    const std::size_t last = path.find_last_of('/');
#endif
    if (last == std::string::npos) return {};
    return last == 0 ? path.substr(0, 1) : path.substr(0, last);
}

bool IsPlainFile(const std::string& path) {
    sys::Attributes seen;
    return !path.empty() && Retrying([&] { return SystemCalls().attributes(path, seen); }) && seen.plainFile;
}

std::string UserConfigFolder() {
    try {
        std::string folder;
        return SystemCalls().userConfigFolder(folder) ? folder : std::string{};
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace tessaly::fs
