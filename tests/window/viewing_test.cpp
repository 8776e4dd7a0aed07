// Viewing a field's file, help, the credits line and the check box.
#include "window_fixture.h"

namespace tessaly::test {
namespace {

TEST_F(WindowTest, ViewingOpensTheFieldsTextAndKeepsTheTimerAsItWas) {
    Start(1);
    desktop.Events().ViewRequested(C::Html1Field);
    desktop.Events().ViewRequested(C::SignatureField);
    EXPECT_TRUE(desktop.Running());
    EXPECT_EQ(desktop.Status(), "Running!");
    Press(C::StopButton);
    desktop.Events().ViewRequested(C::TemplateField);
    EXPECT_FALSE(desktop.Running());
    EXPECT_EQ(desktop.opened, (std::vector<std::string>{dir.Path("html1"), signature, dir.Path("template.htm")}));
}

TEST_F(WindowTest, HelpOpensTheHelpAndF1TheFocusedControlsTopic) {
    Start(0);
    Press(C::HelpButton);
    Menu(C::HelpItem);
    for (const C id : {C::Quote1Field, C::Html2Field, C::TemplateField, C::SignatureField, C::StopButton,
                       C::StatusLabel, C::Window}) {
        desktop.Events().HelpRequested(id);
    }
    EXPECT_EQ(desktop.helpTopics, (std::vector<int>{0, 0, 1011, 1011, 1007, 1009, 1002, 1001, 1001}));
}

TEST_F(WindowTest, TheCreditsLineLightsForASecondAfterThePointerMoves) {
    Start(0);
    const auto colour = [&] { return desktop.Control(C::CreditsLine).colour; };
    EXPECT_EQ(colour(), kCreditsRestColour);
    desktop.Events().PointerOver(C::CreditsLine);
    EXPECT_EQ(colour(), kCreditsHoverColour);
    desktop.Advance(600);
    desktop.Events().PointerOver(C::CreditsLine);  // the second already running goes on
    desktop.Advance(399);
    EXPECT_EQ(colour(), kCreditsHoverColour);
    desktop.Advance(1);
    EXPECT_EQ(colour(), kCreditsRestColour);
}

TEST_F(WindowTest, ClickingTheCreditsLineSelectsItAndOpensTheMakersSite) {
    Start(0);
    desktop.Events().PointerOver(C::CreditsLine);
    Press(C::CreditsLine);
    EXPECT_TRUE(desktop.Control(C::CreditsLine).allSelected);
    EXPECT_EQ(desktop.Control(C::CreditsLine).colour, kCreditsHoverColour);  // the click leaves it lit
    EXPECT_EQ(desktop.opened, std::vector<std::string>{"https://www.brindlewick.example/tessaly"});
}

// The grayed value only ever comes from the file.
TEST_F(WindowTest, ClickingTheCheckBoxTicksOrClearsIt) {
    Start(2);
    Press(C::AutoRunBox);
    EXPECT_EQ(desktop.AutoRun(), 1);
    Press(C::AutoRunBox);
    EXPECT_EQ(desktop.AutoRun(), 0);
}

}  // namespace
}  // namespace tessaly::test

namespace tessaly::test {
namespace {

TEST_F(WindowTest, WhereUsersExpectItAFailedOpenIsToldOnce) {
    conventions.tellFailedOpens = true;
    Start(1);
    desktop.openResult = OpenResult::NoHandler;
    desktop.Events().ViewRequested(C::Quote1Field);
    ASSERT_EQ(desktop.errors.size(), 1u);
    EXPECT_EQ(desktop.errors[0].title, "Tessaly Error");
    EXPECT_EQ(desktop.errors[0].text,
              "The quote file 1 " + dir.Path("q1.txt") + " could not be opened (no program is set up to open it).");
    EXPECT_TRUE(desktop.Running());
}

TEST_F(WindowTest, TheWindowsProgramLeavesAFailedOpenToTheShell) {
    Start(0);
    desktop.openResult = OpenResult::NotFound;
    Press(C::HelpButton);
    desktop.Events().ViewRequested(C::TemplateField);
    EXPECT_TRUE(desktop.errors.empty());
}

}  // namespace
}  // namespace tessaly::test
