// Stands in for Notepad, Explorer and the browser during the end-to-end
// tests: the prefix's file associations start it as
//   e2e_opener.exe <kind> "<target>"
// and it appends one line "<kind>|<target>" CR LF to a log, then ends. The
// log is named by TESSALY_E2E_OPEN_LOG, which the program under test inherits
// from the test driver and passes on through the shell; without it the log
// lies beside the opener.
#include <windows.h>

#include <string>

namespace {

std::string LogPath() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableA("TESSALY_E2E_OPEN_LOG", buffer, sizeof buffer);
    if (n > 0 && n < sizeof buffer) return std::string(buffer, n);
    const DWORD m = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::string path(buffer, m);
    const auto slash = path.find_last_of('\\');
    path.resize(slash == std::string::npos ? 0 : slash + 1);
    return path + "open.log";
}

// Two openers may run at once (two double-clicks in quick succession), so
// the append is retried while the other one holds the file.
bool AppendLine(const std::string& path, const std::string& line) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written,
                                      nullptr);
            CloseHandle(file);
            return ok && written == line.size();
        }
        Sleep(10);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += '|';
        line += argv[i];
    }
    line += "\r\n";
    return AppendLine(LogPath(), line) ? 0 : 1;
}
