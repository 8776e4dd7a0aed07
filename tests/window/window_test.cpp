// The window's logic on the headless desktop: start-up, Running and Paused,
// the tray icon and its menu, Exit and closing, the picker buttons, viewing a
// field's file, help, the credits line and the check box.
#include "headless/headless_desktop.h"

namespace tessaly::test {
namespace {

class StartUp : public WindowTest, public ::testing::WithParamInterface<int> {};

// Only a ticked box (1) starts Running; cleared (0) and grayed (2) start
// Paused, and the box keeps the stored value (grayed comes only from the
// file). The icon is in the tray before the window comes up, 800 twips
// inside the screen's corner.
TEST_P(StartUp, RunsOnlyWhenTheStoredBoxIsTicked) {
    const bool ticked = GetParam() == 1;
    desktop.screen = {19200.0f, 14400.0f};
    desktop.windowSize = {6790.3f, 3791.7f};
    Start(GetParam());
    EXPECT_EQ(ReadBytes(signature), ticked ? std::optional(composed) : std::nullopt);
    ExpectMarks(ticked ? RunState::Running : RunState::Paused);
    EXPECT_EQ(desktop.AutoRun(), GetParam());
    EXPECT_FALSE(desktop.trayCalls.at(0).windowVisible);
    EXPECT_EQ(desktop.Window().top, 14400.0f - (3791.7f + 800.0f));
    EXPECT_EQ(desktop.Window().left, 19200.0f - (6790.3f + 800.0f));
    Press(C::AutoRunBox);  // a click ticks a cleared or grayed box, and clears a ticked one
    EXPECT_EQ(desktop.AutoRun(), ticked ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(ClearedTickedGrayed, StartUp, ::testing::Values(0, 1, 2));

TEST_F(WindowTest, AFailedFirstCompositionStartsPaused) {
    Start(1, {{2, dir.Path("missing.txt")}});
    ASSERT_EQ(desktop.errors.size(), 1u);
    ExpectMarks(RunState::Paused);
    EXPECT_EQ(desktop.AutoRun(), 0);
}

// The first run finds no settings: the fields name the quotes and samples
// shipped beside the program (the end-to-end cases compose from them).
TEST_F(WindowTest, FirstRunShowsTheBundledSamples) {
    stdfs::copy(TESSALY_BUNDLE_DIR "/quotes", dir.Path("quotes"), stdfs::copy_options::recursive);
    stdfs::copy(TESSALY_BUNDLE_DIR "/samples", dir.Path("samples"), stdfs::copy_options::recursive);
    Launch();
    const std::string shipped[] = {"samples/template.htm", "samples/signature.htm", "quotes/quotes1.txt",
                                   "quotes/quotes2.txt",   "samples/html1",         "samples/html2"};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(desktop.Text(kPathFields[i]), dir.Path(shipped[i]));
    EXPECT_EQ(desktop.AutoRun(), 0);
}

// The label leads the Running switch and trails the Paused one: the tray
// hears of either while the label reads "Running!", before the window hides
// and the timer switches. A restarted tray host gets the icon back.
TEST_F(WindowTest, StartAndStopSwitchEveryMarkInOrderAndHide) {
    Start(0);
    Press(C::StartButton);
    EXPECT_EQ(desktop.trayCalls.back(), (Seen{"Running!", false, true, Settings(0)}));
    desktop.RestartTrayHost();
    ExpectMarks(RunState::Running);
    EXPECT_FALSE(desktop.Window().visible);
    Menu(C::OpenItem);
    Press(C::StopButton);
    EXPECT_EQ(desktop.trayCalls.back(), (Seen{"Running!", true, true, Settings(0)}));
    ExpectMarks(RunState::Paused);
    EXPECT_FALSE(desktop.Window().visible);
}

TEST_F(WindowTest, RunningComposesEveryThreeSecondsUntilStopped) {
    Start(0);
    Press(C::StartButton);
    desktop.Advance(2999);
    EXPECT_FALSE(stdfs::exists(signature));
    desktop.Advance(1);
    EXPECT_EQ(ReadBytes(signature), composed);
    stdfs::remove(signature);
    Press(C::StopButton);
    desktop.Advance(9000);
    EXPECT_FALSE(stdfs::exists(signature));
}

// The timer is off before the message comes up: however long it stays up,
// no tick composes and no second message stacks on it.
TEST_F(WindowTest, AFailingTickPausesUnderASingleMessage) {
    Start(0);
    dir.Write("q1.txt", "");
    Press(C::AutoRunBox);
    Press(C::StartButton);
    desktop.whileModal = [&](const std::string&) {
        if (desktop.errors.size() == 1) desktop.Advance(60000);  // the user takes a minute
    };
    desktop.Advance(3000);
    ASSERT_EQ(desktop.errors.size(), 1u);
    const auto& box = desktop.errors[0];
    EXPECT_EQ(box.title, "Tessaly Error");
    EXPECT_EQ(box.text, "File or Path Error. Ensure that all your file paths are correct and that the files exist!\n\n"
                        "quote file 1 (Select Quote1): " + quote1 + " (empty file)");
    EXPECT_EQ(box.seen, (Seen{"Paused!", false, false, Settings(0)}));
    EXPECT_EQ(desktop.AutoRun(), 0);
    ExpectMarks(RunState::Paused);
    EXPECT_TRUE(desktop.Window().visible);
}

// A user typing a path while Running meets no message and loses nothing: the
// composition waits for the edit to end, or for the window to hide.
TEST_F(WindowTest, TicksWaitWhileAPathIsBeingTyped) {
    Start(1);
    desktop.events.FieldEdited(C::Quote1Field);
    desktop.Type(C::Quote1Field, dir.Path("q"));
    desktop.Advance(9000);
    EXPECT_TRUE(desktop.errors.empty());
    WriteBytes(signature, "before");
    desktop.Type(C::Quote1Field, quote1);
    desktop.events.FieldEditEnded(C::Quote1Field);
    EXPECT_EQ(ReadBytes(signature), composed);
    desktop.events.FieldEdited(C::Quote1Field);
    WriteBytes(signature, "before");
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
// before the tray changes, and Refresh before it composes.
TEST_F(WindowTest, TheMenusItemsSaveBeforeTheyAct) {
    Start(1);
    for (const auto& [item, state] :
         {std::pair{C::PauseItem, RunState::Paused}, std::pair{C::ResumeItem, RunState::Running}}) {
        Mark();
        Menu(item);
        EXPECT_EQ(desktop.trayCalls.back().settings, Settings(1)) << Row(item).name;
        ExpectMarks(state);
    }
    EXPECT_EQ(desktop.menus, (std::vector<std::string>{"Open Tessaly|-|Pause|Refresh|-|Help|-|Exit",
                                                       "Open Tessaly|-|Resume|Refresh|-|Help|-|Exit"}));
    desktop.Type(C::Quote1Field, dir.Path("missing.txt"));
    Menu(C::RefreshItem);
    ASSERT_EQ(desktop.errors.size(), 1u);
    EXPECT_EQ(desktop.errors[0].seen.settings, Settings(1, {{2, dir.Path("missing.txt")}}));
}

// What the window holds goes to the file.
TEST_F(WindowTest, ExitEndsTheProgramWithTheWindowSaved) {
    Start(1);
    desktop.Type(C::Quote1Field, "");
    Press(C::AutoRunBox);
    Menu(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, ""}}));
    EXPECT_FALSE(desktop.Tray().has_value());
    EXPECT_TRUE(desktop.ended);
}

TEST_F(WindowTest, ClosingTheWindowSaves) {
    Start(0);
    desktop.Type(C::Quote1Field, "changed");
    desktop.CloseWindow();
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, "changed"}}));
}

