// Start-up: the first state, the first composition, the window's place.
#include "app_fixture.h"

namespace tessaly::test {
namespace {

TEST_F(AppTest, RunningStartComposesBeforeTheIconAndThenEveryThreeSeconds) {
    Start(1);
    EXPECT_EQ(ReadBytes(signature), composed);
    // The icon is added once, with the window not shown yet.
    ASSERT_EQ(platform.trayCalls.size(), 1u);
    EXPECT_EQ(platform.trayCalls[0].message, NotifyIconMessage::Add);
    EXPECT_FALSE(platform.trayCalls[0].seen.windowVisible);
    ExpectMarks(true);
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.CheckValue(), 1);
    EXPECT_TRUE(platform.messageBoxes.empty());

    stdfs::remove(signature);
    platform.Advance(2999);
    EXPECT_FALSE(stdfs::exists(signature));
    platform.Advance(1);
    EXPECT_EQ(ReadBytes(signature), composed);
}

class PausedStart : public AppTest, public ::testing::WithParamInterface<int> {};

TEST_P(PausedStart, ComposesNothingAndOffersResume) {
    Start(GetParam());
    platform.Advance(10000);
    EXPECT_FALSE(stdfs::exists(signature));
    ASSERT_EQ(platform.trayCalls.size(), 1u);
    EXPECT_EQ(platform.trayCalls[0].message, NotifyIconMessage::Add);
    ExpectMarks(false);
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.CheckValue(), GetParam());
    Tray(517);
    EXPECT_EQ(platform.menus.back(), "Open Tessaly|-|Resume|Refresh|-|Help|-|Exit");
}

INSTANTIATE_TEST_SUITE_P(ClearedAndGrayed, PausedStart, ::testing::Values(0, 2));

TEST_F(AppTest, StartPlacesTheWindow800TwipsInsideTheCornerAndFillsEveryField) {
    platform.screenWidth = 19200.0f;
    platform.screenHeight = 14400.0f;
    platform.windowWidth = 6790.3f;
    platform.windowHeight = 3791.7f;
    Start(0);
    EXPECT_EQ(platform.Window().top, 14400.0f - (3791.7f + 800.0f));
    EXPECT_EQ(platform.Window().left, 19200.0f - (6790.3f + 800.0f));
    const auto stored = ParseSettings(Settings(0)).paths;
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(platform.Text(kPathFields[i]), stored[i]);
}

TEST_F(AppTest, RunningStartWhoseCompositionFailsEndsPausedEverywhere) {
    Sources(1);
    stdfs::remove(dir.Path("q1.txt"));
    dir.Write("signature.htm", "the previous signature");
    Launch();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(ReadBytes(signature), "the previous signature");
    ASSERT_TRUE(platform.TrayIconPresent());
    ExpectMarks(false);
    EXPECT_EQ(platform.CheckValue(), 0);
    EXPECT_TRUE(platform.WindowVisible());
    // The cleared box reaches the file with the next save.
    EXPECT_EQ(ReadBytes(settingsFile), Settings(1));
    Menu(C::mnuExit);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(0));
}

}  // namespace
}  // namespace tessaly::test
