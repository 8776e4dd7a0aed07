// The Windows layer's encodings, checked without a window: the record the
// shell gets, what its callback means, and what the dialogs and the high
// contrast theme get.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "win32/support.h"
#include "win32/tray_record.h"

namespace tessaly::win32 {
namespace {

using namespace std::string_literals;

constexpr std::uint32_t kWindow = 0x80001234u, kIcon = 0x00C0FFEEu;

// The 88 bytes the shell must receive: six little-endian fields, then the
// tip, one NUL and spaces to the end; a tip too long is cut to keep its NUL.
TEST(TrayRecord, Bytes) {
    std::string fields;
    for (const std::uint32_t field : {88u, kWindow, 1u, 7u, 512u, kIcon}) {
        for (int shift = 0; shift < 32; shift += 8) fields += static_cast<char>(field >> shift & 0xFF);
    }
    const auto bytes = [](const std::string& tip) {
        const TrayRecordBytes record = TrayRecord(kWindow, kIcon, tip);
        return std::string(record.begin(), record.end());
    };
    EXPECT_EQ(bytes("Tessaly Paused"), fields + "Tessaly Paused" + '\0' + std::string(49, ' '));
    EXPECT_EQ(bytes(std::string(70, 'x')), fields + std::string(63, 'x') + '\0');
}

TEST(TrayRecord, ShellGetsSignExtendedHandles) {
    const NOTIFYICONDATAA data = NotifyRecordFromBytes(TrayRecord(kWindow, kIcon, "Tessaly Running"));
    EXPECT_EQ(data.cbSize, sizeof(void*) == 8 ? 104u : 88u);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(data.hWnd), INT_PTR{static_cast<std::int32_t>(kWindow)});
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(data.hIcon), kIcon);
    EXPECT_EQ((std::array{data.uID, data.uFlags, data.uCallbackMessage}), (std::array<UINT, 3>{1, 7, WM_MOUSEMOVE}));
}

// A double-click opens the window; the right button, Enter or Space on the
// icon selected with the keyboard, and the menu key show the menu.
TEST(TrayCallback, Requests) {
    EXPECT_EQ(TrayRequestOf(WM_LBUTTONDBLCLK), TrayRequest::OpenWindow);
    for (const LPARAM menu : {LPARAM{WM_RBUTTONUP}, LPARAM{0x400} /* NIN_SELECT */, LPARAM{0x401} /* NIN_KEYSELECT */,
                              LPARAM{WM_CONTEXTMENU}}) {
        EXPECT_EQ(TrayRequestOf(menu), TrayRequest::ShowMenu) << menu;
        EXPECT_TRUE(IsPostedTrayCallback(1, menu, POINT{-300, 900})) << menu;
    }
    for (const LPARAM other : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK}) {
        EXPECT_EQ(TrayRequestOf(other), TrayRequest::None) << other;
    }
}

TEST(TrayCallback, ToldApartFromARealMouseMove) {
    EXPECT_TRUE(IsTrayCallback(true, 1, 0x401));
    EXPECT_FALSE(IsTrayCallback(false, 1, WM_RBUTTONUP));                     // posted: a real move at x 517
    EXPECT_FALSE(IsTrayCallback(true, MK_LBUTTON | MK_SHIFT, WM_RBUTTONUP));  // key state in wParam
    EXPECT_FALSE(IsTrayCallback(true, 1, MAKELPARAM(517, 3)));                // y in the high word
    EXPECT_FALSE(IsPostedTrayCallback(1, WM_RBUTTONUP, POINT{517, 0}));      // the pointer is where lParam says
    EXPECT_FALSE(IsPostedTrayCallback(1, MAKELPARAM(120, 0), POINT{-300, 900}));
}

TEST(Dialogs, FilterListEndsInTwoNuls) {
    const std::vector<FileFilter> filters = {{"Text ot Html Files(*.txt;*.htm)", {"*.txt", "*.htm"}},
                                             {"Nothing", {}}};
    EXPECT_EQ(DialogFilter(filters), "Text ot Html Files(*.txt;*.htm)\0*.txt;*.htm\0\0"s);
    EXPECT_EQ(DialogFilter({}), "");
}

// Under high contrast each fixed colour gives way to the system colour of
// its part; without it, nothing changes. The fields' text stays readable
// where the system's colour for them is dark.
TEST(Colours, HighContrastTakesTheSystemsColours) {
    const std::pair<Colour, int> parts[] = {{kStatusForeColour, COLOR_BTNTEXT}, {kCheckBoxForeColour, COLOR_BTNTEXT},
                                            {kCreditsRestColour, COLOR_HOTLIGHT}, {kCreditsHoverColour, COLOR_HOTLIGHT},
                                            {kButtonBackColour, COLOR_BTNFACE}};
    for (const auto& [colour, system] : parts) EXPECT_EQ(ShownColour(colour, true), ::GetSysColor(system)) << system;
    EXPECT_EQ(ShownColour(kStatusForeColour, false), RGB(0xC0, 0, 0));
    EXPECT_EQ(ShownColour(kButtonBackColour, false), RGB(0xC0, 0xC0, 0xFF));
    EXPECT_EQ(ColorRefOf(ReadableTextColour(RgbOf(RGB(0, 0, 0)), RgbOf(RGB(0, 0, 0)))), RGB(255, 255, 255));
}

// The window's client area at the Windows scales.
TEST(Layout, FieldsEndInsideTheWindowAtEveryScale) {
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 445);
    EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 220);
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        EXPECT_LE(ControlRect(Row(ControlId::Html2Field), dpi).right, TwipsToPixels(kClientWidthTwips, dpi)) << dpi;
    }
}

}  // namespace
}  // namespace tessaly::win32