using Kind = Choice::Kind;

// No tick composes while the dialog waits: the label says so, and the timer
// runs again afterwards. The tray is not told of a pause that lasts a dialog,
// but a Pause chosen meanwhile stands.
TEST_F(WindowTest, AFileDialogHoldsTheRunningTimer) {
    Start(1);
    Press(C::TemplateButton);
    EXPECT_EQ(desktop.fileDialogs.at(0).second.status, "Paused!");
    EXPECT_FALSE(desktop.fileDialogs[0].second.timerOn);
    EXPECT_TRUE(desktop.Running());
    EXPECT_EQ(desktop.Status(), "Running!");
    EXPECT_EQ(desktop.trayCalls.size(), 1u);
    desktop.whileModal = [&](const std::string& what) {
        if (what == "file") Menu(C::PauseItem);
    };
    Press(C::Quote1Button);
    EXPECT_FALSE(desktop.Running());
    EXPECT_EQ(desktop.Status(), "Paused!");
}

// A dialog may still report the name an earlier pick left in it.
TEST_F(WindowTest, EveryPickerSavesAtOnceAndACancelOrAFailureKeepsTheField) {
    Start(0);
    desktop.fileAnswers = {{Kind::Cancelled, quote1}, {Kind::Failed, quote1}, {Kind::Cancelled, quote1},
                           {Kind::Failed, quote1}};
    desktop.folderAnswers = {{Kind::Cancelled, ""}, {Kind::Failed, dir.Path("elsewhere")}};
    for (const C button : {C::TemplateButton, C::SignatureButton, C::Quote1Button, C::Quote2Button,
                           C::Html1Button, C::Html2Button}) {
        Mark();
        Press(button);
        EXPECT_EQ(ReadBytes(settingsFile), Settings(0)) << Row(button).name;
    }
}

