// tessaly (the Linux edition): finds its data and settings, creates the main
// window, runs the start-up sequence and the event loop.
#include <QApplication>
#include <QFileInfo>

#include "core/compose.h"
#include "core/fs.h"
#include "core/settings_file.h"
#include "qt/qt_desktop.h"
#include "qt/qt_support.h"

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
        if (!QFileInfo(QFile::decodeName(where.programFolder.c_str())).isDir()) where.programFolder = exeFolder;
        // Only a file that is not there yet: one that another program holds
        // is the window's to report, never to be written over.
        const bool firstRun = ReadSettingsFile(where.settingsFile).read.error == fs::Error::NotFound;
        if (firstRun && fs::EnsureFolder(configFolder)) {
            WriteSettingsFile(where.settingsFile, qt::FirstRunSettings(where));
        }
    }

    qt::QtDesktop desktop(where);
    TimeOfDayRandom random;
    const auto window = CreateMainWindow(desktop, random, qt::kLinuxConventions);
    desktop.Attach(window.get());
    const int exitCode = desktop.Run();
    desktop.Attach(nullptr);
    return exitCode;
}
