#include "app/frmSignature.h"

namespace tessaly {

void frmSignature::FillTrayIconData(const IImage& picture, const char* tip) {
    TrayIconData.Fill(window_->Handle(), picture.IconHandle(), tip);
}

void frmSignature::NotifyTray(NotifyIconMessage message) {
    platform_.Shell_NotifyIconA(message, TrayIconData.bytes);
    if (message == NotifyIconMessage::Add) trayIconAdded_ = true;
    if (message == NotifyIconMessage::Delete) trayIconAdded_ = false;
}

// The label leads here and trails in SetPaused: either way the tray and the
// window are updated before the timer changes.
void frmSignature::SetRunning() {
    lblStatus->SetCaption("Running!");
    FillTrayIconData(*imgRun, "Tessaly Running");
    window_->SetIcon(*imgRun);
    mnuResume->SetVisible(false);
    mnuPause->SetVisible(true);
    NotifyTray(NotifyIconMessage::Modify);
    window_->Hide();
    SwitchTimer1(true);
}

void frmSignature::SetPaused() {
    FillTrayIconData(*imgPause, "Tessaly Paused");
    window_->SetIcon(*imgPause);
    mnuResume->SetVisible(true);
    mnuPause->SetVisible(false);
    NotifyTray(NotifyIconMessage::Modify);
    window_->Hide();
    SwitchTimer1(false);
    lblStatus->SetCaption("Paused!");
}

void frmSignature::cmdStart_Click() { SetRunning(); }

void frmSignature::cmdStop_Click() { SetPaused(); }

void frmSignature::cmdCreateS_Click() { CreateSignature(); }

void frmSignature::Timer1_Timer() { CreateSignature(); }

void frmSignature::mnuResume_Click() {
    SaveSettings();
    SetRunning();
}

void frmSignature::mnuPause_Click() {
    SaveSettings();
    SetPaused();
}

void frmSignature::mnuRefresh_Click() {
    SaveSettings();
    CreateSignature();
}

}  // namespace tessaly
