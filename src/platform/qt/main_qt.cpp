// tessaly (the Linux edition): finds its data and settings, creates the main
// window, runs the start-up sequence and the event loop.
#include <QApplication>
#include <QFileInfo>

#include "app/form_events.h"
#include "core/settings_file.h"
#include "core/compose.h"
#include "core/fs.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_support.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessaly"));
    // Desktops match the window to the installed tessaly.desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));

    using namespace tessaly;
    const std::string exeFolder = fs::ExecutableFolder();
    const std::string configFolder = fs::UserConfigFolder();
    qt::Locations where = qt::LocateProgram(exeFolder, KeepsFilesBesideProgram(exeFolder), configFolder);
    if (where.installed) {
        // A read-only copy without an installed data folder beside it still
        // has its data next to the executable.
        if (!QFileInfo(QFile::decodeName(where.appPath.c_str())).isDir()) where.appPath = exeFolder;
        // Only a file that is not there yet: one that another program holds
        // is the window's to report, never to be written over.
        const bool firstRun = ReadSettingsFile(where.settingsPath).read.error == fs::Error::NotFound;
        if (firstRun && fs::EnsureFolder(configFolder)) {
            WriteSettingsFile(where.settingsPath, qt::FirstRunSettings(where));
        }
    }

    qt::QtPlatform platform(where);
    TimeOfDayRandom random;
    const auto form = CreateMainForm(platform, random);
    platform.Attach(form.get());
    const int exitCode = platform.Run();
    platform.Attach(nullptr);
    return exitCode;
}
