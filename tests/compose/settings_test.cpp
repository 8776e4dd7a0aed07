// The settings file's format.
#include <gtest/gtest.h>

#include "core/settings_file.h"

namespace tessaly {
namespace {

TEST(SettingsFormat, SevenQuotedCrLfLinesThatReadBackExactlyAndMalformedTextKeepsWhatWasRead) {
    SettingsValues values;
    values.paths = {R"(C:\a\t.htm)", "", R"(C:\my "best".txt)", "\"", "ab", R"(D:\h t m l\)"};
    values.autoStart = 2;
    const std::string bytes = FormatSettings(values);
    EXPECT_EQ(bytes, "\"C:\\a\\t.htm\"\r\n\"\"\r\n\"C:\\my \"best\".txt\"\r\n\"\"\"\r\n"
                     "\"ab\"\r\n\"D:\\h t m l\\\"\r\n2\r\n");
    const SettingsValues back = ParseSettings(bytes);
    EXPECT_EQ(back.paths, values.paths);
    EXPECT_EQ(back.autoStart, 2);

    // Malformed text keeps what was read and clears the rest. The first and
    // last characters go, whatever they are; CR alone ends a line, a lone LF
    // does not.
    const auto malformed = ParseSettings("xy\r<path>\r\nq\r\n\"a\nb\"\r\n");
    EXPECT_EQ(malformed.paths, (std::array<std::string, 6>{"", "path", "", "a\nb", "", ""}));
    EXPECT_EQ(malformed.autoStart, 0);

    const std::string six = "\"1\"\r\n\"2\"\r\n\"3\"\r\n\"4\"\r\n\"5\"\r\n\"6\"\r\n";
    for (const char* seventh : {"3", "-1", "abc", "", "1x", "99999"}) {
        EXPECT_EQ(ParseSettings(six + seventh + "\r\n").autoStart, 0) << seventh;
    }
    EXPECT_EQ(ParseSettings(six + "1").autoStart, 1);
    EXPECT_EQ(ParseSettings(six + "2\r\n").paths[5], "6");
}

}  // namespace
}  // namespace tessaly