// Document pickers start in the program's folder, quote pickers in its
// quotes. A chosen folder loses its trailing separator.
TEST_F(WindowTest, PickersStartInTheProgramsFoldersAndTheChoiceFillsTheField) {
    Start(0);
    const std::string file = dir.Path("quotes/more quotes.txt"), folder = dir.Path("fragments");
    desktop.fileAnswers = {{Kind::Chosen, file}};
    desktop.folderAnswers = {{Kind::Chosen, folder + std::string(1, fs::PathSeparator())}};
    Press(C::Quote2Button);
    Press(C::SignatureButton);
    Press(C::Html2Button);
    EXPECT_EQ(desktop.fileDialogs.at(0).first.folder, dir.Path("quotes"));
    EXPECT_EQ(desktop.fileDialogs[0].first.filters, (std::vector<FileFilter>{{"Text Files (*.txt)", {"*.txt"}}}));
    EXPECT_EQ(desktop.fileDialogs.at(1).first.folder, dir.Path());
    EXPECT_EQ(desktop.folderPrompts, std::vector<std::string>{"Select a folder and click OK!"});
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{3, file}, {5, folder}}));
}

TEST_F(WindowTest, WhereUsersExpectItTheDialogStartsInTheFieldsFolder) {
    conventions.pickFromTheFieldsFolder = true;
    Start(0, {{0, dir.Path("sub/template.htm")}, {1, dir.Path("nowhere/sig.htm")}});
    dir.Write("sub/template.htm", "x");
    Press(C::TemplateButton);
    Press(C::SignatureButton);
    EXPECT_EQ(desktop.fileDialogs.at(0).first.folder, dir.Path("sub"));
    EXPECT_EQ(desktop.fileDialogs.at(1).first.folder, fs::HomeFolder());
}

TEST_F(WindowTest, ViewingOpensTheFieldsTextAndKeepsTheTimerAsItWas) {
    Start(1);
    desktop.events.ViewRequested(C::Html1Field);
    desktop.events.ViewRequested(C::SignatureField);
    EXPECT_TRUE(desktop.Running());
    Press(C::StopButton);
    desktop.events.ViewRequested(C::TemplateField);
    EXPECT_FALSE(desktop.Running());
    EXPECT_EQ(desktop.opened, (std::vector<std::string>{dir.Path("html1"), signature, dir.Path("template.htm")}));
}

// The view key works from a path field and from the picker button beside it.
TEST(ViewKey, ViewsTheFocusedRowsField) {
    EXPECT_EQ(ViewKeyTarget(C::Html2Field), C::Html2Field);
    EXPECT_EQ(ViewKeyTarget(C::SignatureButton), C::SignatureField);
    EXPECT_EQ(ViewKeyTarget(C::StartButton), std::nullopt);
}

// The Windows shell reports what it cannot open itself.
TEST_F(WindowTest, HelpOpensTheHelpAndF1TheFocusedControlsTopic) {
    Start(0);
    desktop.openResult = OpenResult::NotFound;
    Press(C::HelpButton);
    Menu(C::HelpItem);
    for (const C id : {C::Quote1Field, C::Html2Field, C::TemplateField, C::SignatureField, C::StopButton,
                       C::StatusLabel, C::Window}) {
        desktop.events.HelpRequested(id);
    }
    EXPECT_EQ(desktop.helpTopics, (std::vector<int>{0, 0, 1011, 1011, 1007, 1009, 1002, 1001, 1001}));
    desktop.events.ViewRequested(C::TemplateField);
    EXPECT_TRUE(desktop.errors.empty());
}

TEST_F(WindowTest, WhereUsersExpectItAFailedOpenIsToldOnce) {
    conventions.tellFailedOpens = true;
    Start(1);
    desktop.openResult = OpenResult::NoHandler;
    desktop.events.ViewRequested(C::Quote1Field);
    ASSERT_EQ(desktop.errors.size(), 1u);
    EXPECT_EQ(desktop.errors[0].title, "Tessaly Error");
    EXPECT_EQ(desktop.errors[0].text,
              "The quote file 1 " + quote1 + " could not be opened (no program is set up to open it).");
    EXPECT_TRUE(desktop.Running());
}

// A click selects the line, opens the maker's site and leaves it lit.
TEST_F(WindowTest, TheCreditsLineLightsForASecondAfterThePointerMoves) {
    Start(0);
    const auto colour = [&] { return desktop.Control(C::CreditsLine).colour; };
    constexpr Colour olive = 0x00008080, blue = 0x00FF0000;
    desktop.events.PointerOver(C::CreditsLine);
    Press(C::CreditsLine);
    EXPECT_TRUE(desktop.Control(C::CreditsLine).allSelected);
    EXPECT_EQ(desktop.opened, std::vector<std::string>{"https://www.brindlewick.example/tessaly"});
    EXPECT_EQ(colour(), blue);
    desktop.Advance(600);
    desktop.events.PointerOver(C::CreditsLine);  // the second already running goes on
    desktop.Advance(399);
    EXPECT_EQ(colour(), blue);
    desktop.Advance(1);
    EXPECT_EQ(colour(), olive);
    EXPECT_FALSE(desktop.Control(C::CreditsTimer).enabled);  // nothing wakes the program any more
}

}  // namespace
}  // namespace tessaly::test
