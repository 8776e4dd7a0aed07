#include "core/locations.h"

namespace tessaly {

ProgramLocations LocateWindowsProgram(const std::string& exeFolder, bool installed, const std::string& userFolder) {
    if (!installed || userFolder.empty()) return {exeFolder, SettingsFilePath(exeFolder), false};
    return {exeFolder, fs::JoinPath(userFolder, {kUserFilesFolder, "data.sfc"}), true};
}

ProgramLocations LocateThisWindowsProgram() {
    const std::string exeFolder = fs::ExecutableFolder();
    const bool installed = fs::IsPlainFile(fs::JoinPath(exeFolder, {kInstalledMarker}));
    return LocateWindowsProgram(exeFolder, installed, installed ? fs::UserConfigFolder() : std::string{});
}

SettingsValues FirstRunSettings(const ProgramLocations& where) {
    const std::string& app = where.appPath;
    SettingsValues values;
    values.paths = {fs::JoinPath(app, {"samples", "template.htm"}),
                    fs::JoinPath(fs::FolderOf(where.settingsPath), {"signature.htm"}),
                    fs::JoinPath(app, {"quotes", "quotes1.txt"}),
                    fs::JoinPath(app, {"quotes", "quotes2.txt"}),
                    fs::JoinPath(app, {"samples", "html1"}),
                    fs::JoinPath(app, {"samples", "html2"})};
    return values;
}

fs::Result WriteFirstRunSettings(const ProgramLocations& where) {
    if (!where.userFilesApart) return {};
    if (ReadSettingsFile(where.settingsPath).read.error != fs::Error::NotFound) return {};
    return WriteSettingsFile(where.settingsPath, FirstRunSettings(where));
}

}  // namespace tessaly
