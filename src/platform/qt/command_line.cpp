#include "command_line.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/version.h"

namespace tessaly::qt {

namespace {

constexpr std::string_view kUsage =
    "Usage: tessaly [OPTION]...\n"
    "Keep an e-mail signature file fresh: compose it from a template, two quote\n"
    "files and two folders of HTML fragments every three seconds while Running.\n"
    "Tessaly lives in the desktop's notification area; its window sets the paths.\n"
    "\n"
    "  -h, --help     display this help and exit\n"
    "  -V, --version  output version information and exit\n"
    "\n"
    "A second start with the same settings brings the running window up.\n"
    "SIGTERM, SIGINT and SIGHUP end it as Exit does: the settings are saved.\n"
    "Settings and the failure log: $XDG_CONFIG_HOME/tessaly/ (~/.config/tessaly/),\n"
    "or the program's own folder for an unpacked copy. See tessaly(1) and\n"
    "tessaly-compose(1).\n";

// Options of the toolkit that a session manager or a user may pass; each
// takes a value.
constexpr std::array<std::string_view, 8> kToolkitOptions{"-platform", "-display",  "-session", "-style",
                                                          "-stylesheet", "-name", "-title", "-qwindowgeometry"};

CommandLine Fail(const std::string& what) {
    return {CommandLine::Action::Fail, 2, "tessaly: " + what + "\nTry 'tessaly --help' for more information.\n"};
}

}  // namespace

CommandLine ReadCommandLine(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") return {CommandLine::Action::Print, 0, std::string(kUsage)};
        if (arg == "-V" || arg == "--version") {
            return {CommandLine::Action::Print, 0,
                    "tessaly (Tessaly) " TESSALY_VERSION "\nCopyright (C) 2026 Brindlewick.\n"};
        }
        if (std::find(kToolkitOptions.begin(), kToolkitOptions.end(), arg) != kToolkitOptions.end()) {
            if (i + 1 == args.size()) return Fail("option '" + arg + "' requires an argument");
            ++i;
            continue;
        }
        if (arg.starts_with("--")) return Fail("unrecognized option '" + arg + "'");
        if (arg.starts_with("-") && arg.size() > 1) return Fail("invalid option -- '" + arg.substr(1) + "'");
        return Fail("extra operand '" + arg + "'");
    }
    return {};
}

}  // namespace tessaly::qt
