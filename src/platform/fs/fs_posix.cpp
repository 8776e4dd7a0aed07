#include "platform/fs/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace tessaly::fs {

namespace {

// Closes a descriptor on every way out of a function.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close (and so the last write) worked.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A regular file reached through `name`, following symbolic links, as the
// replacement must land on the file itself and not turn a link into a copy.
struct ReplaceTarget {
    std::string path;
    bool exists = false;
    mode_t mode = 0666;
};

bool ResolveTarget(const std::string& path, ReplaceTarget& target) {
    target.path = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        // A file that does not exist yet is created; anything else (a missing
        // folder, no permission) surfaces when the temporary file is opened.
        return errno == ENOENT;
    }
    if (S_ISLNK(st.st_mode)) {
        struct Free {
            void operator()(char* p) const { std::free(p); }
        };
        std::unique_ptr<char, Free> real(::realpath(path.c_str(), nullptr));
        if (!real || ::stat(real.get(), &st) != 0) return false;
        target.path = real.get();
    }
    // A read-only file stays as it is, as a truncating write would leave it;
    // without any write bit it counts as read-only even for the superuser.
    if (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.path.c_str(), W_OK) != 0) return false;
    target.exists = true;
    target.mode = st.st_mode & 07777;
    return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    if (path.empty()) return false;
    // Non-blocking open so that a FIFO given by mistake cannot hang us; it is
    // refused below like any other file that is not a regular one.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // The size is a hint: the file may change while we read it, and whatever
    // the reads deliver up to the end of the file is taken.
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t filled = 0;
    char tail[4096];
    for (;;) {
        const bool room = filled < out.size();
        const ssize_t got = room ? ::read(fd.get(), out.data() + filled, out.size() - filled)
                                 : ::read(fd.get(), tail, sizeof tail);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) break;
        if (!room) out.append(tail, static_cast<std::size_t>(got));
        filled += static_cast<std::size_t>(got);
    }
    out.resize(filled);
    return true;
}

bool ListPlainFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (folder.empty()) return false;
    struct CloseDir {
        void operator()(DIR* d) const { ::closedir(d); }
    };
    std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir) return false;
    const std::string prefix = folder + '/';
    for (;;) {
        errno = 0;  // readdir tells the end from an error only through errno
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) return errno == 0;
        const std::string_view name = entry->d_name;
        if (name.empty() || name.front() == '.') continue;  // hidden, and "." / ".."
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            regular = ::stat((prefix + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) names.emplace_back(name);
    }
}

bool ReplaceFileAtomically(const std::string& path, std::string_view content) {
    if (path.empty()) return false;
    ReplaceTarget target;
    if (!ResolveTarget(path, target)) return false;

    // The temporary file lies beside the target (a rename is atomic only
    // within one file system). Its name is short, so that it fits wherever the
    // target's does, and begins with a dot, so that no folder listing of ours
    // ever offers it as a fragment.
    const std::size_t slash = target.path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.path.substr(0, slash + 1);
    static std::atomic<unsigned> counter{0};

    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = folder + ".tessaly-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) + ".tmp";
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, target.mode);
        if (raw < 0 && errno != EEXIST) return false;
    }
    if (raw < 0) return false;
    Descriptor fd(raw);

    // The umask may have taken bits away from the existing file's mode.
    const bool written = (!target.exists || ::fchmod(fd.get(), target.mode) == 0) &&
                         WriteAll(fd.get(), content) && ::fsync(fd.get()) == 0;
    if (fd.close() && written && ::rename(temp.c_str(), target.path.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
}

bool EnsureFolder(const std::string& folder) {
    if (folder.empty()) return false;
    if (::mkdir(folder.c_str(), 0777) == 0) return true;
    struct stat st {};
    return errno == EEXIST && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

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

std::string UserConfigFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') return config;
    if (const char* home = std::getenv("HOME"); home && home[0] != '\0') return std::string(home) + "/.config";
    return {};
}

bool IsWritableFolder(const std::string& folder) { return !folder.empty() && ::access(folder.c_str(), W_OK) == 0; }

char PathSeparator() { return '/'; }

}  // namespace tessaly::fs
