// The Linux edition's pieces that need neither a display nor Qt: where the
// program's files are, and the help project's map from context numbers to
// topics.
#pragma once

#include <string>
#include <string_view>

#include "core/settings_file.h"

namespace tessaly::qt {

// Where the program finds its data (help/, quotes/, samples/) and
// keeps its settings.
struct Locations {
    std::string programFolder;
    std::string settingsFile;
    // The settings sit apart from the data (an installed program): the first
    // run's signature must then be written somewhere the user may write.
    bool installed = false;
};

// A program that keeps its files beside itself (a build tree, an unpacked
// folder) keeps everything there, as on Windows. An installed one (under
// /usr/bin) finds its data in ../share/tessaly and its settings under
// `configFolder` (see LocateSettingsFile).
Locations LocateProgram(const std::string& exeFolder, bool besideProgram, const std::string& configFolder);

// What an installed program's first run starts with, so that Start works at
// once: the samples from the data folder, and the signature written beside
// the settings (the data folder is read-only).
SettingsValues FirstRunSettings(const Locations& where);

// The topic file that a help project (.hhp text) gives for a help context
// number: [MAP] names the number, [ALIAS] names the topic. An unknown number
// (or 0) gives the project's default topic, else its first file; empty when
// the project names no topic at all.
std::string HelpTopic(std::string_view project, int contextId);

}  // namespace tessaly::qt
