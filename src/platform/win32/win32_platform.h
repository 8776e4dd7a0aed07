// The Win32 side of the program: the main window with its child controls,
// the tray, the dialogs, the shell and help calls, and the message loop.
// Its pieces: window.cpp (creation, scale, loop, end), routing.cpp (messages
// to events), controls.cpp, painting.cpp, dialogs.cpp and shell.cpp.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/controls.h"
#include "app/form_events.h"
#include "app/layout.h"
#include "platform/win32/scoped_win.h"

namespace tessaly::win32 {

inline constexpr const char* kMainWindowClass = "TessalyMainWindow";

class Win32Platform final : public IPlatform {
public:
    explicit Win32Platform(HINSTANCE instance);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Creates the main window and its controls, hidden. False when Windows
    // refused to create them.
    bool Create();
    // Hands the window's events to `form` from now on (nullptr: to nobody).
    void Attach(IFormEvents* form) { form_.Attach(form); }
    // Runs the start-up sequence, shows the window and runs the message
    // loop until the program ends. Returns the exit code.
    int Run();

    // IPlatform
    std::unique_ptr<IWindow> CreateMainWindow() override;
    std::unique_ptr<ITextField> CreateTextField(ControlId id) override;
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override;
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override;
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override;
    std::unique_ptr<IMenuItem> CreateMenuItem(ControlId id) override;
    std::unique_ptr<IImage> CreateImage(ControlId id) override;
    std::unique_ptr<IFileDialog> CreateFileDialog() override;
    std::string AppPath() const override;
    // Beside the program, or under %APPDATA%\Tessaly for an installed copy.
    std::string SettingsPath() const override;
    float ScreenWidth() const override;
    float ScreenHeight() const override;
    float TwipsPerPixelX() const override;
    bool Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) override;
    std::int32_t ShellExecuteA(std::uint32_t ownerWindow, const char* operation, const std::string& file,
                               const char* parameters, const char* directory, int showCommand) override;
    bool SetForegroundWindow(std::uint32_t window) override;
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    std::optional<ControlId> PopupMenu() override;
    BrowseResult BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) override;
    void ShowHelpContext(const std::string& helpFile, int contextId) override;
    void UnloadMainWindow() override;
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
    HINSTANCE Instance() const { return instance_; }
    void SetMenuVisible(ControlId id, bool visible) { menuVisible_[static_cast<std::size_t>(id)] = visible; }
    bool MenuVisible(ControlId id) const { return menuVisible_[static_cast<std::size_t>(id)]; }
    // Big and small icon of a state picture.
    HICON SmallIcon(ControlId image) const;
    HICON BigIcon(ControlId image) const;

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
    void DrawButton(const DRAWITEMSTRUCT& item);
    LRESULT ColourControl(HDC dc, HWND control, bool editable);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnTimer(WPARAM timerId);
    void ContextHelp();
    void KeepControlValues();
    // Whether the window still takes events: it exists and has not unloaded.
    bool Live() const { return window_.get() != nullptr && form_.Live(); }
    ControlId FocusedControl() const;
    void FocusFirstControl();

    HINSTANCE instance_;
    FormLink form_;
    unsigned dpi_ = 96;
    bool ending_ = false;
    UINT taskbarCreated_ = 0;
    HWND lastFocus_ = nullptr;
    bool creditsPressed_ = false;

    std::array<Child, static_cast<std::size_t>(ControlId::frmSignature) + 1> children_{};
    std::array<bool, static_cast<std::size_t>(ControlId::frmSignature) + 1> menuVisible_{};

    // Declared in the reverse order of their release: the window goes first
    // (in the destructor), then what it used.
    ScopedAccelerators accelerators_;
    ScopedIcon pausedSmall_, pausedBig_, runningSmall_, runningBig_;
    // Pictures of the tool-row buttons, drawn for 100, 150 and 200 percent.
    std::array<std::array<ScopedBitmap, 3>, 4> pictures_;
    ScopedBrush buttonBrush_;
    std::unique_ptr<Fonts> fonts_;
    std::unique_ptr<HelpEngine> help_;
    ScopedWindow toolTip_;
    MainWindowHandle window_;
};

}  // namespace tessaly::win32
