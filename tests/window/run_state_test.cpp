// Start-up, Running and Paused, the tray icon and its menu, Exit and closing.
#include "headless/headless_desktop.h"

namespace tessaly::test {
namespace {

class StartUp : public WindowTest, public ::testing::WithParamInterface<int> {};

// Only a ticked box (1) starts Running; cleared (0) and grayed (2) start
// Paused, and the box keeps the stored value. The icon is in the tray before
// the window comes up.
TEST_P(StartUp, ShowsTheStoredSettingsAndRunsOnlyWhenTicked) {
    const bool ticked = GetParam() == 1;
    Start(GetParam());
    EXPECT_EQ(ReadBytes(signature), ticked ? std::optional(composed) : std::nullopt);
    ExpectMarks(ticked ? RunState::Running : RunState::Paused);
    EXPECT_EQ(desktop.AutoRun(), GetParam());
    const auto stored = ParseSettings(Settings(0)).paths;
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(desktop.Text(kPathFields[i]), stored[i]);
    EXPECT_TRUE(desktop.errors.empty());
    EXPECT_FALSE(desktop.trayCalls.at(0).windowVisible);
    EXPECT_TRUE(desktop.Window().visible);
}

INSTANTIATE_TEST_SUITE_P(ClearedTickedGrayed, StartUp, ::testing::Values(0, 1, 2));

TEST_F(WindowTest, PlacesTheWindow800TwipsInsideTheScreensCorner) {
    desktop.screen = {19200.0f, 14400.0f};
    desktop.windowSize = {6790.3f, 3791.7f};
    Start(0);
    EXPECT_EQ(desktop.Window().top, 14400.0f - (3791.7f + 800.0f));
    EXPECT_EQ(desktop.Window().left, 19200.0f - (6790.3f + 800.0f));
}

// The cleared box reaches the file only with the next save.
TEST_F(WindowTest, AFailedFirstCompositionStartsPausedWithTheWindowUp) {
    Start(1, {{2, dir.Path("missing.txt")}});
    ASSERT_EQ(desktop.errors.size(), 1u);
    ExpectMarks(RunState::Paused);
    EXPECT_EQ(desktop.AutoRun(), 0);
    EXPECT_TRUE(desktop.Window().visible);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(1, {{2, dir.Path("missing.txt")}}));
    Menu(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, dir.Path("missing.txt")}}));
}

// The first run finds no settings: the fields name the quotes and samples
// shipped beside the program, which compose.
TEST_F(WindowTest, FirstRunShowsTheBundledSamplesWhichCompose) {
    stdfs::copy(TESSALY_BUNDLE_DIR "/quotes", dir.Path("quotes"), stdfs::copy_options::recursive);
    stdfs::copy(TESSALY_BUNDLE_DIR "/samples", dir.Path("samples"), stdfs::copy_options::recursive);
    Launch();
    const std::string shipped[] = {"samples/template.htm", "samples/signature.htm", "quotes/quotes1.txt",
                                   "quotes/quotes2.txt",   "samples/html1",         "samples/html2"};
    SettingsValues values;
    for (std::size_t i = 0; i < 6; ++i) {
        values.paths[i] = dir.Path(shipped[i]);
        EXPECT_EQ(desktop.Text(kPathFields[i]), values.paths[i]);
    }
    EXPECT_EQ(desktop.AutoRun(), 0);
    EXPECT_FALSE(stdfs::exists(dir.Path("data")));
    Press(C::CreateNowButton);
    EXPECT_TRUE(desktop.errors.empty());
    EXPECT_TRUE(stdfs::exists(values.paths[1]));
    Menu(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), FormatSettings(values));
}

// An installed copy whose first settings could not be written beforehand
// still never writes into its program folder.
TEST_F(WindowTest, FirstRunWithSettingsKeptApartPutsTheSignatureBesideThem) {
    ScratchFolder user;
    desktop.settingsFile = user.Path("data.sfc");
    Launch();
    EXPECT_EQ(desktop.Text(C::SignatureField), user.Path("signature.htm"));
    EXPECT_EQ(desktop.Text(C::TemplateField), dir.Path("samples/template.htm"));
}

