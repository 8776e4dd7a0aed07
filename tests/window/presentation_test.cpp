// What both editions draw alike.
#include <gtest/gtest.h>

#include <set>

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
// Screen readers walk the window as Tab does, the status after the tool row
// and the credits line at the end.
TEST(Presentation, ReadingOrderIsTheTabOrderWithStatusAndCreditsInPlace) {
    std::vector<C> expected = TabOrder();
    expected.insert(expected.begin() + 5, C::StatusLabel);
    expected.push_back(C::CreditsLine);
    EXPECT_EQ(ReadingOrder(), expected);
}

// Every visible control has a name for screen readers, and no two share one;
// the status label alone is named by its changing text.
TEST(Presentation, EveryControlHasItsOwnAccessibleName) {
    std::set<std::string_view> names;
    for (const C id : ReadingOrder()) {
        if (id == C::StatusLabel) continue;
        EXPECT_FALSE(Row(id).accessibleName.empty()) << Row(id).name;
        EXPECT_TRUE(names.insert(Row(id).accessibleName).second) << Row(id).accessibleName;
    }
    EXPECT_TRUE(Row(C::StatusLabel).accessibleName.empty());
    EXPECT_EQ(names.size() + 1, ReadingOrder().size());
}

// The view key works from a path field and from the picker button beside it.
TEST(Presentation, ViewKeyShowsTheFocusedRowsField) {
    EXPECT_EQ(ViewKeyTarget(C::Html2Field), C::Html2Field);
    EXPECT_EQ(ViewKeyTarget(C::SignatureButton), C::SignatureField);
    for (const C other : {C::StartButton, C::AutoRunBox, C::CreditsLine, C::Window}) {
        EXPECT_EQ(ViewKeyTarget(other), std::nullopt);
    }
}

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
