// The Linux edition's side of the program, on Qt Widgets: the main window
// built from the layout table, the notification-area icon and its menu, the
// dialogs, the desktop's opener for files, folders, the web address and the
// help topics, and the event loop.
#pragma once

#include <QIcon>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/controls.h"
#include "app/form_events.h"
#include "app/layout.h"
#include "platform/qt/qt_support.h"

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace tessaly::qt {

class MainWindow;

class QtPlatform final : public IPlatform {
public:
    // Needs a QApplication. Creates the window and its controls, hidden.
    explicit QtPlatform(Locations where);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    // Hands the window's events to `form` from now on (nullptr: to nobody).
    void Attach(IFormEvents* form) { form_.Attach(form); }
    // Runs the start-up sequence and shows the window. False when the
    // program ended during it.
    bool Start();
    // Start, then the event loop until the program ends. The exit code.
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
    std::string AppPath() const override { return where_.appPath; }
    std::string SettingsPath() const override { return where_.settingsPath; }
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

    // For the window and the controls' wrappers.
    QWidget* Window() const;
    FormLink& Events() { return form_; }
    bool Live() const { return !unloaded_ && form_.Live(); }
    // Without a notification area the window is minimised where it would
    // be hidden, so that the user can still reach it.
    bool TrayAvailable() const;
    // The window was asked to the front before it was shown.
    bool TakeForegroundRequest() { return std::exchange(foregroundWanted_, false); }
    QIcon StateIcon(std::uint32_t handle) const;
    double Dpi() const;
    // A parent for a dialog: the window while it is on the screen.
    QWidget* DialogParent() const;

private:
    void BuildMenu();
    void OnTrayActivated(int reason);
    bool OpenHelpTopic(const std::string& helpFile, int contextId);

    Locations where_;
    FormLink form_;
    std::unique_ptr<MainWindow> window_;
    QMenu* menu_ = nullptr;            // owned by the window
    QSystemTrayIcon* tray_ = nullptr;  // owned by the window
    std::array<QAction*, static_cast<std::size_t>(ControlId::frmSignature) + 1> actions_{};
    std::array<QIcon, 2> stateIcons_;  // paused, running
    bool unloaded_ = false;
    bool ending_ = false;
    bool foregroundWanted_ = false;
    // While PopupMenu waits, a chosen item is its answer; otherwise (a host
    // that shows the menu itself) the choice goes to the window at once.
    bool menuAwaited_ = false;
    std::optional<ControlId> chosen_;
};

}  // namespace tessaly::qt
