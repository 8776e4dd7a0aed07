// Starts tessaly.exe from an unpacked package folder, as a user's first run:
// the window must come up showing the bundled samples, "create now" must
// compose a signature from them, and closing the window must store the
// settings beside the program.
//
//   package_smoke_driver <unpacked folder, Windows path>
//
// Every wait polls with a deadline; exit code 0 means every check held.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/layout.h"

namespace {

using tessaly::ControlId;

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kSignatureTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 20000;

int failures = 0;

void Fail(const std::string& what) {
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    ++failures;
}

const ULONGLONG startedAt = GetTickCount64();

void Note(const std::string& what) {
    std::printf("%6.2f s  %s\n", static_cast<double>(GetTickCount64() - startedAt) / 1000.0, what.c_str());
}

bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(50);
    }
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ReadFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    content = text.str();
    return true;
}

std::string ReadFileOrFail(const std::string& path) {
    std::string content;
    if (!ReadFile(path, content)) Fail("cannot read " + path);
    return content;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The lines of a quote file: CR LF ends a line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The pieces of an HTML folder as the composer inserts them: each file's
// lines run together.
std::vector<std::string> Pieces(const std::string& folder) {
    std::vector<std::string> pieces;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return pieces;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string piece;
        for (char c : ReadFileOrFail(folder + "\\" + found.cFileName)) {
            if (c != '\r' && c != '\n') piece += c;
        }
        pieces.push_back(piece);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return pieces;
}

std::string ReplaceAll(std::string text, const std::string& word, const std::string& by) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + by.size())) {
        text.replace(at, word.size(), by);
    }
    return text;
}

int ControlWindowId(ControlId id) { return 100 + static_cast<int>(id); }

std::string ControlText(HWND window, ControlId id) {
    HWND control = GetDlgItem(window, ControlWindowId(id));
    if (!control) {
        Fail("the window has no control " + std::to_string(ControlWindowId(id)));
        return "";
    }
    char text[4096] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &copied)) {
        Fail("no answer to WM_GETTEXT from control " + std::to_string(ControlWindowId(id)));
    }
    return text;
}

struct MessageBoxSeen {
    DWORD processId;
    HWND box = nullptr;
    std::string title;
    std::string text;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM param) {
    auto* seen = reinterpret_cast<MessageBoxSeen*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner != seen->processId || std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    char text[1024] = {};
    if (HWND label = GetDlgItem(window, 0xFFFF)) {
        SendMessageTimeoutA(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, nullptr);
    }
    seen->box = window;
    seen->title = title;
    seen->text = text;
    return FALSE;
}

