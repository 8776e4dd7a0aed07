// The picker buttons: a file dialog or a folder chooser fills the row's
// field, and the settings are saved at once, whatever the user chose.
#include "main_window.h"

namespace tessaly {

namespace {

const FileFilter kDocumentFilter{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}};
const FileFilter kQuoteFilter{"Text Files (*.txt)", {"*.txt"}};
const FileFilter kHtmlFilter{"HTML files", {"*.htm", "*.html"}};
const FileFilter kAllFilter{"All files", {"*"}};

}  // namespace

void MainWindow::PickInto(const PathRow& row) {
    const std::optional<std::string> chosen = row.picker == PathPicker::Folder ? ChooseFolder() : ChooseFile(row);
    if (chosen) Field(row).SetText(*chosen);
    SaveSettings();
}

std::optional<std::string> MainWindow::ChooseFile(const PathRow& row) {
    const bool quotes = row.picker == PathPicker::QuoteFile;
    FileRequest request{" Select File ", desktop_.ProgramFolder(), {quotes ? kQuoteFilter : kDocumentFilter}};
    if (quotes) request.folder = fs::JoinPath(request.folder, {"quotes"});
    if (conventions_.pickFromTheFieldsFolder) {
        // The program's folder is read-only once installed; the user's files
        // are where the field points, or at home.
        const std::string fieldsFolder = fs::FolderOf(Field(row).Text());
        request.folder = fs::IsFolder(fieldsFolder) ? fieldsFolder : fs::HomeFolder();
        request.filters.push_back(kHtmlFilter);
        request.filters.push_back(kAllFilter);
    }
    // No tick may compose while the dialog waits for the user; the label
    // says so while it lasts.
    const bool wasRunning = composeTimer_->Enabled();
    Choice choice;
    {
        const ModalWait wait(*this, true);
        if (wasRunning) statusLabel_->SetText("Paused!");
        choice = desktop_.ChooseFile(request);
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
