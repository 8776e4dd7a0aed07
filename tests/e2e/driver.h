// Drives the real tessaly.exe from outside, as a user and the shell would:
// prepares a program folder, starts the program, finds its windows, reads
// its controls, clicks, sends tray callbacks and works its pop-up menu.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/layout.h"

namespace tessaly::e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// Bounds for waiting on the program. They only cap a wait that polls: a
// state that arrives sooner ends the wait at once.
inline constexpr Ms kStartTimeout = 20s;  // a cold wine start included
inline constexpr Ms kStateTimeout = 6s;   // a window, a label, a menu
inline constexpr Ms kTickTimeout = 9s;    // the next timer composition
// Long enough for a 3000 ms timer to have fired at least once.
inline constexpr Ms kQuietPeriod = 3600ms;

// Polls `condition` until it holds or `timeout` has passed; returns its last
// value.
template <class Condition>
bool WaitFor(Condition&& condition, Ms timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(15ms);
    }
}

// The window and menu ids of the program: 100 + the control's number.
inline int CommandId(ControlId id) { return 100 + static_cast<int>(id); }

// --- Files ---------------------------------------------------------------

std::optional<std::string> ReadBytes(const std::string& path);
// Writes the file whole, replacing it; retried while the program holds it.
void WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Deletes the file, retrying while the program is writing it. True when it
// is gone.
bool DeleteWithRetry(const std::string& path);
// The file's last write time, in milliseconds on the file-time scale.
std::optional<long long> LastWriteMs(const std::string& path);
void RemoveTree(const std::string& path);

// A Unix path (as CMake passes them) in Windows form; a Windows path as is.
std::string WindowsPath(const std::string& path);

// --- The program's folder ------------------------------------------------

// The seven settings lines as the program writes them.
struct Settings {
    std::string templ, signature, quote1, quote2, html1, html2;
    int autoStart = 0;
    std::string Bytes() const;
};

// A fresh folder with tessaly.exe, data\data.sfc, a template that uses all
// four placeholders, two quote files, two HTML folders and a "quotes"
// folder, as a user's unpacked copy holds them. Removed on destruction
// unless asked to keep it.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& testName);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& relative) const { return dir_ + "\\" + relative; }
    std::string Exe() const { return Path("tessaly.exe"); }
    std::string SettingsFile() const { return Path("data\\data.sfc"); }

    // The settings that point at this folder's own files.
    Settings DefaultSettings(int autoStart) const;
    void WriteSettings(const Settings& settings) const;

    // Every signature that the default files can compose.
    const std::vector<std::string>& PossibleSignatures() const { return signatures_; }
    bool IsComposedSignature(const std::string& bytes) const;

    void Keep() { keep_ = true; }

private:
    std::string dir_;
    std::vector<std::string> signatures_;
    bool keep_ = false;
};

// --- The running program -------------------------------------------------

struct TopWindow {
    HWND hwnd = nullptr;
    std::string className, title;
};

// Visible top-level windows of one process.
std::vector<TopWindow> VisibleWindowsOf(DWORD pid);

// Text of any window or control, also of another process.
std::string TextOf(HWND hwnd);

class Program {
public:
    Program() = default;
    ~Program() { End(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts tessaly.exe from `folder`, with the working folder elsewhere so
    // that only the program's own location can lead it to its files.
    void Start(const ProgramFolder& folder);
    // Waits until the main window exists and is visible; false on timeout.
    bool WaitUntilShown(Ms timeout = kStartTimeout);

    DWORD Pid() const { return pi_.dwProcessId; }
    HWND Main() const { return main_; }
    HWND Control(ControlId id) const;

    bool Visible() const { return main_ && IsWindowVisible(main_); }
    std::string Text(ControlId id) const { return TextOf(Control(id)); }
    std::string Status() const { return Text(ControlId::lblStatus); }
    bool WaitForStatus(const std::string& status, Ms timeout = kStateTimeout) const;
    bool WaitForVisible(bool visible, Ms timeout = kStateTimeout) const;
    // BM_GETCHECK of the check box.
    int Check(ControlId id) const;

    // A click as the button receives it; posted, so that a modal window the
    // click opens does not block the driver.
    void Click(ControlId id) const;
    // Sets a text field's text as typing would leave it.
    void Type(ControlId id, const std::string& text) const;
    // A left double-click on a control.
    void DoubleClick(ControlId id) const;

    // The shell's notification for the tray icon (uID 1, message 512), sent
    // without waiting for the program to handle it.
    void TrayNotify(UINT mouseMessage) const;
    // The same, waiting until the program has handled it; false when the
    // program did not return within `timeout` (a modal loop, for instance).
    bool TrayNotifyAndWait(UINT mouseMessage, Ms timeout = 2s) const;

    // The program's visible pop-up menu window, if one is up.
    HWND PopupMenu() const;
    HWND WaitForPopupMenu(Ms timeout = kStateTimeout) const;
    // Under Wine a menu opened just after the window was hidden can be
    // closed at once, before it reads any key, by the late focus change that
    // the hide causes; no item runs then. Both calls below open the menu
    // again when that happens (three tries in all) and say so on stdout.

    // Opens the tray menu; its window, or null when none stayed up.
    HWND OpenTrayMenu() const;
    // Opens the tray menu and chooses the `position`th visible item (1 =
    // the first) with the arrow keys and Enter, then waits until `chosen`
    // holds. The keys go to the menu window, so a closed menu takes them
    // along instead of leaving them to the main window.
    bool ChooseFromTrayMenu(int position, const std::function<bool()>& chosen) const;
    // Exit from the tray menu; true once the process has ended.
    bool ExitFromTrayMenu() const;
    bool DismissTrayMenu() const;

    // A visible dialog (#32770) of the program with this exact title.
    HWND Dialog(const std::string& title) const;
    HWND WaitForDialog(const std::string& title, Ms timeout = kStateTimeout) const;
    bool WaitForNoDialog(const std::string& title, Ms timeout = kStateTimeout) const;

    bool Running() const;
    bool WaitForExit(Ms timeout = kStateTimeout) const;
    DWORD ExitCode() const;

    // The state a user would see, for failure messages.
    std::string Describe() const;

    // Ends the program: closes its window, and terminates it when it does
    // not end by itself.
    void End();

private:
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
};

// The positions of the tray menu's visible items, separators not counted.
// Resume and Pause are never visible together, so they share a position.
inline constexpr int kMenuOpen = 1;
inline constexpr int kMenuResumeOrPause = 2;
inline constexpr int kMenuRefresh = 3;
inline constexpr int kMenuHelp = 4;
inline constexpr int kMenuExit = 5;

// Environment of the suite.
std::string TessalyExePath();  // TESSALY_EXE
std::string OpenerPath();      // TESSALY_E2E_OPENER
// Where the prefix's file associations expect the opener (see
// prepare-prefix.sh).
inline constexpr const char* kInstalledOpener = "C:\\tessaly-e2e\\e2e_opener.exe";
// Copies the opener to its place once per run.
void InstallOpener();
// True when the prefix sends "open" of text files to the opener.
bool AssociationsPrepared();

}  // namespace tessaly::e2e
