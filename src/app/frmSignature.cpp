#include "app/frmSignature.h"

#include <ctime>

#include "core/failure_log.h"
#include "core/settings_file.h"
#include "core/fs.h"

namespace tessaly {

namespace {

constexpr const char* kErrorTitle = "Tessaly Error";

}  // namespace

frmSignature::frmSignature(IPlatform& platform, RandomSource& random)
    : platform_(platform), random_(random) {
    window_ = platform_.CreateMainWindow();
    txtTemplate = platform_.CreateTextField(ControlId::txtTemplate);
    txtQF4 = platform_.CreateTextField(ControlId::txtQF4);
    txtQF3 = platform_.CreateTextField(ControlId::txtQF3);
    txtQF2 = platform_.CreateTextField(ControlId::txtQF2);
    txtQF1 = platform_.CreateTextField(ControlId::txtQF1);
    txtSignature = platform_.CreateTextField(ControlId::txtSignature);
    txtCompliments = platform_.CreateTextField(ControlId::txtCompliments);
    chkAS = platform_.CreateCheckBox(ControlId::chkAS);
    lblStatus = platform_.CreateLabel(ControlId::lblStatus);
    Timer1 = platform_.CreateTimer(ControlId::Timer1, 3000);
    Timer2 = platform_.CreateTimer(ControlId::Timer2, 1000);
    imgPause = platform_.CreateImage(ControlId::imgPause);
    imgRun = platform_.CreateImage(ControlId::imgRun);
    mnuDisplay = platform_.CreateMenuItem(ControlId::mnuDisplay);
    mnuResume = platform_.CreateMenuItem(ControlId::mnuResume);
    mnuPause = platform_.CreateMenuItem(ControlId::mnuPause);
    mnuRefresh = platform_.CreateMenuItem(ControlId::mnuRefresh);
    mnuHelp = platform_.CreateMenuItem(ControlId::mnuHelp);
    mnuExit = platform_.CreateMenuItem(ControlId::mnuExit);
    dlgCommon = platform_.CreateFileDialog();
}

frmSignature::~frmSignature() = default;

void frmSignature::Form_Load() {
    helpFile_ = fs::JoinPath(platform_.AppPath(), {"help", "help.chm"});

    // Near the bottom-right corner, whatever the taskbar covers; the
    // arithmetic is single precision, as the window's own units are.
    const float top = platform_.ScreenHeight() - (window_->Height() + 800.0f);
    window_->SetTop(top);
    const float left = platform_.ScreenWidth() - (window_->Width() + 800.0f);
    window_->SetLeft(left);

    LoadSettings();
    lblStatus->SetCaption("Paused!");
    window_->Refresh();
    window_->Hide();

    bool running = false;
    if (chkAS->Value() == 1) {
        Timer1->SetEnabled(true);
        CreateSignature();
        // A failed first composition has switched the timer off: the timer is
        // the state, so the marks must not claim Running then.
        running = Timer1->Enabled();
        if (running) {
            FillTrayIconData(*imgRun, "Tessaly Running");
            window_->SetIcon(*imgRun);
            mnuResume->SetVisible(false);
            mnuPause->SetVisible(true);
            lblStatus->SetCaption("Running!");
        }
    } else {
        window_->Refresh();
        window_->Hide();
    }
    if (!running) {
        FillTrayIconData(*imgPause, "Tessaly Paused");
        window_->SetIcon(*imgPause);
        mnuPause->SetVisible(false);
        mnuResume->SetVisible(true);
    }
    NotifyTray(NotifyIconMessage::Add);
}

void frmSignature::LoadSettings() {
    const LoadedSettings loaded = ReadSettingsFile(SettingsPath(), kSettingsPatienceMs);
    SettingsValues values = loaded.values;
    if (loaded.read.error == fs::Error::NotFound) {
        // First run: point at the samples shipped beside the program, so the
        // fields show something that works instead of design-time prompts.
        const std::string app = platform_.AppPath();
        values.paths = {
            fs::JoinPath(app, {"samples", "template.htm"}), fs::JoinPath(app, {"samples", "signature.htm"}),
            fs::JoinPath(app, {"quotes", "quotes1.txt"}),   fs::JoinPath(app, {"quotes", "quotes2.txt"}),
            fs::JoinPath(app, {"samples", "html1"}),        fs::JoinPath(app, {"samples", "html2"}),
        };
        values.autoStart = 0;
    }
    // A file that exists but could not be read leaves the fields empty and
    // the program Paused: nothing on screen could pass for the user's paths.
    settingsUnread_ = !loaded.fileFound && loaded.read.error != fs::Error::NotFound;
    const auto fields = PathFields();
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetText(values.paths[i]);
    chkAS->SetValue(values.autoStart);
    if (settingsUnread_) {
        const std::string why = fs::Reason(loaded.read);
        LogFailure("reading the settings", SettingsPath(), why);
        Tell("The settings could not be read from " + SettingsPath() + " (" + why +
             "). The paths are left empty and the file is kept as it is: it is written again only when you "
             "choose a path or use Resume, Pause or Refresh.");
    }
}

std::array<ITextField*, 6> frmSignature::PathFields() const {
    return {txtTemplate.get(), txtSignature.get(), txtQF1.get(),
            txtQF2.get(),      txtQF3.get(),       txtQF4.get()};
}

fs::Result frmSignature::WriteSettings() {
    SettingsValues values;
    const auto fields = PathFields();
    for (std::size_t i = 0; i < fields.size(); ++i) values.paths[i] = fields[i]->Text();
    const int flag = chkAS->Value();
    values.autoStart = static_cast<std::int16_t>(flag >= 0 && flag <= 2 ? flag : 0);
    return WriteSettingsFile(SettingsPath(), values);
}

void frmSignature::LogFailure(std::string_view what, std::string_view file, std::string_view why) {
    AppendFailure(FailureLogPath(SettingsPath()), std::time(nullptr), what, file, why);
}

void frmSignature::Tell(const std::string& text) {
    if (waits_ > 0) return;
    const UserWait wait(*this, true);
    platform_.MsgBox(text, 48, kErrorTitle);
}

void frmSignature::ReportSaveFailure(const fs::Result& failure, bool tell) {
    const std::string why = fs::Reason(failure);
    LogFailure("saving the settings", SettingsPath(), why);
    if (!tell) return;
    Tell("The settings could not be saved to " + SettingsPath() + " (" + why +
         "). Check that the file is not read-only or held by another program and that the disk has room; "
         "the previous settings are kept.");
}

void frmSignature::SaveSettings() {
    const fs::Result saved = WriteSettings();
    if (saved) {
        settingsUnread_ = false;  // the file now holds what the user sees
    } else {
        ReportSaveFailure(saved);
    }
}

frmSignature::UserWait::UserWait(frmSignature& form, bool holdTimer) : form_(form), holdTimer_(holdTimer) {
    ++form_.waits_;
    if (holdTimer_ && form_.holds_++ == 0) {
        form_.runAfterHold_ = form_.Timer1->Enabled();
        if (form_.runAfterHold_) form_.Timer1->SetEnabled(false);
    }
}

frmSignature::UserWait::~UserWait() {
    --form_.waits_;
    if (holdTimer_ && --form_.holds_ == 0 && form_.runAfterHold_) form_.Timer1->SetEnabled(true);
}

void frmSignature::SwitchTimer1(bool on) {
    if (holds_ > 0) {
        runAfterHold_ = on;
    } else {
        Timer1->SetEnabled(on);
    }
}

std::string frmSignature::SettingsPath() const { return platform_.SettingsPath(); }

std::unique_ptr<IFormEvents> CreateMainForm(IPlatform& platform, RandomSource& random) {
    return std::make_unique<frmSignature>(platform, random);
}

void frmSignature::Load() { Form_Load(); }

void frmSignature::Unload() {
    int cancel = 0;
    Form_Unload(cancel);  // the unload is never cancelled
}

void frmSignature::Click(ControlId id) {
    switch (id) {
        case ControlId::cmdStart: cmdStart_Click(); break;
        case ControlId::cmdStop: cmdStop_Click(); break;
        case ControlId::cmdCreateS: cmdCreateS_Click(); break;
        case ControlId::cmdHelp: cmdHelp_Click(); break;
        case ControlId::cmdTemplate: cmdTemplate_Click(); break;
        case ControlId::cmdSignature: cmdSignature_Click(); break;
        case ControlId::cmdQF1: cmdQF1_Click(); break;
        case ControlId::cmdQF2: cmdQF2_Click(); break;
        case ControlId::cmdQF3: cmdQF3_Click(); break;
        case ControlId::cmdQF4: cmdQF4_Click(); break;
        case ControlId::txtCompliments: txtCompliments_Click(); break;
        case ControlId::mnuDisplay: mnuDisplay_Click(); break;
        case ControlId::mnuResume: mnuResume_Click(); break;
        case ControlId::mnuPause: mnuPause_Click(); break;
        case ControlId::mnuRefresh: mnuRefresh_Click(); break;
        case ControlId::mnuHelp: mnuHelp_Click(); break;
        case ControlId::mnuExit: mnuExit_Click(); break;
        default: break;
    }
}

void frmSignature::DoubleClick(ControlId id) {
    switch (id) {
        case ControlId::txtTemplate: txtTemplate_DblClick(); break;
        case ControlId::txtSignature: txtSignature_DblClick(); break;
        case ControlId::txtQF1: txtQF1_DblClick(); break;
        case ControlId::txtQF2: txtQF2_DblClick(); break;
        case ControlId::txtQF3: txtQF3_DblClick(); break;
        case ControlId::txtQF4: txtQF4_DblClick(); break;
        default: break;
    }
}

void frmSignature::MouseOver(ControlId id) {
    if (id == ControlId::txtCompliments) txtCompliments_MouseMove();
}

void frmSignature::Tick(ControlId timer) {
    if (timer == ControlId::Timer1) Timer1_Timer();
    if (timer == ControlId::Timer2) Timer2_Timer();
}

void frmSignature::TrayCallback(float xTwips) {
    Form_MouseMove(0, 0, xTwips, 0.0f, MouseMoveSource::TrayCallback);
}

void frmSignature::ContextHelp(ControlId focused) { Form_ContextHelp(focused); }

void frmSignature::TaskbarCreated() { Shell_TaskbarCreated(); }

}  // namespace tessaly
