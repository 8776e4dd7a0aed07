#include "qt/qt_support.h"

#include <map>

#include "core/fs.h"
#include "core/locations.h"

namespace tessaly::qt {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// "name=value" split at the first '='; false without one.
bool SplitAssignment(std::string_view line, std::string_view& name, std::string_view& value) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    name = Trimmed(line.substr(0, equals));
    value = Trimmed(line.substr(equals + 1));
    return true;
}

}  // namespace

Locations LocateProgram(const std::string& exeFolder, bool besideProgram, const std::string& configFolder) {
    Locations where{exeFolder, LocateSettingsFile(exeFolder, besideProgram, configFolder), false};
    const auto slash = exeFolder.find_last_of('/');
    if (besideProgram || configFolder.empty() || slash == std::string::npos) return where;
    // Installed: /usr/bin/tessaly reads /usr/share/tessaly.
    where.programFolder = fs::JoinPath(exeFolder.substr(0, slash), {"share", "tessaly"});
    where.installed = true;
    return where;
}

SettingsValues FirstRunSettings(const Locations& where) {
    // The same first run as an installed Windows copy's: samples from the
    // data folder, the signature beside the settings.
    return tessaly::FirstRunSettings(ProgramLocations{where.programFolder, where.settingsFile, where.installed});
}

std::string HelpTopic(std::string_view project, int contextId) {
    std::string_view section, defaultTopic, firstFile, contextName;
    std::map<std::string_view, std::string_view> aliases;
    while (!project.empty()) {
        const auto end = project.find('\n');
        const std::string_view line = Trimmed(project.substr(0, end));
        project = end == std::string_view::npos ? std::string_view{} : project.substr(end + 1);
        std::string_view name, value;
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            section = line;
        } else if (section == "[OPTIONS]" && SplitAssignment(line, name, value) && name == "Default topic") {
            defaultTopic = value;
        } else if (section == "[FILES]" && firstFile.empty()) {
            firstFile = line;
        } else if (section == "[ALIAS]" && SplitAssignment(line, name, value)) {
            aliases[name] = value;
        } else if (section == "[MAP]" && line.starts_with("#define")) {
            // "#define NAME number"
            const std::string_view rest = Trimmed(line.substr(7));
            const auto gap = rest.find_first_of(" \t");
            if (gap != std::string_view::npos && Trimmed(rest.substr(gap)) == std::to_string(contextId)) {
                contextName = rest.substr(0, gap);
            }
        }
    }
    if (const auto alias = aliases.find(contextName); !contextName.empty() && alias != aliases.end()) {
        return std::string(alias->second);
    }
    return std::string(defaultTopic.empty() ? firstFile : defaultTopic);
}

}  // namespace tessaly::qt
