#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace tessaly::e2e {

namespace {

constexpr UINT kTrayCallbackMessage = 512;
constexpr WPARAM kTrayIconId = 1;
// A program that is busy answers late, never wrongly: wait for it.
constexpr UINT kCrossProcessTimeoutMs = 10000;

std::string EnvOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    const int n = GetClassNameA(hwnd, name, sizeof name);
    return std::string(name, n > 0 ? n : 0);
}

DWORD PidOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

struct EnumState {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    if (PidOf(hwnd) == state->pid && (!state->visibleOnly || IsWindowVisible(hwnd))) {
        state->found.push_back(hwnd);
    }
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, bool visibleOnly) {
    EnumState state{pid, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

// Write a file the program may be reading at this moment.
HANDLE OpenForWriting(const std::string& path) {
    HANDLE file = INVALID_HANDLE_VALUE;
    WaitFor(
        [&] {
            file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            return file != INVALID_HANDLE_VALUE;
        },
        2s);
    return file;
}

}  // namespace

// --- Files ---------------------------------------------------------------

std::optional<std::string> ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = OpenForWriting(path);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) throw std::runtime_error("short write to " + path);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool DeleteWithRetry(const std::string& path) {
    return WaitFor([&] { return DeleteFileA(path.c_str()) || !Exists(path); }, 2s);
}

std::optional<long long> LastWriteMs(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    ULARGE_INTEGER t;
    t.LowPart = data.ftLastWriteTime.dwLowDateTime;
    t.HighPart = data.ftLastWriteTime.dwHighDateTime;
    return static_cast<long long>(t.QuadPart / 10000);
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    // Wine's own mapping first; drive Z: is the Unix root in every default
    // prefix, which serves when the mapping is not available.
    using DosName = WCHAR* (*)(const char*);
    if (HMODULE kernel = GetModuleHandleA("kernel32.dll")) {
        auto toDos = reinterpret_cast<DosName>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
        if (toDos) {
            if (WCHAR* wide = toDos(path.c_str())) {
                char narrow[MAX_PATH * 2] = {};
                const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow,
                                                  nullptr, nullptr);
                HeapFree(GetProcessHeap(), 0, wide);
                if (n > 1) return narrow;
            }
        }
    }
    std::string result = "Z:" + path;
    for (char& c : result) {
        if (c == '/') c = '\\';
    }
    return result;
}

// --- The program's folder ------------------------------------------------

std::string Settings::Bytes() const {
    std::string bytes;
    for (const std::string* path : {&templ, &signature, &quote1, &quote2, &html1, &html2}) {
        bytes += '"' + *path + "\"\r\n";
    }
    bytes += std::to_string(autoStart) + "\r\n";
    return bytes;
}

namespace {

// The default sources. The template uses every placeholder; the quote lines
// and fragments hold none, so every composition is one of a small known set.
constexpr const char* kTemplate = "Regards,\r\nquote1\r\n-- quote2 --\r\nhtmPath1|htmPath2";
const std::vector<std::string> kQuotes1 = {"Fortune favours the bold.", "Less is more.",
                                           "Carpe diem."};
const std::vector<std::string> kQuotes2 = {"Keep it simple.", "Measure twice, cut once."};
// File name, content, and the content as one line (terminators dropped).
struct Fragment {
    const char* name;
    const char* content;
    const char* oneLine;
};
const std::vector<Fragment> kHtml1 = {{"a.htm", "<b>one</b>\r\n<i>two</i>\r\n", "<b>one</b><i>two</i>"},
                                      {"b.htm", "<u>three</u>", "<u>three</u>"}};
const std::vector<Fragment> kHtml2 = {{"c.htm", "<p>four</p>\r\n", "<p>four</p>"}};

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::string SafeName(const std::string& name) {
    std::string safe;
    for (char c : name) safe += (isalnum(static_cast<unsigned char>(c)) ? c : '_');
    return safe;
}

}  // namespace

ProgramFolder::ProgramFolder(const std::string& testName) {
    static int counter = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    dir_ = base + "\\tessaly-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + "-" + SafeName(testName);
    RemoveTree(dir_);
    for (const char* sub : {"", "\\data", "\\quotes", "\\html1", "\\html2"}) {
        CreateDirectoryA((dir_ + sub).c_str(), nullptr);
    }
    if (!CopyFileA(TessalyExePath().c_str(), Exe().c_str(), FALSE)) {
        throw std::runtime_error("cannot copy " + TessalyExePath() + " to " + Exe());
    }
    WriteBytes(Path("template.txt"), kTemplate);
    WriteBytes(Path("quote1.txt"), Lines(kQuotes1));
    WriteBytes(Path("quote2.txt"), Lines(kQuotes2));
    for (const auto& f : kHtml1) WriteBytes(Path(std::string("html1\\") + f.name), f.content);
    for (const auto& f : kHtml2) WriteBytes(Path(std::string("html2\\") + f.name), f.content);

    for (const auto& q1 : kQuotes1) {
        for (const auto& q2 : kQuotes2) {
            for (const auto& h1 : kHtml1) {
                for (const auto& h2 : kHtml2) {
                    signatures_.push_back("Regards,\r\n" + q1 + "\r\n-- " + q2 + " --\r\n" +
                                          h1.oneLine + "|" + h2.oneLine + "\r\n");
                }
            }
        }
    }
}

