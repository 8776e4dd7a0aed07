// The settings file: seven quoted lines under either line rule, and what a
// file that is not understood gives.
#include <gtest/gtest.h>

#include <tuple>

#include "core/settings_file.h"
#include "support/support.h"

namespace tessaly::test {
namespace {

const std::string kSix = "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n\"5\"\r\n\"6\"\r\n";
const std::array<std::string, 6> kSixPaths{"1", "2", "3", "4", "5", "6"};

TEST(SettingsFile, SevenQuotedLinesThatReadBackExactlyUnderEitherRule) {
    SettingsValues values;
    values.paths = {R"(C:\a\t.htm)", "", R"(C:\my "best".txt)", "\"", "ab", R"(D:\h t m l\)"};
    values.autoStart = 2;
    const std::string windows = FormatSettings(values, LineEnds::Windows);
    EXPECT_EQ(windows, "\"C:\\a\\t.htm\"\r\n\"\"\r\n\"C:\\my \"best\".txt\"\r\n\"\"\"\r\n"
                       "\"ab\"\r\n\"D:\\h t m l\\\"\r\n2\r\n");
    EXPECT_EQ(FormatSettings(values, LineEnds::Linux), "\"C:\\a\\t.htm\"\n\"\"\n\"C:\\my \"best\".txt\"\n\"\"\"\n"
                                                       "\"ab\"\n\"D:\\h t m l\\\"\n2\n");
    for (const LineEnds rule : {LineEnds::Windows, LineEnds::Linux}) {
        std::string problem = "unset";
        const SettingsValues back = ParseSettings(FormatSettings(values, rule), &problem, rule);
        EXPECT_EQ(back.paths, values.paths);
        EXPECT_EQ(back.autoStart, 2);
        EXPECT_EQ(problem, "");
    }
    // A file written on Windows reads the same on Linux.
    EXPECT_EQ(ParseSettings(windows, nullptr, LineEnds::Linux).paths, values.paths);
    // Blanks around the flag, and lines after the seventh, are no problem.
    std::string problem = "unset";
    EXPECT_EQ(ParseSettings(kSix + " +1\t\r\nmore\r\n", &problem, LineEnds::Windows).autoStart, 1);
    EXPECT_EQ(problem, "");
}

TEST(SettingsFile, TextThatIsNotUnderstoodSaysWhyAndKeepsWhatWasRead) {
    const std::string lf = "\"1\"\n\"2\"\n\"3\"\n\"4\"\n\"5\"\n\"6\"\n0\n";
    // The text, the rule it is read under, the problem and the paths read.
    const std::vector<std::tuple<std::string, LineEnds, std::string, std::array<std::string, 6>>> cases{
        {"", LineEnds::Linux, "empty file", {}},
        {kSix, LineEnds::Windows, "6 lines instead of 7", kSixPaths},
        {lf, LineEnds::Windows, "1 line instead of 7", {lf}},
        {kSix + "3\r\n", LineEnds::Linux, "line 7 is not 0, 1 or 2", kSixPaths},
        {"\"1\"\r\n/two\r\n\"\r\n\"4\"\r\n\"5\"\r\n\"6\"\r\n0\r\n", LineEnds::Windows, "line 2 is not a path in quotes",
         {"1", "/two", "\"", "4", "5", "6"}},
        // Under the Windows rule a lone LF belongs to its line.
        {"\"a\nb\"\r\n", LineEnds::Windows, "1 line instead of 7", {"a\nb"}},
    };
    for (const auto& [text, rule, expectedProblem, paths] : cases) {
        std::string problem;
        const SettingsValues read = ParseSettings(text, &problem, rule);
        EXPECT_EQ(problem, expectedProblem) << text;
        EXPECT_EQ(read.paths, paths) << text;
        EXPECT_EQ(read.autoStart, 0) << text;
    }
    for (const char* seventh : {"", "-1", "-0", "+-0", "abc", "1x", "99999", "1 1"}) {
        std::string problem;
        ParseSettings(kSix + seventh + "\r\n", &problem, LineEnds::Windows);
        EXPECT_EQ(problem, "line 7 is not 0, 1 or 2") << seventh;
    }
}

TEST(SettingsFile, AMalformedFileIsReportedWithWhatCouldBeReadAndASaveIsUnderstood) {
    ScratchFolder dir;
    const std::string path = dir.Write("data.sfc", kSix + "7\r\n");
    const LoadedSettings malformed = ReadSettingsFile(path);
    EXPECT_FALSE(malformed.fileFound);
    EXPECT_EQ(malformed.read.error, fs::Error::Malformed);
    EXPECT_EQ(SettingsFailure(malformed), "malformed: line 7 is not 0, 1 or 2");
    EXPECT_EQ(malformed.values.paths, kSixPaths);

    SettingsValues values{kSixPaths, 1};
    ASSERT_TRUE(WriteSettingsFile(dir.Path("new/data.sfc"), values));
    const LoadedSettings saved = ReadSettingsFile(dir.Path("new/data.sfc"));
    EXPECT_TRUE(saved.fileFound);
    EXPECT_EQ(saved.values.paths, kSixPaths);
    EXPECT_EQ(saved.values.autoStart, 1);
#ifndef _WIN32
    EXPECT_EQ(ReadBytes(dir.Path("new/data.sfc")), FormatSettings(values, LineEnds::Linux));
#endif
    EXPECT_EQ(SettingsFailure(ReadSettingsFile(dir.Path("missing.sfc"))), "not found");
}

}  // namespace
}  // namespace tessaly::test
