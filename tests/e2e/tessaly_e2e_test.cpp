// End-to-end tests: the real tessaly.exe under Wine, started in a prepared
// folder and worked from outside as a user and the shell would. Each case
// has its own program folder and ends its programs before the next.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "driver.h"

namespace tessaly::e2e {
namespace {

using C = ControlId;

constexpr const char* kErrorTitle = "Tessaly Error";
constexpr const char* kErrorText =
    "File or Path Error. Ensure that all your file paths are correct and that the files exist!";
constexpr const char* kFileDialogTitle = " Select File ";
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kLookInId = 0x471;     // cmb2 of the open dialog
constexpr int kFileTypeId = 0x470;   // cmb1: the filter's description
constexpr int kBrowsePromptId = 14146;
constexpr const char* kBrowseTitle = "Browse for Folder";

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM param) {
    char name[16] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, "Edit") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

// The open dialog's file name box: its only visible edit control, wherever
// it nests.
HWND FileNameBox(HWND dialog) {
    HWND edit = nullptr;
    EnumChildWindows(dialog, FindEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

// Bytes made readable in failure messages.
std::string Shown(const std::optional<std::string>& bytes) {
    if (!bytes) return "<no file>";
    std::string out = "\"";
    for (char c : *bytes) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out + "\"";
}

class E2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) {
            GTEST_SKIP() << "DISPLAY is not set: the program's windows need an X display under Wine";
        }
        ASSERT_FALSE(TessalyExePath().empty()) << "TESSALY_EXE must name tessaly.exe";
        ASSERT_TRUE(Exists(TessalyExePath())) << "tessaly.exe not found at " << TessalyExePath();
    }

    void TearDown() override {
        for (auto& program : programs_) program->End();
        programs_.clear();
        for (auto& folder : folders_) {
            if (HasFailure()) {
                folder->Keep();
                std::printf("kept %s\n", folder->Dir().c_str());
            }
        }
        folders_.clear();
    }

    ProgramFolder& NewFolder(int autoStart) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folders_.push_back(std::make_unique<ProgramFolder>(info->name()));
        ProgramFolder& folder = *folders_.back();
        folder.WriteSettings(folder.DefaultSettings(autoStart));
        return folder;
    }

    Program& Started(const ProgramFolder& folder) {
        programs_.push_back(std::make_unique<Program>());
        programs_.back()->Start(folder);
        return *programs_.back();
    }

    // Starts the program and waits for its window, as a user sees it.
    Program& Launched(const ProgramFolder& folder) {
        Program& program = Started(folder);
        if (!program.WaitUntilShown()) {
            ADD_FAILURE() << "the main window never became visible (program "
                          << (program.Running() ? "still running" : "ended") << ")";
        }
        return program;
    }

    // Waits until the signature file holds one complete composition.
    static bool WaitForComposition(const ProgramFolder& folder, Ms timeout = kTickTimeout) {
        return WaitFor(
            [&] {
                const auto bytes = ReadBytes(folder.Path("signature.txt"));
                return bytes && folder.IsComposedSignature(*bytes);
            },
            timeout);
    }

    static bool WaitForSettings(const ProgramFolder& folder, const Settings& expected) {
        return WaitFor([&] { return ReadBytes(folder.SettingsFile()) == expected.Bytes(); },
                       kStateTimeout);
    }

    // Dismisses the failure message box with OK.
    static void AcknowledgeError(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

private:
    std::vector<std::unique_ptr<ProgramFolder>> folders_;
    std::vector<std::unique_ptr<Program>> programs_;
};

// A stale settings file: whatever the next save writes replaces it whole.
constexpr const char* kStale = "\"stale\"\r\n";

