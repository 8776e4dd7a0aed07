// tessaly (the Linux edition): reads its command line, finds its data and
// settings, makes sure it is the one copy that uses them, creates the main
// window, and runs the start-up sequence and the event loop until Exit, the
// window's close, the session's end or a signal.
#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "core/compose.h"
#include "core/fs.h"
#include "core/settings_file.h"
#include "qt/qt_desktop.h"
#include "qt/qt_support.h"
#include "session_end.h"
#include "single_instance.h"

int main(int argc, char** argv) {
    using namespace tessaly;
    // --help and --version need no display, and a mistyped option opens no
    // window.
    const qt::CommandLine line = qt::ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action != qt::CommandLine::Action::Run) {
        std::fputs(line.text.c_str(), line.action == qt::CommandLine::Action::Print ? stdout : stderr);
        return line.status;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessaly"));
    // Desktops match the window to the installed tessaly.desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));

    const std::string exeFolder = fs::ExecutableFolder();
    const std::string configFolder = fs::UserConfigFolder();
    qt::Locations where = qt::LocateProgram(exeFolder, KeepsFilesBesideProgram(exeFolder), configFolder);

    // Two copies must never write the same files: a second start hands over
    // to the first, which brings its window up.
    qt::QtDesktop* running = nullptr;
    qt::SingleInstance instance(where.settingsFile);
    if (!instance.Claim([&running] {
            if (running) running->WindowWanted();
        })) {
        return 0;
    }

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
    running = &desktop;
    // A signal ends the program as closing its window does: saved, gone
    // from the tray, status 0.
    const qt::SessionEnd sessionEnd([&desktop] { desktop.CloseWindow(); });
    const int exitCode = desktop.Run();
    running = nullptr;
    desktop.Attach(nullptr);
    return exitCode;
}
