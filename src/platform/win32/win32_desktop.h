// The window's desktop on Windows: the main window with its child controls,
// the notification icon, the dialogs, the shell and help calls, and the
// message loop. Its pieces: window.cpp (creation, scale, loop, end),
// routing.cpp (Windows' messages to the window's events), controls.cpp,
// painting.cpp, dialogs.cpp and shell.cpp.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "scoped_win.h"
#include "win32/tray_record.h"
#include "window/desktop.h"

namespace tessaly::win32 {

inline constexpr const char* kMainWindowClass = "TessalyMainWindow";

class Win32Desktop final : public IDesktop {
public:
    // `programFolder` holds the help, quotes and samples; `settingsFile` is
    // where the settings are kept.
    Win32Desktop(HINSTANCE instance, std::string programFolder, std::string settingsFile);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    // Creates the main window and its controls, hidden. False when Windows
    // refused to create them.
    bool Create();
    // Hands the window's events to `window` from now on (nullptr: to nobody).
    void Attach(IWindowEvents* window) { events_.Attach(window); }
    // Another start of the program asked for the window, as the tray would.
    void WindowWanted() { events_.TrayOpenRequested(); }
    // Runs the start-up sequence, shows the window and runs the message
    // loop until the program ends. Returns the exit code.
    int Run();

    // IDesktop
    std::unique_ptr<IWindowView> CreateWindowView() override;
    std::unique_ptr<ITextField> CreateTextField(ControlId id) override;
    std::unique_ptr<ICreditsLine> CreateCreditsLine(ControlId id) override;
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override;
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override;
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override;
    std::string ProgramFolder() const override { return programFolder_; }
    std::string SettingsFile() const override { return settingsFile_; }
    TwipsSize ScreenSize() const override;
    void AddTrayIcon(const TrayIcon& icon) override;
    void UpdateTrayIcon(const TrayIcon& icon) override;
    void RemoveTrayIcon() override;
    std::optional<ControlId> ShowTrayMenu(std::span<const MenuEntry> entries) override;
    void ShowError(const std::string& title, const std::string& text) override;
    OpenResult Open(const std::string& target) override;
    OpenResult OpenHelp() override;
    OpenResult OpenHelpTopic(int contextId) override;
    Choice ChooseFile(const FileRequest& request) override;
    Choice ChooseFolder(const std::string& prompt) override;
    void CloseWindow() override;
    void EndProgram() override;

    // For the controls' wrappers.
    struct Child {
        HWND hwnd = nullptr;
        // What the control showed when the window went away, so that a
        // handler still running after the unload reads the user's values
        // instead of empty ones.
        std::string text;
        int value = 0;
        Colour foreColour = 0;
    };
    Child& ChildOf(ControlId id) { return children_[static_cast<std::size_t>(id)]; }
    const Child& ChildOf(ControlId id) const { return children_[static_cast<std::size_t>(id)]; }
    HWND MainWindow() const { return window_.get(); }
    unsigned Dpi() const { return dpi_; }
    // Small and big icon of a run state.
    HICON SmallIcon(RunState state) const;
    HICON BigIcon(RunState state) const;

private:
    struct Fonts;
    class HelpEngine;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleChildMessage(ControlId id, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void LoadPictures(unsigned dpi);
    bool CreateControls();
    void ApplyDpi(unsigned dpi, const RECT* suggested);
    void LayOutControls();
    void OrderForTab();
    void AddToolTips();
    // Names for screen readers where a control's window text is not its name.
    void NameForScreenReaders();
    // Follows the desktop's high-contrast setting, and redraws.
    void FollowContrast();
    void DrawButton(const DRAWITEMSTRUCT& item);
    LRESULT ColourControl(HDC dc, HWND control, bool editable);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    // A path field's notification: the user's edit, or the focus leaving.
    void OnFieldNotice(ControlId id, HWND field, WORD code);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnTimer(WPARAM timerId);
    void KeepControlValues();
    // The shell's tray call with the record of `icon` (or, for a removal,
    // the last record).
    void NotifyTray(DWORD message, const TrayIcon* icon);
    std::string HelpFile() const;
    // Whether the window still takes events: it exists and has not closed.
    bool Live() const { return window_.get() != nullptr && events_.Live(); }
    ControlId FocusedControl() const;
    void FocusFirstControl();

    HINSTANCE instance_;
    std::string programFolder_;
    std::string settingsFile_;
    EventLink events_;
    unsigned dpi_ = 96;
    bool ending_ = false;
    bool highContrast_ = false;
    UINT taskbarCreated_ = 0;
    HWND lastFocus_ = nullptr;
    ClickTracker creditsClick_;
    // The record the shell got last; a removal names the icon by it.
    TrayRecordBytes trayRecord_{};

    std::array<Child, static_cast<std::size_t>(ControlId::Window) + 1> children_{};

    // Declared in the reverse order of their release: the window goes first
    // (in the destructor), then what it used.
    ScopedAccelerators accelerators_;
    ScopedIcon pausedSmall_, pausedBig_, runningSmall_, runningBig_;
    // Pictures of the tool-row buttons by control, drawn for 100, 150 and
    // 200 percent.
    std::array<std::array<ScopedBitmap, 3>, static_cast<std::size_t>(ControlId::Window) + 1> pictures_;
    ScopedBrush buttonBrush_;
    std::unique_ptr<Fonts> fonts_;
    std::unique_ptr<HelpEngine> help_;
    ScopedWindow toolTip_;
    MainWindowHandle window_;
};

}  // namespace tessaly::win32
