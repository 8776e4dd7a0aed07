// TrayIconData: the one first-version NOTIFYICONDATA record of the program,
// held in the 88-byte form that the shell receives.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/controls.h"

namespace tessaly {

inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
inline constexpr std::uint32_t kTrayCallbackMessage = 512;  // WM_MOUSEMOVE

// The mouse messages that the icon's callback carries and the window acts on.
enum class TrayCallbackCode : long {
    LeftDoubleClick = 515,  // WM_LBUTTONDBLCLK
    RightButtonUp = 517,    // WM_RBUTTONUP
};

struct TrayIconRecord {
    // Little-endian: cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon at
    // offsets 0, 4, 8, 12, 16, 20; the 64-byte tip at 24.
    TrayRecordBytes bytes{};

    // The fill rule: every field written, the tip followed by one NUL and
    // padded with spaces to 64 bytes (cut to 64 when longer).
    void Fill(std::uint32_t windowHandle, std::uint32_t iconHandle, std::string_view tip);

    std::uint32_t Field(std::size_t offset) const;
    std::string_view Tip() const;  // the text before the NUL
};

}  // namespace tessaly
