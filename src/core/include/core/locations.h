// Where the Windows programs find their data and keep the user's files.
//
// A copy unpacked from the ZIP keeps everything in its own folder, as it
// always has: settings in data\data.sfc, the failure log beside them, the
// first run's signature in samples\. A copy that the installer put in place
// keeps the user's files under %APPDATA%\Tessaly instead: its folder belongs
// to the installer, which replaces it on an upgrade and removes it on
// uninstalling. What tells the two apart is one test: the installer puts
// the file installed.txt beside tessaly.exe, and the ZIP never holds it.
#pragma once

#include <string>

#include "core/fs.h"
#include "core/settings_file.h"

namespace tessaly {

// The file that marks an installed copy, beside the programs.
inline constexpr const char* kInstalledMarker = "installed.txt";
// The folder an installed copy keeps the user's files in, inside
// fs::UserConfigFolder() (%APPDATA%).
inline constexpr const char* kUserFilesFolder = "Tessaly";

struct ProgramLocations {
    std::string appPath;       // the program's folder: help\, quotes\, samples\.
    std::string settingsPath;  // the settings file; the failure log lies beside it
    // The user's files are kept apart from the program's folder: an
    // installed copy that knows the user's folder.
    bool userFilesApart = false;
};

// The locations of a Windows program in `exeFolder`. An installed copy
// (`installed`: the marker is there) keeps its settings in
// `userFolder`\Tessaly\data.sfc; an unpacked one in `exeFolder`\data\data.sfc,
// as does an installed one when no user folder is known, since it has
// nowhere else to keep them.
ProgramLocations LocateWindowsProgram(const std::string& exeFolder, bool installed, const std::string& userFolder);

// The same for the running Windows program, looking for the marker beside it
// and asking the environment for %APPDATA%.
ProgramLocations LocateThisWindowsProgram();

// What an installed copy's first run starts with, so that Resume works at
// once: the samples and quotes of the program's folder, and the signature
// beside the settings, never in the program's folder.
SettingsValues FirstRunSettings(const ProgramLocations& where);

// Writes the first-run settings of an installed copy that has no settings
// file yet, making its folder. Does nothing for an unpacked copy (its window
// fills in the samples itself) or when a settings file exists, even one that
// cannot be read now: that one is the window's to report, never to be
// written over. The result says why a needed write failed.
fs::Result WriteFirstRunSettings(const ProgramLocations& where);

}  // namespace tessaly
