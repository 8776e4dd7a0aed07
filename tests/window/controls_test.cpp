// The picker buttons, viewing a field's file, help, the credits line and the
// check box.
#include "headless/headless_desktop.h"

namespace tessaly::test {
namespace {

using Kind = Choice::Kind;

// No tick composes while the dialog waits: the label says so, and the timer
// runs again afterwards. The tray is not told of a pause that lasts a dialog.
TEST_F(WindowTest, AFileDialogHoldsTheRunningTimer) {
    Start(1);
    Press(C::TemplateButton);
    ASSERT_EQ(desktop.fileDialogs.size(), 1u);
    EXPECT_EQ(desktop.fileDialogs[0].second.status, "Paused!");
    EXPECT_FALSE(desktop.fileDialogs[0].second.timerOn);
    EXPECT_TRUE(desktop.Running());
    EXPECT_EQ(desktop.Status(), "Running!");
    EXPECT_EQ(desktop.trayCalls.size(), 1u);
}

TEST_F(WindowTest, APauseChosenWhileADialogWaitsStands) {
    Start(1);
    desktop.whileModal = [&](const std::string& what) {
        if (what == "file") Menu(C::PauseItem);
    };
    Press(C::Quote1Button);
    EXPECT_FALSE(desktop.Running());
    EXPECT_EQ(desktop.Status(), "Paused!");
}

TEST_F(WindowTest, EveryPickerSavesAtOnceEvenOnCancel) {
    Start(0);
    for (const C button : {C::TemplateButton, C::SignatureButton, C::Quote1Button, C::Quote2Button,
                           C::Html1Button, C::Html2Button}) {
        Mark();
        Press(button);
        EXPECT_EQ(ReadBytes(settingsFile), Settings(0)) << Row(button).name;
    }
}

// Document pickers start in the program's folder, quote pickers in its quotes.
TEST_F(WindowTest, FileDialogsStartInTheProgramsFolders) {
    Start(0);
    Press(C::SignatureButton);
    Press(C::Quote2Button);
    ASSERT_EQ(desktop.fileDialogs.size(), 2u);
    const FileRequest& document = desktop.fileDialogs[0].first;
    EXPECT_EQ(document.title, " Select File ");
    EXPECT_EQ(document.folder, dir.Path());
    EXPECT_EQ(document.filters, (std::vector<FileFilter>{{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}}}));
    EXPECT_EQ(desktop.fileDialogs[1].first.folder, dir.Path("quotes"));
    EXPECT_EQ(desktop.fileDialogs[1].first.filters, (std::vector<FileFilter>{{"Text Files (*.txt)", {"*.txt"}}}));
}

TEST_F(WindowTest, WhereUsersExpectItTheDialogStartsInTheFieldsFolder) {
    conventions.pickFromTheFieldsFolder = true;
    Start(0, {{0, dir.Path("sub/template.htm")}, {1, dir.Path("nowhere/sig.htm")}});
    dir.Write("sub/template.htm", "x");
    Press(C::TemplateButton);
    Press(C::SignatureButton);
    ASSERT_EQ(desktop.fileDialogs.size(), 2u);
    EXPECT_EQ(desktop.fileDialogs[0].first.folder, dir.Path("sub"));
    EXPECT_EQ(desktop.fileDialogs[1].first.folder, fs::HomeFolder());
    EXPECT_EQ(desktop.fileDialogs[0].first.filters,
              (std::vector<FileFilter>{{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}},
                                       {"HTML files", {"*.htm", "*.html"}},
                                       {"All files", {"*"}}}));
}

// A chosen folder loses its trailing separator.
TEST_F(WindowTest, AChosenFileOrFolderFillsItsFieldAndTheFile) {
    Start(0);
    const std::string file = dir.Path("quotes/more quotes.txt"), folder = dir.Path("fragments");
    desktop.fileAnswers = {{Kind::Chosen, file}};
    desktop.folderAnswers = {{Kind::Chosen, folder + std::string(1, fs::PathSeparator())}};
    Press(C::Quote1Button);
    Press(C::Html2Button);
    EXPECT_EQ(desktop.folderPrompts, std::vector<std::string>{"Select a folder and click OK!"});
    EXPECT_EQ(desktop.Text(C::Quote1Field), file);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, file}, {5, folder}}));
}

TEST_F(WindowTest, ACancelOrAFailureKeepsTheField) {
    Start(0);
    // A dialog may still report the name an earlier pick left in it.
    desktop.fileAnswers = {{Kind::Chosen, dir.Path("x.txt")}, {Kind::Cancelled, dir.Path("x.txt")},
                           {Kind::Failed, dir.Path("x.txt")}};
    desktop.folderAnswers = {{Kind::Cancelled, ""}, {Kind::Failed, dir.Path("elsewhere")}};
    for (const C button : {C::Quote1Button, C::Quote2Button, C::TemplateButton, C::Html1Button, C::Html2Button}) {
        Press(button);
    }
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, dir.Path("x.txt")}}));
}

TEST_F(WindowTest, ViewingOpensTheFieldsTextAndKeepsTheTimerAsItWas) {
    Start(1);
    desktop.events.ViewRequested(C::Html1Field);
    desktop.events.ViewRequested(C::SignatureField);
    EXPECT_TRUE(desktop.Running());
    EXPECT_EQ(desktop.Status(), "Running!");
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
    EXPECT_EQ(colour(), olive);
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
