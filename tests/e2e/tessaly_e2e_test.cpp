// The real tessaly.exe under Wine, started in a prepared folder and worked
// from outside as a user and the shell would: what only the real program can
// show (its timer, dialogs, tray callbacks, keys, message box, files held by
// other programs). The window's logic is checked headless.
#include <gtest/gtest.h>

#include "driver.h"

namespace tessaly::test {
namespace {

using C = ControlId;

class E2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the program's windows need an X display under Wine";
    }
    static bool WaitForComposition(const ProgramFolder& folder, Ms timeout = kTickTimeout) {
        return WaitFor([&] { return ReadBytes(folder.Signature()) == ProgramFolder::kComposed; }, timeout);
    }
    // No tick writes the signature again for as long as the timer would take.
    static bool ComposesNothing(const ProgramFolder& folder) {
        const std::string signature = folder.Signature();
        // Deleted when the program is not writing it at that moment.
        WaitFor([&] { return DeleteFileA(signature.c_str()) || !ReadBytes(signature); }, 2s);
        std::this_thread::sleep_for(kQuietPeriod);
        return !ReadBytes(signature);
    }
};

// Started Running, the program composes at once and then on the timer; the
// ticks wait while a file dialog is open, and while the user edits a field,
// since half-typed text is no path.
TEST_F(E2E, RunningStartComposesAndTicksWaitForAFileDialogAndATypedField) {
    ProgramFolder folder(1);
    Program program(folder.Exe());
    ASSERT_TRUE(program.WaitUntilShown()) << program.Describe();
    EXPECT_EQ(ReadBytes(folder.Signature()), ProgramFolder::kComposed) << "when the window came up";

    program.Click(C::Quote1Button);
    const HWND dialog = program.WaitForDialog(" Select File ");
    ASSERT_NE(dialog, nullptr) << program.Describe();
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 0x471)), "quotes");  // "Look in"
    EXPECT_TRUE(ComposesNothing(folder)) << "a tick composed while the dialog was open";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitForComposition(folder)) << "the timer did not run again";

    program.Focus(C::Quote1Field);  // then typed and taken back: the path is whole again
    for (const char key : {'x', '\b'}) PostMessageA(program.Control(C::Quote1Field), WM_CHAR, key, 1);
    EXPECT_TRUE(ComposesNothing(folder)) << "a tick composed while the field was being edited";
    PostMessageA(program.Control(C::Quote1Field), WM_KEYDOWN, VK_TAB, 1);
    EXPECT_TRUE(WaitForComposition(folder, kStateTimeout)) << "no composition once the focus left the field";
}

// Owner-drawn, the picture buttons show no text, yet they keep it: a screen
// reader names a button by its text. (Wine names an edit control by its
// contents, so the path fields' names are the Linux edition's test.) Ctrl+O
// opens the focused field's file as a double-click does: here a batch file
// that leaves a mark.
TEST_F(E2E, PictureButtonsHaveNamesAndCtrlOViewsTheFocusedFieldsFile) {
    ProgramFolder folder(0);
    folder.Write("view.bat", "@echo viewed>\"%~dp0viewed.txt\"\r\n");
    SettingsValues settings = folder.Settings(0);
    settings.paths[3] = folder.Path("view.bat");  // the second quote file
    folder.Write("data/data.sfc", FormatSettings(settings));
    Program program(folder.Exe());
    ASSERT_TRUE(program.WaitUntilShown()) << program.Describe();
    for (const auto& [button, name] : {std::pair{C::StartButton, "Start"}, {C::StopButton, "Stop"},
                                       {C::CreateNowButton, "Create the signature now"}, {C::HelpButton, "Help"}}) {
        EXPECT_EQ(program.Text(button), name);
    }

    program.PressCtrlKey(C::Quote2Field, 'O');
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(folder.Path("viewed.txt")) == "viewed\r\n"; }, kStartTimeout))
        << "Ctrl+O did not open the field's file " << program.Describe();
}

// The buttons, the tray icon, its menu and a second start work the one
// program; Exit saves what the user typed and ticked.
TEST_F(E2E, ButtonsTrayIconMenuAndASecondStartWorkTheProgram) {
    ProgramFolder folder(0);
    Program program(folder.Exe());
    ASSERT_TRUE(program.WaitUntilShown()) << program.Describe();
    program.Click(C::StartButton);
    EXPECT_TRUE(program.WaitForStatus("Running!") && program.WaitForVisible(false)) << program.Describe();
    // Two copies never write the same files: a second start with the same
    // settings brings the first copy's window up and ends.
    Program second(folder.Exe());
    EXPECT_EQ(second.WaitForExit(kStartTimeout), 0u) << "a second copy kept running or failed";
    EXPECT_TRUE(program.WaitForVisible(true)) << "the first copy's window did not come up";
    program.Click(C::StopButton);
    ASSERT_TRUE(program.WaitForStatus("Paused!") && program.WaitForVisible(false));
    program.TrayNotify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.WaitForVisible(true)) << "a double-click on the icon did not open the window";

    // A quote inside a path is saved as the user typed it.
    SettingsValues typed = folder.Settings(1);
    typed.paths[0] = "C:\\Mail \"draft\" template.txt";
    Ask(program.Control(C::TemplateField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.paths[0].c_str()));
    Ask(program.Control(C::AutoRunBox), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuExit, [&] { return !program.Running(); }));
    EXPECT_EQ(ReadBytes(folder.Path("data/data.sfc")), FormatSettings(typed));
}

// A file held open, as another program would.
HANDLE Hold(const std::string& path, DWORD sharing) {
    return CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
}
// The file's bytes, read through the holder's own handle.
std::string BytesThrough(HANDLE file) {
    std::string bytes(4096, '\0');
    DWORD got = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    return bytes.substr(0, got);
}

// A mail program reading the signature shares writing, not deleting: the
// text is written in place. One that shares nothing makes the tick fail: the
// file stays whole and the user is told in a message box, which brings the
// window up.
TEST_F(E2E, ASignatureAReaderHoldsIsWrittenInPlaceAndALockedOneIsToldOnce) {
    ProgramFolder folder(1);
    const std::string signature = folder.Signature();
    WriteBytes(signature, "previous\r\n");
    const HANDLE reader = Hold(signature, FILE_SHARE_READ | FILE_SHARE_WRITE);
    Program program(folder.Exe());
    ASSERT_TRUE(program.WaitUntilShown()) << program.Describe();
    EXPECT_EQ(BytesThrough(reader), ProgramFolder::kComposed);
    program.Click(C::StartButton);  // hides the window
    CloseHandle(reader);
    const HANDLE locker = Hold(signature, 0);
    const HWND box = program.WaitForDialog("Tessaly Error", kTickTimeout);
    ASSERT_NE(box, nullptr) << program.Describe();
    EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)),
              "File or Path Error. Ensure that all your file paths are correct and that the files exist!\n\n"
              "signature file (Select Signature): " + signature + " (held by another program)");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(program.WaitForVisible(true)) << "the window did not come up after OK";
    EXPECT_EQ(BytesThrough(locker), ProgramFolder::kComposed);
    CloseHandle(locker);
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(folder.Path("~tsy*").c_str(), &found), INVALID_HANDLE_VALUE) << "a temporary was left";
}

}  // namespace
}  // namespace tessaly::test
