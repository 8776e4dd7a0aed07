#include "core/failure_log.h"

#include <exception>

#include "core/fs.h"

namespace tessaly {

namespace {

void AppendField(std::string& line, std::string_view text) {
    for (const char c : text) line += c == '\r' || c == '\n' ? ' ' : c;
}

}  // namespace

std::string FailureLogPath(const std::string& settingsPath) {
    const auto cut = settingsPath.find_last_of(fs::PathSeparator());
    return (cut == std::string::npos ? std::string() : settingsPath.substr(0, cut + 1)) + "tessaly.log";
}

void AppendFailure(const std::string& logPath, std::time_t when, std::string_view what, std::string_view file,
                   std::string_view why) {
    try {
        char stamp[32] = "";
        // One thread only: the shared result of localtime is safe here.
        if (const std::tm* local = std::localtime(&when)) {
            std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", local);
        }
        std::string line = stamp;
        for (const std::string_view field : {what, file, why}) {
            line += " | ";
            AppendField(line, field);
        }
        line += "\r\n";

        std::string log;
        if (const fs::Result read = fs::ReadWholeFile(logPath, log); !read) {
            if (read.error != fs::Error::NotFound) return;
            log.clear();
        }
        log += line;
        if (log.size() > kFailureLogLimit) {
            const std::size_t end = log.find('\n', log.size() - kFailureLogLimit * 3 / 4);
            log.erase(0, end == std::string::npos ? log.size() - line.size() : end + 1);
        }
        // On a first run the data folder may not exist yet.
        const auto cut = logPath.find_last_of(fs::PathSeparator());
        if (cut != std::string::npos && cut > 0) fs::EnsureFolder(logPath.substr(0, cut));
        fs::ReplaceFileAtomically(logPath, log);
    } catch (const std::exception&) {
        // Out of memory: the log is the one thing that may be lost.
    }
}

}  // namespace tessaly
