// Small pieces of the Windows program that need no window: unit conversions,
// the translation of the portable tray record and dialog filter into what the
// Win32 calls take, the tray menu's entries, and colour choices. Kept apart so
// that they can be tested without a display.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "app/layout.h"

namespace tessaly::win32 {

// Child control and menu command ids.
constexpr int kIdBase = 100;
constexpr int CommandId(ControlId id) { return kIdBase + static_cast<int>(id); }
// The control whose id `commandId` is, when it names one.
bool ControlFromCommandId(int commandId, ControlId& id);

// Twips to pixels at `dpi`, rounded to the nearest pixel.
int TwipsToPixels(int twips, unsigned dpi);
float PixelsToTwips(int pixels, unsigned dpi);
float TwipsPerPixel(unsigned dpi);

// A control's rectangle in pixels. Both edges are converted, not the size, so
// that controls which meet in twips meet in pixels at every scale.
RECT ControlRect(const ControlRow& row, unsigned dpi);

// A font's height for CreateFont (negative: character height) in points.
int FontHeight(double points, unsigned dpi);

// The record that Shell_NotifyIconA takes, built from the program's 88-byte
// first-version record. On 32-bit Windows those 88 bytes are the record as
// it stands; on 64-bit Windows the first version is larger (handles are
// 64 bits wide) and the handles are sign-extended from their 32-bit values.
NOTIFYICONDATAA NotifyRecordFromBytes(const TrayRecordBytes& bytes);

// The handle whose 32-bit value is `value` (handles are sign-extended).
template <typename H>
H HandleFromValue(std::uint32_t value) {
    return reinterpret_cast<H>(static_cast<INT_PTR>(static_cast<std::int32_t>(value)));
}
template <typename H>
std::uint32_t ValueFromHandle(H handle) {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(handle));
}

// The file dialog's filter: "description|patterns|..." becomes the
// NUL-separated list that ends with two NULs. A trailing "|" adds no entry,
// and a description without patterns is dropped. Empty when no entry is left.
std::string DialogFilter(std::string_view filter);

// A folder path as the shell's folder browser returned it, without the
// trailing separator that some shells leave on ordinary folders (a drive's
// root keeps its own). The composer appends the separator itself.
std::string FolderWithoutTrailingSeparator(std::string path);

// Whether a WM_MOUSEMOVE-numbered message is the notification icon's
// callback: the shell sends it from another thread (it is never posted),
// with the icon's id in wParam and a mouse message number in lParam.
bool IsTrayCallback(bool sentFromOtherThread, WPARAM wParam, LPARAM lParam);
// The same for a callback that reached the queue (a shell that posts it):
// a real move carries the pointer's own position, `pointer`, in client
// coordinates as it was when the message was queued; a callback carries a
// mouse message number in its place.
bool IsPostedTrayCallback(WPARAM wParam, LPARAM lParam, POINT pointer);

// One entry of the tray menu.
struct MenuEntry {
    ControlId id;
    bool separator;
    std::string_view caption;
};
// The menu items under mnuFile, in order, leaving out those that `visible`
// reports hidden.
template <typename VisibleFn>
std::vector<MenuEntry> TrayMenuEntries(VisibleFn visible) {
    std::vector<MenuEntry> entries;
    bool inFileMenu = false;
    for (const ControlRow& row : Layout()) {
        if (row.id == ControlId::mnuFile) {
            inFileMenu = true;
            continue;
        }
        if (!inFileMenu) continue;
        if (row.kind != ControlKind::MenuItem && row.kind != ControlKind::MenuSeparator) break;
        if (!visible(row.id)) continue;
        entries.push_back({row.id, row.kind == ControlKind::MenuSeparator, row.text});
    }
    return entries;
}

// A colour of the program (&H00BBGGRR&, top bit: system colour index) as a
// COLORREF, with the system colours looked up by `sysColour`.
template <typename SysColourFn>
COLORREF ToColorRef(Colour colour, SysColourFn sysColour) {
    if (colour & 0x80000000u) return sysColour(static_cast<int>(colour & 0xFFu));
    return static_cast<COLORREF>(colour & 0x00FFFFFFu);
}

// The text colour for a field: `preferred` unless it would be hard to read on
// `background`, then black or white, whichever stands out more.
COLORREF ReadableTextColour(COLORREF preferred, COLORREF background);

// Which of the pictures drawn for 100 %, 150 % and 200 % suits `dpi`: the
// largest that is not larger than the scale asks for (0, 1 or 2).
int PictureScaleIndex(unsigned dpi);

// The ids of the controls that Tab visits, in Tab order.
std::vector<ControlId> TabOrder();

}  // namespace tessaly::win32
