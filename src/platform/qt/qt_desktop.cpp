#include "qt/qt_desktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <cstdlib>

#include "controls.h"
#include "core/fs.h"
#include "dialogs.h"
#include "shell.h"
#include "tray.h"
#include "window_widget.h"

// The artwork's resource registers itself from a static library only when
// asked, and the asking must happen outside any namespace.
static void RegisterArt() { Q_INIT_RESOURCE(art); }

namespace tessaly::qt {

QtDesktop::QtDesktop(Locations where) : where_(std::move(where)) {
    RegisterArt();
    // The window hides into the tray; only Exit and closing the window end
    // the program.
    QApplication::setQuitOnLastWindowClosed(false);
    window_ = std::make_unique<WindowWidget>(events_, [this] { CloseWindow(); });
    tray_ = std::make_unique<Tray>(events_, window_.get());
    // A session that ends quits the loop: the window closes first, so the
    // settings are saved.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window_.get(), [this] { CloseWindow(); });
}

QtDesktop::~QtDesktop() = default;

bool QtDesktop::Start() {
    events_.Load();
    if (closed_ || ending_ || !events_.Live()) return false;
    window_->show();
    window_->FocusFirstControl();
    return true;
}

int QtDesktop::Run() {
    if (!Start() || ending_) return 0;
    return QApplication::exec();
}

QWidget* QtDesktop::Window() const { return window_.get(); }

QWidget& QtDesktop::Control(ControlId id) const {
    QWidget* widget = window_->Control(id);
    if (widget == nullptr) std::abort();  // the window asked for a control it does not draw
    return *widget;
}

std::unique_ptr<IWindowView> QtDesktop::CreateWindowView() { return WrapWindow(*window_); }

std::unique_ptr<ITextField> QtDesktop::CreateTextField(ControlId id) {
    return WrapTextField(static_cast<QLineEdit&>(Control(id)));
}

std::unique_ptr<ICreditsLine> QtDesktop::CreateCreditsLine(ControlId id) {
    return WrapCreditsLine(static_cast<QLineEdit&>(Control(id)));
}

std::unique_ptr<ICheckBox> QtDesktop::CreateCheckBox(ControlId id) {
    return WrapCheckBox(static_cast<QCheckBox&>(Control(id)));
}

std::unique_ptr<ILabel> QtDesktop::CreateLabel(ControlId id) { return WrapLabel(static_cast<QLabel&>(Control(id))); }

std::unique_ptr<ITimer> QtDesktop::CreateTimer(ControlId id, unsigned intervalMs) {
    return MakeTimer(events_, id, intervalMs);
}

TwipsSize QtDesktop::ScreenSize() const {
    const QRect screen = window_->screen()->geometry();
    return {PixelsToTwips(screen.width(), window_->Dpi()), PixelsToTwips(screen.height(), window_->Dpi())};
}

void QtDesktop::AddTrayIcon(const TrayIcon& icon) { tray_->Add(icon); }
void QtDesktop::UpdateTrayIcon(const TrayIcon& icon) { tray_->Update(icon); }
void QtDesktop::RemoveTrayIcon() { tray_->Remove(); }

std::optional<ControlId> QtDesktop::ShowTrayMenu(std::span<const MenuEntry> entries) {
    if (closed_ || !events_.Live()) return std::nullopt;
    // The menu is the user's business, not a reason to raise the window.
    window_->DropFrontRequest();
    return tray_->ShowMenu(entries);
}

QWidget* QtDesktop::DialogParent() const {
    return window_->isVisible() && !window_->isMinimized() ? window_.get() : nullptr;
}

void QtDesktop::ShowError(const std::string& title, const std::string& text) {
    ShowErrorBox(DialogParent(), title, text);
}

OpenResult QtDesktop::Open(const std::string& target) { return OpenWithDesktop(target); }

// The compiled help is for Windows; here its topics open in the browser.
OpenResult QtDesktop::OpenHelp() { return OpenHelpTopic(0); }

OpenResult QtDesktop::OpenHelpTopic(int contextId) {
    return OpenHelpPage(fs::JoinPath(where_.programFolder, {"help"}), contextId);
}

Choice QtDesktop::ChooseFile(const FileRequest& request) { return ChooseFileIn(DialogParent(), request); }

Choice QtDesktop::ChooseFolder(const std::string& prompt) { return ChooseFolderIn(DialogParent(), prompt); }

void QtDesktop::CloseWindow() {
    if (closed_) return;
    closed_ = true;
    events_.Closing();
    window_->hide();
    tray_->Remove();
    EndProgram();
}

void QtDesktop::EndProgram() {
    ending_ = true;
    QCoreApplication::quit();
}

}  // namespace tessaly::qt
