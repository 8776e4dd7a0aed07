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
    const ModalWait wait(*this, true);
    desktop_.Open(Field(row).Text());
}

void MainWindow::HelpRequested(ControlId focused) {
    const int own = Row(focused).helpContext;
    desktop_.OpenHelpTopic(own != 0 ? own : kWindowHelpContext);
}

void MainWindow::OpenCreditsLink() {
    creditsLine_->SelectAll();
    desktop_.Open(kMakerAddress);
}

}  // namespace tessaly