ProgramFolder::~ProgramFolder() {
    if (!keep_) RemoveTree(dir_);
}

Settings ProgramFolder::DefaultSettings(int autoStart) const {
    return Settings{Path("template.txt"), Path("signature.txt"), Path("quote1.txt"),
                    Path("quote2.txt"),  Path("html1"),          Path("html2"),
                    autoStart};
}

void ProgramFolder::WriteSettings(const Settings& settings) const {
    WriteBytes(SettingsFile(), settings.Bytes());
}

bool ProgramFolder::IsComposedSignature(const std::string& bytes) const {
    for (const auto& s : signatures_) {
        if (s == bytes) return true;
    }
    return false;
}

// --- The running program -------------------------------------------------

std::vector<TopWindow> VisibleWindowsOf(DWORD pid) {
    std::vector<TopWindow> result;
    for (HWND hwnd : TopLevelWindowsOf(pid, true)) {
        result.push_back({hwnd, ClassOf(hwnd), TextOf(hwnd)});
    }
    return result;
}

std::string TextOf(HWND hwnd) {
    if (!hwnd) return "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kCrossProcessTimeoutMs,
                             &length)) {
        return "";
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kCrossProcessTimeoutMs, &copied)) {
        return "";
    }
    text.resize(copied);
    return text;
}

void Program::Start(const ProgramFolder& folder) {
    std::string commandLine = "\"" + folder.Exe() + "\"";
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(folder.Exe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        temp, &si, &pi_)) {
        throw std::runtime_error("cannot start " + folder.Exe() + ": error " +
                                 std::to_string(GetLastError()));
    }
}

bool Program::WaitUntilShown(Ms timeout) {
    const auto started = Clock::now();
    const bool shown = WaitFor(
                           [&] {
                               if (!main_) {
                                   for (HWND hwnd : TopLevelWindowsOf(Pid(), false)) {
                                       if (ClassOf(hwnd) == "TessalyMainWindow") main_ = hwnd;
                                   }
                               }
                               // A program that ended will never show its window.
                               return (main_ && IsWindowVisible(main_)) || !Running();
                           },
                           timeout) &&
                       Visible();
    if (!shown) return false;
    // The first program of a fresh Wine desktop can stall for seconds just
    // after its window appears; the driver's requests would time out then.
    const auto left = timeout - std::chrono::duration_cast<Ms>(Clock::now() - started);
    DWORD_PTR result = 0;
    const bool answers = SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL,
                                             static_cast<UINT>(std::max<long long>(left.count(), 1)),
                                             &result) != 0;
    const auto took = std::chrono::duration_cast<Ms>(Clock::now() - started);
    if (took > 3s) std::printf("note: the program took %lld ms to come up\n", static_cast<long long>(took.count()));
    return answers;
}

HWND Program::Control(ControlId id) const { return GetDlgItem(main_, CommandId(id)); }

bool Program::WaitForStatus(const std::string& status, Ms timeout) const {
    return WaitFor([&] { return Status() == status; }, timeout);
}

bool Program::WaitForVisible(bool visible, Ms timeout) const {
    return WaitFor([&] { return Visible() == visible; }, timeout);
}

int Program::Check(ControlId id) const {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(Control(id), BM_GETCHECK, 0, 0, SMTO_NORMAL, kCrossProcessTimeoutMs,
                             &state)) {
        return -1;
    }
    return static_cast<int>(state);
}

void Program::Click(ControlId id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

void Program::Type(ControlId id, const std::string& text) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, kCrossProcessTimeoutMs, &result);
}

void Program::DoubleClick(ControlId id) const {
    HWND control = Control(id);
    const LPARAM at = MAKELPARAM(5, 5);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control, WM_LBUTTONUP, 0, at);
    PostMessageA(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(control, WM_LBUTTONUP, 0, at);
}

void Program::TrayNotify(UINT mouseMessage) const {
    SendNotifyMessageA(main_, kTrayCallbackMessage, kTrayIconId, mouseMessage);
}

