// The picker buttons.
#include "window_fixture.h"

namespace tessaly::test {
namespace {

using Kind = Choice::Kind;

// No tick composes while the dialog waits: the label says so, and the timer
// runs again afterwards. The tray is not told of a pause that lasts a dialog.
TEST_F(WindowTest, AFileDialogHoldsTheRunningTimer) {
    Start(1);
    Press(C::TemplateButton);
    ASSERT_EQ(desktop.fileDialogs.size(), 1u);
    EXPECT_EQ(desktop.fileDialogs[0].seen.status, "Paused!");
    EXPECT_FALSE(desktop.fileDialogs[0].seen.timerOn);
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

TEST_F(WindowTest, DocumentPickersStartInTheProgramsFolder) {
    Start(0);
    Press(C::SignatureButton);
    const FileRequest& shown = desktop.fileDialogs.at(0).request;
    EXPECT_EQ(shown.title, " Select File ");
    EXPECT_EQ(shown.folder, dir.Path());
    EXPECT_EQ(shown.filters, (std::vector<FileFilter>{{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}}}));
}

TEST_F(WindowTest, QuotePickersStartInTheQuotesFolder) {
    Start(0);
    Press(C::Quote2Button);
    const FileRequest& shown = desktop.fileDialogs.at(0).request;
    EXPECT_EQ(shown.folder, dir.Path("quotes"));
    EXPECT_EQ(shown.filters, (std::vector<FileFilter>{{"Text Files (*.txt)", {"*.txt"}}}));
}

TEST_F(WindowTest, AChosenFileFillsItsFieldAndTheFile) {
    Start(0);
    const std::string file = dir.Path("quotes/more quotes.txt");
    desktop.fileAnswers = {{Kind::Chosen, file}};
    Press(C::Quote1Button);
    EXPECT_EQ(desktop.Text(C::Quote1Field), file);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, file}}));
}

TEST_F(WindowTest, ACancelOrAFailureKeepsTheField) {
    Start(0);
    desktop.fileAnswers = {{Kind::Chosen, dir.Path("x.txt")}, {Kind::Cancelled, ""}, {Kind::Failed, ""}};
    desktop.folderAnswers = {{Kind::Cancelled, ""}, {Kind::Failed, dir.Path("elsewhere")}};
    Press(C::Quote1Button);
    Press(C::Quote2Button);
    Press(C::TemplateButton);
    Press(C::Html1Button);
    Press(C::Html2Button);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0, {{2, dir.Path("x.txt")}}));
}

TEST_F(WindowTest, AChosenFolderFillsItsFieldWithoutATrailingSeparator) {
    Start(0);
    const std::string folder = dir.Path("fragments");
    desktop.folderAnswers = {{Kind::Chosen, folder + std::string(1, fs::PathSeparator())}};
    Press(C::Html2Button);
    EXPECT_EQ(desktop.folderPrompts, std::vector<std::string>{"Select a folder and click OK!"});
    EXPECT_EQ(desktop.Text(C::Html2Field), folder);
}

}  // namespace
}  // namespace tessaly::test

namespace tessaly::test {
namespace {

TEST_F(WindowTest, WhereUsersExpectItTheDialogStartsInTheFieldsFolder) {
    conventions.pickFromTheFieldsFolder = true;
    Start(0, {{0, dir.Path("sub/template.htm")}, {1, dir.Path("nowhere/sig.htm")}});
    dir.Write("sub/template.htm", "x");
    Press(C::TemplateButton);
    Press(C::SignatureButton);
    ASSERT_EQ(desktop.fileDialogs.size(), 2u);
    EXPECT_EQ(desktop.fileDialogs[0].request.folder, dir.Path("sub"));
    EXPECT_EQ(desktop.fileDialogs[1].request.folder, fs::HomeFolder());
    EXPECT_EQ(desktop.fileDialogs[0].request.filters,
              (std::vector<FileFilter>{{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}},
                                       {"HTML files", {"*.htm", "*.html"}},
                                       {"All files", {"*"}}}));
}

}  // namespace
}  // namespace tessaly::test
