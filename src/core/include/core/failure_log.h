// The failure log, data/tessaly.log beside the settings: one line for every
// composition or save that failed, saying when, what was being done, which
// file and why. The messages the user sees stay short; the log is where the
// user (or whoever helps) finds out which of the six paths is wrong.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace tessaly {

// The log never grows past this many bytes; the oldest lines go first, down
// to three quarters of it, so that it is rarely rewritten.
inline constexpr std::size_t kFailureLogLimit = 256 * 1024;

// The log's path: tessaly.log in the settings file's folder.
std::string FailureLogPath(const std::string& settingsPath);

// Appends "YYYY-MM-DD hh:mm:ss | what | file | why" and CR LF, in local time.
// Line breaks inside the fields become spaces, so that one failure is one
// line. A log that cannot be written is no further failure: nothing is
// reported, and a log that exists but cannot be read is left as it is.
void AppendFailure(const std::string& logPath, std::time_t when, std::string_view what, std::string_view file,
                   std::string_view why);

}  // namespace tessaly