// The label leads the Running switch; the tray hears of it before the window
// hides and the timer starts.
TEST_F(WindowTest, StartSwitchesEveryMarkLabelFirstAndHides) {
    Start(0);
    Press(C::StartButton);
    EXPECT_EQ(desktop.trayCalls.back(), (Seen{"Running!", false, true, Settings(0)}));
    ExpectMarks(RunState::Running);
    EXPECT_FALSE(desktop.Window().visible);
}

// The label trails the Paused switch: the tray changes while it still reads
// "Running!", the window is up and the timer runs.
TEST_F(WindowTest, StopSwitchesEveryMarkLabelLastAndHides) {
    Start(1);
    Press(C::StopButton);
    EXPECT_EQ(desktop.trayCalls.back(), (Seen{"Running!", true, true, Settings(1)}));
    ExpectMarks(RunState::Paused);
    EXPECT_FALSE(desktop.Window().visible);
}

TEST_F(WindowTest, RunningComposesEveryThreeSeconds) {
    Start(0);
    Press(C::StartButton);
    desktop.Advance(2999);
    EXPECT_FALSE(stdfs::exists(signature));
    desktop.Advance(1);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(WindowTest, SwitchesSaveNothingAndPausedComposesNothing) {
    Start(1);
    Mark();
    stdfs::remove(signature);
    Press(C::StopButton);
    Press(C::StopButton);
    desktop.Advance(9000);
    EXPECT_FALSE(stdfs::exists(signature));
    Press(C::StartButton);
    EXPECT_FALSE(Saved());
}

// The timer is off before the message comes up: however long it stays up,
// no tick composes and no second message stacks on it.
TEST_F(WindowTest, AFailingTickPausesTellsOnceAndBringsTheWindowUp) {
    Start(0);
    dir.Write("q1.txt", "");
    dir.Write("signature.htm", "the previous signature");
    Press(C::AutoRunBox);
    Press(C::StartButton);
    desktop.Advance(3000);
    ASSERT_EQ(desktop.errors.size(), 1u);
    const auto& box = desktop.errors[0];
    EXPECT_EQ(box.title, "Tessaly Error");
    EXPECT_EQ(box.text, "File or Path Error. Ensure that all your file paths are correct and that the files exist!\n\n"
                        "quote file 1 (Select Quote1): " + quote1 + " (empty file)");
    EXPECT_EQ(box.seen, (Seen{"Paused!", false, false, Settings(0)}));
    EXPECT_EQ(ReadBytes(signature), "the previous signature");
    EXPECT_EQ(desktop.AutoRun(), 0);
    ExpectMarks(RunState::Paused);
    EXPECT_TRUE(desktop.Window().visible);
}

TEST_F(WindowTest, CreateNowComposesOnceTheSourceIsMendedAndStaysPaused) {
    Start(0);
    dir.Write("q1.txt", "");
    Press(C::CreateNowButton);
    dir.Write("q1.txt", "First line");
    Press(C::CreateNowButton);
    EXPECT_EQ(ReadBytes(signature), composed);
    ExpectMarks(RunState::Paused);
}

// A user typing a path while Running meets no message and loses nothing: the
// composition waits for the edit to end.
TEST_F(WindowTest, TicksWaitWhileAPathIsBeingTyped) {
    Start(1);
    desktop.events.FieldEdited(C::Quote1Field);
    desktop.Type(C::Quote1Field, dir.Path("q"));
    desktop.Advance(9000);
    EXPECT_TRUE(desktop.errors.empty());
    EXPECT_EQ(desktop.AutoRun(), 1);
    ExpectMarks(RunState::Running);
    WriteBytes(signature, "before");
    desktop.Type(C::Quote1Field, quote1);
    desktop.events.FieldEditEnded(C::Quote1Field);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(WindowTest, HidingTheWindowEndsAnEdit) {
    Start(0);
    desktop.events.FieldEdited(C::TemplateField);
    Press(C::StartButton);
    desktop.Advance(3000);
    EXPECT_EQ(ReadBytes(signature), composed);
}

TEST_F(WindowTest, TrayOpenRestoresTheWindowInFrontAndOpenShowsItAsItWas) {
    Start(1);
    Press(C::StartButton);  // to the tray
    desktop.Minimise();
    desktop.events.TrayOpenRequested();
    EXPECT_TRUE(desktop.Window().visible);
    EXPECT_FALSE(desktop.Window().minimised);
    EXPECT_TRUE(desktop.Window().inFront);
    Press(C::StartButton);
    desktop.Minimise();
    Menu(C::OpenItem);
    EXPECT_TRUE(desktop.Window().visible);
    EXPECT_TRUE(desktop.Window().minimised);
}

// The menu offers Pause while Running and Resume while Paused; either saves
// before the tray changes.
TEST_F(WindowTest, PauseAndResumeInTheMenuSaveThenSwitch) {
    Start(1);
    for (const auto& [item, state] : {std::pair{C::PauseItem, RunState::Paused}, std::pair{C::ResumeItem, RunState::Running}}) {
        Mark();
        Menu(item);
        EXPECT_EQ(desktop.trayCalls.back().settings, Settings(1)) << Row(item).name;
        ExpectMarks(state);
    }
    EXPECT_EQ(desktop.menus, (std::vector<std::string>{"Open Tessaly|-|Pause|Refresh|-|Help|-|Exit",
                                                       "Open Tessaly|-|Resume|Refresh|-|Help|-|Exit"}));
}

// The failing composition's message comes up with the typed path on disk.
TEST_F(WindowTest, RefreshSavesBeforeComposing) {
    Start(0);
    desktop.Type(C::Quote1Field, dir.Path("missing.txt"));
    Menu(C::RefreshItem);
    ASSERT_EQ(desktop.errors.size(), 1u);
    EXPECT_EQ(desktop.errors[0].seen.settings, Settings(0, {{2, dir.Path("missing.txt")}}));
}

TEST_F(WindowTest, NeitherComposingNorViewingNorHelpSaves) {
    Start(0);
    Mark();
    Press(C::CreateNowButton);
    Press(C::HelpButton);
    Menu(C::HelpItem);
    desktop.events.HelpRequested(C::Quote1Field);
    desktop.events.ViewRequested(C::TemplateField);
    desktop.events.PointerOver(C::CreditsLine);
    Press(C::CreditsLine);
    desktop.events.TrayOpenRequested();
    EXPECT_FALSE(Saved());
}

TEST_F(WindowTest, ARestartedTrayHostGetsTheIconOfTheCurrentState) {
    Start(0);
    Press(C::StartButton);
    desktop.RestartTrayHost();
    ExpectMarks(RunState::Running);
}

// What the window holds goes to the file, quotes inside a path unescaped.
TEST_F(WindowTest, ExitSavesRemovesTheIconAndEnds) {
    Start(1);
    desktop.Type(C::Quote1Field, "");
    desktop.Type(C::Quote2Field, "with \"quotes\" inside");
    Press(C::AutoRunBox);
    Menu(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, ""}, {3, "with \"quotes\" inside"}}));
    EXPECT_EQ(dir.Entries("data"), std::set<std::string>{"data.sfc"});  // replaced whole
    EXPECT_FALSE(desktop.Tray().has_value());
    EXPECT_TRUE(desktop.closed);
    EXPECT_TRUE(desktop.ended);
}

TEST_F(WindowTest, ClosingTheWindowSavesAndTheIconStaysGone) {
    Start(0);
    desktop.Type(C::Quote1Field, "changed");
    desktop.CloseWindow();
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, "changed"}}));
    EXPECT_FALSE(desktop.Tray().has_value());
    desktop.RestartTrayHost();
    EXPECT_FALSE(desktop.Tray().has_value());
}

}  // namespace
}  // namespace tessaly::test
