#include "app_fixture.h"

namespace tessaly::testing {
namespace {

TEST(SettingsFormatTest, SevenQuotedLinesThatReadBackExactly) {
    SettingsValues values;
    values.paths = {R"(C:\a\template.htm)", "", R"(C:\my "best" quotes.txt)", "\"", "ab", R"(D:\h t m l\)"};
    values.autoStart = 1;
    const std::string bytes = FormatSettings(values);
    EXPECT_EQ(bytes,
              "\"C:\\a\\template.htm\"\r\n"
              "\"\"\r\n"
              "\"C:\\my \"best\" quotes.txt\"\r\n"
              "\"\"\"\r\n"
              "\"ab\"\r\n"
              "\"D:\\h t m l\\\"\r\n"
              "1\r\n");
    const SettingsValues back = ParseSettings(bytes);
    EXPECT_EQ(back.paths, values.paths);
    EXPECT_EQ(back.autoStart, 1);

    for (const std::int16_t flag : {0, 1, 2}) {
        values.autoStart = flag;
        EXPECT_EQ(ParseSettings(FormatSettings(values)).autoStart, flag);
    }
}

TEST(SettingsFormatTest, MalformedTextKeepsWhatWasReadAndClearsTheRest) {
    // Only the first and last characters are dropped, whatever they are.
    auto values = ParseSettings("xy\r\n<path>\r\nq\r\n\r\n");
    EXPECT_EQ(values.paths[0], "");      // exactly two characters
    EXPECT_EQ(values.paths[1], "path");
    EXPECT_EQ(values.paths[2], "");      // one character
    EXPECT_EQ(values.paths[3], "");      // an empty line
    EXPECT_EQ(values.paths[4], "");      // missing
    EXPECT_EQ(values.autoStart, 0);

    // Lines end at CR alone too; a lone LF is part of the line.
    values = ParseSettings("\"a\"\r\"b\nc\"\r\n\"\"\r\"\"\r\"\"\r\"\"\r1");
    EXPECT_EQ(values.paths[0], "a");
    EXPECT_EQ(values.paths[1], "b\nc");
    EXPECT_EQ(values.autoStart, 1);
    values = ParseSettings("\"a\"\n\"b\"\n");  // one line only
    EXPECT_EQ(values.paths[0], "a\"\n\"b\"");
    EXPECT_EQ(values.paths[1], "");

    const std::string six = "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n\"5\"\r\n\"6\"\r\n";
    for (const char* seventh : {"3", "-1", "abc", "", "1x", "99999", "1.5"}) {
        values = ParseSettings(six + seventh + "\r\n");
        EXPECT_EQ(values.autoStart, 0) << seventh;
        EXPECT_EQ(values.paths[5], "6");
    }
    EXPECT_EQ(ParseSettings(six + "2\r\n").autoStart, 2);
    EXPECT_EQ(ParseSettings(six + "1").autoStart, 1);  // no terminator on the last line
    EXPECT_EQ(ParseSettings(six).autoStart, 0);
    EXPECT_EQ(ParseSettings("").paths[0], "");
}

TEST(SettingsFileTest, AMissingFileIsReportedAndTheFolderIsMadeOnSave) {
    TempFolder temp;
    const std::string path = SettingsFilePath(temp.Path());
    EXPECT_EQ(path, Join(Join(temp.Path(), "data"), "data.sfc"));

    const LoadedSettings missing = ReadSettingsFile(path);
    EXPECT_FALSE(missing.fileFound);
    EXPECT_EQ(missing.values.paths[0], "");

    SettingsValues values;
    values.paths[1] = "sig";
    values.autoStart = 2;
    ASSERT_TRUE(WriteSettingsFile(path, values));
    const LoadedSettings found = ReadSettingsFile(path);
    EXPECT_TRUE(found.fileFound);
    EXPECT_EQ(found.values.paths[1], "sig");
    EXPECT_EQ(found.values.autoStart, 2);
    EXPECT_EQ(ReadBytes(path), FormatSettings(values));

    // A file where the folder should be: the save fails and says so.
    TempFolder blocked;
    WriteBytes(Join(blocked.Path(), "data"), "not a folder");
    EXPECT_FALSE(WriteSettingsFile(SettingsFilePath(blocked.Path()), values));
}

TEST_F(AppTest, SavingTwiceGivesTheSameBytesAndRoundTripsEveryField) {
    Start(0);
    platform.Type(ControlId::txtQF1, "");
    platform.Type(ControlId::txtQF2, "with \"quotes\" inside");
    platform.Type(ControlId::txtQF3, "ab");
    platform.Check(2);
    form->SaveSettings();
    const std::string first = ReadBytes(SettingsPath());
    form->SaveSettings();
    EXPECT_EQ(ReadBytes(SettingsPath()), first);
    // Replaced whole: no temporary file is left beside it.
    EXPECT_EQ(std::distance(stdfs::directory_iterator(Join(folder.Path(), "data")), stdfs::directory_iterator()), 1);
    EXPECT_EQ(first, "\"" + templatePath + "\"\r\n\"" + signaturePath +
                         "\"\r\n\"\"\r\n\"with \"quotes\" inside\"\r\n\"ab\"\r\n\"" + html2Path + "\"\r\n2\r\n");

    // The next start reads back exactly what the window held.
    form.reset();
    HeadlessPlatform again(folder.Path());
    frmSignature second(again, random);
    again.Attach(second);
    again.StartProgram();
    EXPECT_EQ(again.Text(ControlId::txtQF1), "");
    EXPECT_EQ(again.Text(ControlId::txtQF2), "with \"quotes\" inside");
    EXPECT_EQ(again.Text(ControlId::txtQF3), "ab");
    EXPECT_EQ(again.CheckValue(), 2);
    EXPECT_FALSE(again.TimerOn(ControlId::Timer1));
}

TEST_F(AppTest, AShortSettingsFileStartsWithTheValuesItHas) {
    MakeSources();
    stdfs::create_directories(Join(folder.Path(), "data"));
    WriteBytes(SettingsPath(), "\"" + templatePath + "\"\r\n\"x");
    Create();
    platform.StartProgram();
    EXPECT_EQ(platform.Text(ControlId::txtTemplate), templatePath);
    EXPECT_EQ(platform.Text(ControlId::txtSignature), "");
    EXPECT_EQ(platform.Text(ControlId::txtQF4), "");
    EXPECT_EQ(platform.CheckValue(), 0);
    EXPECT_EQ(platform.Status(), "Paused!");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(AppTest, AReadOnlySettingsFileIsKeptAndTheUserIsTold) {
    Start(0);
    const std::string before = ReadBytes(SettingsPath());
    stdfs::permissions(SettingsPath(), stdfs::perms::owner_write | stdfs::perms::group_write |
                                           stdfs::perms::others_write,
                       stdfs::perm_options::remove);
    platform.Type(ControlId::txtQF1, "a change that cannot be stored");
    form->cmdQF1_Click();
    stdfs::permissions(SettingsPath(), stdfs::perms::owner_write, stdfs::perm_options::add);

    EXPECT_EQ(ReadBytes(SettingsPath()), before);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_NE(platform.messageBoxes[0].text.find(SettingsPath()), std::string::npos);
    EXPECT_EQ(platform.Text(ControlId::txtQF1), "a change that cannot be stored");
    // Writable again, the next save stores it.
    form->mnuRefresh_Click();
    EXPECT_EQ(SettingsLines()[2], "\"a change that cannot be stored\"");
}

TEST_F(AppTest, AFailedSaveSaysSoOnceAndTheProgramCarriesOn) {
    Start(0);
    // The data folder turns into a file: no save can succeed.
    stdfs::remove_all(Join(folder.Path(), "data"));
    WriteBytes(Join(folder.Path(), "data"), "in the way");

    form->mnuPause_Click();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].style, 48);
    EXPECT_EQ(platform.messageBoxes[0].title, "Tessaly Error");
    EXPECT_NE(platform.messageBoxes[0].text.find(SettingsPath()), std::string::npos);
    // The switch went ahead all the same.
    EXPECT_EQ(TipOf(platform.TrayIconShown()), "Tessaly Paused");
    EXPECT_EQ(platform.Status(), "Paused!");

    // Exit saves twice (its own and the unload's): one message, and the
    // program still removes its icon and ends.
    form->mnuExit_Click();
    EXPECT_EQ(platform.messageBoxes.size(), 2u);
    EXPECT_FALSE(platform.TrayIconPresent());
    EXPECT_TRUE(platform.ended);
}

}  // namespace
}  // namespace tessaly::testing
