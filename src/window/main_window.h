// The program's one window and everything it decides. It owns every control,
// and the controls are the program's whole working state: the path fields
// are the settings, the compose timer's enabled flag is the run state. Every
// event is handled on the user-interface thread, one at a time.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/compose.h"
#include "core/fs.h"
#include "window/desktop.h"
#include "path_rows.h"

namespace tessaly {

class MainWindow final : public IWindowEvents {
public:
    // Creates the window and its controls through the desktop. Nothing is
    // shown and no file is touched until Load.
    MainWindow(IDesktop& desktop, RandomSource& random, Conventions conventions);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void Load() override;
    void Closing() override;
    void Pressed(ControlId id) override;
    void ViewRequested(ControlId field) override;
    void PointerOver(ControlId id) override;
    void Tick(ControlId timer) override;
    void TrayOpenRequested() override;
    void TrayMenuRequested() override;
    void HelpRequested(ControlId focused) override;
    void TrayHostRestarted() override;
    void FieldEdited(ControlId field) override;
    void FieldEditEnded(ControlId field) override;

private:
    // How a change of run state reaches the user: whether the tray icon is
    // added (at start-up) or updated, what becomes of the window, and
    // whether the timer and the status label follow (start-up and a failed
    // composition set some of those themselves).
    enum class TrayChange { Add, Update };
    enum class WindowChange { Keep, Hide, Show };
    struct Marks {
        TrayChange tray;
        WindowChange window;
        bool switchTimer;
        bool setLabel;
    };
    // Start-up.
    void PlaceNearScreenCorner();
    void LoadSettings();

    // Run state (run_state.cpp).
    void ShowRunState(RunState state, Marks marks);
    void Start();
    void Stop();
    // Composes once; on failure switches to Paused, logs the path and the
    // reason, tells the user once and brings the window up. Does nothing
    // while a message box or dialog waits.
    void Compose();
    ComposePaths Paths() const;

    // Tray (tray.cpp).
    TrayIcon TrayIconOf(RunState state) const;
    void Exit();

    // Pickers (pickers.cpp).
    void PickInto(const PathRow& row);
    std::optional<std::string> ChooseFile(const PathRow& row);
    std::optional<std::string> ChooseFolder();

    // Viewing, help, credits (viewing.cpp).
    void View(const PathRow& row);
    void OpenHelp();
    void OpenCreditsLink();
    // Where the desktop could not open something, tells the user which and
    // why (where the edition's users expect it).
    void ReportOpen(OpenResult result, const std::string& what);

    // Settings, the log and the user's messages.
    void SaveSettings();
    fs::Result WriteSettings();
    void ReportSaveFailure(const fs::Result& failure, bool tell = true);
    void LogFailure(std::string_view what, std::string_view file, std::string_view why);
    // The program's error box. While another box or a dialog waits, nothing
    // more is shown: the log has it.
    void Tell(const std::string& text);

    ITextField& Field(const PathRow& row) const;

    // While a message box or dialog of the program waits for the user, no
    // composition runs: a wait that holds the timer switches it off and back
    // on afterwards, unless the run state changed meanwhile; a wait that does
    // not (the folder chooser) only keeps ticks from composing.
    class ModalWait {
    public:
        ModalWait(MainWindow& window, bool holdTimer);
        ~ModalWait();
        ModalWait(const ModalWait&) = delete;
        ModalWait& operator=(const ModalWait&) = delete;

    private:
        MainWindow& window_;
        bool holdTimer_;
    };
    // Switches the compose timer, or, while a wait holds it, the state it
    // returns to.
    void SwitchComposeTimer(bool on);

    // Ends an edit of a path field: a composition that waited for it runs.
    void EndEdit();

    IDesktop& desktop_;
    RandomSource& random_;
    const Conventions conventions_;

    std::unique_ptr<IWindowView> window_;
    // The six path fields, in settings-file order.
    std::array<std::unique_ptr<ITextField>, 6> pathFields_;
    std::unique_ptr<ICreditsLine> creditsLine_;
    std::unique_ptr<ICheckBox> autoRunBox_;
    std::unique_ptr<ILabel> statusLabel_;
    std::unique_ptr<ITimer> composeTimer_;
    std::unique_ptr<ITimer> creditsTimer_;

    RunState shownState_ = RunState::Paused;  // what the tray and the window's icon show
    bool trayIconAdded_ = false;
    // Exit saves, then the closing saves again: one failure, one message.
    bool exitSaveFailed_ = false;
    // The settings file exists but could not be read at start-up: the
    // fields do not hold the user's settings, so only a save the user asks
    // for may write the file; Exit and the closing leave it alone.
    bool settingsUnread_ = false;
    // A path field being edited: ticks do not compose from half-typed text.
    std::optional<ControlId> editing_;
    bool composeAfterEdit_ = false;
    int waits_ = 0;  // message boxes and dialogs waiting for the user
    int holds_ = 0;  // those of them that hold the compose timer
    bool runAfterHold_ = false;
};

}  // namespace tessaly
