// The notification icon as the shell sees it: the program's one first-version
// NOTIFYICONDATA record, held in the 88-byte form that every Windows version
// since 95 accepts, and the callback message through which the shell reports
// what the user did with the icon. Windows' encodings of the tray live here
// and nowhere else; the window's logic only hears "open the window" or "show
// the menu".
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <string_view>

namespace tessaly::win32 {

inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayFlags = 7;              // NIF_MESSAGE | NIF_ICON | NIF_TIP
inline constexpr std::uint32_t kTrayCallbackMessage = 512;  // WM_MOUSEMOVE
// The shell's keyboard codes in the callback: the icon selected (Enter) and
// selected with the keyboard (Space or Enter); the menu key comes as
// WM_CONTEXTMENU.
inline constexpr UINT kTraySelect = 0x400;     // NIN_SELECT
inline constexpr UINT kTrayKeySelect = 0x401;  // NIN_KEYSELECT

// Little-endian: cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon at
// offsets 0, 4, 8, 12, 16, 20; the 64-byte tip at 24.
using TrayRecordBytes = std::array<std::uint8_t, 88>;

// The record for the window and icon whose 32-bit handle values are given.
// Every field is written; the tip is followed by one NUL and padded with
// spaces to 64 bytes (a longer tip is cut so that the NUL still fits).
TrayRecordBytes TrayRecord(std::uint32_t windowHandle, std::uint32_t iconHandle, std::string_view tip);

// The record that Shell_NotifyIconA takes, built from the 88 bytes. On 32-bit
// Windows those bytes are the record as it stands; on 64-bit Windows the
// first version is larger (handles are 64 bits wide) and the handles are
// sign-extended from their 32-bit values.
NOTIFYICONDATAA NotifyRecordFromBytes(const TrayRecordBytes& bytes);

// What the icon's callback asks of the window: the shell passes the mouse
// message that the user's action caused.
enum class TrayRequest { None, OpenWindow, ShowMenu };
TrayRequest TrayRequestOf(LPARAM mouseMessage);

// Whether a WM_MOUSEMOVE-numbered message is the icon's callback: the shell
// sends it from another thread (it is never posted), with the icon's id in
// wParam and a mouse message number in lParam.
bool IsTrayCallback(bool sentFromOtherThread, WPARAM wParam, LPARAM lParam);
// The same for a callback that reached the queue (a shell that posts it): a
// real move carries the pointer's own position, `pointer`, in client
// coordinates as it was when the message was queued; a callback carries a
// mouse message number in its place.
bool IsPostedTrayCallback(WPARAM wParam, LPARAM lParam, POINT pointer);

// The 32-bit value of a handle, and the handle of a value (handles are
// sign-extended on 64-bit Windows).
template <typename H>
H HandleFromValue(std::uint32_t value) {
    return reinterpret_cast<H>(static_cast<INT_PTR>(static_cast<std::int32_t>(value)));
}
template <typename H>
std::uint32_t ValueFromHandle(H handle) {
    return static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(handle));
}

}  // namespace tessaly::win32
