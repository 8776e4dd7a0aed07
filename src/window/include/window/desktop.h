// The seam between the window's logic and an edition (the Windows program,
// the Linux edition, the tests' headless desktop), in the window's own terms.
//
// The logic asks its desktop for controls and for what only a desktop can do
// (show the tray icon of a run state, tell the user an error, open a file,
// let the user choose one) and hears through IWindowEvents what the user, the
// timers and the tray did. Each control keeps its own state (a field its
// text, a timer its enabled flag), so the logic never holds a copy that could
// drift from what the user sees. How a desktop encodes any of this (Windows'
// tray record and callback codes, its shell calls) stays inside the edition.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "window/layout.h"
#include "window/presentation.h"

namespace tessaly {

class ITextField {
public:
    virtual ~ITextField() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// The credits line: read-only text that behaves like a link.
class ICreditsLine {
public:
    virtual ~ICreditsLine() = default;
    virtual void SetColour(Colour colour) = 0;
    virtual void SelectAll() = 0;
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
    virtual void SetText(const std::string& text) = 0;
};

// A timer of the window: its ticks arrive as IWindowEvents::Tick.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual bool Enabled() const = 0;
    // Switching a running timer on again leaves its current period running.
    virtual void SetEnabled(bool enabled) = 0;
};

struct TwipsSize {
    float width = 0, height = 0;
};

// The main window as a whole.
class IWindowView {
public:
    virtual ~IWindowView() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Out of a minimised (or maximised) state, where the desktop has one.
    virtual void Restore() = 0;
    // To the front, for the user to work with; a hidden window comes to the
    // front when it is next shown.
    virtual void BringToFront() = 0;
    virtual void Repaint() = 0;
    virtual void SetStateIcon(RunState state) = 0;
    // Outer size (frame included) in twips.
    virtual TwipsSize OuterSize() const = 0;
    virtual void MoveTo(float leftTwips, float topTwips) = 0;
};

// The notification-area icon of a run state: the state's picture, its tip,
// and the menu that the icon offers (hosts that show the menu themselves
// take it from here).
struct TrayIcon {
    RunState state = RunState::Paused;
    std::string tip;
    std::vector<MenuEntry> menu;
};

// Whether the desktop could open what it was asked to (a file, a folder, a
// web address, the help).
enum class OpenResult { Opened, NotFound, NoHandler, Failed };

// What the user did in a file or folder chooser.
struct Choice {
    enum class Kind { Chosen, Cancelled, Failed } kind = Kind::Cancelled;
    std::string path;  // the chosen file's or folder's full path, on Chosen
};

struct FileRequest {
    std::string title;
    std::string folder;  // where the dialog starts
    std::vector<FileFilter> filters;
};

// What the user, the timers and the tray tell the window.
class IWindowEvents {
public:
    virtual ~IWindowEvents() = default;
    // The window is loaded: the start-up sequence. The desktop shows the
    // window once this returns (unless the program ended meanwhile).
    virtual void Load() = 0;
    // The window goes away by any means other than the tray's Exit.
    virtual void Closing() = 0;
    // A button, the check box, the credits line or a tray menu item was
    // activated.
    virtual void Pressed(ControlId id) = 0;
    // The user asked to see a path field's file or folder.
    virtual void ViewRequested(ControlId field) = 0;
    // The pointer moved over a control (the credits line).
    virtual void PointerOver(ControlId id) = 0;
    virtual void Tick(ControlId timer) = 0;
    // The tray icon asked for the window, or for its menu.
    virtual void TrayOpenRequested() = 0;
    virtual void TrayMenuRequested() = 0;
    // Help for the control that has the focus (F1).
    virtual void HelpRequested(ControlId focused) = 0;
    // The user changed a path field's text while it has the keyboard focus,
    // and that edit ended (the focus left the field, or Enter).
    virtual void FieldEdited(ControlId field) = 0;
    virtual void FieldEditEnded(ControlId field) = 0;
    // The notification area was recreated (a restarted shell) and has
    // forgotten the icon.
    virtual void TrayHostRestarted() = 0;
};

// Everything outside the window's controls.
class IDesktop {
public:
    virtual ~IDesktop() = default;

