// Running and Paused: the one routine that shows a run state, the switches,
// and composing with its failure path.
#include <string>

#include "main_window.h"

namespace tessaly {

namespace {

constexpr const char* kCompositionFailed =
    "File or Path Error. Ensure that all your file paths are correct and that the files exist!";

// The path's row as the window shows it: "quote file 1 (Select Quote1)".
std::string RowName(PathRole role) {
    for (const PathRow& row : kPathRows) {
        if (row.role == role) return std::string(RoleName(role)) + " (" + std::string(Row(row.button).text) + ")";
    }
    return RoleName(role);
}

}  // namespace

// The label reads "Running!" before anything else changes and "Paused!" only
// after everything else has: either way the tray and the window change
// before the timer does.
void MainWindow::ShowRunState(RunState state, Marks marks) {
    if (marks.setLabel && state == RunState::Running) statusLabel_->SetText("Running!");
    shownState_ = state;
    window_->SetStateIcon(state);
    if (marks.tray == TrayChange::Add) {
        desktop_.AddTrayIcon(TrayIconOf(state));
        trayIconAdded_ = true;
    } else {
        desktop_.UpdateTrayIcon(TrayIconOf(state));
    }
    if (marks.window == WindowChange::Hide) window_->Hide();
    if (marks.window == WindowChange::Show) window_->Show();
    if (marks.switchTimer) SwitchComposeTimer(state == RunState::Running);
    if (marks.setLabel && state == RunState::Paused) statusLabel_->SetText("Paused!");
    // Nobody types into a hidden window: an edit ends with it.
    if (marks.window == WindowChange::Hide && editing_) EndEdit();
}

void MainWindow::Start() { ShowRunState(RunState::Running, {TrayChange::Update, WindowChange::Hide, true, true}); }

void MainWindow::Stop() { ShowRunState(RunState::Paused, {TrayChange::Update, WindowChange::Hide, true, true}); }

ComposePaths MainWindow::Paths() const {
    auto text = [this](std::size_t row) { return pathFields_[row]->Text(); };
    return {text(0), text(1), text(2), text(3), text(4), text(5)};
}

void MainWindow::Compose() {
    // Nothing runs behind a message box or dialog of the program.
    if (waits_ > 0) return;
    const ComposeResult composed = ComposeSignature(Paths(), random_);
    if (composed) return;

    const std::string which = RowName(composed.role) + ": " + composed.path;
    LogFailure("composing the signature", which, composed.reason);
    // The timer goes off before the message box waits for the user, so no
    // tick can start another composition (and another box) meanwhile.
    autoRunBox_->SetValue(0);
    statusLabel_->SetText("Paused!");
    SwitchComposeTimer(false);
    // The program's sentence first; below it which file and why, as the log
    // says it.
    Tell(std::string(kCompositionFailed) + "\n\n" + which + " (" + composed.reason + ")");
    window_->Repaint();
    ShowRunState(RunState::Paused, {TrayChange::Update, WindowChange::Show, false, false});
}

}  // namespace tessaly
