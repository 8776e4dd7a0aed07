// TrayIconData: the one first-version NOTIFYICONDATA record of the program,
// held in the 88-byte form that the shell receives.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/controls.h"

namespace tessaly {

inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uint32_t kTrayFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP
inline constexpr std::uint32_t kTrayCallbackMessage = 512;

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