TEST_F(E2E, RunningStartComposesBeforeShowingThenOnEveryTick) {
    ProgramFolder& folder = NewFolder(1);
    const auto settingsWritten = LastWriteMs(folder.SettingsFile());
    Program& program = Launched(folder);
    ASSERT_TRUE(program.Visible());

    const std::string signature = folder.Path("signature.txt");
    const auto first = ReadBytes(signature);
    ASSERT_TRUE(first) << "no signature file when the window came up";
    EXPECT_TRUE(folder.IsComposedSignature(*first)) << Shown(first);

    EXPECT_EQ(TextOf(program.Main()), "Tessaly V 1.0");
    EXPECT_TRUE(program.WaitForStatus("Running!")) << program.Status();
    EXPECT_EQ(program.Check(C::chkAS), BST_CHECKED);
    const Settings settings = folder.DefaultSettings(1);
    EXPECT_EQ(program.Text(C::txtTemplate), settings.templ);
    EXPECT_EQ(program.Text(C::txtSignature), settings.signature);
    EXPECT_EQ(program.Text(C::txtQF1), settings.quote1);
    EXPECT_EQ(program.Text(C::txtQF2), settings.quote2);
    EXPECT_EQ(program.Text(C::txtQF3), settings.html1);
    EXPECT_EQ(program.Text(C::txtQF4), settings.html2);

    // Right and bottom edges 800 twips inside the screen's (twips per pixel
    // = 1440 / dpi); the program converts to whole pixels, so either
    // neighbour of the exact distance is right.
    RECT rect{};
    ASSERT_TRUE(GetWindowRect(program.Main(), &rect));
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const double insetX = 800.0 * dpiX / 1440.0;
    const double insetY = 800.0 * dpiY / 1440.0;
    const int right = GetSystemMetrics(SM_CXSCREEN) - rect.right;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - rect.bottom;
    EXPECT_GE(right, std::floor(insetX)) << "window right edge at " << rect.right;
    EXPECT_LE(right, std::ceil(insetX)) << "window right edge at " << rect.right;
    EXPECT_GE(bottom, std::floor(insetY)) << "window bottom edge at " << rect.bottom;
    EXPECT_LE(bottom, std::ceil(insetY)) << "window bottom edge at " << rect.bottom;

    // Every tick writes the file anew, 3 s apart: remove it and it comes
    // back, no sooner than the timer allows.
    auto previous = LastWriteMs(signature);
    ASSERT_TRUE(previous);
    for (int tick = 1; tick <= 2; ++tick) {
        ASSERT_TRUE(DeleteWithRetry(signature));
        ASSERT_TRUE(WaitForComposition(folder)) << "tick " << tick << ": " << Shown(ReadBytes(signature));
        const auto now = LastWriteMs(signature);
        ASSERT_TRUE(now);
        EXPECT_GE(*now - *previous, 2000) << "tick " << tick << " came too soon after the previous write";
        previous = now;
    }
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(LastWriteMs(folder.SettingsFile()), settingsWritten) << "start-up or a tick saved the settings";
}

TEST_F(E2E, ClearedAndGrayedFlagsStartPausedWriteNothingAndSurviveExit) {
    // Both at once: the quiet period is the slow part.
    ProgramFolder& cleared = NewFolder(0);
    ProgramFolder& grayed = NewFolder(2);
    Program& first = Started(cleared);
    Program& second = Started(grayed);
    ASSERT_TRUE(first.WaitUntilShown());
    ASSERT_TRUE(second.WaitUntilShown());
    const auto shown = Clock::now();

    for (auto [program, flag] : {std::pair{&first, 0}, std::pair{&second, 2}}) {
        SCOPED_TRACE("flag " + std::to_string(flag));
        EXPECT_EQ(program->Status(), "Paused!");
        EXPECT_EQ(program->Check(C::chkAS), flag);
    }
    std::this_thread::sleep_until(shown + kQuietPeriod);
    EXPECT_FALSE(Exists(cleared.Path("signature.txt"))) << "composed with flag 0";
    EXPECT_FALSE(Exists(grayed.Path("signature.txt"))) << "composed with flag 2";
    EXPECT_EQ(first.Status(), "Paused!");
    EXPECT_EQ(second.Status(), "Paused!");

    // Exit, and closing the window, write the flag back as it was read.
    WriteBytes(cleared.SettingsFile(), kStale);
    ASSERT_TRUE(first.ExitFromTrayMenu()) << "Exit did not end the program " << first.Describe();
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(cleared.SettingsFile()), cleared.DefaultSettings(0).Bytes());

    WriteBytes(grayed.SettingsFile(), kStale);
    PostMessageA(second.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(second.WaitForExit()) << "closing the window did not end the program " << second.Describe();
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(grayed.SettingsFile()), grayed.DefaultSettings(2).Bytes());
}

