#include "cli/diagnose.h"

#include <algorithm>
#include <vector>

#include "platform/fs/fs.h"

namespace tessaly::cli {

namespace {

// Counts, positions and line numbers of a composition are 16-bit signed.
constexpr std::size_t kLimit = 32767;

std::string Named(std::size_t slot, const std::string& path) {
    return std::string(kPathSlots[slot].what) + " '" + path + "'";
}

Explanation Unset(std::size_t slot, const std::string& why = {}) {
    return {"no " + std::string(kPathSlots[slot].what) + " is set (name one with --" +
                std::string(kPathSlots[slot].option) + " or in Tessaly)" + why,
            true};
}

// A path's folder and last part; "." for a bare name.
std::pair<std::string, std::string> Split(const std::string& path) {
    const bool windows = fs::PathSeparator() == '\\';
    const std::size_t at = path.find_last_of(windows ? "\\/" : "/");
    if (at == std::string::npos) return {".", path};
    std::string folder = path.substr(0, at);
    // The root ("/", "C:\") keeps its separator.
    if (folder.empty() || (windows && folder.back() == ':')) folder += path[at];
    return {folder, path.substr(at + 1)};
}

enum class Listing { FolderUnlisted, Listed, NotListed };

// Whether `path` shows as a plain file in its folder's listing.
Listing InFolder(const std::string& path) {
    const auto [folder, name] = Split(path);
    std::vector<std::string> names;
    if (!fs::ListPlainFiles(folder, names)) return Listing::FolderUnlisted;
    return std::find(names.begin(), names.end(), name) != names.end() ? Listing::Listed : Listing::NotListed;
}

bool IsFolder(const std::string& path) {
    std::vector<std::string> names;
    return static_cast<bool>(fs::ListPlainFiles(path, names));
}

// Lines as the composer counts them: each ends at CR or CR LF, and a last
// line without terminator counts too.
std::size_t CountLines(const std::string& text) {
    const auto breaks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
    const bool open = !text.empty() && text.back() != '\r' &&
                      !(text.back() == '\n' && text.size() > 1 && text[text.size() - 2] == '\r');
    return breaks + (open ? 1 : 0);
}

std::string WhyUnlistable(const std::string& folder) {
    return InFolder(folder) == Listing::Listed ? "is a file, not a folder" : "does not exist or cannot be listed";
}

// What keeps the quote file at `path` from giving a line; empty when nothing.
std::string QuoteFileProblem(const std::string& path) {
    std::string text;
    if (!fs::ReadWholeFile(path, text)) return " " + WhyUnreadable(path);
    if (text.empty()) return " is empty";
    if (CountLines(text) > kLimit) return " has more than 32,767 lines";
    return {};
}

// What keeps `folder` from giving a fragment; empty when nothing.
std::string FolderProblem(const std::string& folder) {
    std::vector<std::string> names;
    if (!fs::ListPlainFiles(folder, names)) return " " + WhyUnlistable(folder);
    if (names.empty()) return " holds no file (hidden files and sub-folders do not count)";
    if (names.size() > kLimit) return " holds more than 32,767 files";
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = fs::JoinPath(folder, {name});
        std::string text;
        if (!fs::ReadWholeFile(path, text)) return ": its file '" + name + "' " + WhyUnreadable(path);
        if (CountLines(text) > kLimit) return ": its file '" + name + "' has more than 32,767 lines";
    }
    return {};
}

std::string WhyUnwritable(const std::string& path) {
    if (IsFolder(path)) return "it is a folder";
    const std::string folder = Split(path).first;
    switch (InFolder(path)) {
        case Listing::FolderUnlisted: return "its folder does not exist or cannot be listed";
        case Listing::Listed:
            if (fs::IsWritableFolder(folder)) return "the file is read-only, or the disk is full";
            break;
        case Listing::NotListed: break;
    }
    if (!fs::IsWritableFolder(folder)) return "its folder is not writable";
    return "the disk may be full, or the name is not allowed there";
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The 0-based position of `word`'s first occurrence ignoring letter case.
std::size_t FindFolded(const std::string& text, std::string_view word) {
    const auto hit = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                 [](char a, char b) { return FoldCase(a) == FoldCase(b); });
    return hit == text.end() ? std::string::npos : static_cast<std::size_t>(hit - text.begin());
}

}  // namespace

std::string WhyUnreadable(const std::string& path) {
    if (IsFolder(path)) return "is a folder, not a file";
    switch (InFolder(path)) {
        case Listing::FolderUnlisted: return "cannot be read: its folder does not exist or cannot be listed";
        case Listing::Listed: return "cannot be read: permission denied, or a read error";
        case Listing::NotListed: break;
    }
    // A folder listing leaves hidden files out, so for those it cannot tell.
    return Split(path).second.starts_with('.') ? "does not exist or cannot be read"
                                                : "does not exist or is not a regular file";
}

Explanation ExplainFailure(const PathValues& paths, bool writing) {
    const std::string& templatePath = paths[0];
    if (templatePath.empty()) return Unset(0);
    std::string text;
    if (!fs::ReadWholeFile(templatePath, text)) return {Named(0, templatePath) + " " + WhyUnreadable(templatePath)};
    if (text.empty()) return {Named(0, templatePath) + " is empty"};

    struct Source {
        std::string_view word;
        std::size_t slot;
        bool isFolder;
    };
    constexpr std::array<Source, 4> kSources{{
        {"quote1", 2, false}, {"quote2", 3, false}, {"htmPath1", 4, true}, {"htmPath2", 5, true}}};
    // Every placeholder is looked for before any source is read.
    std::array<bool, 4> present{};
    for (std::size_t i = 0; i < kSources.size(); ++i) {
        const std::size_t at = FindFolded(text, kSources[i].word);
        if (at != std::string::npos && at >= kLimit) {
            return {Named(0, templatePath) + ": \"" + std::string(kSources[i].word) +
                    "\" first appears after its 32,767th character, too far in to be replaced"};
        }
        present[i] = at != std::string::npos;
    }
    for (std::size_t i = 0; i < kSources.size(); ++i) {
        if (!present[i]) continue;
        const Source& source = kSources[i];
        const std::string& path = paths[source.slot];
        if (path.empty()) return Unset(source.slot, ", but the template uses \"" + std::string(source.word) + "\"");
        const std::string problem = source.isFolder ? FolderProblem(path) : QuoteFileProblem(path);
        if (!problem.empty()) return {Named(source.slot, path) + problem};
    }

    if (writing) {
        const std::string& signature = paths[kSignatureSlot];
        if (signature.empty()) return Unset(kSignatureSlot);
        return {Named(kSignatureSlot, signature) + " cannot be written: " + WhyUnwritable(signature)};
    }
    return {"the signature could not be composed, though every file now looks right; "
            "one may have changed meanwhile: try again"};
}

}  // namespace tessaly::cli
