#include "app_fixture.h"

namespace tessaly::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(AppTest, StartWritesTheLabelFirstAndStopWritesItLast) {
    Start(0);
    form->mnuDisplay_Click();

    std::size_t mark = platform.log.size();
    form->cmdStart_Click();
    const std::vector<std::string> running{
        "lblStatus.Caption=Running!",
        "window.Icon=imgRun",
        "mnuResume.Visible=0",
        "mnuPause.Visible=1",
        "Shell_NotifyIconA(NIM_MODIFY, imgRun, Tessaly Running)",
        "window.Hide",
        "Timer1.Enabled=1",
    };
    EXPECT_EQ(platform.Since(mark), running);
    EXPECT_FALSE(platform.WindowVisible());
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Running");
    // The switch itself composes nothing; the first tick does, 3000 ms on.
    EXPECT_FALSE(Exists(signaturePath));
    platform.Advance(2999);
    EXPECT_FALSE(Exists(signaturePath));
    platform.Advance(1);
    EXPECT_EQ(ReadBytes(signaturePath), composed);

    // Start again while Running: every step again, the state unchanged.
    mark = platform.log.size();
    form->cmdStart_Click();
    EXPECT_EQ(platform.Since(mark), running);
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));

    mark = platform.log.size();
    form->cmdStop_Click();
    const std::vector<std::string> paused{
        "window.Icon=imgPause",
        "mnuResume.Visible=1",
        "mnuPause.Visible=0",
        "Shell_NotifyIconA(NIM_MODIFY, imgPause, Tessaly Paused)",
        "window.Hide",
        "Timer1.Enabled=0",
        "lblStatus.Caption=Paused!",
    };
    EXPECT_EQ(platform.Since(mark), paused);
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Paused");
    stdfs::remove(signaturePath);
    platform.Advance(9000);
    EXPECT_FALSE(Exists(signaturePath));

    mark = platform.log.size();
    form->cmdStop_Click();
    EXPECT_EQ(platform.Since(mark), paused);
    EXPECT_FALSE(SavedSinceStored());
}

TEST_F(AppTest, CreateNowComposesOnceAndLeavesThePausedStateAlone) {
    Start(0);
    const auto mark = platform.log.size();
    form->cmdCreateS_Click();
    EXPECT_EQ(ReadBytes(signaturePath), composed);
    EXPECT_TRUE(platform.Since(mark).empty());  // nothing on screen or tray changes
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    EXPECT_FALSE(SavedSinceStored());

    // Refresh from the tray saves first, then composes.
    stdfs::remove(signaturePath);
    platform.Type(ControlId::txtQF2, "typed by hand");
    form->mnuRefresh_Click();
    EXPECT_EQ(ReadBytes(signaturePath), composed);
    EXPECT_EQ(SettingsLines()[3], "\"typed by hand\"");
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
}

TEST_F(AppTest, TrayResumeAndPauseSaveFirstThenSwitch) {
    Start(0);
    platform.Check(1);
    form->mnuResume_Click();
    EXPECT_TRUE(SavedSinceStored());
    EXPECT_EQ(SettingsLines()[6], "1");
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));
    EXPECT_EQ(platform.Status(), "Running!");

    StoreSettings(Working(1));
    platform.Check(0);
    form->mnuPause_Click();
    EXPECT_TRUE(SavedSinceStored());
    EXPECT_EQ(SettingsLines()[6], "0");
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    EXPECT_EQ(platform.Status(), "Paused!");
}

