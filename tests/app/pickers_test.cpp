#include "app_fixture.h"
#include "pickers/Module1.h"

namespace tessaly::testing {
namespace {

using ::testing::ElementsAre;
using Result = IFileDialog::Result;

TEST_F(AppTest, CancelWhileRunningHoldsTheTimerOffAndKeepsTheField) {
    Start(1);
    std::string labelWhileOpen;
    bool timerWhileOpen = true;
    platform.whileModal = [&](const std::string&) {
        labelWhileOpen = platform.Status();
        timerWhileOpen = platform.TimerOn(ControlId::Timer1);
        platform.Advance(10000);  // the user takes a while
    };
    stdfs::remove(signaturePath);
    const auto mark = platform.log.size();
    form->cmdTemplate_Click();

    EXPECT_EQ(labelWhileOpen, "Paused!");
    EXPECT_FALSE(timerWhileOpen);
    EXPECT_FALSE(Exists(signaturePath));  // no tick composed meanwhile
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));
    EXPECT_EQ(platform.Status(), "Running!");
    EXPECT_EQ(platform.Text(ControlId::txtTemplate), templatePath);
    EXPECT_TRUE(SavedSinceStored());
    EXPECT_EQ(SettingsLines()[0], "\"" + templatePath + "\"");
    EXPECT_EQ(platform.Dialog().InitDir(), folder.Path());
    EXPECT_EQ(platform.Dialog().DialogTitle(), " Select File ");
    EXPECT_EQ(platform.Dialog().Filter(), "Text ot Html Files(*.txt;*.htm)|*.txt;*.htm");
    // The tray is not told about a pause that only lasts for the dialog.
    EXPECT_TRUE(platform.Only({"Shell_NotifyIconA", "mnu", "window."}, mark).empty());
    EXPECT_THAT(platform.Only({"Timer1", "lblStatus", "dlgCommon.ShowOpen", "dlgCommon.Filter"}, mark),
                ElementsAre("Timer1.Enabled=0", "lblStatus.Caption=Paused!", "dlgCommon.Filter=Text ot Html Files(*.txt;*.htm)|*.txt;*.htm",
                            "dlgCommon.ShowOpen", "Timer1.Enabled=1", "lblStatus.Caption=Running!"));
    platform.whileModal = nullptr;
    platform.Advance(3000);
    EXPECT_TRUE(Exists(signaturePath));
}

TEST_F(AppTest, ChoosingAFileWhilePausedFillsTheFieldAndSavesAtOnce) {
    Start(0);
    const std::string chosen = Join(Join(folder.Path(), "quotes"), "more quotes.txt");
    platform.dialogAnswers.push_back({Result::Chosen, chosen});
    const auto mark = platform.log.size();
    form->cmdQF1_Click();

    EXPECT_EQ(platform.Text(ControlId::txtQF1), chosen);
    EXPECT_EQ(SettingsLines()[2], "\"" + chosen + "\"");
    EXPECT_EQ(platform.Dialog().InitDir(), Join(folder.Path(), "quotes"));
    EXPECT_EQ(platform.Dialog().Filter(), "Text Files (*.txt)|*.txt|");
    EXPECT_TRUE(platform.Only({"Timer1", "lblStatus"}, mark).empty());
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer1));

    // The dialog still holds that name; a Cancel on Quote2 must not take it.
    platform.dialogAnswers.push_back({Result::Cancelled, ""});
    form->cmdQF2_Click();
    EXPECT_EQ(platform.Dialog().FileName(), chosen);
    EXPECT_EQ(platform.Text(ControlId::txtQF2), quote2Path);
    EXPECT_EQ(SettingsLines()[3], "\"" + quote2Path + "\"");

    // Nor may a dialog that failed to show.
    platform.dialogAnswers.push_back({Result::Failed, ""});
    form->cmdSignature_Click();
    EXPECT_EQ(platform.Text(ControlId::txtSignature), signaturePath);

    // The signature picker starts in the program's folder with both types.
    platform.dialogAnswers.push_back({Result::Chosen, Join(folder.Path(), "new.htm")});
    form->cmdSignature_Click();
    EXPECT_EQ(platform.Text(ControlId::txtSignature), Join(folder.Path(), "new.htm"));
    EXPECT_EQ(platform.Dialog().InitDir(), folder.Path());
}

