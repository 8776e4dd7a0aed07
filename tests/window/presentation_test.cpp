// What both editions draw alike.
#include <gtest/gtest.h>

#include "window/presentation.h"

namespace tessaly {
namespace {

using C = ControlId;

TEST(Presentation, TabVisitsTheToolRowThenTheFieldsThenTheButtonsUpwards) {
    EXPECT_EQ(TabOrder(), (std::vector<C>{C::StartButton, C::StopButton, C::CreateNowButton, C::AutoRunBox,
                                          C::HelpButton, C::SignatureField, C::Quote1Field, C::Quote2Field,
                                          C::Html1Field, C::Html2Field, C::TemplateField, C::Html2Button,
                                          C::Html1Button, C::Quote2Button, C::Quote1Button, C::SignatureButton,
                                          C::TemplateButton}));
}

// The tool row's buttons meet in twips, so they meet in pixels at any scale.
TEST(Presentation, ControlsThatMeetInTwipsMeetInPixels) {
    for (const unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        EXPECT_EQ(ControlRect(Row(C::StartButton), dpi).right, ControlRect(Row(C::StopButton), dpi).left) << dpi;
    }
}

TEST(Presentation, TwipsRoundToTheNearestPixelHalvesAwayFromZero) {
    EXPECT_EQ(TwipsToPixels(7, 96), 0);   // 0.47
    EXPECT_EQ(TwipsToPixels(8, 96), 1);   // 0.53
    EXPECT_EQ(TwipsToPixels(45, 96), 3);  // 3.0
    EXPECT_EQ(TwipsToPixels(15, 48), 1);  // 0.5
}

TEST(Presentation, AFoldersTrailingSeparatorGoesButARootKeepsIts) {
#ifdef _WIN32
    EXPECT_EQ(WithoutTrailingSeparator("C:\\a\\b\\"), "C:\\a\\b");
    EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
#else
    EXPECT_EQ(WithoutTrailingSeparator("/a/b//"), "/a/b");
    EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
#endif
}

TEST(Presentation, SystemColoursAreLeftToTheDesktop) {
    EXPECT_EQ(FixedColour(kStatusForeColour), (Rgb{0xC0, 0, 0}));
    EXPECT_EQ(FixedColour(kCreditsBackColour), std::nullopt);
    EXPECT_EQ(SystemColourIndex(kPathFieldBackColour), 19);
}

}  // namespace
}  // namespace tessaly
