// The notification-area icon: its callback, its menu, Exit.
#include "app_fixture.h"

namespace tessaly::test {
namespace {

TEST_F(AppTest, OnlyALeftDoubleClickAndARightReleaseOnTheIconActAndExitEndsTheProgram) {
    Start(1);
    Click(C::cmdStart);  // to the tray
    // Moves, presses, single clicks, other buttons; halves go to the even
    // neighbour.
    for (const float code : {512.f, 513.f, 514.f, 516.f, 518.f, 519.f, 514.5f, 516.5f}) Tray(code);
    EXPECT_FALSE(platform.WindowVisible());
    EXPECT_TRUE(platform.menus.empty());
    EXPECT_EQ(platform.foregrounded, 0);

    platform.Minimise();
    Tray(515.47f);
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.Window().state, 0);
    EXPECT_EQ(platform.foregrounded, 1);

    Tray(516.51f);
    EXPECT_EQ(platform.menus, std::vector<std::string>{"Open Tessaly|-|Pause|Refresh|-|Help|-|Exit"});
    EXPECT_EQ(platform.foregrounded, 2);
    platform.twipsPerPixelX = 12.0f;  // another screen's scale
    Menu(C::mnuPause);
    ExpectMarks(false);

    // Open only shows the window: as it was, and not brought to the front.
    platform.Minimise();
    Menu(C::mnuDisplay);
    EXPECT_TRUE(platform.WindowVisible());
    EXPECT_EQ(platform.Window().state, 1);
    EXPECT_EQ(platform.foregrounded, 4);  // the double-click's and the menus' own

    // Exit saves what the window holds, removes the icon and ends.
    platform.Check(2);
    platform.Type(C::txtQF1, "");
    platform.Type(C::txtQF2, "with \"quotes\" inside");
    Menu(C::mnuExit);
    EXPECT_EQ(ReadBytes(settingsFile), Settings(2, {{2, ""}, {3, "with \"quotes\" inside"}}));
    EXPECT_EQ(dir.Entries("data"), std::set<std::string>{"data.sfc"});  // replaced whole
    EXPECT_FALSE(platform.TrayIconPresent());
    EXPECT_TRUE(platform.unloaded);
    EXPECT_TRUE(platform.ended);
    // The removal passes the record as last filled.
    EXPECT_EQ(platform.trayCalls.back().message, NotifyIconMessage::Delete);
    EXPECT_EQ(Bytes(platform.trayCalls.back().record), Record(false));
}

}  // namespace
}  // namespace tessaly::test
