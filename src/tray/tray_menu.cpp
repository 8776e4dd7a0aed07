#include <cmath>

#include "app/frmSignature.h"

namespace tessaly {

void frmSignature::Form_MouseMove(int, int, float X, float, MouseMoveSource source) {
    // A real move over the window carries a coordinate, not a mouse message:
    // at pixel column 515 it must not pass for a double-click on the icon.
    if (source != MouseMoveSource::TrayCallback) return;
    // The shell's number arrives scaled to twips; back to pixels, halves to
    // the even neighbour.
    const double pixels = static_cast<double>(X) / static_cast<double>(platform_.TwipsPerPixelX());
    if (!std::isfinite(pixels)) return;
    const double code = std::nearbyint(pixels);
    if (code == static_cast<double>(TrayCallbackCode::LeftDoubleClick)) {
        window_->SetWindowState(0);
        platform_.SetForegroundWindow(window_->Handle());
        window_->Show();
    } else if (code == static_cast<double>(TrayCallbackCode::RightButtonUp)) {
        platform_.SetForegroundWindow(window_->Handle());
        if (const auto chosen = platform_.PopupMenu()) Click(*chosen);
    }
}

void frmSignature::Shell_TaskbarCreated() {
    // A restarted shell has forgotten the icon; the record already describes
    // the current state. After the removal at exit there is nothing to restore.
    if (trayIconAdded_) NotifyTray(NotifyIconMessage::Add);
}

void frmSignature::mnuDisplay_Click() { window_->Show(); }

void frmSignature::mnuExit_Click() {
    // Settings that could not be read at start-up are not the user's: the
    // file keeps what it holds.
    if (!settingsUnread_) {
        const fs::Result saved = WriteSettings();
        exitSaveFailed_ = !saved;
        if (!saved) ReportSaveFailure(saved);
    }
    NotifyTray(NotifyIconMessage::Delete);
    // The unload may destroy this window object: keep what the last step needs.
    IPlatform& platform = platform_;
    platform.UnloadMainWindow();
    platform.EndProgram();
}

void frmSignature::Form_Unload(int&) {
    // After Exit has already told the user that the save failed, the second
    // save only logs the same failure.
    if (!settingsUnread_) {
        if (const fs::Result saved = WriteSettings(); !saved) ReportSaveFailure(saved, !exitSaveFailed_);
    }
    NotifyTray(NotifyIconMessage::Delete);
}

}  // namespace tessaly
