// The Linux edition's desktop, on Qt Widgets: the main window built from the
// layout table, the notification-area icon and its menu, the dialogs, the
// desktop's opener for files, folders, web addresses and the help topics,
// and the event loop.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "qt/qt_support.h"
#include "window/desktop.h"

class QWidget;

namespace tessaly::qt {

class WindowWidget;
class Tray;

// What the Linux edition's users expect where the editions differ: what
// could not be opened is told, and the file dialog starts where the field
// points (the program's own folder is read-only once installed).
inline constexpr Conventions kLinuxConventions{.tellFailedOpens = true, .pickFromTheFieldsFolder = true};

class QtDesktop final : public IDesktop {
public:
    // Needs a QApplication. Creates the window and its controls, hidden.
    explicit QtDesktop(Locations where);
    ~QtDesktop() override;
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    // Hands the window's events to `window` from now on (nullptr: to nobody).
    void Attach(IWindowEvents* window) { events_.Attach(window); }
    // Runs the start-up sequence and shows the window. False when the
    // program ended during it.
    bool Start();
    // Start, then the event loop until the program ends. The exit code.
    int Run();
    // The main window's widget.
    QWidget* Window() const;
    // Another start of the program asked for the window, as the tray would.
    void WindowWanted() { events_.TrayOpenRequested(); }

    std::unique_ptr<IWindowView> CreateWindowView() override;
    std::unique_ptr<ITextField> CreateTextField(ControlId id) override;
    std::unique_ptr<ICreditsLine> CreateCreditsLine(ControlId id) override;
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override;
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override;
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override;

    std::string ProgramFolder() const override { return where_.programFolder; }
    std::string SettingsFile() const override { return where_.settingsFile; }
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

private:
    // A parent for a dialog: the window while it is on the screen.
    QWidget* DialogParent() const;
    QWidget& Control(ControlId id) const;

    Locations where_;
    EventLink events_;
    std::unique_ptr<WindowWidget> window_;
    std::unique_ptr<Tray> tray_;
    bool closed_ = false;
    bool ending_ = false;
};

}  // namespace tessaly::qt
