// tessaly-compose: prints (or with --write, replaces) the signature once.
#include <exception>
#include <string>
#include <vector>

#include "core/settings_file.h"
#include "cli/companion.h"
#include "cli/console.h"
#include "core/fs.h"
#include "core/locations.h"

int main(int argc, char** argv) {
    using namespace tessaly;
    try {
        const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        // The window program's own settings: beside the program in a build
        // tree or unpacked folder, else in the user's configuration folder
        // (on Windows: %APPDATA%\Tessaly for a copy the installer put there).
#ifdef _WIN32
        const std::string settings = LocateThisWindowsProgram().settingsPath;
#else
        const std::string exeFolder = fs::ExecutableFolder();
        const std::string settings =
            LocateSettingsFile(exeFolder, KeepsFilesBesideProgram(exeFolder), fs::UserConfigFolder());
#endif
        TimeOfDayRandom random;
        cli::Outcome outcome = cli::Run(args, settings, random);
        if (!outcome.out.empty() && !console::WriteStandardOutput(outcome.out)) {
            outcome.status = cli::kExitFailure;
            outcome.err += "tessaly-compose: cannot write to standard output\n";
        }
        console::WriteStandardError(outcome.err);
        return outcome.status;
    } catch (const std::exception&) {
        console::WriteStandardError("tessaly-compose: not enough memory\n");
        return cli::kExitFailure;
    }
}
