// The file-system functions over an in-memory disk, linked into the fuzz
// targets in place of the real ones: millions of runs touch no file.
#include "fuzz_support.h"
#include "core/fs.h"

namespace tessaly {
fuzz::MemDisk& fuzz::Disk() {
    static MemDisk disk;
    return disk;
}
static fs::Result Outcome(bool worked, fs::Error why) { return worked ? fs::Result{} : fs::Result{why, 0}; }
fs::Result fs::ReadWholeFile(const std::string& path, std::string& out) {
    const auto found = fuzz::Disk().files.find(path);
    if (found != fuzz::Disk().files.end()) out = found->second;
    return Outcome(found != fuzz::Disk().files.end(), Error::NotFound);
}
fs::Result fs::ListPlainFiles(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    for (const auto& [path, content] : fuzz::Disk().files)
        if (path.starts_with(folder + '/') && path.find('/', folder.size() + 1) == std::string::npos)
            names.push_back(path.substr(folder.size() + 1));
    return Outcome(fuzz::Disk().folders.contains(folder), Error::NotFound);
}
fs::Result fs::ReplaceFileAtomically(const std::string& path, std::string_view content) {
    if (!fuzz::Disk().failWrites) fuzz::Disk().files[path] = content;
    return Outcome(!fuzz::Disk().failWrites, Error::DiskFull);
}
fs::Result fs::EnsureFolder(const std::string& folder) {
    if (!fuzz::Disk().failWrites) fuzz::Disk().folders.insert(folder);
    return Outcome(!fuzz::Disk().failWrites, Error::DiskFull);
}
// Paths here are written one way only: the same text is the same file.
bool fs::SameFile(const std::string& a, const std::string& b) { return a == b && fuzz::Disk().files.contains(a); }
bool fs::LiesInside(const std::string& path, const std::string& folder) {
    return fuzz::Disk().folders.contains(folder) && path.starts_with(folder + '/');
}
void fs::Wait(unsigned) {}
bool fs::IsWritableFolder(const std::string&) { return !fuzz::Disk().failWrites; }
char fs::PathSeparator() { return '/'; }
}  // namespace tessaly