// The message box that the program shows, if any.
MessageBoxSeen ShownMessageBox(DWORD processId) {
    MessageBoxSeen seen{processId, nullptr, "", ""};
    EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

std::string Describe(const MessageBoxSeen& seen) { return "\"" + seen.title + "\": " + seen.text; }

struct Program {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

bool Start(const std::string& folder, Program& program) {
    std::string commandLine = "\"" + folder + "\\tessaly.exe\"";
    // Started from another folder: the program must find its samples and
    // settings beside itself, not in the current folder.
    char windowsFolder[MAX_PATH] = {};
    GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, windowsFolder, &startup,
                        &program.process)) {
        Fail("cannot start " + commandLine + " (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    const std::string caption(tessaly::kWindowCaption);
    const bool shown = PollUntil(kWindowTimeoutMs, [&] {
        HWND window = FindWindowA("TessalyMainWindow", caption.c_str());
        DWORD owner = 0;
        if (window) GetWindowThreadProcessId(window, &owner);
        if (window && owner == program.process.dwProcessId && IsWindowVisible(window)) program.window = window;
        return program.window != nullptr ||
               WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0;
    });
    if (!program.window) {
        DWORD code = 0;
        GetExitCodeProcess(program.process.hProcess, &code);
        Fail(shown ? "the program ended (code " + std::to_string(code) + ") without showing its window"
                   : "no visible window of class TessalyMainWindow titled \"" + caption + "\"");
        return false;
    }
    return true;
}

void Stop(Program& program) {
    if (program.window) PostMessageA(program.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        const MessageBoxSeen seen = ShownMessageBox(program.process.dwProcessId);
        Fail("the program did not end after WM_CLOSE" + (seen.box ? " (showing " + Describe(seen) + ")" : ""));
        TerminateProcess(program.process.hProcess, 1);
        WaitForSingleObject(program.process.hProcess, kExitTimeoutMs);
    }
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
}

// Every signature the samples can give: the template with each placeholder
// replaced by one of its candidates, plus the closing CR LF.
std::vector<std::string> SignaturesFromSamples(const std::string& folder) {
    std::vector<std::string> all;
    const std::string templ = ReadFileOrFail(folder + "\\samples\\template.htm");
    for (const auto& q1 : Lines(ReadFileOrFail(folder + "\\quotes\\quotes1.txt")))
        for (const auto& q2 : Lines(ReadFileOrFail(folder + "\\quotes\\quotes2.txt")))
            for (const auto& h1 : Pieces(folder + "\\samples\\html1"))
                for (const auto& h2 : Pieces(folder + "\\samples\\html2")) {
                    std::string text = ReplaceAll(templ, "quote1", q1);
                    text = ReplaceAll(text, "quote2", q2);
                    text = ReplaceAll(text, "htmPath1", h1);
                    all.push_back(ReplaceAll(text, "htmPath2", h2) + "\r\n");
                }
    return all;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: package_smoke_driver <unpacked folder>\n");
        return 2;
    }
    char full[MAX_PATH] = {};
    GetFullPathNameA(argv[1], sizeof full, full, nullptr);
    const std::string folder = full;
    const std::string signaturePath = folder + "\\samples\\signature.htm";
    const std::string settingsPath = folder + "\\data\\data.sfc";

    if (Exists(folder + "\\data")) Fail("the package holds a data folder");
    if (Exists(signaturePath)) Fail("the package holds a signature file");
    if (failures) return 1;

    Program program;
    if (!Start(folder, program)) {
        if (program.process.hProcess) Stop(program);
        return 1;
    }
    Note("window shown");

    // The first run names the samples beside the program.
    const struct {
        ControlId field;
        std::string expected;
    } fields[] = {
        {ControlId::txtTemplate, folder + "\\samples\\template.htm"},
        {ControlId::txtSignature, signaturePath},
        {ControlId::txtQF1, folder + "\\quotes\\quotes1.txt"},
        {ControlId::txtQF2, folder + "\\quotes\\quotes2.txt"},
        {ControlId::txtQF3, folder + "\\samples\\html1"},
        {ControlId::txtQF4, folder + "\\samples\\html2"},
    };
    std::string expectedSettings;
    for (const auto& f : fields) {
        const std::string shown = ControlText(program.window, f.field);
        // Windows paths: the letter case of the folder may differ.
        if (Lower(shown) != Lower(f.expected)) {
            Fail("field " + std::string(tessaly::Row(f.field).name) + " shows \"" + shown + "\", expected \"" +
                 f.expected + "\"");
        }
        expectedSettings += "\"" + shown + "\"\r\n";
    }
    HWND checkBox = GetDlgItem(program.window, ControlWindowId(ControlId::chkAS));
    DWORD_PTR checked = 0;
    if (!checkBox || !SendMessageTimeoutA(checkBox, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &checked)) {
        Fail("cannot read the check box");
    }
    expectedSettings += std::to_string(checked) + "\r\n";
    Note("fields name the samples");

    // Create now: one composition from the samples, while Paused.
    const int createId = ControlWindowId(ControlId::cmdCreateS);
    PostMessageA(program.window, WM_COMMAND, MAKEWPARAM(createId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(program.window, createId)));
    const std::vector<std::string> candidates = SignaturesFromSamples(folder);
    std::string signature;
    MessageBoxSeen seen{0, nullptr, "", ""};
    const bool composed = PollUntil(kSignatureTimeoutMs, [&] {
        seen = ShownMessageBox(program.process.dwProcessId);
        if (seen.box || !ReadFile(signaturePath, signature)) return seen.box != nullptr;
        for (const auto& candidate : candidates) {
            if (candidate == signature) return true;
        }
        return false;
    });
    if (seen.box) {
        Fail("create now showed " + Describe(seen));
        PostMessageA(seen.box, WM_COMMAND, IDOK, 0);
    } else if (!composed) {
        Fail(Exists(signaturePath) ? "samples\\signature.htm is not composed from the samples:\n" + signature
                                   : "create now wrote no samples\\signature.htm");
    } else {
        for (const char* word : {"quote1", "quote2", "htmpath1", "htmpath2"}) {
            if (Lower(signature).find(word) != std::string::npos) Fail(std::string("the signature holds ") + word);
        }
        Note("signature composed from the samples (" + std::to_string(signature.size()) + " bytes)");
    }

    // Closing the window saves the settings beside the program.
    Stop(program);
    std::string settings;
    if (!ReadFile(settingsPath, settings)) {
        Fail("closing the window wrote no data\\data.sfc");
    } else if (settings != expectedSettings) {
        Fail("data\\data.sfc holds:\n" + settings + "expected:\n" + expectedSettings);
    } else {
        Note("data\\data.sfc holds the sample paths");
    }
    return failures == 0 ? 0 : 1;
}