TEST_F(AppTest, FailedCompositionPausesTellsOnceAndShowsTheWindow) {
    Start(1);
    ASSERT_TRUE(platform.TimerOn(ControlId::Timer1));
    form->cmdStop_Click();
    form->cmdStart_Click();
    ASSERT_FALSE(platform.WindowVisible());
    WriteBytes(signaturePath, "the previous signature");
    WriteBytes(quote1Path, "");  // an empty quote file fails

    // While the message box is up the timer is off: however long the user
    // waits, no tick composes and no second box stacks on the first.
    bool timerOffWhileUp = false;
    int boxesUp = 0;
    platform.whileModal = [&](const std::string& what) {
        if (!what.starts_with("MsgBox") || ++boxesUp > 1) return;
        timerOffWhileUp = !platform.TimerOn(ControlId::Timer1);
        platform.Advance(60000);
    };
    const auto mark = platform.log.size();
    platform.Advance(3000);

    EXPECT_EQ(platform.Since(mark), (std::vector<std::string>{
                                        "Timer1.Tick",
                                        "chkAS.Value=0",
                                        "lblStatus.Caption=Paused!",
                                        "Timer1.Enabled=0",
                                        "MsgBox(48, Tessaly Error)",
                                        "window.Refresh",
                                        "window.Icon=imgPause",
                                        "mnuPause.Visible=0",
                                        "mnuResume.Visible=1",
                                        "Shell_NotifyIconA(NIM_MODIFY, imgPause, Tessaly Paused)",
                                        "window.Show",
                                    }));
    EXPECT_TRUE(timerOffWhileUp);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text,
              "File or Path Error. Ensure that all your file paths are correct and that the files exist!");
    EXPECT_EQ(platform.messageBoxes[0].title, "Tessaly Error");
    EXPECT_EQ(platform.messageBoxes[0].style, 48);
    EXPECT_EQ(ReadBytes(signaturePath), "the previous signature");
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Paused");
    EXPECT_EQ(IconOf(platform.TrayIconShown()), headless::kPauseIconHandle);

    // Nothing saved yet; the next save stores the cleared check box, so the
    // next start is Paused.
    EXPECT_FALSE(SavedSinceStored());
    platform.whileModal = nullptr;
    form->cmdQF1_Click();  // Cancel in the dialog: saves all the same
    EXPECT_EQ(SettingsLines()[6], "0");

    // The failure left no file open: filled again, the quote file composes.
    WriteBytes(quote1Path, "First line");
    form->cmdCreateS_Click();
    EXPECT_EQ(ReadBytes(signaturePath), composed);
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
}

// Each user event, and whether it writes the settings file.
TEST_F(AppTest, OnlyPickersTrayItemsExitAndUnloadSave) {
    Start(0);
    struct Event {
        const char* name;
        std::function<void()> run;
        bool saves;
    };
    const std::vector<Event> events{
        {"Start", [&] { form->cmdStart_Click(); }, false},
        {"tick", [&] { platform.Advance(3000); }, false},
        {"Stop", [&] { form->cmdStop_Click(); }, false},
        {"create now", [&] { form->cmdCreateS_Click(); }, false},
        {"tick the check box", [&] { platform.Check(1); }, false},
        {"type into a field", [&] { platform.Type(ControlId::txtQF2, quote2Path); }, false},
        {"Open", [&] { form->mnuDisplay_Click(); }, false},
        {"Help button", [&] { form->cmdHelp_Click(); }, false},
        {"tray Help", [&] { form->mnuHelp_Click(); }, false},
        {"F1", [&] { form->Form_ContextHelp(ControlId::txtQF1); }, false},
        {"double-click a field", [&] { form->txtTemplate_DblClick(); }, false},
        {"credits line", [&] { form->txtCompliments_MouseMove(); form->txtCompliments_Click(); }, false},
        {"tray double-click", [&] { form->Form_MouseMove(0, 0, 515 * 15.0f, 0, MouseMoveSource::TrayCallback); }, false},
        {"taskbar recreated", [&] { platform.RecreateTaskbar(); }, false},
        {"Resume", [&] { form->mnuResume_Click(); }, true},
        {"Pause", [&] { form->mnuPause_Click(); }, true},
        {"Refresh", [&] { form->mnuRefresh_Click(); }, true},
        {"Select Template", [&] { form->cmdTemplate_Click(); }, true},
        {"Select Signature", [&] { form->cmdSignature_Click(); }, true},
        {"Select Quote1", [&] { form->cmdQF1_Click(); }, true},
        {"Select Quote2", [&] { form->cmdQF2_Click(); }, true},
        {"Select htmPath1", [&] { form->cmdQF3_Click(); }, true},
        {"Select htmPath2", [&] { form->cmdQF4_Click(); }, true},
        {"unload", [&] { int cancel = 0; form->Form_Unload(cancel); }, true},
        {"Exit", [&] { form->mnuExit_Click(); }, true},
    };
    for (const auto& event : events) {
        StoreSettings(Working(0));
        event.run();
        EXPECT_EQ(SavedSinceStored(), event.saves) << event.name;
    }
    // What was typed and ticked reached the file with the saves.
    EXPECT_EQ(SettingsLines()[6], "1");
}

}  // namespace
}  // namespace tessaly::testing
