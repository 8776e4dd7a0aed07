#include <exception>

#include "app/frmSignature.h"

namespace tessaly {

void frmSignature::CreateSignature() {
    bool composed = false;
    try {
        const ComposePaths paths{txtTemplate->Text(), txtSignature->Text(), txtQF1->Text(),
                                 txtQF2->Text(),      txtQF3->Text(),       txtQF4->Text()};
        composed = static_cast<bool>(ComposeSignature(paths, random_));
    } catch (const std::exception&) {
        // Out of memory on a huge source: a failed composition like any other.
        composed = false;
    }
    if (composed) return;

    // The timer goes off before the message box waits for the user, so no
    // tick can start another composition (and another box) meanwhile.
    chkAS->SetValue(0);
    lblStatus->SetCaption("Paused!");
    Timer1->SetEnabled(false);
    platform_.MsgBox(
        "File or Path Error. Ensure that all your file paths are correct and that the files exist!",
        48, "Tessaly Error");
    window_->Refresh();
    FillTrayIconData(*imgPause, "Tessaly Paused");
    window_->SetIcon(*imgPause);
    mnuPause->SetVisible(false);
    mnuResume->SetVisible(true);
    NotifyTray(NotifyIconMessage::Modify);
    window_->Show();
}

}  // namespace tessaly
