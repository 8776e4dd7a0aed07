// First, before <windows.h>: its NIM_* constants share their names with the
// shell's macros.
#include "app/tray_icon_data.h"

#include "platform/win32/win32_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "app/layout.h"

namespace tessaly::win32 {
namespace {

TEST(Win32Geometry, ClientAreaAndControlsKeepTheirProportionsAtEveryScale) {
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 445);
    EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 220);
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 144), 668);
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 192), 890);
    EXPECT_FLOAT_EQ(TwipsPerPixel(96), 15.0f);
    EXPECT_FLOAT_EQ(TwipsPerPixel(144), 10.0f);
    EXPECT_FLOAT_EQ(PixelsToTwips(445, 96), 6675.0f);

    const RECT picker = ControlRect(Row(ControlId::cmdTemplate), 96);
    EXPECT_EQ(picker.left, 5);
    EXPECT_EQ(picker.top, 45);
    EXPECT_EQ(picker.right, 112);
    EXPECT_EQ(picker.bottom, 67);

    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u}) {
        SCOPED_TRACE(dpi);
        // The tool row's buttons touch without gap or overlap.
        EXPECT_EQ(ControlRect(Row(ControlId::cmdStart), dpi).right, ControlRect(Row(ControlId::cmdStop), dpi).left);
        EXPECT_EQ(ControlRect(Row(ControlId::cmdStop), dpi).right,
                  ControlRect(Row(ControlId::cmdCreateS), dpi).left);
        EXPECT_EQ(ControlRect(Row(ControlId::cmdCreateS), dpi).right,
                  ControlRect(Row(ControlId::cmdHelp), dpi).left);
        // Every path row has the same height as its neighbours.
        const RECT a = ControlRect(Row(ControlId::txtTemplate), dpi);
        const RECT b = ControlRect(Row(ControlId::txtQF4), dpi);
        EXPECT_LE(std::abs((a.bottom - a.top) - (b.bottom - b.top)), 1);
        // The path fields end inside the client area.
        EXPECT_LE(a.right, TwipsToPixels(kClientWidthTwips, dpi));
    }
}

TEST(Win32Geometry, FontHeightsFollowTheScale) {
    EXPECT_EQ(FontHeight(8.25, 96), -11);
    EXPECT_EQ(FontHeight(9.75, 96), -13);
    EXPECT_EQ(FontHeight(8.25, 144), -17);
    EXPECT_EQ(FontHeight(8.25, 192), -22);
    EXPECT_EQ(FontHeight(9.75, 192), -26);
}

TEST(Win32Tray, RecordCarriesTheFieldsOfTheEightyEightBytes) {
    TrayIconRecord record;
    // Handles with the top bit set show whether they are sign-extended.
    record.Fill(0x80001234u, 0x00C0FFEEu, "Tessaly Paused");
    const NOTIFYICONDATAA data = NotifyRecordFromBytes(record.bytes);
#if defined(_WIN64)
    EXPECT_EQ(data.cbSize, 104u);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(data.hWnd), static_cast<UINT_PTR>(0xFFFFFFFF80001234ull));
#else
    EXPECT_EQ(data.cbSize, 88u);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(data.hWnd), static_cast<UINT_PTR>(0x80001234u));
#endif
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(data.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(data.hIcon), static_cast<UINT_PTR>(0x00C0FFEEu));
    EXPECT_STREQ(data.szTip, "Tessaly Paused");
    // The NUL, then spaces up to the 64th byte, as the shell receives them.
    EXPECT_EQ(0, std::memcmp(data.szTip, record.bytes.data() + 24, 64));
    EXPECT_EQ(data.szTip[63], ' ');
    EXPECT_EQ(HandleFromValue<HWND>(ValueFromHandle(data.hWnd)), data.hWnd);
}

TEST(Win32Tray, CallbackIsToldApartFromARealMouseMove) {
    EXPECT_TRUE(IsTrayCallback(true, 1, WM_RBUTTONUP));
    EXPECT_TRUE(IsTrayCallback(true, 1, WM_LBUTTONDBLCLK));
    // Posted: a real move, even at column 517.
    EXPECT_FALSE(IsTrayCallback(false, 1, WM_RBUTTONUP));
    // A real move carries the key state in wParam and y in the high word.
    EXPECT_FALSE(IsTrayCallback(true, MK_LBUTTON | MK_SHIFT, WM_RBUTTONUP));
    EXPECT_FALSE(IsTrayCallback(true, 1, MAKELPARAM(517, 3)));
    EXPECT_FALSE(IsTrayCallback(true, 2, WM_RBUTTONUP));

    // Queued: a real move carries the pointer's own position.
    EXPECT_TRUE(IsPostedTrayCallback(1, WM_RBUTTONUP, POINT{-300, 900}));
    EXPECT_FALSE(IsPostedTrayCallback(1, WM_RBUTTONUP, POINT{517, 0}));
    EXPECT_FALSE(IsPostedTrayCallback(1, MAKELPARAM(120, 0), POINT{-300, 900}));
    EXPECT_FALSE(IsPostedTrayCallback(0, WM_LBUTTONDBLCLK, POINT{-300, 900}));
}

