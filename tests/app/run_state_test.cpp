// Running and Paused: the switches, composing on demand, a failing
// composition, and which events write the settings.
#include <functional>
#include <utility>

#include "app_fixture.h"

namespace tessaly::test {
namespace {

TEST_F(AppTest, StartAndStopSwitchEveryMarkAndOnlyTheTimerComposes) {
    Start(0);
    Mark();
    Click(C::cmdStart);
    // The label leads the Running switch; the tray hears of it before the
    // window hides and the timer starts.
    EXPECT_EQ(platform.trayCalls.back().message, NotifyIconMessage::Modify);
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

    Menu(C::mnuDisplay);
    Click(C::cmdStop);
    // The label trails the Paused switch: the tray changes while it still
    // reads "Running!", the window is still up and the timer still runs.
    EXPECT_EQ(platform.trayCalls.back().seen, (Seen{"Running!", true, true, "unsaved"}));
    ExpectMarks(false);
    EXPECT_FALSE(platform.WindowVisible());
    stdfs::remove(signature);
    Click(C::cmdStop);  // again
    platform.Advance(9000);
    EXPECT_FALSE(stdfs::exists(signature));
    EXPECT_FALSE(Saved());
}

TEST_F(AppTest, CreateNowComposesOnceAndRefreshSavesBeforeComposing) {
    Start(0);
    Click(C::cmdCreateS);
    EXPECT_EQ(ReadBytes(signature), composed);
    EXPECT_FALSE(platform.TimerOn(C::Timer1));
    EXPECT_EQ(platform.trayCalls.size(), 1u);

    // The failing composition's message comes up with the fields on disk.
    platform.Type(C::txtQF1, dir.Path("missing.txt"));
    Menu(C::mnuRefresh);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    auto values = ParseSettings(Settings(0));
    values.paths[2] = dir.Path("missing.txt");
    EXPECT_EQ(platform.messageBoxes[0].seen.settings, FormatSettings(values));
}

TEST_F(AppTest, AFailingTickPausesTellsOnceAndBringsTheWindowUp) {
    Start(1);
    Click(C::cmdStart);  // to the tray
    dir.Write("signature.htm", "the previous signature");
    dir.Write("q1.txt", "");  // an empty quote file fails
    // However long the message stays up, no tick composes and no second
    // message stacks on it.
    platform.whileModal = [&, first = true](const std::string&) mutable {
        if (std::exchange(first, false)) platform.Advance(60000);
    };
    platform.Advance(3000);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    const auto& box = platform.messageBoxes[0];
    EXPECT_EQ(box.text, "File or Path Error. Ensure that all your file paths are correct and that the files exist!");
    EXPECT_EQ(box.title, "Tessaly Error");
    EXPECT_EQ(box.style, 48);
    EXPECT_EQ(box.seen, (Seen{"Paused!", false, false, Settings(1)}));
    EXPECT_EQ(ReadBytes(signature), "the previous signature");
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.CheckValue(), 0);
    ExpectMarks(false);

    // No file was left open: filled again, the quote file composes.
    dir.Write("q1.txt", "First line");
    Click(C::cmdCreateS);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(AppTest, OnlyPickersTrayItemsAndClosingSave) {
    Start(0);
    const std::pair<const char*, std::function<void()>> quiet[] = {
        {"Start", [&] { Click(C::cmdStart); }},
        {"a tick", [&] { platform.Advance(3000); }},
        {"Stop", [&] { Click(C::cmdStop); }},
        {"create now", [&] { Click(C::cmdCreateS); }},
        {"Help", [&] { Click(C::cmdHelp); Menu(C::mnuHelp); platform.Events().ContextHelp(C::txtQF1); }},
        {"double-click", [&] { platform.Events().DoubleClick(C::txtTemplate); }},
        {"credits", [&] { platform.Events().MouseOver(C::txtCompliments); Click(C::txtCompliments); }},
        {"tray double-click", [&] { Tray(515); }},
    };
    for (const auto& [name, run] : quiet) {
        Mark();
        run();
        EXPECT_FALSE(Saved()) << name;
    }
    // Resume and Pause save before the switch reaches the tray.
    for (const C item : {C::mnuResume, C::mnuPause}) {
        Mark();
        Menu(item);
        EXPECT_EQ(platform.trayCalls.back().seen.settings, Settings(0)) << Row(item).name;
    }
    Mark();
    Menu(C::mnuRefresh);
    EXPECT_TRUE(Saved());
    for (const C button : {C::cmdTemplate, C::cmdSignature, C::cmdQF1, C::cmdQF2, C::cmdQF3, C::cmdQF4}) {
        Mark();
        Click(button);
        EXPECT_EQ(ReadBytes(settingsFile), Settings(0)) << Row(button).name;
    }
    Mark();
    platform.UnloadMainWindow();
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0));
}

}  // namespace
}  // namespace tessaly::test