TEST_F(AppTest, FolderPickerTakesOnlyAFolderChosenNow) {
    Start(1);
    const std::string chosen = Join(folder.Path(), "fragments");
    platform.browseAnswers.push_back({BrowseResult::Kind::Chosen, chosen});
    const auto mark = platform.log.size();
    form->cmdQF3_Click();
    EXPECT_EQ(platform.Text(ControlId::txtQF3), chosen);
    EXPECT_EQ(SettingsLines()[4], "\"" + chosen + "\"");
    ASSERT_EQ(platform.browseCalls.size(), 1u);
    EXPECT_EQ(platform.browseCalls[0].owner, headless::kWindowHandle);
    EXPECT_EQ(platform.browseCalls[0].prompt, "Select a folder and click OK!");
    EXPECT_EQ(platform.browseCalls[0].options, 1);
    // The folder browser leaves the timer and the label alone.
    EXPECT_TRUE(platform.Only({"Timer1", "lblStatus"}, mark).empty());

    // Cancel, and a browse that breaks down, keep the field; neither takes
    // the folder of the earlier browse.
    StoreSettings(Working(1));
    platform.browseAnswers.push_back({BrowseResult::Kind::Cancelled, ""});
    form->cmdQF4_Click();
    EXPECT_EQ(platform.Text(ControlId::txtQF4), html2Path);
    EXPECT_TRUE(SavedSinceStored());
    // A browse that breaks down may still report the folder object that the
    // previous browse left behind.
    platform.browseAnswers.push_back({BrowseResult::Kind::Failed, chosen});
    form->cmdQF4_Click();
    EXPECT_EQ(platform.Text(ControlId::txtQF4), html2Path);
}

TEST_F(AppTest, DoubleClickOpensTheFieldAndHoldsTheTimerOnlyWhenOn) {
    Start(0);
    auto mark = platform.log.size();
    form->txtQF3_DblClick();
    EXPECT_THAT(platform.Since(mark), ElementsAre("ShellExecuteA(" + html1Path + ")"));
    ASSERT_EQ(platform.shellCalls.size(), 1u);
    const auto& call = platform.shellCalls[0];
    EXPECT_EQ(call.owner, 0u);
    EXPECT_FALSE(call.operation.has_value());
    EXPECT_FALSE(call.parameters.has_value());
    EXPECT_FALSE(call.directory.has_value());
    EXPECT_EQ(call.showCommand, 1);

    form->cmdStart_Click();
    mark = platform.log.size();
    form->txtSignature_DblClick();
    EXPECT_THAT(platform.Since(mark),
                ElementsAre("Timer1.Enabled=0", "ShellExecuteA(" + signaturePath + ")", "Timer1.Enabled=1"));
    EXPECT_EQ(platform.Status(), "Running!");

    // An empty field goes to the shell as it is; nothing shows in the program.
    platform.Type(ControlId::txtQF2, "");
    platform.shellResult = 2;  // file not found
    mark = platform.log.size();
    form->txtQF2_DblClick();
    EXPECT_EQ(platform.shellCalls.back().file, "");
    EXPECT_TRUE(platform.Only({"MsgBox", "window", "lblStatus"}, mark).empty());

    // A shell call that breaks down still gives the timer back.
    platform.shellThrows = true;
    form->txtQF1_DblClick();
    EXPECT_TRUE(platform.TimerOn(ControlId::Timer1));
    EXPECT_EQ(OpenDocument(platform, "x"), 0);
    platform.shellThrows = false;
    platform.shellResult = 42;
    EXPECT_EQ(OpenDocument(platform, "x"), 42);

    for (const auto& handler : {&frmSignature::txtTemplate_DblClick, &frmSignature::txtQF4_DblClick}) {
        (form.get()->*handler)();
    }
    EXPECT_EQ(platform.shellCalls[platform.shellCalls.size() - 2].file, templatePath);
    EXPECT_EQ(platform.shellCalls.back().file, html2Path);
    EXPECT_FALSE(SavedSinceStored());
}

