#include "main_window.h"

#include <ctime>
#include <utility>

#include "core/failure_log.h"
#include "core/settings_file.h"

namespace tessaly {

namespace {

constexpr const char* kErrorTitle = "Tessaly Error";
constexpr unsigned kComposeIntervalMs = 3000;
constexpr unsigned kCreditsLitMs = 1000;

}  // namespace

MainWindow::MainWindow(IDesktop& desktop, RandomSource& random, Conventions conventions)
    : desktop_(desktop), random_(random), conventions_(conventions) {
    window_ = desktop_.CreateWindowView();
    for (const ControlRow& row : Layout()) {
        if (row.kind != ControlKind::TextField) continue;
        if (const auto index = PathRowOf(row.id)) pathFields_[*index] = desktop_.CreateTextField(row.id);
    }
    creditsLine_ = desktop_.CreateCreditsLine(ControlId::CreditsLine);
    autoRunBox_ = desktop_.CreateCheckBox(ControlId::AutoRunBox);
    statusLabel_ = desktop_.CreateLabel(ControlId::StatusLabel);
    composeTimer_ = desktop_.CreateTimer(ControlId::ComposeTimer, kComposeIntervalMs);
    creditsTimer_ = desktop_.CreateTimer(ControlId::CreditsTimer, kCreditsLitMs);
}

MainWindow::~MainWindow() = default;

std::unique_ptr<IWindowEvents> CreateMainWindow(IDesktop& desktop, RandomSource& random, Conventions conventions) {
    return std::make_unique<MainWindow>(desktop, random, conventions);
}

void MainWindow::Load() {
    PlaceNearScreenCorner();
    LoadSettings();
    statusLabel_->SetText("Paused!");
    window_->Repaint();
    window_->Hide();

    if (autoRunBox_->Value() == 1) {
        composeTimer_->SetEnabled(true);
        Compose();
        // A failed first composition has switched the timer off: the timer
        // is the state, so the marks must not claim Running then.
        if (composeTimer_->Enabled()) {
            ShowRunState(RunState::Running, {TrayChange::Add, WindowChange::Keep, false, true});
            return;
        }
    } else {
        window_->Repaint();
        window_->Hide();
    }
    ShowRunState(RunState::Paused, {TrayChange::Add, WindowChange::Keep, false, false});
}

void MainWindow::PlaceNearScreenCorner() {
    // Whatever the taskbar covers; the arithmetic is single precision, as
    // the window's own units are.
    const TwipsSize screen = desktop_.ScreenSize();
    const TwipsSize outer = window_->OuterSize();
    const float top = screen.height - (outer.height + 800.0f);
    const float left = screen.width - (outer.width + 800.0f);
    window_->MoveTo(left, top);
}

void MainWindow::LoadSettings() {
    const std::string file = desktop_.SettingsFile();
    const LoadedSettings loaded = ReadSettingsFile(file, kSettingsPatienceMs);
    SettingsValues values = loaded.values;
    if (loaded.read.error == fs::Error::NotFound) {
        // First run: point at the samples shipped beside the program, so the
        // fields show something that works instead of design-time prompts.
        // Where the settings are kept apart from the program (an installed
        // copy), the program's folder is not the user's to write: the
        // signature goes beside the settings.
        const std::string folder = desktop_.ProgramFolder();
        const std::string settingsFolder = fs::FolderOf(file);
        const std::string signature = settingsFolder == fs::JoinPath(folder, {"data"})
                                          ? fs::JoinPath(folder, {"samples", "signature.htm"})
                                          : fs::JoinPath(settingsFolder, {"signature.htm"});
        values.paths = {
            fs::JoinPath(folder, {"samples", "template.htm"}), signature,
            fs::JoinPath(folder, {"quotes", "quotes1.txt"}),   fs::JoinPath(folder, {"quotes", "quotes2.txt"}),
            fs::JoinPath(folder, {"samples", "html1"}),        fs::JoinPath(folder, {"samples", "html2"}),
        };
        values.autoStart = 0;
    }
    // A file that exists but could not be read, or not understood, leaves
    // the fields empty and the program Paused: nothing on screen could pass
    // for the user's paths, and nothing half-read is composed from or saved.
    settingsUnread_ = !loaded.fileFound && loaded.read.error != fs::Error::NotFound;
    if (settingsUnread_) values = SettingsValues{};
    for (std::size_t i = 0; i < pathFields_.size(); ++i) pathFields_[i]->SetText(values.paths[i]);
    autoRunBox_->SetValue(values.autoStart);
    if (settingsUnread_) {
        const std::string why = SettingsFailure(loaded);
        LogFailure("reading the settings", file, why);
        Tell("The settings could not be read from " + file + " (" + why +
             "). The paths are left empty and the file is kept as it is: it is written again only when you "
             "choose a path or use Resume, Pause or Refresh.");
    }
}

void MainWindow::Pressed(ControlId id) {
    switch (id) {
        case ControlId::StartButton: Start(); break;
        case ControlId::StopButton: Stop(); break;
        case ControlId::CreateNowButton: Compose(); break;
        case ControlId::HelpButton:
        case ControlId::HelpItem: OpenHelp(); break;
        case ControlId::AutoRunBox: autoRunBox_->SetValue(NextAutoRunValue(autoRunBox_->Value())); break;
        case ControlId::CreditsLine: OpenCreditsLink(); break;
        case ControlId::OpenItem: window_->Show(); break;
        case ControlId::ResumeItem:
            SaveSettings();
            Start();
            break;
        case ControlId::PauseItem:
            SaveSettings();
            Stop();
            break;
        case ControlId::RefreshItem:
            SaveSettings();
            Compose();
            break;
        case ControlId::ExitItem: Exit(); break;
        default:
            if (const auto row = PathRowOf(id); row && kPathRows[*row].button == id) PickInto(kPathRows[*row]);
            break;
    }
}

void MainWindow::Tick(ControlId timer) {
    if (timer == ControlId::ComposeTimer) {
        // Half-typed text is no path: the composition waits for the edit.
        if (editing_) {
            composeAfterEdit_ = true;
        } else {
            Compose();
        }
    }
    if (timer == ControlId::CreditsTimer) {
        creditsLine_->SetColour(kCreditsRestColour);
        creditsTimer_->SetEnabled(false);
    }
}

void MainWindow::PointerOver(ControlId id) {
    if (id != ControlId::CreditsLine) return;
    creditsLine_->SetColour(kCreditsHoverColour);
    creditsTimer_->SetEnabled(true);
}

void MainWindow::FieldEdited(ControlId field) {
    if (PathRowOf(field)) editing_ = field;
}

void MainWindow::FieldEditEnded(ControlId field) {
    if (editing_ == field) EndEdit();
}

void MainWindow::EndEdit() {
    editing_.reset();
    if (std::exchange(composeAfterEdit_, false) && composeTimer_->Enabled()) Compose();
}

ITextField& MainWindow::Field(const PathRow& row) const {
    return *pathFields_[static_cast<std::size_t>(&row - kPathRows.data())];
}

fs::Result MainWindow::WriteSettings() {
    SettingsValues values;
    for (std::size_t i = 0; i < pathFields_.size(); ++i) values.paths[i] = pathFields_[i]->Text();
    const int flag = autoRunBox_->Value();
    values.autoStart = static_cast<std::int16_t>(flag >= 0 && flag <= 2 ? flag : 0);
    return WriteSettingsFile(desktop_.SettingsFile(), values);
}

void MainWindow::SaveSettings() {
    const fs::Result saved = WriteSettings();
    if (saved) {
        settingsUnread_ = false;  // the file now holds what the user sees
    } else {
        ReportSaveFailure(saved);
    }
}

void MainWindow::ReportSaveFailure(const fs::Result& failure, bool tell) {
    const std::string why = fs::Reason(failure);
    const std::string file = desktop_.SettingsFile();
    LogFailure("saving the settings", file, why);
    if (!tell) return;
    Tell("The settings could not be saved to " + file + " (" + why +
         "). Check that the file is not read-only or held by another program and that the disk has room; "
         "the previous settings are kept.");
}

void MainWindow::LogFailure(std::string_view what, std::string_view file, std::string_view why) {
    AppendFailure(FailureLogPath(desktop_.SettingsFile()), std::time(nullptr), what, file, why);
}

void MainWindow::Tell(const std::string& text) {
    if (waits_ > 0) return;
    const ModalWait wait(*this, true);
    desktop_.ShowError(kErrorTitle, text);
}

MainWindow::ModalWait::ModalWait(MainWindow& window, bool holdTimer) : window_(window), holdTimer_(holdTimer) {
    ++window_.waits_;
    if (holdTimer_ && window_.holds_++ == 0) {
        window_.runAfterHold_ = window_.composeTimer_->Enabled();
        if (window_.runAfterHold_) window_.composeTimer_->SetEnabled(false);
    }
}

MainWindow::ModalWait::~ModalWait() {
    --window_.waits_;
    if (holdTimer_ && --window_.holds_ == 0 && window_.runAfterHold_) window_.composeTimer_->SetEnabled(true);
}

void MainWindow::SwitchComposeTimer(bool on) {
    if (holds_ > 0) {
        runAfterHold_ = on;
    } else {
        composeTimer_->SetEnabled(on);
    }
}

}  // namespace tessaly
