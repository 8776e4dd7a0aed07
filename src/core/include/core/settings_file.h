// The settings file data\data.sfc: six quoted paths and the start-up flag,
// seven lines. The Windows program ends them with CR LF; on Linux they end
// with LF, and a file written on Windows reads the same there.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/fs.h"
#include "core/line_ends.h"

namespace tessaly {

struct SettingsValues {
    // In file order: template, signature, quote file 1, quote file 2,
    // HTML folder 1, HTML folder 2.
    std::array<std::string, 6> paths;
    // The start-up check box: 0 cleared, 1 ticked, 2 grayed.
    std::int16_t autoStart = 0;
};

struct LoadedSettings {
    SettingsValues values;   // the file's; for a malformed file, what could be read of it
    bool fileFound = false;  // true: the file was read and understood, and the values are its own
    // Why not: NotFound when there is no file yet; Malformed when the file
    // was read but is not seven lines of six quoted paths and 0, 1 or 2.
    fs::Result read;
    std::string problem;  // what is wrong with a malformed file: "line 7 is not 0, 1 or 2"
};

// Why the settings could not be taken from the file, in words: the reason
// of `read`, and for a malformed file what is wrong with it ("malformed:
// line 3 is not a path in quotes").
std::string SettingsFailure(const LoadedSettings& loaded);

// How long start-up keeps trying a settings file that exists but cannot be
// read: a backup or sync program that holds it usually lets go within a
// second or two.
inline constexpr unsigned kSettingsPatienceMs = 2000;
inline constexpr unsigned kSettingsRetryMs = 100;

// The exact bytes that a save writes: each line ends with the rule's line
// break.
std::string FormatSettings(const SettingsValues& values, LineEnds lineEnds = kPlatformLineEnds);

// Reads settings text, its lines ending as `lineEnds` has it; lines after
// the seventh are ignored. Text that is not understood gives what could be
// read, and `problem`, when given, says what is wrong: fewer than seven
// lines, a path line whose first and last characters are not quotes, a
// seventh line that is not 0, 1 or 2 (blanks around it allowed). A missing
// or unreadable line gives an empty path or a cleared check box; otherwise
// `problem` is left empty.
SettingsValues ParseSettings(std::string_view text, std::string* problem = nullptr,
                             LineEnds lineEnds = kPlatformLineEnds);

// Reads the file at `path`; a missing or unreadable file gives empty values
// with fileFound false and the reason in `read`, a malformed one what could
// be read of it, the error Malformed and its problem. A file that exists but
// cannot be read is tried again every kSettingsRetryMs for up to
// `patienceMs`.
LoadedSettings ReadSettingsFile(const std::string& path, unsigned patienceMs = 0);

// Replaces the file at `path` atomically, creating its folder when missing.
// On failure the previous file is intact and the result says why.
fs::Result WriteSettingsFile(const std::string& path, const SettingsValues& values);

// The settings file's path for a program whose executable lies in `exeFolder`.
std::string SettingsFilePath(const std::string& exeFolder);

// Where a program in `exeFolder` keeps its settings: beside it, as above,
// when it keeps its files there (see KeepsFilesBesideProgram), otherwise (an
// installed copy, as under /usr) in `configFolder`/tessaly/data.sfc, in the
// same format. With no config folder known it stays beside the program.
std::string LocateSettingsFile(const std::string& exeFolder, bool besideProgram,
                               const std::string& configFolder);

// True when a program in `exeFolder` keeps its files beside it: the folder
// holds the program's own samples or settings folder (a build tree, an
// unpacked folder, the Windows program's folder) and the user may write
// there. An installed copy (/usr/bin) has neither beside it, so even root,
// who may write there, gets the per-user settings.
bool KeepsFilesBesideProgram(const std::string& exeFolder);

// A short name that stands for a settings file's path, the same in every run
// ("tessaly-" and 16 hex digits): the one running copy of the program that
// uses the file is found by it.
std::string InstanceKey(std::string_view settingsFile);

}  // namespace tessaly
