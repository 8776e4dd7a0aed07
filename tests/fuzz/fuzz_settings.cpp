// Any bytes as the settings file, under either line rule: the text is
// understood exactly when its first seven lines are six quoted paths and 0,
// 1 or 2, the flag read is 0, 1 or 2, and what was read, saved and read
// again is what was read, understood. A file saved on Windows reads the
// same on Linux. Any values that fit the fields read back from a save as
// they were.
#include "core/settings_file.h"
#include "fuzz_support.h"

using namespace tessaly;
using fuzz::Require;

static bool Same(const SettingsValues& a, const SettingsValues& b) {
    return a.paths == b.paths && a.autoStart == b.autoStart;
}

// 0, 1 or 2 in decimal, with blanks around it and a plus sign allowed.
static bool IsFlag(std::string line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    const std::size_t start = line.find_first_not_of(" \t");
    line.erase(0, start == std::string::npos ? line.size() : start);
    if (line.starts_with('+')) line.erase(0, 1);
    if (line.empty() || line.find_first_not_of("0123456789") != std::string::npos) return false;
    line.erase(0, std::min(line.find_first_not_of('0'), line.size()));
    return line.empty() || line == "1" || line == "2";
}

static bool Understood(const std::vector<std::string>& lines) {
    if (lines.size() < 7) return false;
    for (std::size_t i = 0; i < 6; ++i)
        if (lines[i].size() < 2 || lines[i].front() != '"' || lines[i].back() != '"') return false;
    return IsFlag(lines[6]);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SettingsValues onWindows;
    for (const LineEnds rule : {LineEnds::Windows, LineEnds::Linux}) {
        std::string problem = "unset", again = "unset";
        const SettingsValues read = ParseSettings(text, &problem, rule);
        if (rule == LineEnds::Windows) onWindows = read;
        Require(read.autoStart >= 0 && read.autoStart <= 2, "the flag read is 0, 1 or 2");
        Require(problem.empty() == Understood(fuzz::Lines(text, rule)),
                "text is understood exactly when it is seven lines of six quoted paths and 0, 1 or 2");
        const std::string saved = FormatSettings(read, rule);
        const std::string lineBreak(LineBreak(rule));
        std::size_t lineEnds = 0;
        for (std::size_t at = 0; (at = saved.find(lineBreak, at)) != std::string::npos; at += lineBreak.size()) ++lineEnds;
        Require(lineEnds == 7 && saved.ends_with(lineBreak), "a save is seven lines ended by the rule's line break");
        Require(Same(ParseSettings(saved, &again, rule), read) && again.empty(),
                "read, saved and read again gives what was read, understood");
    }
    const bool singleLinePaths = std::none_of(onWindows.paths.begin(), onWindows.paths.end(),
                                              [](const std::string& path) { return path.find('\n') != path.npos; });
    Require(!singleLinePaths || Same(ParseSettings(FormatSettings(onWindows, LineEnds::Windows), nullptr, LineEnds::Linux),
                                     onWindows),
            "a file saved on Windows reads the same on Linux");

    FuzzedDataProvider in(data, size);
    SettingsValues typed;  // the fields are single-line
    typed.autoStart = in.ConsumeIntegralInRange<std::int16_t>(0, 2);
    for (auto& path : typed.paths) {
        path = in.ConsumeRandomLengthString();
        std::erase(path, '\r');
        std::erase(path, '\n');
    }
    for (const LineEnds rule : {LineEnds::Windows, LineEnds::Linux})
        Require(Same(ParseSettings(FormatSettings(typed, rule), nullptr, rule), typed), "any one-line values read back as saved");

    fuzz::Disk() = {};  // the save makes the folder
    Require(static_cast<bool>(WriteSettingsFile("exe/data/data.sfc", typed)), "a save to a writable disk succeeds");
    Require(fuzz::Disk().files.at("exe/data/data.sfc") == FormatSettings(typed), "the file holds the bytes of a save");
    const LoadedSettings loaded = ReadSettingsFile("exe/data/data.sfc");
    Require(loaded.fileFound && Same(loaded.values, typed), "a saved file reads back the same");
    return 0;
}