TEST_F(E2E, StartStopAndCreateNow) {
    ProgramFolder& folder = NewFolder(0);
    Program& program = Launched(folder);
    const std::string signature = folder.Path("signature.txt");
    const auto settingsWritten = LastWriteMs(folder.SettingsFile());
    ASSERT_EQ(program.Status(), "Paused!");

    // Start: Running, window gone, and the first composition only when the
    // timer first fires.
    const auto clicked = Clock::now();
    program.Click(C::cmdStart);
    ASSERT_TRUE(program.WaitForStatus("Running!")) << program.Status();
    EXPECT_TRUE(program.WaitForVisible(false)) << "Start left the window up";
    ASSERT_TRUE(WaitForComposition(folder)) << Shown(ReadBytes(signature));
    EXPECT_GE(Clock::now() - clicked, 2000ms) << "Start composed at once instead of on the first tick";

    // Stop from the window brought up again: Paused, window gone.
    program.TrayNotify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.WaitForVisible(true));
    program.Click(C::cmdStop);
    ASSERT_TRUE(program.WaitForStatus("Paused!")) << program.Status();
    EXPECT_TRUE(program.WaitForVisible(false)) << "Stop left the window up";

    // Create-now while Paused writes once and starts nothing.
    ASSERT_TRUE(DeleteWithRetry(signature));
    program.Click(C::cmdCreateS);
    ASSERT_TRUE(WaitForComposition(folder, kStateTimeout)) << "create-now wrote no signature";
    EXPECT_EQ(program.Status(), "Paused!");
    ASSERT_TRUE(DeleteWithRetry(signature));
    const auto deleted = Clock::now();
    // Stop while Paused repeats its steps and changes nothing.
    program.Click(C::cmdStop);
    std::this_thread::sleep_until(deleted + kQuietPeriod);
    EXPECT_FALSE(Exists(signature)) << "a composition ran while Paused";
    EXPECT_EQ(program.Status(), "Paused!");
    EXPECT_FALSE(program.Visible());

    EXPECT_EQ(LastWriteMs(folder.SettingsFile()), settingsWritten) << "a button saved the settings";
}

