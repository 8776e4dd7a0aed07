// Opening what a path field names, the help, and the credits line's link.
#include "main_window.h"

namespace tessaly {

namespace {

constexpr const char* kMakerAddress = "https://www.brindlewick.example/tessaly";

}  // namespace

void MainWindow::ViewRequested(ControlId field) {
    if (const auto row = PathRowOf(field); row && kPathRows[*row].field == field) View(kPathRows[*row]);
}

void MainWindow::View(const PathRow& row) {
    // The field's text goes to the desktop as it is; no composition runs
    // while the desktop takes the request.
    const std::string target = Field(row).Text();
    OpenResult opened;
    {
        const ModalWait wait(*this, true);
        opened = desktop_.Open(target);
    }
    ReportOpen(opened, std::string(RoleName(row.role)) + " " + target);
}

void MainWindow::HelpRequested(ControlId focused) {
    const int own = Row(focused).helpContext;
    ReportOpen(desktop_.OpenHelpTopic(own != 0 ? own : kWindowHelpContext), "help topic");
}

void MainWindow::OpenHelp() { ReportOpen(desktop_.OpenHelp(), "help"); }

void MainWindow::OpenCreditsLink() {
    creditsLine_->SelectAll();
    ReportOpen(desktop_.Open(kMakerAddress), std::string("web address ") + kMakerAddress);
}

void MainWindow::ReportOpen(OpenResult result, const std::string& what) {
    if (result == OpenResult::Opened || !conventions_.tellFailedOpens) return;
    const char* why = result == OpenResult::NotFound    ? "not found"
                      : result == OpenResult::NoHandler ? "no program is set up to open it"
                                                        : "the desktop could not open it";
    LogFailure("opening", what, why);
    Tell("The " + what + " could not be opened (" + why + ").");
}

}  // namespace tessaly
