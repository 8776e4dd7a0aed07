// The POSIX side of the file layer: one system call per entry of the table,
// errno translated into fs::Error.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <limits>
#include <memory>
#include <thread>

#include "core/fs.h"
#include "core/fs_calls.h"

namespace tessaly::fs {

namespace {

using sys::Handle;

Result Failed(int code = errno) {
    switch (code) {
        case ENOENT: return {Error::NotFound, code};
        case EACCES:
        case EPERM: return {Error::AccessDenied, code};
        case EBUSY:
        case ETXTBSY: return {Error::Held, code};
        case ENOSPC:
        case EDQUOT: return {Error::DiskFull, code};
        case ENAMETOOLONG: return {Error::NameTooLong, code};
        case ENOTDIR: return {Error::NotAFolder, code};
        case EISDIR: return {Error::IsAFolder, code};
        case EROFS: return {Error::ReadOnly, code};
        case EILSEQ: return {Error::BadName, code};
        case EEXIST: return {Error::Exists, code};
        case EINTR: return {Error::Interrupted, code};
        case ENOMEM:
        case EFBIG:
        case EOVERFLOW: return {Error::TooLarge, code};
        case EIO: return {Error::Io, code};
        default: return {Error::Other, code};
    }
}

Result Done(bool ok) { return ok ? Result{} : Failed(); }

int Fd(Handle handle) { return static_cast<int>(handle); }

Result Open(const std::string& path, sys::OpenMode mode, std::uint32_t kept, Handle& handle) {
    int fd = -1;
    switch (mode) {
        case sys::OpenMode::Read: {
            // Non-blocking, so that a FIFO given by mistake cannot hang us;
            // anything but a plain file is refused below.
            fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) return Failed();
            struct stat st {};
            if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
                const Result refused = S_ISDIR(st.st_mode) ? Result{Error::IsAFolder} : Result{Error::NotAFile};
                ::close(fd);
                return refused;
            }
            break;
        }
        case sys::OpenMode::CreateNew: {
            const mode_t bits = kept != 0 ? static_cast<mode_t>(kept) : 0666;
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, bits);
            if (fd < 0) return Failed();
            // The umask may have taken bits away from the old file's mode.
            if (kept != 0 && ::fchmod(fd, bits) != 0) {
                const Result failed = Failed();
                ::close(fd);
                ::unlink(path.c_str());
                return failed;
            }
            break;
        }
        case sys::OpenMode::Overwrite:
            fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0) return Failed();
            break;
    }
    handle = fd;
    return {};
}

Result Read(Handle handle, char* buffer, std::size_t size, std::size_t& got) {
    const ssize_t n = ::read(Fd(handle), buffer, std::min<std::size_t>(size, SSIZE_MAX));
    got = n > 0 ? static_cast<std::size_t>(n) : 0;
    return Done(n >= 0);
}

Result Write(Handle handle, const char* bytes, std::size_t size, std::size_t& put) {
    const ssize_t n = ::write(Fd(handle), bytes, std::min<std::size_t>(size, SSIZE_MAX));
    put = n > 0 ? static_cast<std::size_t>(n) : 0;
    return Done(n >= 0);
}

Result Size(Handle handle, std::uint64_t& bytes) {
    struct stat st {};
    if (::fstat(Fd(handle), &st) != 0) return Failed();
    bytes = static_cast<std::uint64_t>(st.st_size);
    return {};
}

Result Resize(Handle handle, std::uint64_t size) {
    if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return {Error::TooLarge};
    return Done(::ftruncate(Fd(handle), static_cast<off_t>(size)) == 0);
}

Result Flush(Handle handle) { return Done(::fsync(Fd(handle)) == 0); }

Result Close(Handle handle) { return Done(::close(Fd(handle)) == 0); }

Result Rename(const std::string& from, const std::string& to) { return Done(::rename(from.c_str(), to.c_str()) == 0); }

Result Remove(const std::string& path) { return Done(::unlink(path.c_str()) == 0); }

Result MakeFolder(const std::string& path) { return Done(::mkdir(path.c_str(), 0777) == 0); }

Result List(const std::string& folder, std::vector<sys::Entry>& entries) {
    struct CloseDir {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir) return Failed();
    const std::string prefix = folder + '/';
    for (;;) {
        errno = 0;  // readdir tells the end from an error only through errno
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) return errno == 0 ? Result{} : Failed();
        const std::string_view name = entry->d_name;
        if (name.empty() || name == "." || name == "..") continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            // A dangling link is no file, and no failure of the listing.
            struct stat st {};
            regular = ::stat((prefix + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        entries.push_back({std::string(name), regular && name.front() != '.'});
    }
}

// A symbolic link is followed to the file it names, as a replacement must
// land on the file itself and not turn the link into a copy.
Result Attributes(const std::string& path, sys::Attributes& out) {
    out = {};
    out.target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? Result{} : Failed();
    if (S_ISLNK(st.st_mode)) {
        struct Free {
            void operator()(char* p) const { std::free(p); }
        };
        const std::unique_ptr<char, Free> real(::realpath(path.c_str(), nullptr));
        if (!real || ::stat(real.get(), &st) != 0) return Failed();
        out.target = real.get();
    }
    out.exists = true;
    out.folder = S_ISDIR(st.st_mode);
    out.plainFile = S_ISREG(st.st_mode);
    // Without any write bit a file counts as read-only even for the superuser.
    out.readOnly = (out.plainFile && (st.st_mode & 0222) == 0) || ::access(out.target.c_str(), W_OK) != 0;
    out.kept = static_cast<std::uint32_t>(st.st_mode & 07777);
    return {};
}

Result Identity(const std::string& path, sys::Identity& out) {
    out = {};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? Result{} : Failed();
    out.known = true;
    out.volume = static_cast<std::uint64_t>(st.st_dev);
    out.file = static_cast<std::uint64_t>(st.st_ino);
    return {};
}

void Wait(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Result ConfigHome(std::string& folder) {
    folder.clear();
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
        folder = std::string(home) + "/.config";
    }
    return folder.empty() ? Result{Error::NotFound, 0} : Result{};
}

constexpr sys::Calls kPosixCalls{Open,   Read,   Write,      Size,     Resize, Flush,     Close,
                                 Rename, Remove, MakeFolder, List,     Attributes, Identity, Wait, ConfigHome};

}  // namespace

namespace sys {

const Calls& PlatformCalls() { return kPosixCalls; }

std::string TemporaryName(const std::string& folderPrefix, unsigned serial) {
    // A leading dot keeps it out of every listing of ours.
    return folderPrefix + ".tessaly-" + std::to_string(::getpid()) + "-" + std::to_string(serial) + ".tmp";
}

}  // namespace sys

std::string ExecutableFolder() {
    std::string buffer(PATH_MAX, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return ".";
        if (static_cast<std::size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(length));
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t slash = buffer.rfind('/');
    return slash == std::string::npos ? std::string(".") : buffer.substr(0, slash);
}

bool IsWritableFolder(const std::string& folder) {
    sys::Attributes seen;
    return !folder.empty() && sys::SystemCalls().attributes(folder, seen) && seen.folder && !seen.readOnly;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

char PathSeparator() { return '/'; }

}  // namespace tessaly::fs