TEST_F(E2E, TrayCallbackCodesAndMenuCommands) {
    ProgramFolder& folder = NewFolder(0);
    Program& program = Launched(folder);
    const Settings settings = folder.DefaultSettings(0);
    const std::string signature = folder.Path("signature.txt");
    // Minimised, then sent to the tray.
    ShowWindowAsync(program.Main(), SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(program.Main()) != FALSE; }, kStateTimeout));
    program.Click(C::cmdStop);
    ASSERT_TRUE(program.WaitForVisible(false));

    // Moves, single clicks and the right double-click do nothing.
    for (UINT code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}) {
        SCOPED_TRACE("callback code " + std::to_string(code));
        ASSERT_TRUE(program.TrayNotifyAndWait(code)) << "the callback did not return";
        EXPECT_FALSE(program.Visible());
        EXPECT_EQ(program.PopupMenu(), nullptr);
    }

    // A left double-click brings the window up in its normal state.
    program.TrayNotify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.WaitForVisible(true)) << "515 did not show the window";
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(program.Main()); }, kStateTimeout))
        << "515 left the window minimised";
    program.Click(C::cmdStop);
    ASSERT_TRUE(program.WaitForVisible(false));

    // The right button's release opens the menu; Escape closes it unused.
    ASSERT_NE(program.OpenTrayMenu(), nullptr) << "517 opened no menu";
    ASSERT_TRUE(program.DismissTrayMenu());
    EXPECT_FALSE(program.Visible());
    EXPECT_EQ(program.Status(), "Paused!");

    // Open Tessaly.
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuOpen, [&] { return program.Visible(); }))
        << "Open Tessaly did not show the window " << program.Describe();
    EXPECT_EQ(program.Status(), "Paused!");

    // While Paused the second item is Resume: it saves, then runs.
    WriteBytes(folder.SettingsFile(), kStale);
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuResumeOrPause, [&] { return program.Status() == "Running!"; }))
        << "Resume is not the second item while Paused " << program.Describe();
    EXPECT_TRUE(program.WaitForVisible(false));
    EXPECT_TRUE(WaitForSettings(folder, settings)) << Shown(ReadBytes(folder.SettingsFile()));

    // While Running the second item is Pause: it saves, then pauses.
    WriteBytes(folder.SettingsFile(), kStale);
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuResumeOrPause, [&] { return program.Status() == "Paused!"; }))
        << "Pause is not the second item while Running " << program.Describe();
    EXPECT_TRUE(WaitForSettings(folder, settings)) << Shown(ReadBytes(folder.SettingsFile()));

    // Refresh saves and composes once, and the program stays Paused.
    ASSERT_TRUE(DeleteWithRetry(signature));
    WriteBytes(folder.SettingsFile(), kStale);
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuRefresh, [&] { return Exists(signature); }))
        << "Refresh wrote no signature " << program.Describe();
    EXPECT_TRUE(WaitForComposition(folder, kStateTimeout)) << Shown(ReadBytes(signature));
    EXPECT_TRUE(WaitForSettings(folder, settings)) << Shown(ReadBytes(folder.SettingsFile()));
    EXPECT_EQ(program.Status(), "Paused!");

    // Exit saves and ends the program.
    WriteBytes(folder.SettingsFile(), kStale);
    ASSERT_TRUE(program.ExitFromTrayMenu()) << "Exit did not end the program " << program.Describe();
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), settings.Bytes());
}

TEST_F(E2E, FailingStartUpCompositionWarnsPausesAndKeepsTheSignature) {
    ProgramFolder& folder = NewFolder(1);
    const std::string signature = folder.Path("signature.txt");
    const std::string previous = "previous signature\r\n";
    WriteBytes(signature, previous);
    ASSERT_TRUE(DeleteWithRetry(folder.Path("quote1.txt")));
    const auto settingsBefore = ReadBytes(folder.SettingsFile());

    Program& program = Started(folder);
    HWND box = program.WaitForDialog(kErrorTitle, kStartTimeout);
    ASSERT_NE(box, nullptr) << "no message box titled \"Tessaly Error\"";
    EXPECT_EQ(TextOf(GetDlgItem(box, kMessageBoxTextId)), kErrorText);
    EXPECT_EQ(ReadBytes(signature), previous);
    AcknowledgeError(box);

    ASSERT_TRUE(program.WaitUntilShown(kStateTimeout)) << "the window is not up after OK";
    EXPECT_TRUE(program.WaitForStatus("Paused!")) << "status after a failed start: " << program.Status();
    EXPECT_EQ(program.Check(C::chkAS), BST_UNCHECKED);
    EXPECT_EQ(ReadBytes(signature), previous) << "the failure touched the signature file";
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), settingsBefore) << "the failure saved the settings";

    // The tray offers Resume, not Pause: Resume saves the cleared flag and
    // runs, and the next tick fails the same way.
    const std::string cleared = folder.DefaultSettings(0).Bytes();
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuResumeOrPause,
                                           [&] { return ReadBytes(folder.SettingsFile()) == cleared; }))
        << "Resume did not save the cleared flag: " << Shown(ReadBytes(folder.SettingsFile()));
    box = program.WaitForDialog(kErrorTitle, kTickTimeout);
    ASSERT_NE(box, nullptr) << "Resume was not offered after the failed start";
    EXPECT_EQ(program.Status(), "Paused!");
    AcknowledgeError(box);
    EXPECT_TRUE(program.WaitForVisible(true));
    EXPECT_EQ(ReadBytes(signature), previous);
}