TEST(Win32Tray, MenuListsTheVisibleItemsWithTheirSeparators) {
    const auto all = TrayMenuEntries([](ControlId) { return true; });
    ASSERT_EQ(all.size(), 9u);
    const ControlId order[] = {ControlId::mnuDisplay, ControlId::SEP2,   ControlId::mnuResume,
                               ControlId::mnuPause,   ControlId::mnuRefresh, ControlId::SEP3,
                               ControlId::mnuHelp,    ControlId::SEP1,   ControlId::mnuExit};
    for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].id, order[i]);
    EXPECT_EQ(all[0].caption, "Open Tessaly");
    EXPECT_FALSE(all[0].separator);
    EXPECT_TRUE(all[1].separator);
    EXPECT_EQ(all[8].caption, "Exit");

    const auto paused = TrayMenuEntries([](ControlId id) { return id != ControlId::mnuPause; });
    ASSERT_EQ(paused.size(), 8u);
    EXPECT_EQ(paused[2].caption, "Resume");
    EXPECT_EQ(paused[3].caption, "Refresh");
    EXPECT_EQ(std::count_if(paused.begin(), paused.end(), [](const MenuEntry& e) { return e.separator; }), 3);
}

TEST(Win32Ids, CommandIdsRoundTripAndRejectStrangers) {
    EXPECT_EQ(CommandId(ControlId::cmdTemplate), 100);
    EXPECT_EQ(CommandId(ControlId::mnuExit), 100 + static_cast<int>(ControlId::mnuExit));
    for (const ControlRow& row : Layout()) {
        ControlId back{};
        ASSERT_TRUE(ControlFromCommandId(CommandId(row.id), back));
        EXPECT_EQ(back, row.id);
    }
    ControlId unused{};
    EXPECT_FALSE(ControlFromCommandId(99, unused));
    EXPECT_FALSE(ControlFromCommandId(IDOK, unused));
    EXPECT_FALSE(ControlFromCommandId(100 + static_cast<int>(Layout().size()), unused));
}

TEST(Win32FileDialog, FilterBecomesTheNulSeparatedList) {
    using namespace std::string_literals;
    EXPECT_EQ(DialogFilter("Text ot Html Files(*.txt;*.htm)|*.txt;*.htm"),
              "Text ot Html Files(*.txt;*.htm)\0*.txt;*.htm\0\0"s);
    // The separator at the end adds no entry.
    EXPECT_EQ(DialogFilter("Text Files (*.txt)|*.txt|"), "Text Files (*.txt)\0*.txt\0\0"s);
    EXPECT_EQ(DialogFilter("A|*.a|B|*.b"), "A\0*.a\0B\0*.b\0\0"s);
    // A description without patterns would end the list there.
    EXPECT_EQ(DialogFilter("A|*.a|B"), "A\0*.a\0\0"s);
    EXPECT_EQ(DialogFilter("A||B|*.b"), "B\0*.b\0\0"s);
    EXPECT_EQ(DialogFilter(""), "");
}

TEST(Win32FolderBrowser, ChosenFolderLosesATrailingSeparatorButARootKeepsIt) {
    EXPECT_EQ(FolderWithoutTrailingSeparator("C:\\users\\root\\Documents\\"), "C:\\users\\root\\Documents");
    EXPECT_EQ(FolderWithoutTrailingSeparator("Z:\\tmp\\html1"), "Z:\\tmp\\html1");
    EXPECT_EQ(FolderWithoutTrailingSeparator("C:\\"), "C:\\");
    EXPECT_EQ(FolderWithoutTrailingSeparator("\\\\server\\share\\"), "\\\\server\\share");
}

TEST(Win32Look, TextStaysReadableOnTheFieldColour) {
    // Where the system's colour for the fields is light, the usual text.
    EXPECT_EQ(ReadableTextColour(RGB(0, 0, 0), RGB(212, 208, 200)), RGB(0, 0, 0));
    // Where it is black (as on some current systems), white text.
    EXPECT_EQ(ReadableTextColour(RGB(0, 0, 0), RGB(0, 0, 0)), RGB(255, 255, 255));
    EXPECT_EQ(ReadableTextColour(RGB(255, 255, 255), RGB(250, 250, 250)), RGB(0, 0, 0));
    EXPECT_EQ(ToColorRef(kButtonBackColour, [](int) { return COLORREF{0}; }), RGB(192, 192, 255));
    EXPECT_EQ(ToColorRef(kButtonMaskColour, [](int) { return COLORREF{0}; }), RGB(255, 192, 255));
    EXPECT_EQ(ToColorRef(kPathFieldBackColour, [](int index) { return static_cast<COLORREF>(index); }), 0x13u);
    EXPECT_EQ(PictureScaleIndex(96), 0);
    EXPECT_EQ(PictureScaleIndex(120), 0);
    EXPECT_EQ(PictureScaleIndex(144), 1);
    EXPECT_EQ(PictureScaleIndex(192), 2);
    EXPECT_EQ(PictureScaleIndex(288), 2);
}

TEST(Win32Keyboard, TabVisitsTheControlsByTabIndexAndSkipsLabelAndCredits) {
    const auto order = TabOrder();
    const ControlId expected[] = {
        ControlId::cmdStart, ControlId::cmdStop,   ControlId::cmdCreateS, ControlId::chkAS,
        ControlId::cmdHelp,  ControlId::txtSignature, ControlId::txtQF1,  ControlId::txtQF2,
        ControlId::txtQF3,   ControlId::txtQF4,    ControlId::txtTemplate, ControlId::cmdQF4,
        ControlId::cmdQF3,   ControlId::cmdQF2,    ControlId::cmdQF1,     ControlId::cmdSignature,
        ControlId::cmdTemplate};
    ASSERT_EQ(order.size(), std::size(expected));
    for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], expected[i]) << i;
}

}  // namespace
}  // namespace tessaly::win32
