// The notification-area icon, its menu, and the two ways the window goes:
// Exit, and closing it by any other means.
#include "main_window.h"

namespace tessaly {

TrayIcon MainWindow::TrayIconOf(RunState state) const {
    return {state, std::string(TrayTip(state)), TrayMenuEntries(state)};
}

void MainWindow::TrayOpenRequested() {
    window_->Restore();
    window_->BringToFront();
    window_->Show();
}

void MainWindow::TrayMenuRequested() {
    window_->BringToFront();
    const std::vector<MenuEntry> entries = TrayMenuEntries(shownState_);
    if (const auto chosen = desktop_.ShowTrayMenu(entries)) Pressed(*chosen);
}

void MainWindow::TrayHostRestarted() {
    // A restarted shell has forgotten the icon. After the removal at exit
    // there is nothing to restore.
    if (trayIconAdded_) desktop_.AddTrayIcon(TrayIconOf(shownState_));
}

void MainWindow::Exit() {
    // Settings that could not be read at start-up are not the user's: the
    // file keeps what it holds.
    if (!settingsUnread_) {
        const fs::Result saved = WriteSettings();
        exitSaveFailed_ = !saved;
        if (!saved) ReportSaveFailure(saved);
    }
    desktop_.RemoveTrayIcon();
    trayIconAdded_ = false;
    // Closing the window may destroy this object: keep what the last step needs.
    IDesktop& desktop = desktop_;
    desktop.CloseWindow();
    desktop.EndProgram();
}

void MainWindow::Closing() {
    // After Exit has already told the user that the save failed, the second
    // save only logs the same failure.
    if (!settingsUnread_) {
        if (const fs::Result saved = WriteSettings(); !saved) ReportSaveFailure(saved, !exitSaveFailed_);
    }
    desktop_.RemoveTrayIcon();
    trayIconAdded_ = false;
}

}  // namespace tessaly
