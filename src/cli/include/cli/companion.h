// tessaly-compose: composes the signature once, with the window program's
// composer and settings, for mail clients that run a command for every new
// message and use what it prints (mutt's `signature="...|"`, Evolution's
// signature scripts).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/compose.h"

namespace tessaly::cli {

// Exit statuses, as the manual page lists them.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitFailure = 1,  // nothing composed or written; the cause is on standard error
    kExitUsage = 2,    // the command line itself is wrong
};

// What one run hands back to the shell.
struct Outcome {
    int status = kExitSuccess;
    std::string out;  // bytes for standard output
    std::string err;  // text for standard error, one or more lines
};

// The line break that closes the printed signature when its text does not
// already end with one: mail clients on POSIX systems read LF-ended text,
// Windows programs CR LF.
std::string_view OutputLineBreak();

// One run. `args` are the command-line arguments without the program's
// name; `defaultSettings` is the settings file the window program uses.
Outcome Run(const std::vector<std::string>& args, const std::string& defaultSettings, RandomSource& random);

}  // namespace tessaly::cli
