#include "app_fixture.h"

namespace tessaly::testing {
namespace {

using ::testing::ElementsAre;

constexpr std::array kPathFields{ControlId::txtTemplate, ControlId::txtSignature, ControlId::txtQF1,
                                 ControlId::txtQF2,      ControlId::txtQF3,       ControlId::txtQF4};

TEST_F(AppTest, StartWithFlagOneComposesOnceThenRunsEveryThreeSeconds) {
    Start(1);

    // One composition during start-up, before the tray icon existed.
    EXPECT_EQ(ReadBytes(signaturePath), composed);
    EXPECT_THAT(platform.Only({"Timer1", "Shell_NotifyIconA", "window.Show"}),
                ElementsAre("Timer1.Enabled=1", "Shell_NotifyIconA(NIM_ADD, imgRun, Tessaly Running)",
                            "window.Show"));
    EXPECT_TRUE(platform.TrayIconPresent());
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Running");

    EXPECT_EQ(platform.Status(), "Running!");
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));
    EXPECT_TRUE(platform.MenuVisible(ControlId::mnuPause));
    EXPECT_FALSE(platform.MenuVisible(ControlId::mnuResume));
    EXPECT_EQ(platform.WindowIcon(), headless::kRunIconHandle);
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.CheckValue(), 1);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_FALSE(SavedSinceStored());

    // The next composition comes 3000 ms after the timer was switched on.
    stdfs::remove(signaturePath);
    platform.Advance(2999);
    EXPECT_FALSE(Exists(signaturePath));
    platform.Advance(1);
    EXPECT_EQ(ReadBytes(signaturePath), composed);
    stdfs::remove(signaturePath);
    platform.Advance(3000);
    EXPECT_TRUE(Exists(signaturePath));
}

class PausedStart : public AppTest, public ::testing::WithParamInterface<std::int16_t> {};

TEST_P(PausedStart, StaysPausedAndComposesNothing) {
    const std::int16_t flag = GetParam();
    Start(flag);

    EXPECT_FALSE(Exists(signaturePath));
    EXPECT_EQ(platform.Status(), "Paused!");
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    EXPECT_TRUE(platform.MenuVisible(ControlId::mnuResume));
    EXPECT_FALSE(platform.MenuVisible(ControlId::mnuPause));
    EXPECT_EQ(platform.WindowIcon(), headless::kPauseIconHandle);
    EXPECT_EQ(platform.CheckValue(), flag);  // the grayed state survives
    ASSERT_EQ(platform.trayCalls.size(), 1u);
    EXPECT_EQ(platform.trayCalls[0].message, NotifyIconMessage::Add);
    EXPECT_THAT(platform.Only({"Timer1", "Shell_NotifyIconA", "window.Show"}),
                ElementsAre("Shell_NotifyIconA(NIM_ADD, imgPause, Tessaly Paused)", "window.Show"));
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_FALSE(SavedSinceStored());

    platform.Advance(10000);
    EXPECT_FALSE(Exists(signaturePath));
}

INSTANTIATE_TEST_SUITE_P(ClearedAndGrayed, PausedStart, ::testing::Values(std::int16_t{0}, std::int16_t{2}));

TEST_F(AppTest, StartPlacesTheWindowAndReplacesEveryDesignTimeText) {
    platform.screenWidth = 19200.0f;
    platform.screenHeight = 14400.0f;
    platform.windowWidth = 6790.3f;
    platform.windowHeight = 3791.7f;
    Start(0);

    const float top = 14400.0f - (3791.7f + 800.0f);
    const float left = 19200.0f - (6790.3f + 800.0f);
    EXPECT_EQ(platform.WindowTop(), top);
    EXPECT_EQ(platform.WindowLeft(), left);
    // Top first, then left; both before the window is shown.
    EXPECT_THAT(platform.Only({"window.Top", "window.Left", "window.Show"}),
                ElementsAre(::testing::StartsWith("window.Top="), ::testing::StartsWith("window.Left="),
                            "window.Show"));

    const auto stored = Working(0).paths;
    for (std::size_t i = 0; i < kPathFields.size(); ++i) {
        EXPECT_EQ(platform.Text(kPathFields[i]), stored[i]);
        EXPECT_NE(platform.Text(kPathFields[i]), Row(kPathFields[i]).text);
    }
    EXPECT_NE(platform.Status(), "Status");
    EXPECT_EQ(form->HelpFile(), Join(Join(folder.Path(), "help"), "help.chm"));
    EXPECT_EQ(platform.TimerInterval(ControlId::Timer1), 3000u);
    EXPECT_EQ(platform.TimerInterval(ControlId::Timer2), 1000u);
}