TEST_F(E2E, FailingTickWarnsOnceClearsTheFlagAndStopsTheTimer) {
    ProgramFolder& folder = NewFolder(0);
    Program& program = Launched(folder);
    const std::string signature = folder.Path("signature.txt");
    const std::string previous = "previous signature\r\n";
    WriteBytes(signature, previous);
    program.Click(C::chkAS);
    ASSERT_TRUE(WaitFor([&] { return program.Check(C::chkAS) == BST_CHECKED; }, kStateTimeout));
    ASSERT_TRUE(DeleteWithRetry(folder.Path("quote1.txt")));

    program.Click(C::cmdStart);
    ASSERT_TRUE(program.WaitForStatus("Running!"));
    ASSERT_TRUE(program.WaitForVisible(false));
    HWND box = program.WaitForDialog(kErrorTitle, kTickTimeout);
    ASSERT_NE(box, nullptr) << "the failing tick showed no message box";
    EXPECT_EQ(TextOf(GetDlgItem(box, kMessageBoxTextId)), kErrorText);
    EXPECT_EQ(program.Status(), "Paused!") << "status while the message is up";
    EXPECT_EQ(ReadBytes(signature), previous);

    AcknowledgeError(box);
    ASSERT_TRUE(program.WaitForNoDialog(kErrorTitle));
    const auto acknowledged = Clock::now();
    EXPECT_TRUE(program.WaitForVisible(true)) << "the window did not come up after OK";
    EXPECT_EQ(program.Status(), "Paused!");
    EXPECT_EQ(program.Check(C::chkAS), BST_UNCHECKED);

    // The timer is off: no further attempt, no second message.
    std::this_thread::sleep_until(acknowledged + kQuietPeriod);
    EXPECT_EQ(program.Dialog(kErrorTitle), nullptr) << "the failed composition was retried";
    EXPECT_EQ(ReadBytes(signature), previous) << "the failure touched the signature file";

    // The cleared flag is what the next save stores.
    ASSERT_TRUE(program.ExitFromTrayMenu()) << program.Describe();
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), folder.DefaultSettings(0).Bytes());
}

TEST_F(E2E, FileDialogHoldsTheTimerAndCancelKeepsTheField) {
    ProgramFolder& folder = NewFolder(1);
    Program& program = Launched(folder);
    const std::string signature = folder.Path("signature.txt");
    ASSERT_TRUE(program.WaitForStatus("Running!"));
    const std::string field = program.Text(C::txtQF1);
    WriteBytes(folder.SettingsFile(), kStale);

    program.Click(C::cmdQF1);
    HWND dialog = program.WaitForDialog(kFileDialogTitle);
    ASSERT_NE(dialog, nullptr) << "no file dialog titled \" Select File \"";
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kLookInId)), "quotes");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kFileTypeId)), "Text Files (*.txt)");
    EXPECT_TRUE(program.WaitForStatus("Paused!")) << "status while the dialog is open: " << program.Status();
    ASSERT_TRUE(DeleteWithRetry(signature));
    const auto opened = Clock::now();
    std::this_thread::sleep_until(opened + kQuietPeriod);
    EXPECT_FALSE(Exists(signature)) << "a tick composed while the file dialog was open";

    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitForNoDialog(kFileDialogTitle));
    EXPECT_TRUE(program.WaitForStatus("Running!")) << program.Status();
    EXPECT_EQ(program.Text(C::txtQF1), field);
    EXPECT_TRUE(WaitForSettings(folder, folder.DefaultSettings(1)))
        << "the settings were not saved after Cancel: " << Shown(ReadBytes(folder.SettingsFile()));
    EXPECT_TRUE(WaitForComposition(folder)) << "the timer did not run again after the dialog";
}

