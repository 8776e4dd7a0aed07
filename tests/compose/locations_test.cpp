// Where the Windows programs keep the user's files: beside an unpacked copy,
// under the user's folder (%APPDATA%\Tessaly) for an installed one, whose
// program folder is never written.
#include <gtest/gtest.h>

#include "core/line_ends.h"
#include "core/locations.h"
#include "support/support.h"

namespace tessaly::test {
namespace {

class Locations : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("app/samples/template.htm", "Hi quote1 htmPath2");
        dir.Write("app/samples/html2/a.htm", "<b>x</b>");
        dir.Write("app/quotes/quotes1.txt", "First\r\n");
        stdfs::create_directories(dir.Path("roaming"));
    }
    ScratchFolder dir;
    const std::string app = dir.Path("app"), roaming = dir.Path("roaming");
};

TEST_F(Locations, OnlyAnInstalledCopyWithAUserFolderKeepsItsSettingsThere) {
    const ProgramLocations installed = LocateWindowsProgram(app, true, roaming);
    EXPECT_EQ(installed.settingsPath, dir.Path("roaming/Tessaly/data.sfc"));
    EXPECT_EQ(LocateWindowsProgram(app, true, "").settingsPath, dir.Path("app/data/data.sfc"));
    // An unpacked copy writes no first settings.
    const ProgramLocations unpacked = LocateWindowsProgram(app, false, roaming);
    EXPECT_EQ(unpacked.settingsPath, dir.Path("app/data/data.sfc"));
    EXPECT_TRUE(WriteFirstRunSettings(unpacked));
    EXPECT_FALSE(stdfs::exists(dir.Path("app/data")));
    EXPECT_TRUE(dir.Entries("roaming").empty());
}

TEST_F(Locations, AnInstalledCopysFirstRunComposesFromTheSamplesIntoTheUsersFolderOnce) {
    const auto before = dir.Entries("app");
    const ProgramLocations where = LocateWindowsProgram(app, true, roaming);
    ASSERT_TRUE(WriteFirstRunSettings(where));

    const LoadedSettings loaded = ReadSettingsFile(where.settingsPath);
    ASSERT_TRUE(loaded.fileFound);
    EXPECT_EQ(loaded.values.autoStart, 0);
    const auto& paths = loaded.values.paths;
    ScriptedDraws random;
    ASSERT_TRUE(ComposeSignature({paths[0], paths[1], paths[2], paths[3], paths[4], paths[5]}, random));
    EXPECT_EQ(ReadBytes(dir.Path("roaming/Tessaly/signature.htm")),
              "Hi First <b>x</b>" + std::string(LineBreak(kPlatformLineEnds)));
    EXPECT_EQ(dir.Entries("app"), before);
    // An existing settings file is kept.
    WriteBytes(where.settingsPath, "\"mine\"\r\n");
    EXPECT_TRUE(WriteFirstRunSettings(where));
    EXPECT_EQ(ReadBytes(where.settingsPath), "\"mine\"\r\n");
}

}  // namespace
}  // namespace tessaly::test