    // The window and its controls, created in the order of the layout table.
    virtual std::unique_ptr<IWindowView> CreateWindowView() = 0;
    virtual std::unique_ptr<ITextField> CreateTextField(ControlId id) = 0;
    virtual std::unique_ptr<ICreditsLine> CreateCreditsLine(ControlId id) = 0;
    virtual std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) = 0;
    virtual std::unique_ptr<ILabel> CreateLabel(ControlId id) = 0;
    virtual std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) = 0;

    // The program's folder (help, quotes and samples are found there),
    // without a trailing separator, and the settings file's path.
    virtual std::string ProgramFolder() const = 0;
    virtual std::string SettingsFile() const = 0;
    // The full screen's size in twips.
    virtual TwipsSize ScreenSize() const = 0;

    // The notification-area icon. Updating an icon that is not there yet
    // changes nothing the user sees.
    virtual void AddTrayIcon(const TrayIcon& icon) = 0;
    virtual void UpdateTrayIcon(const TrayIcon& icon) = 0;
    virtual void RemoveTrayIcon() = 0;
    // Shows `entries` as a menu at the pointer; the item chosen, or nothing
    // when the menu was dismissed.
    virtual std::optional<ControlId> ShowTrayMenu(std::span<const MenuEntry> entries) = 0;

    // Modal: the user's OK ends it.
    virtual void ShowError(const std::string& title, const std::string& text) = 0;
    // Opens a file, folder or web address with the desktop's default action.
    virtual OpenResult Open(const std::string& target) = 0;
    // The program's help: all of it, or the topic of a help context number.
    virtual OpenResult OpenHelp() = 0;
    virtual OpenResult OpenHelpTopic(int contextId) = 0;
    // Modal choosers.
    virtual Choice ChooseFile(const FileRequest& request) = 0;
    virtual Choice ChooseFolder(const std::string& prompt) = 0;

    // Unloads the main window: the desktop reports Closing, then the window
    // goes, and the program ends with it.
    virtual void CloseWindow() = 0;
    virtual void EndProgram() = 0;
};

// The one place that decides whether an event may still reach the window:
// before the window is attached, after the program detaches it, and once the
// window has gone (a message that arrives while it is being destroyed),
// events are dropped.
class EventLink {
public:
    void Attach(IWindowEvents* window) {
        window_ = window;
        closed_ = false;
    }
    // The window has gone; nothing reaches it any more.
    void MarkClosed() { closed_ = true; }
    bool Live() const { return window_ != nullptr && !closed_; }

    void Load() { if (Live()) window_->Load(); }
    // Runs the window's closing once, then closes the link.
    void Closing() {
        if (!Live()) return;
        closed_ = true;
        window_->Closing();
    }
    void Pressed(ControlId id) { if (Live()) window_->Pressed(id); }
    void ViewRequested(ControlId field) { if (Live()) window_->ViewRequested(field); }
    void PointerOver(ControlId id) { if (Live()) window_->PointerOver(id); }
    void Tick(ControlId timer) { if (Live()) window_->Tick(timer); }
    void TrayOpenRequested() { if (Live()) window_->TrayOpenRequested(); }
    void TrayMenuRequested() { if (Live()) window_->TrayMenuRequested(); }
    void HelpRequested(ControlId focused) { if (Live()) window_->HelpRequested(focused); }
    void FieldEdited(ControlId field) { if (Live()) window_->FieldEdited(field); }
    void FieldEditEnded(ControlId field) { if (Live()) window_->FieldEditEnded(field); }
    void TrayHostRestarted() { if (Live()) window_->TrayHostRestarted(); }

private:
    IWindowEvents* window_ = nullptr;
    bool closed_ = false;
};

// What the users of an edition expect where editions differ. The Windows
// program keeps its long-standing habits; the Linux edition follows its
// desktop's.
struct Conventions {
    // Tell the user, in the program's error box, when a file, folder, web
    // address or the help could not be opened. (The Windows shell reports
    // what it cannot open itself.)
    bool tellFailedOpens = false;
    // The file dialog starts in the folder of the file the field names (else
    // the user's home) and offers HTML and all files besides the row's own
    // types, as files without an extension are common there.
    bool pickFromTheFieldsFolder = false;
};

class RandomSource;

// The program's main window, its controls created through `desktop`.
std::unique_ptr<IWindowEvents> CreateMainWindow(IDesktop& desktop, RandomSource& random,
                                                Conventions conventions = {});

}  // namespace tessaly