TEST_F(E2E, QuoteFileChosenInTheDialogIsTakenAndSaved) {
    ProgramFolder& folder = NewFolder(0);
    WriteBytes(folder.Path("quotes\\more.txt"), "Another quote.\r\n");
    Program& program = Launched(folder);
    ASSERT_EQ(program.Status(), "Paused!");

    program.Click(C::cmdQF2);
    HWND dialog = program.WaitForDialog(kFileDialogTitle);
    ASSERT_NE(dialog, nullptr);
    // The dialog starts in the program's "quotes" folder ("Look in", cmb2).
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kLookInId)), "quotes");
    HWND name = FileNameBox(dialog);
    ASSERT_NE(name, nullptr) << "no file name box in the dialog";
    // A bare name: the dialog resolves it in the folder it starts in, which
    // for a quote file is the program's "quotes" folder.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("more.txt"), SMTO_ABORTIFHUNG,
                        3000, &result);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program.WaitForNoDialog(kFileDialogTitle));

    Settings expected = folder.DefaultSettings(0);
    expected.quote2 = folder.Path("quotes\\more.txt");
    EXPECT_TRUE(WaitFor([&] { return program.Text(C::txtQF2) == expected.quote2; }, kStateTimeout))
        << program.Text(C::txtQF2);
    EXPECT_TRUE(WaitForSettings(folder, expected)) << Shown(ReadBytes(folder.SettingsFile()));
    EXPECT_EQ(program.Status(), "Paused!");

    // A template is looked for in the program's own folder, among text and
    // HTML files; Cancel keeps the field.
    const std::string templ = program.Text(C::txtTemplate);
    program.Click(C::cmdTemplate);
    dialog = program.WaitForDialog(kFileDialogTitle);
    ASSERT_NE(dialog, nullptr);
    const std::string leaf = folder.Dir().substr(folder.Dir().find_last_of('\\') + 1);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kLookInId)), leaf);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kFileTypeId)), "Text ot Html Files(*.txt;*.htm)");
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitForNoDialog(kFileDialogTitle));
    EXPECT_EQ(program.Text(C::txtTemplate), templ);
    EXPECT_EQ(program.Status(), "Paused!");
}

TEST_F(E2E, FolderBrowserLeavesTheTimerAloneAndCancelKeepsTheField) {
    ProgramFolder& folder = NewFolder(1);
    Program& program = Launched(folder);
    ASSERT_TRUE(program.WaitForStatus("Running!"));
    const std::string field = program.Text(C::txtQF3);
    WriteBytes(folder.SettingsFile(), kStale);

    program.Click(C::cmdQF3);
    HWND browser = program.WaitForDialog(kBrowseTitle);
    ASSERT_NE(browser, nullptr) << "no \"Browse for Folder\" window " << program.Describe();
    EXPECT_EQ(TextOf(GetDlgItem(browser, kBrowsePromptId)), "Select a folder and click OK!");
    EXPECT_EQ(program.Status(), "Running!") << "the folder browser is not meant to hold the timer";

    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(program.WaitForNoDialog(kBrowseTitle));
    EXPECT_EQ(program.Text(C::txtQF3), field);
    EXPECT_TRUE(WaitForSettings(folder, folder.DefaultSettings(1)))
        << "the settings were not saved after Cancel: " << Shown(ReadBytes(folder.SettingsFile()));
    EXPECT_EQ(program.Status(), "Running!");
}

TEST_F(E2E, ExitSavesTypedPathsAndTheTickedFlagByteForByte) {
    ProgramFolder& folder = NewFolder(0);
    Program& program = Launched(folder);
    // What a user typed: a quote inside a path is stored as it is, an
    // emptied field as two quotes.
    Settings expected = folder.DefaultSettings(1);
    expected.templ = "C:\\Mail \"draft\" template.txt";
    expected.html2 = "";
    program.Type(C::txtTemplate, expected.templ);
    program.Type(C::txtQF4, expected.html2);
    program.Click(C::chkAS);
    ASSERT_TRUE(WaitFor([&] { return program.Check(C::chkAS) == BST_CHECKED; }, kStateTimeout));
    ASSERT_EQ(program.Text(C::txtTemplate), expected.templ);

    ASSERT_TRUE(program.ExitFromTrayMenu()) << "Exit did not end the program " << program.Describe();
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), expected.Bytes());
}

