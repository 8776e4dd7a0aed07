// The real tessaly.exe under Wine, started in a prepared folder and worked
// from outside as a user and the shell would: what only the real program can
// show. Everything else is checked headless.
#include <gtest/gtest.h>

#include <cstdlib>

#include "driver.h"

namespace tessaly::test {
namespace {

using C = ControlId;

// Holds a file open, as another program would, while it lives.
class Holder {
public:
    Holder(const std::string& path, DWORD sharing)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Holder() {
        if (Holds()) CloseHandle(file_);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    bool Holds() const { return file_ != INVALID_HANDLE_VALUE; }
    // The file's bytes, read through the holder's own handle.
    std::string Bytes() const {
        std::string bytes(4096, '\0');
        DWORD got = 0;
        SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
        ReadFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        return bytes.substr(0, got);
    }

private:
    HANDLE file_;
};

class E2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "the program's windows need an X display under Wine";
    }
    static void Launch(Program& program, const std::string& exe) {
        program.Start(exe);
        ASSERT_TRUE(program.WaitUntilShown()) << "the main window never came up " << program.Describe();
    }
    // The program's one message box: its text, once OK has closed it.
    static std::string CloseMessage(const Program& program, Ms timeout) {
        const HWND box = program.WaitForDialog("Tessaly Error", timeout);
        const std::string text = box ? MessageBoxText(box) : "<no message> " + program.Describe();
        if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    static bool WaitForComposition(const ProgramFolder& folder, Ms timeout = kTickTimeout) {
        return WaitFor([&] { return ReadBytes(folder.Signature()) == ProgramFolder::kComposed; }, timeout);
    }
};

TEST_F(E2E, RunningStartComposesFirstAndAFileDialogHoldsTheTimerTillCancel) {
    ProgramFolder folder(1);
    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, folder.Exe()));
    EXPECT_EQ(ReadBytes(folder.Signature()), ProgramFolder::kComposed) << "when the window came up";
    EXPECT_TRUE(program.WaitForStatus("Running!")) << program.Status();
    EXPECT_EQ(program.Check(), BST_CHECKED);

    WriteBytes(folder.SettingsFile(), "stale");
    program.Click(C::Quote1Button);
    const HWND dialog = program.WaitForDialog(" Select File ");
    ASSERT_NE(dialog, nullptr) << program.Describe();
    EXPECT_EQ(TextOf(GetDlgItem(dialog, 0x471)), "quotes");  // "Look in"
    EXPECT_TRUE(program.WaitForStatus("Paused!")) << program.Status();
    ASSERT_TRUE(DeleteWithRetry(folder.Signature()));
    std::this_thread::sleep_for(kQuietPeriod);
    EXPECT_FALSE(ReadBytes(folder.Signature())) << "a tick composed while the dialog was open";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(program.WaitForStatus("Running!")) << program.Status();
    EXPECT_EQ(program.Text(C::Quote1Field), folder.Path("quote1.txt"));
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(folder.SettingsFile()) == FormatSettings(folder.Settings(1)); },
                        kStateTimeout));
    EXPECT_TRUE(WaitForComposition(folder)) << "the timer did not run again";
}

// Half-typed text is no path: while the user edits a field, the ticks wait;
// once the focus leaves it, the composition runs.
TEST_F(E2E, TicksWaitWhileAFieldIsTypedIn) {
    ProgramFolder folder(1);
    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, folder.Exe()));
    ASSERT_TRUE(DeleteWithRetry(folder.Signature()));
    program.TypeKeys(C::Quote1Field, "x\b");  // typed and taken back: the path is whole again
    std::this_thread::sleep_for(kQuietPeriod);
    EXPECT_FALSE(ReadBytes(folder.Signature())) << "a tick composed while the field was being edited";
    program.PressKey(C::Quote1Field, VK_TAB);
    EXPECT_TRUE(WaitForComposition(folder, kStateTimeout)) << "no composition once the focus left the field";
    EXPECT_EQ(program.Dialog("Tessaly Error"), nullptr);
}

// Owner-drawn, the picture buttons show no text; a screen reader still hears
// what each does. (Wine names an edit control by its contents, so the path
// fields' names are the Linux edition's test.)
TEST_F(E2E, ScreenReadersHearWhatEachPictureButtonDoes) {
    ProgramFolder folder(0);
    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, folder.Exe()));
    EXPECT_EQ(program.AccessibleName(C::StartButton), "Start");
    EXPECT_EQ(program.AccessibleName(C::StopButton), "Stop");
    EXPECT_EQ(program.AccessibleName(C::CreateNowButton), "Create the signature now");
    EXPECT_EQ(program.AccessibleName(C::HelpButton), "Help");
}