TEST_F(AppTest, StartingWithEmptyStoredPathsShowsEmptyFieldsNotPrompts) {
    StoreSettings(SettingsValues{});
    Create();
    platform.StartProgram();
    for (const auto id : kPathFields) EXPECT_EQ(platform.Text(id), "") << Name(id);
    EXPECT_EQ(platform.Status(), "Paused!");
}

TEST_F(AppTest, FirstRunShowsTheBundledSamplesAndSavesNothingUntilAsked) {
    Create();
    platform.StartProgram();

    const std::string& app = folder.Path();
    EXPECT_EQ(platform.Text(ControlId::txtTemplate), Join(Join(app, "samples"), "template.htm"));
    EXPECT_EQ(platform.Text(ControlId::txtSignature), Join(Join(app, "samples"), "signature.htm"));
    EXPECT_EQ(platform.Text(ControlId::txtQF1), Join(Join(app, "quotes"), "quotes1.txt"));
    EXPECT_EQ(platform.Text(ControlId::txtQF2), Join(Join(app, "quotes"), "quotes2.txt"));
    EXPECT_EQ(platform.Text(ControlId::txtQF3), Join(Join(app, "samples"), "html1"));
    EXPECT_EQ(platform.Text(ControlId::txtQF4), Join(Join(app, "samples"), "html2"));
    EXPECT_EQ(platform.CheckValue(), 0);
    EXPECT_EQ(platform.Status(), "Paused!");
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_FALSE(Exists(Join(app, "data")));

    // The first save creates the data folder and stores the samples.
    form->mnuPause_Click();
    ASSERT_TRUE(Exists(SettingsPath()));
    const auto lines = SettingsLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "\"" + Join(Join(app, "samples"), "template.htm") + "\"");
    EXPECT_EQ(lines[6], "0");
}

TEST_F(AppTest, RunningStartWhoseCompositionFailsEndsPausedEverywhere) {
    MakeSources();
    auto values = Working(1);
    StoreSettings(values);
    stdfs::remove(quote1Path);
    WriteBytes(signaturePath, "the previous signature");
    Create();
    platform.StartProgram();

    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(ReadBytes(signaturePath), "the previous signature");
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));
    EXPECT_EQ(platform.Status(), "Paused!");
    EXPECT_EQ(platform.CheckValue(), 0);
    EXPECT_TRUE(platform.MenuVisible(ControlId::mnuResume));
    EXPECT_FALSE(platform.MenuVisible(ControlId::mnuPause));
    EXPECT_EQ(platform.WindowIcon(), headless::kPauseIconHandle);
    EXPECT_TRUE(platform.WindowVisible());
    // The icon that the shell finally shows says Paused, not Running.
    ASSERT_TRUE(platform.TrayIconPresent());
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Paused");
    EXPECT_EQ(IconOf(platform.TrayIconShown()), headless::kPauseIconHandle);
    EXPECT_THAT(platform.Only({"lblStatus"}), ElementsAre("lblStatus.Caption=Paused!", "lblStatus.Caption=Paused!"));

    // The stored flag stays until the next save, which stores the cleared box.
    EXPECT_FALSE(SavedSinceStored());
    EXPECT_EQ(SettingsLines()[6], "1");
    form->mnuRefresh_Click();
    EXPECT_EQ(SettingsLines()[6], "0");
}

}  // namespace
}  // namespace tessaly::testing
