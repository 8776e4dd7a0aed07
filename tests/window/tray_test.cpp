// The notification-area icon: opening the window, its menu, Exit, closing.
#include "window_fixture.h"

namespace tessaly::test {
namespace {

TEST_F(WindowTest, TrayOpenRestoresTheWindowInFront) {
    Start(1);
    Press(C::StartButton);  // to the tray
    desktop.Minimise();
    desktop.Events().TrayOpenRequested();
    EXPECT_TRUE(desktop.Window().visible);
    EXPECT_FALSE(desktop.Window().minimised);
    EXPECT_TRUE(desktop.Window().inFront);
}

TEST_F(WindowTest, TheMenuOffersPauseWhileRunningAndResumeWhilePaused) {
    Start(1);
    desktop.Events().TrayMenuRequested();
    Press(C::StopButton);
    desktop.Events().TrayMenuRequested();
    EXPECT_EQ(desktop.menus, (std::vector<std::string>{"Open Tessaly|-|Pause|Refresh|-|Help|-|Exit",
                                                       "Open Tessaly|-|Resume|Refresh|-|Help|-|Exit"}));
}

TEST_F(WindowTest, TheMenusChoiceIsCarriedOut) {
    Start(1);
    Menu(C::PauseItem);
    ExpectMarks(RunState::Paused);
    Menu(C::ResumeItem);
    ExpectMarks(RunState::Running);
}

TEST_F(WindowTest, OpenShowsTheWindowAsItWas) {
    Start(0);
    Press(C::StartButton);
    desktop.Minimise();
    Menu(C::OpenItem);
    EXPECT_TRUE(desktop.Window().visible);
    EXPECT_TRUE(desktop.Window().minimised);
}

TEST_F(WindowTest, ResumeAndPauseSaveBeforeTheTrayChanges) {
    Start(0);
    for (const C item : {C::ResumeItem, C::PauseItem}) {
        Mark();
        Menu(item);
        EXPECT_EQ(desktop.trayCalls.back().seen.settings, Settings(0)) << Row(item).name;
    }
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
    desktop.Events().HelpRequested(C::Quote1Field);
    desktop.Events().ViewRequested(C::TemplateField);
    desktop.Events().PointerOver(C::CreditsLine);
    Press(C::CreditsLine);
    desktop.Events().TrayOpenRequested();
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
