// The real tessaly.exe under Wine while another program holds its files, as
// backup tools hold the settings and mail programs the signature.
#include <gtest/gtest.h>

#include "driver.h"

namespace tessaly::test {
namespace {

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

class HeldFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "DISPLAY is not set: the program's windows need an X display";
    }
    // The one message box; closed once its text is read.
    std::string Message(Ms timeout) {
        const HWND box = program.WaitForDialog("Tessaly Error", timeout);
        const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
        if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    ProgramFolder folder{1};
    Program program;
};

TEST_F(HeldFiles, SettingsHeldAtStartAreKeptAndTheUserIsToldOnce) {
    const auto stored = ReadBytes(folder.SettingsFile());
    {
        const Holder backup(folder.SettingsFile(), 0);
        ASSERT_TRUE(backup.Holds());
        program.Start(folder.Exe());
        const std::string text = Message(kStartTimeout);
        EXPECT_NE(text.find(folder.Path("data/data.sfc") + " (held by another program)"), std::string::npos) << text;
    }
    ASSERT_TRUE(program.WaitUntilShown());
    EXPECT_EQ(program.Text(ControlId::txtTemplate), "");
    EXPECT_EQ(program.Status(), "Paused!");
    EXPECT_FALSE(program.WaitForDialog("Tessaly Error", 1s));
    program.End();  // the window closes: the file stays as it was
    EXPECT_EQ(ReadBytes(folder.SettingsFile()), stored);
}

TEST_F(HeldFiles, ASignatureAReaderHoldsIsWrittenInPlaceOrKeptWhole) {
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
        EXPECT_EQ(Message(kTickTimeout),
                  "File or Path Error. Ensure that all your file paths are correct and that the files exist!");
        EXPECT_EQ(locker.Bytes(), before);
    }
    EXPECT_TRUE(program.WaitForStatus("Paused!"));
    EXPECT_NE(ReadBytes(folder.Path("data/tessaly.log"))->find(signature + " | held by another program"),
              std::string::npos);
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(folder.Path("~tsy*").c_str(), &found), INVALID_HANDLE_VALUE);
    program.End();
}

}  // namespace
}  // namespace tessaly::test