// Ctrl+O opens the focused field's file as a double-click does: the file's
// type is one that the test registers, whose "open" copies the file beside.
TEST_F(E2E, CtrlOViewsTheFocusedFieldsFile) {
    HKEY type = nullptr, command = nullptr;
    ProgramFolder folder(0);
    folder.dir.Write("view.tessalyview", "viewed\r\n");
    const std::string copy = "cmd.exe /c copy \"%1\" \"" + folder.Path("viewed.txt") + "\"";
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".tessalyview", 0, nullptr, 0, KEY_WRITE, nullptr, &type, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(type, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("TessalyView"), 12);
    RegCloseKey(type);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "TessalyView\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &command, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(copy.c_str()),
                   static_cast<DWORD>(copy.size() + 1));
    RegCloseKey(command);
    SettingsValues settings = folder.Settings(0);
    settings.paths[3] = folder.Path("view.tessalyview");  // the second quote file
    folder.dir.Write("data/data.sfc", FormatSettings(settings));

    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, folder.Exe()));
    program.PressCtrlKey(C::Quote2Field, 'O');
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(folder.Path("viewed.txt")) == "viewed\r\n"; }, kStartTimeout))
        << "Ctrl+O did not open the field's file " << program.Describe();
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "TessalyView");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tessalyview");
}

// Two copies never write the same files: a second start with the same
// settings brings the first copy's window up and ends.
TEST_F(E2E, ASecondStartBringsTheFirstCopysWindowUpAndEnds) {
    ProgramFolder folder(0);
    Program first;
    ASSERT_NO_FATAL_FAILURE(Launch(first, folder.Exe()));
    first.Click(C::StartButton);
    ASSERT_TRUE(first.WaitForVisible(false)) << first.Describe();
    Program second;
    second.Start(folder.Exe());
    ASSERT_TRUE(second.WaitForExit(kStartTimeout)) << "a second copy kept running";
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.WaitForVisible(true)) << "the first copy's window did not come up";
    EXPECT_TRUE(first.Running());
}

TEST_F(E2E, StartStopCreateNowTrayCallbackCodesMenuCommandsAndExitSavingByteForByte) {
    ProgramFolder folder(0);
    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, folder.Exe()));
    // Start hides the window and composes on the timer's ticks; create-now
    // composes once while Paused.
    program.Click(C::StartButton);
    EXPECT_TRUE(program.WaitForStatus("Running!") && program.WaitForVisible(false)) << program.Describe();
    EXPECT_TRUE(WaitForComposition(folder)) << "no composition while Running";
    program.Click(C::StopButton);
    ASSERT_TRUE(program.WaitForStatus("Paused!"));
    ASSERT_TRUE(DeleteWithRetry(folder.Signature()));
    program.Click(C::CreateNowButton);
    EXPECT_TRUE(WaitForComposition(folder, kStateTimeout)) << "create-now wrote no signature";
    program.TrayNotify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.WaitForVisible(true));
    ShowWindowAsync(program.Main(), SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(program.Main()) != FALSE; }, kStateTimeout));
    program.Click(C::StopButton);
    ASSERT_TRUE(program.WaitForVisible(false));
    for (const UINT code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}) {
        ASSERT_TRUE(program.TrayNotify(code, true)) << code;
        EXPECT_FALSE(program.Visible()) << code;
        EXPECT_EQ(program.PopupMenu(), nullptr) << code;
    }
    program.TrayNotify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(program.WaitForVisible(true));
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(program.Main()); }, kStateTimeout)) << "left minimised";
    program.Click(C::StopButton);
    ASSERT_TRUE(program.WaitForVisible(false));
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuOpen, [&] { return program.Visible(); }));

    // Resume while Paused, Pause while Running, Refresh while Paused.
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuResumeOrPause, [&] { return program.Status() == "Running!"; }));
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuResumeOrPause, [&] { return program.Status() == "Paused!"; }));
    ASSERT_TRUE(DeleteWithRetry(folder.Signature()));
    ASSERT_TRUE(program.ChooseFromTrayMenu(kMenuRefresh, [&] { return WaitForComposition(folder, 0ms); }));

    // What the user typed and ticked, a quote inside a path and an emptied
    // field included.
    SettingsValues typed = folder.Settings(1);
    typed.paths[0] = "C:\\Mail \"draft\" template.txt";
    typed.paths[5] = "";
    program.Type(C::TemplateField, typed.paths[0]);
    program.Type(C::Html2Field, "");
    program.Click(C::AutoRunBox);
    ASSERT_TRUE(WaitFor([&] { return program.Check() == BST_CHECKED; }, kStateTimeout));
    ASSERT_TRUE(program.ExitFromTrayMenu());
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), FormatSettings(typed));
}

