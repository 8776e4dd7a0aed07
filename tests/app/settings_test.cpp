// The first run, without a settings file. (The file's format is the core's:
// tests/compose/settings_file_test.cpp.)
#include <algorithm>
#include <cctype>

#include "app_fixture.h"

namespace tessaly::test {
namespace {

// The first run finds no settings: the fields name the quotes and samples
// shipped beside the program, which compose a clean signature.
TEST_F(AppTest, FirstRunShowsTheBundledSamplesWhichCompose) {
    stdfs::copy(TESSALY_BUNDLE_DIR "/quotes", dir.Path("quotes"), stdfs::copy_options::recursive);
    stdfs::copy(TESSALY_BUNDLE_DIR "/samples", dir.Path("samples"), stdfs::copy_options::recursive);
    Launch();
    const std::string shipped[] = {"samples/template.htm", "samples/signature.htm", "quotes/quotes1.txt",
                                   "quotes/quotes2.txt",   "samples/html1",         "samples/html2"};
    SettingsValues values;
    for (std::size_t i = 0; i < 6; ++i) {
        values.paths[i] = dir.Path(shipped[i]);
        EXPECT_EQ(platform.Text(kPathFields[i]), values.paths[i]);
    }
    EXPECT_EQ(platform.CheckValue(), 0);
    EXPECT_EQ(platform.Status(), "Paused!");
    EXPECT_FALSE(stdfs::exists(dir.Path("data")));

    Click(C::cmdCreateS);
    EXPECT_TRUE(platform.messageBoxes.empty());
    std::string text = ReadBytes(dir.Path("samples/signature.htm")).value_or("");
    // Quote files with CR LF lines: the first draw is the first line alone.
    const std::string quotes = ReadBytes(dir.Path("quotes/quotes1.txt")).value_or("");
    const auto end = quotes.find("\r\n");
    EXPECT_NE(text.find(quotes.substr(0, end)), std::string::npos);
    EXPECT_EQ(text.find(quotes.substr(end + 2, 20)), std::string::npos);
    // No placeholder is left, in whatever letter case.
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* word : {"quote1", "quote2", "htmpath1", "htmpath2"}) {
        EXPECT_EQ(text.find(word), std::string::npos) << word;
    }

    Menu(C::mnuExit);
    EXPECT_EQ(ReadBytes(settingsFile), FormatSettings(values));
}

}  // namespace
}  // namespace tessaly::test