TEST_F(AppTest, HelpOpensTheHelpFileAndF1ItsTopic) {
    Start(0);
    const std::string help = Join(Join(folder.Path(), "help"), "help.chm");
    platform.shellResult = 2;  // the help file is missing: nothing shows
    form->cmdHelp_Click();
    form->Click(ControlId::mnuHelp);
    ASSERT_EQ(platform.shellCalls.size(), 2u);
    EXPECT_EQ(platform.shellCalls[0].file, help);
    EXPECT_EQ(platform.shellCalls[1].file, help);
    EXPECT_EQ(platform.shellCalls[0].showCommand, 1);
    EXPECT_TRUE(platform.messageBoxes.empty());

    const std::vector<std::pair<ControlId, int>> topics{
        {ControlId::txtQF1, 1011},      {ControlId::txtQF4, 1011},   {ControlId::txtTemplate, 1007},
        {ControlId::txtSignature, 1009}, {ControlId::cmdStart, 1001}, {ControlId::cmdStop, 1002},
        {ControlId::cmdCreateS, 1003},  {ControlId::cmdHelp, 1004},  {ControlId::cmdTemplate, 1006},
        {ControlId::cmdSignature, 1008}, {ControlId::cmdQF2, 1010},   {ControlId::chkAS, 1012},
        {ControlId::lblStatus, 1001},   {ControlId::txtCompliments, 1001}, {ControlId::frmSignature, 1001},
    };
    for (const auto& [control, topic] : topics) form->Form_ContextHelp(control);
    ASSERT_EQ(platform.helpCalls.size(), topics.size());
    for (std::size_t i = 0; i < topics.size(); ++i) {
        EXPECT_EQ(platform.helpCalls[i].context, topics[i].second) << Name(topics[i].first);
        EXPECT_EQ(platform.helpCalls[i].file, help);
    }
}

TEST_F(AppTest, CreditsLineLightsForOneSecondAndOpensTheMakersSite) {
    Start(0);
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00008080u);
    form->txtCompliments_MouseMove();
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00FF0000u);
    platform.Advance(600);
    // More movement does not restart the second that is already running.
    form->txtCompliments_MouseMove();
    platform.Advance(399);
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00FF0000u);
    platform.Advance(1);
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00008080u);
    EXPECT_FALSE(platform.TimerOn(ControlId::Timer2));
    platform.Advance(5000);
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00008080u);

    // The tray callback does not touch the line's colour.
    form->txtCompliments_MouseMove();
    form->Form_MouseMove(0, 0, 512 * 15.0f, 0, MouseMoveSource::TrayCallback);
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00FF0000u);

    // A click selects the whole line and hands the address to the desktop.
    const auto mark = platform.log.size();
    form->txtCompliments_Click();
    const auto length = static_cast<int>(platform.Text(ControlId::txtCompliments).size());
    EXPECT_EQ(length, 48);
    EXPECT_THAT(platform.Since(mark),
                ElementsAre("txtCompliments.Select=0,48", "ShellExecuteA(https://www.brindlewick.example/tessaly)"));
    EXPECT_EQ(platform.Selection(ControlId::txtCompliments), std::make_pair(0, length));
    EXPECT_EQ(platform.ForeColor(ControlId::txtCompliments), 0x00FF0000u);
    EXPECT_FALSE(platform.shellCalls.back().operation.has_value());
}

}  // namespace
}  // namespace tessaly::testing
