#include "core/settings_file.h"

#include <charconv>
#include <exception>
#include <string_view>
#include <vector>

#include "core/fs.h"

namespace tessaly {

namespace {

// Splits off the next line: a line ends at CR or CR LF; a lone LF is part of
// the line. Returns false when no line is left (a terminator at the very end
// of the text does not open a further, empty line).
bool NextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const auto cr = text.find('\r');
    if (cr == std::string_view::npos) {
        line = text;
        text = {};
        return true;
    }
    line = text.substr(0, cr);
    std::size_t next = cr + 1;
    if (next < text.size() && text[next] == '\n') ++next;
    text.remove_prefix(next);
    return true;
}

// The check box accepts 0, 1 and 2 only; anything else reads as cleared.
std::int16_t ParseFlag(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    int value = 0;
    const auto* first = line.data();
    const auto* last = line.data() + line.size();
    if (!line.empty() && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last || first == last) return 0;
    if (value < 0 || value > 2) return 0;
    return static_cast<std::int16_t>(value);
}

// The folder part of a settings path: everything before its last separator.
std::string FolderOf(const std::string& path) {
    const auto at = path.find_last_of(fs::PathSeparator());
    return at == std::string::npos ? std::string{} : path.substr(0, at);
}

}  // namespace

std::string FormatSettings(const SettingsValues& values) {
    std::string text;
    for (const auto& path : values.paths) {
        text += '"';
        text += path;
        text += "\"\r\n";
    }
    text += std::to_string(values.autoStart);
    text += "\r\n";
    return text;
}

SettingsValues ParseSettings(std::string_view text) {
    SettingsValues values;
    std::string_view line;
    for (auto& path : values.paths) {
        if (!NextLine(text, line)) return values;
        // The first and last characters are the quotes that a save adds;
        // whatever they are, only the characters between them are the value.
        if (line.size() >= 2) path.assign(line.substr(1, line.size() - 2));
    }
    if (NextLine(text, line)) values.autoStart = ParseFlag(line);
    return values;
}

LoadedSettings ReadSettingsFile(const std::string& path, unsigned patienceMs) {
    LoadedSettings loaded;
    std::string text;
    for (unsigned waited = 0;; waited += kSettingsRetryMs) {
        loaded.read = fs::ReadWholeFile(path, text);
        if (loaded.read || loaded.read.error == fs::Error::NotFound || waited >= patienceMs) break;
        fs::Wait(kSettingsRetryMs);
    }
    if (!loaded.read) return loaded;
    try {
        loaded.values = ParseSettings(text);
        loaded.fileFound = true;
    } catch (const std::exception&) {
        // Out of memory on an absurdly large file: no values the user chose.
        loaded.read = {fs::Error::TooLarge};
    }
    return loaded;
}

fs::Result WriteSettingsFile(const std::string& path, const SettingsValues& values) {
    try {
        const std::string folder = FolderOf(path);
        if (!folder.empty()) {
            if (const fs::Result made = fs::EnsureFolder(folder); !made) return made;
        }
        return fs::ReplaceFileAtomically(path, FormatSettings(values));
    } catch (const std::exception&) {
        return {fs::Error::TooLarge};
    }
}

std::string SettingsFilePath(const std::string& exeFolder) {
    return fs::JoinPath(exeFolder, {"data", "data.sfc"});
}

bool KeepsFilesBesideProgram(const std::string& exeFolder) {
    std::vector<std::string> names;
    return fs::IsWritableFolder(exeFolder) && (fs::ListPlainFiles(fs::JoinPath(exeFolder, {"data"}), names) ||
                                               fs::ListPlainFiles(fs::JoinPath(exeFolder, {"samples"}), names));
}

std::string LocateSettingsFile(const std::string& exeFolder, bool besideProgram,
                               const std::string& configFolder) {
    if (besideProgram || configFolder.empty()) return SettingsFilePath(exeFolder);
    return fs::JoinPath(configFolder, {"tessaly", "data.sfc"});
}

std::string InstanceKey(std::string_view settingsFile) {
    // FNV-1a over the path's bytes: short, and stable across runs and builds.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : settingsFile) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string key = "tessaly-";
    for (int shift = 60; shift >= 0; shift -= 4) key += kDigits[(hash >> shift) & 0xF];
    return key;
}

}  // namespace tessaly
