#include "app_fixture.h"

namespace tessaly::testing {
namespace {

using ::testing::ElementsAre;

TrayRecordBytes Expected(std::uint32_t icon, std::string_view tip) {
    TrayRecordBytes bytes{};
    const std::uint32_t ints[6] = {88, headless::kWindowHandle, 1, 7, 512, icon};
    for (std::size_t i = 0; i < 6; ++i) {
        for (std::size_t b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<std::uint8_t>(ints[i] >> (8 * b));
    }
    for (std::size_t i = 0; i < 64; ++i) bytes[24 + i] = ' ';
    for (std::size_t i = 0; i < tip.size(); ++i) bytes[24 + i] = static_cast<std::uint8_t>(tip[i]);
    bytes[24 + tip.size()] = 0;
    return bytes;
}

TEST_F(AppTest, TheShellReceivesTheEightyEightBytesOfEachState) {
    Start(1);
    ASSERT_EQ(platform.trayCalls.size(), 1u);
    const TrayRecordBytes running = platform.trayCalls[0].record;
    EXPECT_EQ(running, Expected(headless::kRunIconHandle, "Tessaly Running"));
    // Spelled out once: size 88, handle, id 1, flags 7, message 512.
    EXPECT_EQ(running[0], 88);
    EXPECT_EQ(running[4], 0xF4);
    EXPECT_EQ(running[5], 0x01);
    EXPECT_EQ(running[6], 0x0A);
    EXPECT_EQ(running[16], 0x00);
    EXPECT_EQ(running[17], 0x02);
    EXPECT_EQ(running[24 + 15], 0);
    EXPECT_EQ(running[24 + 16], ' ');
    EXPECT_EQ(running[87], ' ');

    form->cmdStop_Click();
    const TrayRecordBytes paused = platform.trayCalls.back().record;
    EXPECT_EQ(paused, Expected(headless::kPauseIconHandle, "Tessaly Paused"));
    // Only the icon handle and the tip differ between the states.
    for (std::size_t i = 0; i < 20; ++i) EXPECT_EQ(running[i], paused[i]) << i;

    // The removals pass the record as last filled.
    form->mnuExit_Click();
    ASSERT_GE(platform.trayCalls.size(), 4u);
    const auto& last = platform.trayCalls;
    EXPECT_EQ(last[last.size() - 2].message, NotifyIconMessage::Delete);
    EXPECT_EQ(last[last.size() - 2].record, paused);
    EXPECT_EQ(last.back().message, NotifyIconMessage::Delete);
    EXPECT_EQ(last.back().record, paused);
}

TEST(TrayIconRecordTest, ATipTooLongIsCutSoThatItsNulStillFits) {
    TrayIconRecord record;
    const std::string tip(70, 'x');
    record.Fill(1, 2, tip);
    EXPECT_EQ(record.Tip(), std::string(63, 'x'));
    EXPECT_EQ(record.bytes[87], 0);
    record.Fill(0x11223344, 0xAABBCCDD, "");
    EXPECT_EQ(record.Field(4), 0x11223344u);
    EXPECT_EQ(record.Field(20), 0xAABBCCDDu);
    EXPECT_EQ(record.bytes[24], 0);
    EXPECT_EQ(record.bytes[25], ' ');
}

TEST_F(AppTest, OnlyADoubleClickAndARightReleaseOnTheIconAct) {
    Start(1);
    form->cmdStart_Click();  // hides the window
    const auto tray = [&](float x) { form->Form_MouseMove(0, 0, x, 0, MouseMoveSource::TrayCallback); };

    // Plain moves, presses, single clicks and other buttons do nothing.
    auto mark = platform.log.size();
    for (const int code : {512, 513, 514, 516, 518, 519, 520, 521}) tray(code * 15.0f);
    // Halves go to the even neighbour: 514.5 is 514 and 516.5 is 516.
    tray(514.5f * 15.0f);
    tray(516.5f * 15.0f);
    tray(515 * 15.0f + 7.5f);  // 515.5: 516
    // A real mouse move over the window at pixel 515 is no tray event.
    form->Form_MouseMove(0, 0, 515 * 15.0f, 0, MouseMoveSource::Window);
    form->Form_MouseMove(0, 0, 517 * 15.0f, 0, MouseMoveSource::Window);
    EXPECT_TRUE(platform.Since(mark).empty());
    EXPECT_FALSE(platform.WindowVisible());

    // Left double-click: normal state, to the front, shown.
    mark = platform.log.size();
    tray(515 * 15.0f + 7.0f);  // 515.47: 515
    EXPECT_THAT(platform.Since(mark),
                ElementsAre("window.WindowState=0", "SetForegroundWindow(000A01F4)", "window.Show"));
    EXPECT_TRUE(platform.WindowVisible());

    // Right release: to the front, then the menu of the current state.
    mark = platform.log.size();
    tray(517 * 15.0f - 7.4f);  // 516.51: 517
    EXPECT_THAT(platform.Since(mark),
                ElementsAre("SetForegroundWindow(000A01F4)",
                            "PopupMenu[Open Tessaly|-|Pause|Refresh|-|Help|-|Exit]"));

    // Choosing Pause runs its handler: saved, then Paused.
    platform.menuAnswers.push_back(ControlId::mnuPause);
    tray(517 * 15.0f);
    EXPECT_TRUE(SavedSinceStored());
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    mark = platform.log.size();
    tray(517 * 15.0f);
    EXPECT_EQ(platform.Since(mark).back(), "PopupMenu[Open Tessaly|-|Resume|Refresh|-|Help|-|Exit]");

    // At 12 twips per pixel the same codes are found.
    platform.twipsPerPixelX = 12.0f;
    form->cmdStop_Click();
    tray(515 * 12.0f);
    EXPECT_TRUE(platform.WindowVisible());
}

TEST_F(AppTest, OpenOnlyShowsTheWindow) {
    Start(0);
    form->cmdStop_Click();
    const auto mark = platform.log.size();
    form->Click(ControlId::mnuDisplay);
    EXPECT_THAT(platform.Since(mark), ElementsAre("window.Show"));
    EXPECT_TRUE(platform.WindowVisible());
}

TEST_F(AppTest, ExitSavesRemovesTheIconUnloadsAndEnds) {
    Start(1);
    platform.Check(0);
    const auto mark = platform.log.size();
    platform.menuAnswers.push_back(ControlId::mnuExit);
    form->Form_MouseMove(0, 0, 517 * 15.0f, 0, MouseMoveSource::TrayCallback);

    EXPECT_THAT(platform.Only({"Shell_NotifyIconA", "UnloadMainWindow", "EndProgram", "Timer1.Tick"}, mark),
                ElementsAre("Shell_NotifyIconA(NIM_DELETE, imgRun, Tessaly Running)", "UnloadMainWindow",
                            "Shell_NotifyIconA(NIM_DELETE, imgRun, Tessaly Running)", "EndProgram"));
    EXPECT_TRUE(platform.unloaded);
    EXPECT_TRUE(platform.ended);
    EXPECT_FALSE(platform.TrayIconPresent());
    EXPECT_EQ(SettingsLines()[6], "0");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(AppTest, UnloadingByOtherMeansSavesAndRemovesTheIcon) {
    Start(0);
    platform.Type(ControlId::txtQF1, "changed");
    platform.UnloadMainWindow();
    EXPECT_EQ(SettingsLines()[2], "\"changed\"");
    EXPECT_FALSE(platform.TrayIconPresent());
    EXPECT_EQ(platform.trayCalls.back().message, NotifyIconMessage::Delete);
}

TEST_F(AppTest, ARecreatedTaskbarGetsTheIconOfTheCurrentStateBack) {
    Start(0);
    form->cmdStart_Click();
    platform.RecreateTaskbar();
    EXPECT_TRUE(platform.TrayIconPresent());
    EXPECT_EQ(platform.trayCalls.back().message, NotifyIconMessage::Add);
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Running");
    EXPECT_EQ(IconOf(platform.TrayIconShown()), headless::kRunIconHandle);

    form->cmdStop_Click();
    platform.RecreateTaskbar();
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Paused");

    // After the icon has been removed for good, nothing brings it back.
    int cancel = 0;
    form->Form_Unload(cancel);
    const auto calls = platform.trayCalls.size();
    platform.RecreateTaskbar();
    EXPECT_EQ(platform.trayCalls.size(), calls);
    EXPECT_FALSE(platform.TrayIconPresent());
}

TEST_F(AppTest, ClickReachesTheHandlerOfEveryClickableControl) {
    Start(0);
    form->Click(ControlId::cmdStart);
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));
    form->Click(ControlId::cmdStop);
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    form->Click(ControlId::cmdCreateS);
    EXPECT_EQ(ReadBytes(signaturePath), composed);
    form->Click(ControlId::cmdHelp);
    form->Click(ControlId::mnuHelp);
    EXPECT_EQ(platform.shellCalls.size(), 2u);
    form->Click(ControlId::txtCompliments);
    EXPECT_EQ(platform.shellCalls.size(), 3u);
    form->Click(ControlId::cmdQF3);
    EXPECT_EQ(platform.browseCalls.size(), 1u);
    form->Click(ControlId::cmdSignature);
    form->Click(ControlId::mnuRefresh);
    form->Click(ControlId::mnuResume);
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));
    form->Click(ControlId::mnuPause);
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));

    const auto mark = platform.log.size();
    for (const auto id : {ControlId::chkAS, ControlId::lblStatus, ControlId::txtQF1, ControlId::SEP1,
                          ControlId::mnuFile, ControlId::Timer1, ControlId::frmSignature}) {
        form->Click(id);
    }
    EXPECT_TRUE(platform.Since(mark).empty());
    form->Click(ControlId::mnuExit);
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace tessaly::testing
