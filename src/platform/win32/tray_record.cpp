#include "win32/tray_record.h"

#include <algorithm>
#include <cstring>

namespace tessaly::win32 {

namespace {

constexpr std::size_t kTipOffset = 24;
constexpr std::size_t kTipBytes = 64;

void PutU32(TrayRecordBytes& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

[[maybe_unused]] std::uint32_t Read32(const TrayRecordBytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

TrayRecordBytes TrayRecord(std::uint32_t windowHandle, std::uint32_t iconHandle, std::string_view tip) {
    TrayRecordBytes bytes{};
    PutU32(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
    PutU32(bytes, 4, windowHandle);
    PutU32(bytes, 8, kTrayIconId);
    PutU32(bytes, 12, kTrayFlags);
    PutU32(bytes, 16, kTrayCallbackMessage);
    PutU32(bytes, 20, iconHandle);
    // The shell reads the tip up to its NUL, so the NUL must fit: a longer
    // text is cut to 63 bytes rather than handed over unterminated.
    const std::size_t length = std::min(tip.size(), kTipBytes - 1);
    auto* const field = bytes.data() + kTipOffset;
    std::copy_n(tip.data(), length, field);
    field[length] = 0;
    std::fill(field + length + 1, field + kTipBytes, static_cast<std::uint8_t>(' '));
    return bytes;
}

NOTIFYICONDATAA NotifyRecordFromBytes(const TrayRecordBytes& bytes) {
    NOTIFYICONDATAA record;
    std::memset(&record, 0, sizeof record);
#if defined(_WIN64)
    static_assert(NOTIFYICONDATAA_V1_SIZE == 104, "first-version record of 64-bit Windows");
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = HandleFromValue<HWND>(Read32(bytes, 4));
    record.uID = Read32(bytes, 8);
    record.uFlags = Read32(bytes, 12);
    record.uCallbackMessage = Read32(bytes, 16);
    record.hIcon = HandleFromValue<HICON>(Read32(bytes, 20));
    static_assert(sizeof record.szTip >= kTipBytes);
    std::memcpy(record.szTip, bytes.data() + kTipOffset, kTipBytes);
#else
    static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first-version record of 32-bit Windows");
    static_assert(sizeof(TrayRecordBytes) == NOTIFYICONDATAA_V1_SIZE);
    std::memcpy(&record, bytes.data(), bytes.size());
#endif
    return record;
}

TrayRequest TrayRequestOf(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDBLCLK: return TrayRequest::OpenWindow;
        // The menu key or Enter on the icon selected with the keyboard,
        // where the shell reports them.
        case WM_RBUTTONUP:
        case kTraySelect:
        case kTrayKeySelect:
        case WM_CONTEXTMENU: return TrayRequest::ShowMenu;
        default: return TrayRequest::None;
    }
}

bool IsTrayCallback(bool sentFromOtherThread, WPARAM wParam, LPARAM lParam) {
    return sentFromOtherThread && wParam == kTrayIconId && HIWORD(static_cast<DWORD>(lParam)) == 0;
}

bool IsPostedTrayCallback(WPARAM wParam, LPARAM lParam, POINT pointer) {
    const DWORD value = static_cast<DWORD>(lParam);
    const int code = LOWORD(value);
    if (wParam != kTrayIconId || HIWORD(value) != 0) return false;
    const bool keyboard = code == kTraySelect || code == kTrayKeySelect || code == WM_CONTEXTMENU;
    if (!keyboard && (code < WM_MOUSEFIRST || code > WM_MOUSELAST)) return false;
    return pointer.x != code || pointer.y != 0;
}

}  // namespace tessaly::win32
