#include <string>

#include "app/frmSignature.h"

namespace tessaly {

namespace {

// The path's row as the window shows it: "quote file 1 (Select Quote1)".
std::string RowName(PathRole role) {
    constexpr ControlId buttons[] = {ControlId::cmdTemplate, ControlId::cmdSignature, ControlId::cmdQF1,
                                     ControlId::cmdQF2,      ControlId::cmdQF3,       ControlId::cmdQF4};
    const auto index = static_cast<std::size_t>(role) - 1;
    return std::string(RoleName(role)) + " (" + std::string(Row(buttons[index]).text) + ")";
}

}  // namespace

void frmSignature::CreateSignature() {
    // Nothing runs behind a message box or dialog of the program.
    if (waits_ > 0) return;
    const ComposeResult composed = ComposeSignature(
        {txtTemplate->Text(), txtSignature->Text(), txtQF1->Text(), txtQF2->Text(), txtQF3->Text(), txtQF4->Text()},
        random_);
    if (composed) return;

    // The message stays the same for every cause; the log names the path.
    LogFailure("composing the signature", RowName(composed.role) + ": " + composed.path,
               composed.reason);
    // The timer goes off before the message box waits for the user, so no
    // tick can start another composition (and another box) meanwhile.
    chkAS->SetValue(0);
    lblStatus->SetCaption("Paused!");
    Timer1->SetEnabled(false);
    Tell("File or Path Error. Ensure that all your file paths are correct and that the files exist!");
    window_->Refresh();
    FillTrayIconData(*imgPause, "Tessaly Paused");
    window_->SetIcon(*imgPause);
    mnuPause->SetVisible(false);
    mnuResume->SetVisible(true);
    NotifyTray(NotifyIconMessage::Modify);
    window_->Show();
}

}  // namespace tessaly
