// frmSignature: the program's one window. It owns every control, and the
// controls are the program's whole working state: the path fields are the
// settings, Timer1's enabled flag is the run state. Every handler runs on the
// user-interface thread, one at a time.
//
// The handlers are defined in the folder of the part of the program they
// belong to: start-up, settings and the composition's window side in app/
// (the composing itself lives in compose/), run state and tray in tray/,
// pickers, viewing, help and credits in pickers/.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/controls.h"
#include "app/form_events.h"
#include "app/layout.h"
#include "core/compose.h"
#include "app/tray_icon_data.h"
#include "core/fs.h"

namespace tessaly {

// Where a WM_MOUSEMOVE-numbered message came from: a real mouse move over the
// window, or the notification-area icon's callback (which the shell sends
// with the same message number).
enum class MouseMoveSource { Window, TrayCallback };

class frmSignature final : public IFormEvents {
public:
    // Creates every control through the platform, in layout order. Nothing
    // is shown and no file is touched until Form_Load.
    frmSignature(IPlatform& platform, RandomSource& random);
    ~frmSignature() override;
    frmSignature(const frmSignature&) = delete;
    frmSignature& operator=(const frmSignature&) = delete;

    // Window events.
    void Form_Load();
    void Form_Unload(int& Cancel);
    void Form_MouseMove(int Button, int Shift, float X, float Y, MouseMoveSource source);
    // The shell has recreated the notification area ("TaskbarCreated").
    void Shell_TaskbarCreated();
    // F1 with `focused` holding the focus.
    void Form_ContextHelp(ControlId focused);

    // Run state (tray/).
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdCreateS_Click();
    void Timer1_Timer();
    void mnuResume_Click();
    void mnuPause_Click();
    void mnuRefresh_Click();

    // Tray menu (tray/).
    void mnuDisplay_Click();
    void mnuExit_Click();

    // Pickers (pickers/).
    void cmdTemplate_Click();
    void cmdSignature_Click();
    void cmdQF1_Click();
    void cmdQF2_Click();
    void cmdQF3_Click();
    void cmdQF4_Click();

    // Viewing and help (pickers/).
    void txtTemplate_DblClick();
    void txtSignature_DblClick();
    void txtQF1_DblClick();
    void txtQF2_DblClick();
    void txtQF3_DblClick();
    void txtQF4_DblClick();
    void cmdHelp_Click();
    void mnuHelp_Click();

    // Credits line (pickers/).
    void txtCompliments_MouseMove();
    void txtCompliments_Click();
    void Timer2_Timer();

    // What the platform reports, routed to the handlers above.
    void Load() override;
    void Unload() override;
    void Click(ControlId id) override;
    void DoubleClick(ControlId id) override;
    void MouseOver(ControlId id) override;
    void Tick(ControlId timer) override;
    void TrayCallback(float xTwips) override;
    void ContextHelp(ControlId focused) override;
    void TaskbarCreated() override;

    // Composes once (app/create_signature.cpp); on failure switches to
    // Paused, logs the path and the reason, tells the user once and brings
    // the window up. Does nothing while a message box or dialog waits.
    void CreateSignature();

    // Writes the seven settings from the controls (app/), as the user asked.
    void SaveSettings();

    // The program's help file (App.HelpFile), set at start-up.
    const std::string& HelpFile() const { return helpFile_; }

private:
    void LoadSettings();
    void SetRunning();
    void SetPaused();
    void PickDocumentFile();
    void PickQuoteFile();
    void PickFile(const std::string& initDir, const char* filter);
    void PickFolder();
    void PickInto(ITextField& field, void (frmSignature::*picker)());
    void ViewField(const ITextField& field);
    void OpenLink();
    void NotifyTray(NotifyIconMessage message);
    void FillTrayIconData(const IImage& picture, const char* tip);
    std::string SettingsPath() const;
    // Writes the settings file from the controls.
    fs::Result WriteSettings();
    // The six path fields in settings-file order.
    std::array<ITextField*, 6> PathFields() const;
    // Logs a failed save and, when `tell`, says so in a message box.
    void ReportSaveFailure(const fs::Result& failure, bool tell = true);
    // One line in the failure log beside the settings.
    void LogFailure(std::string_view what, std::string_view file, std::string_view why);
    // The program's message box ("Tessaly Error", exclamation, OK). While
    // another box or a dialog waits, nothing more is shown: the log has it.
    void Tell(const std::string& text);

    // While a message box or dialog of the program waits for the user, no
    // composition runs: a wait that holds the timer switches Timer1 off and
    // back on afterwards, unless the run state changed meanwhile; a wait that
    // does not (the folder browser) only keeps ticks from composing.
    class UserWait {
    public:
        UserWait(frmSignature& form, bool holdTimer);
        ~UserWait();
        UserWait(const UserWait&) = delete;
        UserWait& operator=(const UserWait&) = delete;

    private:
        frmSignature& form_;
        bool holdTimer_;
    };
    // Switches the run state's timer, or, while a wait holds it, the state
    // it returns to.
    void SwitchTimer1(bool on);

    IPlatform& platform_;
    RandomSource& random_;
    std::string helpFile_;

    std::unique_ptr<IWindow> window_;
    std::unique_ptr<ITextField> txtTemplate;
    std::unique_ptr<ITextField> txtSignature;
    std::unique_ptr<ITextField> txtQF1;
    std::unique_ptr<ITextField> txtQF2;
    std::unique_ptr<ITextField> txtQF3;
    std::unique_ptr<ITextField> txtQF4;
    std::unique_ptr<ITextField> txtCompliments;
    std::unique_ptr<ICheckBox> chkAS;
    std::unique_ptr<ILabel> lblStatus;
    std::unique_ptr<ITimer> Timer1;
    std::unique_ptr<ITimer> Timer2;
    std::unique_ptr<IImage> imgPause;
    std::unique_ptr<IImage> imgRun;
    std::unique_ptr<IMenuItem> mnuDisplay;
    std::unique_ptr<IMenuItem> mnuResume;
    std::unique_ptr<IMenuItem> mnuPause;
    std::unique_ptr<IMenuItem> mnuRefresh;
    std::unique_ptr<IMenuItem> mnuHelp;
    std::unique_ptr<IMenuItem> mnuExit;
    std::unique_ptr<IFileDialog> dlgCommon;

    std::string SelectedPath;
    TrayIconRecord TrayIconData;
    bool trayIconAdded_ = false;
    // Exit saves, then the unload saves again: one failure, one message.
    bool exitSaveFailed_ = false;
    // The settings file exists but could not be read at start-up: the
    // fields do not hold the user's settings, so only a save the user asks
    // for may write the file; Exit and the unload leave it alone.
    bool settingsUnread_ = false;
    int waits_ = 0;        // message boxes and dialogs waiting for the user
    int holds_ = 0;        // those of them that hold Timer1
    bool runAfterHold_ = false;
};

}  // namespace tessaly
