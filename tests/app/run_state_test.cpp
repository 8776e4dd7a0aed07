// Running and Paused: the switches, composing on demand, a failing
// composition, and which events write the settings.
#include "app_fixture.h"

namespace tessaly::test {
namespace {

TEST_F(AppTest, StartAndStopSwitchEveryMarkOnlyTheTimerComposesAndARestartedTaskbarGetsTheIconBack) {
    Start(0);
    Mark();
    Click(C::cmdStart);
    // The label leads the Running switch; the tray hears of it before the
    // window hides and the timer starts.
    EXPECT_EQ(platform.trayCalls.back().seen, (Seen{"Running!", false, true, "unsaved"}));
    ExpectMarks(true);
    EXPECT_FALSE(platform.WindowVisible());
    platform.Advance(2999);
    EXPECT_FALSE(stdfs::exists(signature));
    platform.Advance(1);
    EXPECT_EQ(ReadBytes(signature), composed);
    Click(C::cmdStart);  // again: the same marks, still Running
    EXPECT_EQ(platform.trayCalls.size(), 3u);
    EXPECT_TRUE(platform.TimerOn(C::Timer1));
    platform.RecreateTaskbar();
    ASSERT_TRUE(platform.TrayIconPresent());
    EXPECT_EQ(Shown(), Record(true));

    Menu(C::mnuDisplay);
    Click(C::cmdStop);
    // The label trails the Paused switch: the tray changes while it still
    // reads "Running!", the window is still up and the timer still runs.
    EXPECT_EQ(platform.trayCalls.back().seen, (Seen{"Running!", true, true, "unsaved"}));
    ExpectMarks(false);
    EXPECT_FALSE(platform.WindowVisible());
    platform.RecreateTaskbar();
    EXPECT_EQ(Shown(), Record(false));
    stdfs::remove(signature);
    Click(C::cmdStop);  // again
    platform.Advance(9000);
    EXPECT_FALSE(stdfs::exists(signature));
    EXPECT_FALSE(Saved());

    // Closing the window by other means than Exit saves and removes the
    // icon, which a restarted taskbar then does not get back.
    platform.Type(C::txtQF1, "changed");
    platform.UnloadMainWindow();
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, "changed"}}));
    EXPECT_FALSE(platform.TrayIconPresent());
    platform.RecreateTaskbar();
    EXPECT_FALSE(platform.TrayIconPresent());
}

// A running start whose quote file is missing, then a tick whose quote file
// is empty: each failure ends Paused everywhere, tells once and brings the
// window up.
TEST_F(AppTest, AFailingCompositionAtStartOrOnATickPausesTellsOnceAndBringsTheWindowUp) {
    const std::string quotes = dir.Path("later.txt");
    Start(1, {{2, quotes}});
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    ASSERT_TRUE(platform.TrayIconPresent());
    ExpectMarks(false);
    EXPECT_EQ(platform.CheckValue(), 0);
    EXPECT_TRUE(platform.WindowVisible());

    dir.Write("later.txt", "");
    dir.Write("signature.htm", "the previous signature");
    platform.Check(1);
    Click(C::cmdStart);  // to the tray
    platform.Advance(3000);
    ASSERT_EQ(platform.messageBoxes.size(), 2u);
    const auto& box = platform.messageBoxes[1];
    EXPECT_EQ(box.text, "File or Path Error. Ensure that all your file paths are correct and that the files exist!");
    EXPECT_EQ(box.title, "Tessaly Error");
    EXPECT_EQ(box.style, 48);
    // The timer is off before the message comes up: however long it stays
    // up, no tick composes and no second message stacks on it.
    EXPECT_EQ(box.seen, (Seen{"Paused!", false, false, Settings(1, {{2, quotes}})}));
    EXPECT_EQ(ReadBytes(signature), "the previous signature");
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.CheckValue(), 0);
    ExpectMarks(false);

    // No file was left open: filled again, the quote file composes.
    dir.Write("later.txt", "First line");
    Click(C::cmdCreateS);
    EXPECT_EQ(ReadBytes(signature), composed);
    // The cleared box reaches the file with the next save.
    Menu(C::mnuExit);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, quotes}}));
}

// Start, a tick and Stop save nothing either: see the first test.
TEST_F(AppTest, CreateNowComposesOnceAndOnlyPickersAndTheTrayItemsThatSwitchOrRefreshSave) {
    Start(0);
    Mark();
    Click(C::cmdCreateS);
    EXPECT_EQ(ReadBytes(signature), composed);
    EXPECT_FALSE(platform.TimerOn(C::Timer1));
    EXPECT_EQ(platform.trayCalls.size(), 1u);
    Click(C::cmdHelp);
    Menu(C::mnuHelp);
    platform.Events().ContextHelp(C::txtQF1);
    platform.Events().DoubleClick(C::txtTemplate);
    platform.Events().MouseOver(C::txtCompliments);
    Click(C::txtCompliments);
    Tray(515);  // the double-click that shows the window
    EXPECT_FALSE(Saved());
    // Resume and Pause save before the switch reaches the tray.
    for (const C item : {C::mnuResume, C::mnuPause}) {
        Mark();
        Menu(item);
        EXPECT_EQ(platform.trayCalls.back().seen.settings, Settings(0)) << Row(item).name;
    }
    // Refresh saves before composing: the failing composition's message
    // comes up with the fields on disk.
    const std::string typed = Settings(0, {{2, dir.Path("missing.txt")}});
    platform.Type(C::txtQF1, dir.Path("missing.txt"));
    Menu(C::mnuRefresh);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].seen.settings, typed);
    for (const C button : {C::cmdTemplate, C::cmdSignature, C::cmdQF1, C::cmdQF2, C::cmdQF3, C::cmdQF4}) {
        Mark();
        Click(button);
        EXPECT_EQ(ReadBytes(settingsFile), typed) << Row(button).name;
    }
}

}  // namespace
}  // namespace tessaly::test
