// The Linux edition's command line, read before any display is opened, so
// that --help and --version work on a console without one.
#pragma once

#include <string>
#include <vector>

namespace tessaly::qt {

struct CommandLine {
    enum class Action { Run, Print, Fail } action = Action::Run;
    int status = 0;     // the exit status for Print and Fail
    std::string text;   // for standard output (Print) or standard error (Fail)
};

// `args` without the program's name. The toolkit's own options that take a
// value (-platform, -display, -session, ...) pass through to it.
CommandLine ReadCommandLine(const std::vector<std::string>& args);

}  // namespace tessaly::qt
