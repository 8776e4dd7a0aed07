#include "platform/win32/win32_support.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/tray_icon_data.h"

namespace tessaly::win32 {
namespace {

using namespace std::string_literals;

TEST(Win32Support, ShellGetsTheFirstVersionRecordWithSignExtendedHandles) {
    TrayIconRecord record;
    record.Fill(0x80001234u, 0x00C0FFEEu, "Tessaly Paused");  // top bit set: sign extension shows
    const NOTIFYICONDATAA data = NotifyRecordFromBytes(record.bytes);
    EXPECT_EQ(data.cbSize, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(data.hWnd), INT_PTR{static_cast<std::int32_t>(0x80001234u)});
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(data.hIcon), 0x00C0FFEEu);
    EXPECT_EQ((std::array{data.uID, data.uFlags, data.uCallbackMessage}), (std::array<UINT, 3>{1, 7, WM_MOUSEMOVE}));
    const std::string tip = "Tessaly Paused"s + '\0' + std::string(49, ' ');  // the NUL, then spaces to 64
    EXPECT_EQ(std::string(data.szTip, 64), tip);
}

TEST(Win32Support, TrayCallbackIsToldApartFromARealMouseMove) {
    EXPECT_TRUE(IsTrayCallback(true, 1, WM_RBUTTONUP));
    EXPECT_FALSE(IsTrayCallback(false, 1, WM_RBUTTONUP));               // posted: a real move at x 517
    EXPECT_FALSE(IsTrayCallback(true, MK_LBUTTON | MK_SHIFT, WM_RBUTTONUP));  // key state in wParam
    EXPECT_FALSE(IsTrayCallback(true, 1, MAKELPARAM(517, 3)));          // y in the high word
    EXPECT_TRUE(IsPostedTrayCallback(1, WM_LBUTTONDBLCLK, POINT{-300, 900}));
    EXPECT_FALSE(IsPostedTrayCallback(1, WM_RBUTTONUP, POINT{517, 0}));  // the pointer is where lParam says
    EXPECT_FALSE(IsPostedTrayCallback(1, MAKELPARAM(120, 0), POINT{-300, 900}));
}

TEST(Win32Support, DialogFilterAndChosenFolder) {
    EXPECT_EQ(DialogFilter("Text Files (*.txt)|*.txt|"), "Text Files (*.txt)\0*.txt\0\0"s);
    EXPECT_EQ(DialogFilter("A||B|*.b"), "B\0*.b\0\0"s);  // an empty pattern would end the list
    EXPECT_EQ(FolderWithoutTrailingSeparator("C:\\users\\Documents\\"), "C:\\users\\Documents");
    EXPECT_EQ(FolderWithoutTrailingSeparator("C:\\"), "C:\\");
}

TEST(Win32Support, LayoutKeepsItsShapeAtEveryScale) {
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 445);
    EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 220);
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        // The tool row's buttons touch without gap or overlap; the fields end inside the window.
        const ControlId r[] = {ControlId::cmdStart, ControlId::cmdStop, ControlId::cmdCreateS, ControlId::cmdHelp};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(ControlRect(Row(r[i]), dpi).right, ControlRect(Row(r[i + 1]), dpi).left);
        EXPECT_LE(ControlRect(Row(ControlId::txtQF4), dpi).right, TwipsToPixels(kClientWidthTwips, dpi));
    }
    const auto order = TabOrder();
    ASSERT_EQ(order.size(), 17u);  // ten buttons, six fields, the check box
    for (std::size_t i = 1; i < order.size(); ++i) EXPECT_LT(Row(order[i - 1]).tabIndex, Row(order[i]).tabIndex);
    // The fields' text stays readable where the system's colour for them is dark.
    EXPECT_EQ(ReadableTextColour(RGB(0, 0, 0), RGB(0, 0, 0)), RGB(255, 255, 255));
}

}  // namespace
}  // namespace tessaly::win32