TEST_F(E2E, AFailingTickShowsTheMessageOnceAndPauses) {
    ProgramFolder folder(0);
    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, folder.Exe()));
    WriteBytes(folder.Signature(), "previous\r\n");
    program.Click(C::AutoRunBox);
    ASSERT_TRUE(WaitFor([&] { return program.Check() == BST_CHECKED; }, kStateTimeout));
    ASSERT_TRUE(DeleteWithRetry(folder.Path("quote1.txt")));
    program.Click(C::StartButton);
    ASSERT_TRUE(program.WaitForVisible(false));
    // The program's sentence, then which file and why.
    EXPECT_EQ(CloseMessage(program, kTickTimeout),
              "File or Path Error. Ensure that all your file paths are correct and that the files exist!\n\n"
              "quote file 1 (Select Quote1): " + folder.Path("quote1.txt") + " (not found)");
    EXPECT_TRUE(program.WaitForVisible(true)) << "the window did not come up after OK";
    EXPECT_EQ(program.Check(), BST_UNCHECKED);
    std::this_thread::sleep_for(kQuietPeriod);
    EXPECT_EQ(program.Dialog("Tessaly Error"), nullptr) << "the failed composition was retried";
    EXPECT_EQ(ReadBytes(folder.Signature()), "previous\r\n");
    ASSERT_TRUE(program.ExitFromTrayMenu());
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), FormatSettings(folder.Settings(0)));
}

// The package as package.sh unpacked it: a first run there shows the
// samples, composes from them and saves beside the program.
TEST_F(E2E, TheUnpackedPackageRunsOnItsSamples) {
    const std::string app = WindowsPathFromEnvironment("TESSALY_PACKAGE_DIR");
    ASSERT_FALSE(app.empty()) << "TESSALY_PACKAGE_DIR must name the unpacked package";
    Program program;
    ASSERT_NO_FATAL_FAILURE(Launch(program, app + "\\tessaly.exe"));
    const char* shipped[] = {"samples\\template.htm", "samples\\signature.htm", "quotes\\quotes1.txt",
                             "quotes\\quotes2.txt",   "samples\\html1",         "samples\\html2"};
    const C fields[] = {C::TemplateField, C::SignatureField, C::Quote1Field,
                        C::Quote2Field,   C::Html1Field,     C::Html2Field};
    SettingsValues shown;
    for (std::size_t i = 0; i < 6; ++i) {
        shown.paths[i] = program.Text(fields[i]);
        // A drive letter's case may differ.
        EXPECT_EQ(lstrcmpiA(shown.paths[i].c_str(), (app + "\\" + shipped[i]).c_str()), 0) << shown.paths[i];
    }
    program.Click(C::CreateNowButton);
    const std::string signature = app + "\\samples\\signature.htm";
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(signature).has_value(); }, kStateTimeout)) << program.Describe();
    EXPECT_EQ(program.Dialog("Tessaly Error"), nullptr);
    PostMessageA(program.Main(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit()) << program.Describe();
    EXPECT_EQ(ReadBytes(app + "\\data\\data.sfc"), FormatSettings(shown));
}

// Other programs hold its files: a backup tool the settings, a mail program
// the signature.
TEST_F(E2E, SettingsHeldAtStartAreKeptAndTheUserIsToldOnce) {
    ProgramFolder folder(1);
    Program program;
    const auto stored = ReadBytes(folder.SettingsFile());
    {
        const Holder backup(folder.SettingsFile(), 0);
        ASSERT_TRUE(backup.Holds());
        program.Start(folder.Exe());
        const std::string text = CloseMessage(program, kStartTimeout);
        EXPECT_NE(text.find(folder.Path("data/data.sfc") + " (held by another program)"), std::string::npos) << text;
    }
    ASSERT_TRUE(program.WaitUntilShown());
    EXPECT_EQ(program.Text(ControlId::TemplateField), "");
    EXPECT_EQ(program.Status(), "Paused!");
    EXPECT_FALSE(program.WaitForDialog("Tessaly Error", 1s));
    program.End();  // the window closes: the file stays as it was
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), stored);
}

TEST_F(E2E, ASignatureAReaderHoldsIsWrittenInPlaceOrKeptWhole) {
    ProgramFolder folder(1);
    Program program;
    const std::string signature = folder.Signature();
    WriteBytes(signature, "previous\r\n");
    {
        // A mail program reading it: sharing reading and writing, not delete.
        const Holder reader(signature, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(reader.Holds());
        program.Start(folder.Exe());
        ASSERT_TRUE(program.WaitUntilShown());
        EXPECT_EQ(reader.Bytes(), ProgramFolder::kComposed);
        Sleep(static_cast<DWORD>(kQuietPeriod.count()));  // a tick
        EXPECT_EQ(reader.Bytes(), ProgramFolder::kComposed);
        EXPECT_EQ(program.Status(), "Running!");
    }
    {
        // One that shares nothing: the next tick fails and keeps the file whole.
        const Holder locker(signature, 0);
        ASSERT_TRUE(locker.Holds());
        const std::string before = locker.Bytes();
        EXPECT_EQ(CloseMessage(program, kTickTimeout),
                  "File or Path Error. Ensure that all your file paths are correct and that the files exist!\n\n"
                  "signature file (Select Signature): " + signature + " (held by another program)");
        EXPECT_EQ(locker.Bytes(), before);
    }
    EXPECT_NE(ReadBytes(folder.Path("data/tessaly.log"))->find(signature + " | held by another program"),
              std::string::npos);
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(folder.Path("~tsy*").c_str(), &found), INVALID_HANDLE_VALUE);
    program.End();
}

}  // namespace
}  // namespace tessaly::test
