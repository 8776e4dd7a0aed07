#include "app/frmSignature.h"
#include "core/fs.h"

namespace tessaly {

void frmSignature::PickInto(ITextField& field, void (frmSignature::*picker)()) {
    SelectedPath = field.Text();
    (this->*picker)();
    field.SetText(SelectedPath);
    SaveSettings();
}

void frmSignature::cmdTemplate_Click() { PickInto(*txtTemplate, &frmSignature::PickDocumentFile); }
void frmSignature::cmdSignature_Click() { PickInto(*txtSignature, &frmSignature::PickDocumentFile); }
void frmSignature::cmdQF1_Click() { PickInto(*txtQF1, &frmSignature::PickQuoteFile); }
void frmSignature::cmdQF2_Click() { PickInto(*txtQF2, &frmSignature::PickQuoteFile); }
void frmSignature::cmdQF3_Click() { PickInto(*txtQF3, &frmSignature::PickFolder); }
void frmSignature::cmdQF4_Click() { PickInto(*txtQF4, &frmSignature::PickFolder); }

void frmSignature::PickDocumentFile() {
    PickFile(platform_.AppPath(), "Text ot Html Files(*.txt;*.htm)|*.txt;*.htm");
}

void frmSignature::PickQuoteFile() {
    PickFile(fs::JoinPath(platform_.AppPath(), {"quotes"}), "Text Files (*.txt)|*.txt|");
}

void frmSignature::PickFile(const std::string& initDir, const char* filter) {
    dlgCommon->SetInitDir(initDir);
    dlgCommon->SetDialogTitle(" Select File ");
    // No tick may compose while the dialog waits for the user; the label
    // says so while it lasts.
    const bool wasRunning = Timer1->Enabled();
    IFileDialog::Result result;
    {
        const UserWait wait(*this, true);
        if (wasRunning) lblStatus->SetCaption("Paused!");
        dlgCommon->SetFilter(filter);
        result = dlgCommon->ShowOpen();
    }
    // A Pause chosen from the tray meanwhile stands.
    if (wasRunning && Timer1->Enabled()) lblStatus->SetCaption("Running!");
    // The dialog keeps the name of an earlier pick; only a pick made now
    // may replace the field.
    if (result == IFileDialog::Result::Chosen && !dlgCommon->FileName().empty()) {
        SelectedPath = dlgCommon->FileName();
    }
}

void frmSignature::PickFolder() {
    // The timer keeps running, but no tick composes while the browser waits.
    const UserWait wait(*this, false);
    // A browse that fails keeps the field, like a Cancel; it never falls back
    // on a folder that an earlier browse returned.
    const BrowseResult browsed =
        platform_.BrowseForFolder(window_->Handle(), "Select a folder and click OK!", 1);
    if (browsed.kind == BrowseResult::Kind::Chosen && !browsed.path.empty()) {
        SelectedPath = browsed.path;
    }
}

}  // namespace tessaly
