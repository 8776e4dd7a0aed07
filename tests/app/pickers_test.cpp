// Pickers, viewing, help and the credits line.
#include "app_fixture.h"

namespace tessaly::test {
namespace {

using Result = IFileDialog::Result;

TEST_F(AppTest, PickersHoldTheTimerSaveAtOnceAndNoCancelOrFailureTakesAnEarlierPick) {
    Start(1);
    const std::string file = dir.Path("quotes/more quotes.txt"), folder = dir.Path("fragments");
    platform.dialogAnswers = {{Result::Cancelled, ""}, {Result::Chosen, file}, {Result::Cancelled, ""},
                              {Result::Failed, ""}};
    platform.browseAnswers = {{BrowseResult::Kind::Chosen, folder},
                              {BrowseResult::Kind::Cancelled, ""},
                              {BrowseResult::Kind::Failed, folder}};
    Mark();
    Click(C::cmdTemplate);
    ASSERT_EQ(platform.dialogs.size(), 1u);
    const auto& shown = platform.dialogs[0];
    EXPECT_EQ(shown.initDir, dir.Path());
    EXPECT_EQ(shown.title, " Select File ");
    EXPECT_EQ(shown.filter, "Text ot Html Files(*.txt;*.htm)|*.txt;*.htm");
    EXPECT_EQ(shown.seen, (Seen{"Paused!", false, true, "unsaved"}));
    EXPECT_TRUE(platform.TimerOn(C::Timer1));
    EXPECT_EQ(platform.Status(), "Running!");
    EXPECT_EQ(ReadBytes(settingsFile), Settings(1));
    // The tray is not told of a pause that lasts a dialog.
    EXPECT_EQ(platform.trayCalls.size(), 1u);

    Click(C::cmdQF1);
    Click(C::cmdQF3);
    const std::string picked = Settings(1, {{2, file}, {4, folder}});
    EXPECT_EQ(ReadBytes(settingsFile), picked);
    EXPECT_EQ(platform.dialogs[1].initDir, dir.Path("quotes"));
    EXPECT_EQ(platform.dialogs[1].filter, "Text Files (*.txt)|*.txt|");
    EXPECT_EQ(platform.browsePrompts, std::vector<std::string>{"Select a folder and click OK!"});
    // The dialog still holds the file's name, the browser its folder.
    Click(C::cmdQF2);
    Click(C::cmdSignature);
    Click(C::cmdQF4);
    Click(C::cmdQF4);
    EXPECT_EQ(ReadBytes(settingsFile), picked);
}

TEST_F(AppTest, DoubleClickHelpAndTheCreditsLineOpenWhatTheyNameLeavingTheTimerAsItWas) {
    Start(1);
    for (const C field : {C::txtQF3, C::txtSignature}) platform.Events().DoubleClick(field);
    EXPECT_TRUE(platform.TimerOn(C::Timer1));
    EXPECT_EQ(platform.Status(), "Running!");
    Click(C::cmdStop);
    platform.Events().DoubleClick(C::txtTemplate);
    EXPECT_FALSE(platform.TimerOn(C::Timer1));
    // Help opens the help file, F1 the topic of the focused control.
    Click(C::cmdHelp);
    Menu(C::mnuHelp);
    const std::string file = dir.Path("help/help.chm");
    for (const C id : {C::txtQF1, C::txtQF4, C::txtTemplate, C::txtSignature, C::cmdStop, C::lblStatus}) {
        platform.Events().ContextHelp(id);
    }
    EXPECT_EQ(platform.help, (std::vector<std::string>{file + "#1011", file + "#1011", file + "#1007",
                                                       file + "#1009", file + "#1002", file + "#1001"}));

    // The credits line lights for a second and opens the makers' site.
    const auto colour = [&] { return platform.Control(C::txtCompliments).colour; };
    EXPECT_EQ(colour(), 0x00008080u);
    platform.Advance(5600);
    platform.Events().MouseOver(C::txtCompliments);
    EXPECT_EQ(colour(), 0x00FF0000u);
    platform.Advance(600);
    platform.Events().MouseOver(C::txtCompliments);  // the second already running goes on
    platform.Advance(399);
    EXPECT_EQ(colour(), 0x00FF0000u);
    platform.Advance(1);
    EXPECT_EQ(colour(), 0x00008080u);
    EXPECT_FALSE(platform.TimerOn(C::Timer2));

    // Neither the tray's callback nor the click changes the colour.
    platform.Events().MouseOver(C::txtCompliments);
    Tray(512);
    Click(C::txtCompliments);
    EXPECT_EQ(colour(), 0x00FF0000u);
    const int length = static_cast<int>(platform.Text(C::txtCompliments).size());
    EXPECT_EQ(platform.Control(C::txtCompliments).selection, std::make_pair(0, length));
    EXPECT_EQ(platform.opened, (std::vector<std::string>{dir.Path("html1"), signature, dir.Path("template.htm"), file,
                                                         file, "https://www.brindlewick.example/tessaly"}));
}

}  // namespace
}  // namespace tessaly::test
