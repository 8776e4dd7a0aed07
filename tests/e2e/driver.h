// Drives the real tessaly.exe from outside, as a user and the shell would: a
// program folder prepared for it, the program started from there, its windows
// found and read, clicks, keys, tray callbacks and the tray menu's keys.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/settings_file.h"
#include "support/support.h"
#include "window/layout.h"

namespace tessaly::test {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// Caps on waits that poll: a state that arrives sooner ends the wait at once.
inline constexpr Ms kStartTimeout = 20s;    // a cold Wine start included
inline constexpr Ms kStateTimeout = 6s;     // a window, a label, a menu
inline constexpr Ms kTickTimeout = 9s;      // the next timed composition
inline constexpr Ms kQuietPeriod = 3600ms;  // a 3000 ms timer would have fired

// Polls `condition` until it holds or `timeout` has passed.
template <class Condition>
bool WaitFor(Condition&& condition, Ms timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(15ms);
    }
    return true;
}

// Sends a message to a window of another process; false when it got no
// answer in time. A program that is busy answers late, never wrongly: wait.
inline bool Ask(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer = nullptr,
                UINT timeoutMs = 10000) {
    DWORD_PTR ignored = 0;
    return hwnd &&
           SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_NORMAL, timeoutMs, answer ? answer : &ignored);
}

// Text of a window or control, also of another process.
inline std::string TextOf(HWND hwnd) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    return Ask(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), &copied) ? std::string(text, copied) : "";
}

inline std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// A fresh folder holding tessaly.exe, a template that uses every placeholder,
// sources that compose one signature only, a "quotes" folder and
// data\data.sfc.
class ProgramFolder : public ScratchFolder {
public:
    explicit ProgramFolder(int autoStart) {
        std::string exe = std::getenv("TESSALY_EXE") ? std::getenv("TESSALY_EXE") : "";
        // A Unix path: Wine maps the Unix root to drive Z: in every default prefix.
        if (!exe.empty() && exe[0] == '/') exe = "Z:" + exe;
        if (!CopyFileA(exe.c_str(), Exe().c_str(), FALSE)) throw std::runtime_error("cannot copy " + exe);
        Write("template.txt", "Regards,\r\nquote1\r\n-- quote2 --\r\nhtmPath1|htmPath2");
        Write("quote1.txt", "Carpe diem.\r\n");
        Write("quote2.txt", "Keep it simple.\r\n");
        Write("html1/a.htm", "<b>one</b>\r\n<i>two</i>\r\n");
        Write("html2/b.htm", "<p>four</p>");
        stdfs::create_directories(Path("quotes"));
        Write("data/data.sfc", FormatSettings(Settings(autoStart)));
    }
    std::string Exe() const { return Path("tessaly.exe"); }
    std::string Signature() const { return Path("signature.txt"); }
    // The settings that name this folder's files.
    SettingsValues Settings(int autoStart) const {
        SettingsValues values;
        values.paths = {Path("template.txt"), Signature(),   Path("quote1.txt"),
                        Path("quote2.txt"),   Path("html1"), Path("html2")};
        values.autoStart = static_cast<std::int16_t>(autoStart);
        return values;
    }
    static constexpr const char* kComposed =
        "Regards,\r\nCarpe diem.\r\n-- Keep it simple. --\r\n<b>one</b><i>two</i>|<p>four</p>\r\n";
};

// Exit's place among the tray menu's visible items (Open, Resume or Pause,
// Refresh, Help, Exit), separators not counted.
inline constexpr int kMenuExit = 5;