TEST_F(E2E, FirstRunWithoutSettingsStartsPausedAndExitCreatesThem) {
    ProgramFolder& folder = NewFolder(0);
    RemoveTree(folder.Path("data"));
    ASSERT_FALSE(Exists(folder.Path("data")));
    Program& program = Launched(folder);
    ASSERT_TRUE(program.Visible());
    EXPECT_EQ(program.Status(), "Paused!");
    EXPECT_EQ(program.Check(C::chkAS), BST_UNCHECKED);

    // Whatever the fields start with, it is not the design-time prompts, and
    // it is exactly what Exit stores.
    const C fields[] = {C::txtTemplate, C::txtSignature, C::txtQF1, C::txtQF2, C::txtQF3, C::txtQF4};
    Settings shown;
    shown.templ = program.Text(C::txtTemplate);
    shown.signature = program.Text(C::txtSignature);
    shown.quote1 = program.Text(C::txtQF1);
    shown.quote2 = program.Text(C::txtQF2);
    shown.html1 = program.Text(C::txtQF3);
    shown.html2 = program.Text(C::txtQF4);
    for (C field : fields) {
        EXPECT_NE(program.Text(field), Row(field).text) << Row(field).name << " shows its design-time text";
    }

    ASSERT_TRUE(program.ExitFromTrayMenu()) << "Exit did not end the program " << program.Describe();
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), shown.Bytes()) << "Exit did not create data\\data.sfc";
    EXPECT_FALSE(Exists(folder.Path("signature.txt")));
}

TEST_F(E2E, DoubleClickAndHelpOpenThroughTheShell) {
    ASSERT_TRUE(AssociationsPrepared())
        << "the prefix's \"open\" associations do not name the opener: run tests/e2e/prepare-prefix.sh";
    InstallOpener();
    ProgramFolder& folder = NewFolder(1);
    CreateDirectoryA(folder.Path("help").c_str(), nullptr);
    WriteBytes(folder.Path("help\\help.chm"), "ITSF");
    const std::string log = folder.Path("open.log");
    SetEnvironmentVariableA("TESSALY_E2E_OPEN_LOG", log.c_str());
    Program& program = Launched(folder);
    ASSERT_TRUE(program.WaitForStatus("Running!"));

    // How often `line` stands in the opener's log.
    const auto count = [&](const std::string& line) {
        const auto text = ReadBytes(log);
        int found = 0;
        for (auto at = text ? text->find(line + "\r\n") : std::string::npos; at != std::string::npos;
             at = text->find(line + "\r\n", at + 1)) {
            ++found;
        }
        return found;
    };
    const auto logged = [&](const std::string& line, int times = 1) {
        return WaitFor([&] { return count(line) >= times; }, kStateTimeout);
    };
    program.DoubleClick(C::txtSignature);
    EXPECT_TRUE(logged("txtfile|" + folder.Path("signature.txt"))) << Shown(ReadBytes(log));
    program.DoubleClick(C::txtQF3);
    EXPECT_TRUE(logged("folder|" + folder.Path("html1"))) << Shown(ReadBytes(log));
    EXPECT_EQ(program.Status(), "Running!");

    // Help from the button and from the tray menu.
    const std::string help = "chmfile|" + folder.Path("help\\help.chm");
    program.Click(C::cmdHelp);
    EXPECT_TRUE(logged(help)) << Shown(ReadBytes(log));
    EXPECT_TRUE(program.ChooseFromTrayMenu(kMenuHelp, [&] { return count(help) == 2; }))
        << "tray Help: " << Shown(ReadBytes(log));

    // The timer is on again after the viewers.
    ASSERT_TRUE(DeleteWithRetry(folder.Path("signature.txt")));
    EXPECT_TRUE(WaitForComposition(folder)) << "the timer did not run again after a double-click";
}

}  // namespace
}  // namespace tessaly::e2e
