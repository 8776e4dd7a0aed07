// tessaly.exe: creates the desktop and the main window, runs the start-up
// sequence and the message loop.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "core/compose.h"
#include "core/locations.h"
#include "single_instance.h"
#include "win32_desktop.h"
#include "window/desktop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The folder browser is a shell object and needs an apartment.
    const tessaly::win32::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    // Decided once: the settings do not move while the program runs. An
    // installed copy's first settings go under %APPDATA%\Tessaly before the
    // window reads them, pointing at the installed samples: the window would
    // otherwise put the signature into the program's folder.
    const tessaly::ProgramLocations where = tessaly::LocateThisWindowsProgram();

    // Two copies must never write the same files: a second start hands over
    // to the first, which brings its window up.
    tessaly::win32::Win32Desktop* running = nullptr;
    tessaly::win32::SingleInstance oneCopy(where.settingsPath);
    if (!oneCopy.Claim(instance, [&running] {
            if (running) running->WindowWanted();
        })) {
        return 0;
    }
    tessaly::WriteFirstRunSettings(where);

    int exitCode = 1;
    {
        tessaly::win32::Win32Desktop desktop(instance, where.appPath, where.settingsPath);
        if (desktop.Create()) {
            tessaly::TimeOfDayRandom random;
            const auto window = tessaly::CreateMainWindow(desktop, random);
            desktop.Attach(window.get());
            running = &desktop;
            exitCode = desktop.Run();
            running = nullptr;
            desktop.Attach(nullptr);
        }
    }
    return exitCode;
}

// The runtime's default terminate handler writes the demangled type of the
// exception to a console that a GUI program does not have; its demangler
// alone would be an eighth of the program. Ending at once says as much.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