bool Program::TrayNotifyAndWait(UINT mouseMessage, Ms timeout) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(main_, kTrayCallbackMessage, kTrayIconId, mouseMessage, SMTO_NORMAL,
                               static_cast<UINT>(timeout.count()), &result) != 0;
}

HWND Program::PopupMenu() const {
    for (HWND hwnd : TopLevelWindowsOf(Pid(), true)) {
        if (ClassOf(hwnd) == "#32768") return hwnd;
    }
    return nullptr;
}

HWND Program::WaitForPopupMenu(Ms timeout) const {
    HWND menu = nullptr;
    WaitFor([&] { return (menu = PopupMenu()) != nullptr; }, timeout);
    return menu;
}

HWND Program::OpenTrayMenu() const {
    for (int attempt = 1; attempt <= 3; ++attempt) {
        TrayNotify(WM_RBUTTONUP);
        if (HWND menu = WaitForPopupMenu(3s)) return menu;
        std::printf("no tray menu came up (try %d): %s\n", attempt, Describe().c_str());
    }
    return nullptr;
}

bool Program::ChooseFromTrayMenu(int position, const std::function<bool()>& chosen) const {
    for (int attempt = 1; attempt <= 3; ++attempt) {
        HWND menu = OpenTrayMenu();
        if (!menu) return false;
        // The menu's modal loop reads the keys from the thread's queue.
        for (int i = 0; i < position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
        if (!WaitFor([&] { return PopupMenu() == nullptr; }, kStateTimeout)) return false;
        if (WaitFor(chosen, kStateTimeout)) return true;
        std::printf("tray menu closed without the choice taking effect (try %d): %s\n", attempt,
                    Describe().c_str());
    }
    return false;
}

bool Program::ExitFromTrayMenu() const {
    return ChooseFromTrayMenu(kMenuExit, [&] { return !Running(); });
}

bool Program::DismissTrayMenu() const {
    if (HWND menu = PopupMenu()) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    return WaitFor([&] { return PopupMenu() == nullptr; }, kStateTimeout);
}

HWND Program::Dialog(const std::string& title) const {
    for (HWND hwnd : TopLevelWindowsOf(Pid(), true)) {
        if (ClassOf(hwnd) == "#32770" && TextOf(hwnd) == title) return hwnd;
    }
    return nullptr;
}

HWND Program::WaitForDialog(const std::string& title, Ms timeout) const {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = Dialog(title)) != nullptr; }, timeout);
    return dialog;
}

bool Program::WaitForNoDialog(const std::string& title, Ms timeout) const {
    return WaitFor([&] { return Dialog(title) == nullptr; }, timeout);
}

bool Program::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(Ms timeout) const {
    return pi_.hProcess &&
           WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

std::string Program::Describe() const {
    std::string text = "[status \"" + Status() + "\", window " + (Visible() ? "visible" : "hidden") +
                       (Running() ? "" : ", program ended");
    for (const TopWindow& w : VisibleWindowsOf(Pid())) {
        text += ", " + w.className + " \"" + w.title + "\"";
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    text += ", pointer at " + std::to_string(cursor.x) + "," + std::to_string(cursor.y) + "]";
    return text;
}

void Program::End() {
    if (!pi_.hProcess) return;
    if (Running()) {
        // Whatever modal window is up first, so that the close is handled.
        for (const TopWindow& w : VisibleWindowsOf(Pid())) {
            if (w.className == "#32768") PostMessageA(w.hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
            if (w.className == "#32770") PostMessageA(w.hwnd, WM_COMMAND, IDCANCEL, 0);
        }
        if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
        if (!WaitForExit(3s)) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    pi_ = {};
    main_ = nullptr;
}

// --- Environment ---------------------------------------------------------

std::string TessalyExePath() { return WindowsPath(EnvOrEmpty("TESSALY_EXE")); }

std::string OpenerPath() { return WindowsPath(EnvOrEmpty("TESSALY_E2E_OPENER")); }

void InstallOpener() {
    static bool installed = false;
    if (installed) return;
    CreateDirectoryA("C:\\tessaly-e2e", nullptr);
    if (!CopyFileA(OpenerPath().c_str(), kInstalledOpener, FALSE)) {
        throw std::runtime_error("cannot copy the opener " + OpenerPath() + " to " + kInstalledOpener);
    }
    installed = true;
}

bool AssociationsPrepared() {
    for (const char* key : {"txtfile\\shell\\open\\command", "Folder\\shell\\open\\command"}) {
        char value[1024] = {};
        DWORD size = sizeof value;
        if (RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
            ERROR_SUCCESS) {
            return false;
        }
        if (std::string(value).find("e2e_opener") == std::string::npos) return false;
    }
    return true;
}

}  // namespace tessaly::e2e
