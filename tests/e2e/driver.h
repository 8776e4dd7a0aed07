// Drives the real tessaly.exe from outside, as a user and the shell would: a
// program folder prepared for it, the program started from there, its windows
// found and read, clicks, tray callbacks and the tray menu's keys.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "window/layout.h"
#include "core/settings_file.h"
#include "support/support.h"

namespace tessaly::test {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// Caps on waits that poll: a state that arrives sooner ends the wait at once.
inline constexpr Ms kStartTimeout = 20s;  // a cold Wine start included
inline constexpr Ms kStateTimeout = 6s;   // a window, a label, a menu
inline constexpr Ms kTickTimeout = 9s;    // the next timed composition
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

// Deletes a file the program may be writing at that moment; true once gone.
bool DeleteWithRetry(const std::string& path);

// A fresh folder holding tessaly.exe, a template that uses every placeholder,
// sources that compose one signature only, a "quotes" folder and
// data\data.sfc.
class ProgramFolder {
public:
    explicit ProgramFolder(int autoStart);
    std::string Path(const std::string& relative = "") const { return dir.Path(relative); }
    std::string Exe() const { return Path("tessaly.exe"); }
    std::string SettingsFile() const { return Path("data/data.sfc"); }
    std::string Signature() const { return Path("signature.txt"); }
    // The settings that name this folder's files.
    SettingsValues Settings(int autoStart) const;
    static constexpr const char* kComposed =
        "Regards,\r\nCarpe diem.\r\n-- Keep it simple. --\r\n<b>one</b><i>two</i>|<p>four</p>\r\n";

    ScratchFolder dir;
};

// Text of a window or control, also of another process.
std::string TextOf(HWND hwnd);
// The text of a message box.
inline std::string MessageBoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

// The visible items of the tray menu, separators not counted. Resume and
// Pause are never visible together.
inline constexpr int kMenuOpen = 1, kMenuResumeOrPause = 2, kMenuRefresh = 3, kMenuHelp = 4, kMenuExit = 5;

class Program {
public:
    Program() = default;
    ~Program() { End(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts `exe` with the working folder elsewhere, so that only its own
    // place can lead it to its files.
    void Start(const std::string& exe);
    // Waits until the main window exists, is visible and answers.
    bool WaitUntilShown(Ms timeout = kStartTimeout);

    HWND Main() const { return main_; }
    HWND Control(ControlId id) const { return GetDlgItem(main_, 100 + static_cast<int>(id)); }
    bool Visible() const { return main_ && IsWindowVisible(main_); }
    std::string Text(ControlId id) const { return TextOf(Control(id)); }
    std::string Status() const { return Text(ControlId::StatusLabel); }
    bool WaitForStatus(const std::string& status, Ms timeout = kStateTimeout) const {
        return WaitFor([&] { return Status() == status; }, timeout);
    }
    bool WaitForVisible(bool visible) const {
        return WaitFor([&] { return Visible() == visible; }, kStateTimeout);
    }
    int Check() const;  // BM_GETCHECK of the start-up check box

    // Posted, so that a modal window the click opens does not block here.
    void Click(ControlId id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }
    // Sets a text field's text as typing would leave it.
    void Type(ControlId id, const std::string& text) const;
    // Keys as the user presses them, into a field that a click has focused
    // (posted: they pass through the program's own message loop).
    void TypeKeys(ControlId field, const std::string& chars) const;
    void PressKey(ControlId field, UINT virtualKey) const { PostMessageA(Control(field), WM_KEYDOWN, virtualKey, 1); }
    // Ctrl with a letter, as the keyboard sends it, into a control that a
    // click has focused in the window brought to the front.
    void PressCtrlKey(ControlId control, char letter) const;
    // The name a screen reader gets for a control (Microsoft Active
    // Accessibility), empty when it gets none.
    std::string AccessibleName(ControlId id) const;

    // The shell's notification for the tray icon (identifier 1, message 512);
    // with `wait`, false unless the program handled it within two seconds.
    bool TrayNotify(UINT mouseMessage, bool wait = false) const;
    HWND PopupMenu() const { return Find("#32768", ""); }  // the program's visible pop-up menu, if any
    // Under Wine a menu opened just after the window was hidden can be closed
    // at once by the late focus change the hide causes; the calls below open
    // it again then (three tries in all).
    HWND OpenTrayMenu() const;
    // Chooses the `position`th visible item (1 = the first) with the arrow
    // keys and Enter, and waits until `chosen` holds; says what is on the
    // screen when that fails.
    template <class Chosen>
    bool ChooseFromTrayMenu(int position, Chosen&& chosen) const {
        for (int attempt = 1; attempt <= 3; ++attempt) {
            if (PressInTrayMenu(position) && WaitFor(chosen, kStateTimeout)) return true;
        }
        std::printf("choosing item %d of the tray menu failed: %s\n", position, Describe().c_str());
        return false;
    }
    bool ExitFromTrayMenu() const {  // true once the program has ended
        return ChooseFromTrayMenu(kMenuExit, [&] { return !Running(); });
    }

    // A visible dialog (a message box, a file dialog) of the program.
    HWND Dialog(const std::string& title) const { return Find("#32770", title); }
    HWND WaitForDialog(const std::string& title, Ms timeout = kStateTimeout) const;

    bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    bool WaitForExit(Ms timeout = kStateTimeout) const;
    // The ended program's exit status.
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    std::string Describe() const;  // what a user would see, for failure messages
    // Ends a program that a test left running.
    void End();

private:
    // A visible top-level window of the program; any title when `title` is empty.
    HWND Find(const std::string& className, const std::string& title) const;
    bool PressInTrayMenu(int position) const;
    std::vector<HWND> Windows(bool visibleOnly) const;
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// A path from the environment (a Unix path under Wine) in Windows form.
std::string WindowsPathFromEnvironment(const char* name);

}  // namespace tessaly::test
