// Start-up: the first state, the first composition, the window's place.
#include <algorithm>
#include <cctype>

#include "window_fixture.h"

namespace tessaly::test {
namespace {

class StartUp : public WindowTest, public ::testing::WithParamInterface<int> {};

// Only a ticked box (1) starts Running; cleared (0) and grayed (2) start
// Paused, and the box keeps the stored value.
TEST_P(StartUp, RunsAndComposesOnlyWhenTicked) {
    const bool ticked = GetParam() == 1;
    Start(GetParam());
    EXPECT_EQ(ReadBytes(signature), ticked ? std::optional(composed) : std::nullopt);
    ExpectMarks(ticked ? RunState::Running : RunState::Paused);
    EXPECT_EQ(desktop.AutoRun(), GetParam());
    EXPECT_TRUE(desktop.errors.empty());
}

TEST_P(StartUp, AddsTheIconThenShowsTheWindow) {
    Start(GetParam());
    ASSERT_FALSE(desktop.trayCalls.empty());
    EXPECT_EQ(desktop.trayCalls.front().kind, TrayCall::Add);
    EXPECT_FALSE(desktop.trayCalls.front().seen.windowVisible);
    EXPECT_TRUE(desktop.Window().visible);
}

INSTANTIATE_TEST_SUITE_P(ClearedTickedGrayed, StartUp, ::testing::Values(0, 1, 2));

TEST_F(WindowTest, PlacesTheWindow800TwipsInsideTheScreensCorner) {
    desktop.screen = {19200.0f, 14400.0f};
    desktop.windowSize = {6790.3f, 3791.7f};
    Start(0);
    EXPECT_EQ(desktop.Window().top, 14400.0f - (3791.7f + 800.0f));
    EXPECT_EQ(desktop.Window().left, 19200.0f - (6790.3f + 800.0f));
}

TEST_F(WindowTest, FieldsShowTheStoredPaths) {
    Start(0);
    const auto stored = ParseSettings(Settings(0)).paths;
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(desktop.Text(kPathFields[i]), stored[i]);
}

TEST_F(WindowTest, AFailedFirstCompositionStartsPausedWithTheWindowUp) {
    Start(1, {{2, dir.Path("missing.txt")}});
    ASSERT_EQ(desktop.errors.size(), 1u);
    ExpectMarks(RunState::Paused);
    EXPECT_EQ(desktop.AutoRun(), 0);
    EXPECT_TRUE(desktop.Window().visible);
}

// The first run finds no settings: the fields name the quotes and samples
// shipped beside the program, which compose a clean signature.
TEST_F(WindowTest, FirstRunShowsTheBundledSamplesWhichCompose) {
    stdfs::copy(TESSALY_BUNDLE_DIR "/quotes", dir.Path("quotes"), stdfs::copy_options::recursive);
    stdfs::copy(TESSALY_BUNDLE_DIR "/samples", dir.Path("samples"), stdfs::copy_options::recursive);
    Launch();
    const std::string shipped[] = {"samples/template.htm", "samples/signature.htm", "quotes/quotes1.txt",
                                   "quotes/quotes2.txt",   "samples/html1",         "samples/html2"};
    SettingsValues values;
    for (std::size_t i = 0; i < 6; ++i) {
        values.paths[i] = dir.Path(shipped[i]);
        EXPECT_EQ(desktop.Text(kPathFields[i]), values.paths[i]);
    }
    EXPECT_EQ(desktop.AutoRun(), 0);
    EXPECT_FALSE(stdfs::exists(dir.Path("data")));

    Press(C::CreateNowButton);
    EXPECT_TRUE(desktop.errors.empty());
    std::string text = ReadBytes(dir.Path("samples/signature.htm")).value_or("");
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* word : {"quote1", "quote2", "htmpath1", "htmpath2"}) {
        EXPECT_EQ(text.find(word), std::string::npos) << word;
    }
    Menu(C::ExitItem);
    EXPECT_EQ(ReadBytes(settingsFile), FormatSettings(values));
}

}  // namespace
}  // namespace tessaly::test

namespace tessaly::test {
namespace {

// An installed copy whose first settings could not be written beforehand
// still never writes into its program folder.
TEST(FirstRun, SettingsKeptApartPutTheSignatureBesideThem) {
    ScratchFolder program, user;
    HeadlessDesktop desktop(program.Path());
    desktop.settingsFile = user.Path("data.sfc");
    ScriptedDraws random;
    const auto window = CreateMainWindow(desktop, random);
    desktop.Attach(*window);
    desktop.StartProgram();
    EXPECT_EQ(desktop.Text(C::SignatureField), user.Path("signature.htm"));
    EXPECT_EQ(desktop.Text(C::TemplateField), program.Path("samples/template.htm"));
}

}  // namespace
}  // namespace tessaly::test
