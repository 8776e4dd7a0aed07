#include "core/settings_file.h"

#include <charconv>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "core/fs.h"

namespace tessaly {

namespace {

// The check box accepts 0, 1 and 2 only; anything else is no flag.
std::optional<std::int16_t> ParseFlag(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    int value = 0;
    const auto* first = line.data();
    const auto* last = line.data() + line.size();
    if (!line.empty() && *first == '+') ++first;
    // from_chars takes a minus sign, and "-0" is no flag a save writes.
    if (first != last && *first == '-') return std::nullopt;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last || first == last || value < 0 || value > 2) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

// The folder part of a settings path: everything before its last separator.
std::string FolderOf(const std::string& path) {
    const auto at = path.find_last_of(fs::PathSeparator());
    return at == std::string::npos ? std::string{} : path.substr(0, at);
}

}  // namespace

std::string SettingsFailure(const LoadedSettings& loaded) {
    const std::string reason = fs::Reason(loaded.read);
    return loaded.problem.empty() ? reason : reason + ": " + loaded.problem;
}

std::string FormatSettings(const SettingsValues& values, LineEnds lineEnds) {
    const std::string_view lineBreak = LineBreak(lineEnds);
    std::string text;
    for (const auto& path : values.paths) {
        text += '"';
        text += path;
        text += '"';
        text += lineBreak;
    }
    text += std::to_string(values.autoStart);
    text += lineBreak;
    return text;
}

SettingsValues ParseSettings(std::string_view text, std::string* problem, LineEnds lineEnds) {
    SettingsValues values;
    std::string wrong;  // the first line that is not as a save writes it
    int lines = 0;
    LineSplitter splitter(text, lineEnds);
    std::string_view line;
    for (auto& path : values.paths) {
        if (!splitter.Next(line)) break;
        ++lines;
        // The first and last characters are the quotes that a save adds;
        // without them the line is kept whole, as the user may have meant it.
        if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
            path.assign(line.substr(1, line.size() - 2));
        } else {
            path.assign(line);
            if (wrong.empty()) wrong = "line " + std::to_string(lines) + " is not a path in quotes";
        }
    }
    if (lines == 6 && splitter.Next(line)) {
        ++lines;
        const std::optional<std::int16_t> flag = ParseFlag(line);
        values.autoStart = flag.value_or(0);
        if (!flag && wrong.empty()) wrong = "line 7 is not 0, 1 or 2";
    }
    // Too few lines says more than whichever line came out wrong: a file
    // whose line breaks this system does not see as such is one long line.
    if (lines == 0) wrong = "empty file";
    else if (lines < 7) wrong = std::to_string(lines) + (lines == 1 ? " line" : " lines") + " instead of 7";
    if (problem != nullptr) *problem = std::move(wrong);
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
        loaded.values = ParseSettings(text, &loaded.problem);
        loaded.fileFound = loaded.problem.empty();
        // Not understood: the file is the user's, kept as it is until a save.
        if (!loaded.fileFound) loaded.read = {fs::Error::Malformed};
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
