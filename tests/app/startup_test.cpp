// Start-up: the first state, the first composition, the window's place.
#include "app_fixture.h"

namespace tessaly::test {
namespace {

class StartUp : public AppTest, public ::testing::WithParamInterface<int> {};

// Only a ticked box (1) starts Running: it composes at once, before the icon
// is added; cleared (0) and grayed (2) start Paused and compose nothing.
TEST_P(StartUp, ComposesOnlyWhenTickedAddsTheIconThenShowsTheWindow800TwipsInsideTheCorner) {
    platform.screenWidth = 19200.0f;
    platform.screenHeight = 14400.0f;
    platform.windowWidth = 6790.3f;
    platform.windowHeight = 3791.7f;
    const bool running = GetParam() == 1;
    Start(GetParam());
    EXPECT_EQ(ReadBytes(signature), running ? std::optional(composed) : std::nullopt);
    // One call adds the icon: the shell shows nothing it was asked to modify.
    ASSERT_EQ(platform.trayCalls.size(), 1u);
    EXPECT_FALSE(platform.trayCalls[0].seen.windowVisible);
    ExpectMarks(running);
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.CheckValue(), GetParam());
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.Window().top, 14400.0f - (3791.7f + 800.0f));
    EXPECT_EQ(platform.Window().left, 19200.0f - (6790.3f + 800.0f));
    const auto stored = ParseSettings(Settings(0)).paths;
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(platform.Text(kPathFields[i]), stored[i]);
}

INSTANTIATE_TEST_SUITE_P(ClearedTickedGrayed, StartUp, ::testing::Values(0, 1, 2));

}  // namespace
}  // namespace tessaly::test
