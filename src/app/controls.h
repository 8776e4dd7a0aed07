// The controls of the main window and the platform calls it makes, as small
// abstract interfaces. Each control holds its own state (a text field its
// text, a timer its enabled flag), so the window's logic never keeps a copy
// that could drift from what the user sees. The Windows program implements
// these over Win32; the tests implement them headless.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/layout.h"
#include "core/settings_file.h"

namespace tessaly {

// Colours as &H00BBGGRR&; a value with the top bit set names a system colour.
using Colour = std::uint32_t;

class ITextField {
public:
    virtual ~ITextField() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void Select(int start, int length) = 0;
    virtual Colour ForeColor() const = 0;
    virtual void SetForeColor(Colour colour) = 0;
};

class ICheckBox {
public:
    virtual ~ICheckBox() = default;
    virtual int Value() const = 0;  // 0 cleared, 1 ticked, 2 grayed
    virtual void SetValue(int value) = 0;
};

class ILabel {
public:
    virtual ~ILabel() = default;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
};

class ITimer {
public:
    virtual ~ITimer() = default;
    virtual bool Enabled() const = 0;
    // Switching a running timer on again leaves its current period running.
    virtual void SetEnabled(bool enabled) = 0;
    virtual unsigned IntervalMs() const = 0;
};

class IMenuItem {
public:
    virtual ~IMenuItem() = default;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

// A hidden image control holding one icon.
class IImage {
public:
    virtual ~IImage() = default;
    // The 32-bit value of the icon handle that the picture holds.
    virtual std::uint32_t IconHandle() const = 0;
};

// The common file-open dialog (dlgCommon). Its properties persist between
// uses, as the control's do; they are plain values that every platform
// keeps alike, so only showing the dialog is the platform's.
class IFileDialog {
public:
    enum class Result { Chosen, Cancelled, Failed };
    virtual ~IFileDialog() = default;
    std::string InitDir() const { return initDir_; }
    void SetInitDir(const std::string& folder) { initDir_ = folder; }
    std::string DialogTitle() const { return title_; }
    void SetDialogTitle(const std::string& title) { title_ = title; }
    // "|"-separated pairs of description and patterns.
    std::string Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    std::string FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    // Modal; returns when the user closes the dialog. On Chosen, FileName()
    // holds the chosen file's full path.
    virtual Result ShowOpen() = 0;

protected:
    std::string initDir_, title_, filter_, fileName_;
};

// The main window itself. Positions and sizes are in twips.
class IWindow {
public:
    virtual ~IWindow() = default;
    // The 32-bit value of the window handle.
    virtual std::uint32_t Handle() const = 0;
    virtual bool Visible() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Refresh() = 0;  // repaint at once
    virtual void SetIcon(const IImage& picture) = 0;
    virtual void SetWindowState(int state) = 0;  // 0 normal, 1 minimised, 2 maximised
    // Outer size, in twips.
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual void SetLeft(float twips) = 0;
    virtual void SetTop(float twips) = 0;
    virtual float Left() const = 0;
    virtual float Top() const = 0;
};

// What the shell's folder browser gave.
struct BrowseResult {
    enum class Kind { Chosen, Cancelled, Failed } kind = Kind::Cancelled;
    std::string path;  // the chosen folder's file-system path, on Chosen
};

// The 88 bytes of the first-version NOTIFYICONDATA record.
using TrayRecordBytes = std::array<std::uint8_t, 88>;

// What Shell_NotifyIconA is asked to do, by the shell's numbers (NIM_ADD,
// NIM_MODIFY, NIM_DELETE). Scoped, so that the shell's macros of the same
// names cannot collide with them.
enum class NotifyIconMessage : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

// Everything outside the window's controls: the shell, the desktop, the help
// system, the program's lifetime, and the factory of the controls.
class IPlatform {
public:
    virtual ~IPlatform() = default;

    // Controls, created in the order of the layout table.
    virtual std::unique_ptr<IWindow> CreateMainWindow() = 0;
    virtual std::unique_ptr<ITextField> CreateTextField(ControlId id) = 0;
    virtual std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) = 0;
    virtual std::unique_ptr<ILabel> CreateLabel(ControlId id) = 0;
    virtual std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) = 0;
    virtual std::unique_ptr<IMenuItem> CreateMenuItem(ControlId id) = 0;
    virtual std::unique_ptr<IImage> CreateImage(ControlId id) = 0;
    virtual std::unique_ptr<IFileDialog> CreateFileDialog() = 0;

    // The program's folder (App.Path): no trailing separator. Help, quotes
    // and samples are found there.
    virtual std::string AppPath() const = 0;
    // The settings file (data/data.sfc beside the program, unless the
    // platform keeps it elsewhere).
    virtual std::string SettingsPath() const { return SettingsFilePath(AppPath()); }
    // The full screen's size in twips, and twips per pixel horizontally.
    virtual float ScreenWidth() const = 0;
    virtual float ScreenHeight() const = 0;
    virtual float TwipsPerPixelX() const = 0;

    virtual bool Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) = 0;
    // ShellExecuteA; a null `operation`, `parameters` or `directory` is passed
    // as a null pointer. Returns the shell's result code.
    virtual std::int32_t ShellExecuteA(std::uint32_t ownerWindow, const char* operation,
                                       const std::string& file, const char* parameters,
                                       const char* directory, int showCommand) = 0;
    virtual bool SetForegroundWindow(std::uint32_t window) = 0;
    // A modal message box; returns the button pressed (1 for OK).
    virtual int MsgBox(const std::string& text, int style, const std::string& title) = 0;
    // Shows the items of mnuFile as a pop-up menu at the mouse pointer and
    // returns the item chosen, or nothing when the menu was dismissed.
    virtual std::optional<ControlId> PopupMenu() = 0;
    virtual BrowseResult BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt,
                                         int options) = 0;
    // Opens the help file at a help context number (F1).
    virtual void ShowHelpContext(const std::string& helpFile, int contextId) = 0;

    // Unloads the main window (the platform calls Form_Unload, then destroys
    // the window) and ends the program.
    virtual void UnloadMainWindow() = 0;
    virtual void EndProgram() = 0;
};

}  // namespace tessaly