class Program {
public:
    // Starts `exe` with the working folder elsewhere, so that only its own
    // place can lead it to its files.
    explicit Program(const std::string& exe) {
        std::string commandLine = "\"" + exe + "\"";
        char elsewhere[MAX_PATH] = {};
        GetWindowsDirectoryA(elsewhere, sizeof elsewhere);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere, &si,
                            &pi_)) {
            throw std::runtime_error("cannot start " + exe + ": error " + std::to_string(GetLastError()));
        }
    }
    // Ends a program that a test left running.
    ~Program() {
        if (Running()) TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Waits until the main window exists, is visible and answers.
    bool WaitUntilShown() {
        WaitFor(
            [&] {
                if (!main_) main_ = FindWindowA("TessalyMainWindow", nullptr);  // found before it is shown
                return Visible() || !Running();
            },
            kStartTimeout);
        // The first program of a fresh Wine desktop can stall for seconds
        // just after its window appears: wait until it answers.
        return Visible() && Ask(main_, WM_NULL, 0, 0, nullptr, static_cast<UINT>(kStartTimeout.count()));
    }

    HWND Control(ControlId id) const { return GetDlgItem(main_, 100 + static_cast<int>(id)); }
    bool Visible() const { return main_ && IsWindowVisible(main_); }
    std::string Text(ControlId id) const { return TextOf(Control(id)); }
    std::string Status() const { return Text(ControlId::StatusLabel); }
    bool WaitForStatus(const std::string& status) const {
        return WaitFor([&] { return Status() == status; }, kStateTimeout);
    }
    bool WaitForVisible(bool visible) const {
        return WaitFor([&] { return Visible() == visible; }, kStateTimeout);
    }

    // Posted, so that a modal window the click opens does not block here.
    void Click(ControlId id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }
    // A click that focuses a control (posted: it passes through the
    // program's own message loop, as the keys after it do).
    void Focus(ControlId id) const {
        PostMessageA(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    // Ctrl with a letter, as the keyboard sends it, into a control that a
    // click has focused in the window brought to the front.
    void PressCtrlKey(ControlId control, char letter) const {
        Focus(control);
        SetForegroundWindow(main_);
        WaitFor([&] { return GetForegroundWindow() == main_; }, kStateTimeout);
        std::this_thread::sleep_for(200ms);  // the click's focus lands first
        keybd_event(VK_CONTROL, 0, 0, 0);
        keybd_event(static_cast<BYTE>(letter), 0, 0, 0);
        keybd_event(static_cast<BYTE>(letter), 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    }
    // The shell's notification for the tray icon (identifier 1, message 512).
    void TrayNotify(UINT mouseMessage) const { SendNotifyMessageA(main_, 512, 1, mouseMessage); }
    // Chooses the `position`th visible item (1 = the first) of the tray menu
    // with the arrow keys and Enter, and waits until `chosen` holds; says
    // what is on the screen when that fails. Under Wine a menu opened just
    // after the window was hidden can be closed at once by the late focus
    // change the hide causes: three tries in all.
    template <class Chosen>
    bool ChooseFromTrayMenu(int position, Chosen&& chosen) const {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            HWND menu = nullptr;
            TrayNotify(WM_RBUTTONUP);
            if (!WaitFor([&] { return (menu = Find("#32768", "")) != nullptr; }, 3s)) continue;
            // Keys to the menu window: a menu that closed takes them along
            // instead of leaving them to the main window.
            for (int i = 0; i < position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
            if (WaitFor([&] { return !Find("#32768", ""); }, kStateTimeout) && WaitFor(chosen, kStateTimeout)) {
                return true;
            }
        }
        std::printf("choosing item %d of the tray menu failed: %s\n", position, Describe().c_str());
        return false;
    }

    // A visible dialog (a message box, a file dialog) of the program.
    HWND WaitForDialog(const std::string& title, Ms timeout = kStateTimeout) const {
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = Find("#32770", title)) != nullptr; }, timeout);
        return dialog;
    }

    bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit status once the program has ended; STILL_ACTIVE while it runs.
    DWORD WaitForExit(Ms timeout) const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count()));
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    // What a user would see, for failure messages.
    std::string Describe() const {
        std::string text = "[status \"" + Status() + "\", window " + (Visible() ? "visible" : "hidden") +
                           (Running() ? "" : ", program ended");
        for (HWND hwnd : Windows()) text += ", " + ClassOf(hwnd) + " \"" + TextOf(hwnd) + "\"";
        return text + "]";
    }
private:
    // The program's visible top-level windows.
    std::vector<HWND> Windows() const {
        std::vector<HWND> found;
        for (HWND hwnd = FindWindowExA(nullptr, nullptr, nullptr, nullptr); hwnd;
             hwnd = FindWindowExA(nullptr, hwnd, nullptr, nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == pi_.dwProcessId && IsWindowVisible(hwnd)) found.push_back(hwnd);
        }
        return found;
    }
    // A visible top-level window of the program; any title when `title` is empty.
    HWND Find(const std::string& className, const std::string& title) const {
        for (HWND hwnd : Windows()) {
            if (ClassOf(hwnd) == className && (title.empty() || TextOf(hwnd) == title)) return hwnd;
        }
        return nullptr;
    }

    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

}  // namespace tessaly::test
