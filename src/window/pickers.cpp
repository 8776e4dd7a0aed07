// The picker buttons: a file dialog or a folder chooser fills the row's
// field, and the settings are saved at once, whatever the user chose.
#include "main_window.h"

namespace tessaly {

namespace {

const FileFilter kDocumentFilter{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}};
const FileFilter kQuoteFilter{"Text Files (*.txt)", {"*.txt"}};

}  // namespace

void MainWindow::PickInto(const PathRow& row) {
    std::optional<std::string> chosen;
    switch (row.picker) {
        case PathPicker::DocumentFile: chosen = ChooseFile(desktop_.ProgramFolder(), kDocumentFilter); break;
        case PathPicker::QuoteFile:
            chosen = ChooseFile(fs::JoinPath(desktop_.ProgramFolder(), {"quotes"}), kQuoteFilter);
            break;
        case PathPicker::Folder: chosen = ChooseFolder(); break;
    }
    if (chosen) Field(row).SetText(*chosen);
    SaveSettings();
}

std::optional<std::string> MainWindow::ChooseFile(const std::string& folder, const FileFilter& filter) {
    // No tick may compose while the dialog waits for the user; the label
    // says so while it lasts.
    const bool wasRunning = composeTimer_->Enabled();
    Choice choice;
    {
        const ModalWait wait(*this, true);
        if (wasRunning) statusLabel_->SetText("Paused!");
        choice = desktop_.ChooseFile({" Select File ", folder, {filter}});
    }
    // A Pause chosen from the tray meanwhile stands.
    if (wasRunning && composeTimer_->Enabled()) statusLabel_->SetText("Running!");
    if (choice.kind != Choice::Kind::Chosen || choice.path.empty()) return std::nullopt;
    return choice.path;
}

std::optional<std::string> MainWindow::ChooseFolder() {
    // The timer keeps running, but no tick composes while the chooser waits.
    const ModalWait wait(*this, false);
    const Choice choice = desktop_.ChooseFolder("Select a folder and click OK!");
    if (choice.kind != Choice::Kind::Chosen || choice.path.empty()) return std::nullopt;
    return WithoutTrailingSeparator(choice.path);
}

}  // namespace tessaly
