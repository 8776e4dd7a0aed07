#include "platform/win32/win32_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessaly::win32 {

bool ControlFromCommandId(int commandId, ControlId& id) {
    const int index = commandId - kIdBase;
    if (index < 0 || index >= static_cast<int>(Layout().size())) return false;
    id = static_cast<ControlId>(index);
    return true;
}

int TwipsToPixels(int twips, unsigned dpi) {
    // Round half away from zero; MulDiv does the same and cannot overflow.
    return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

float TwipsPerPixel(unsigned dpi) { return 1440.0f / static_cast<float>(dpi == 0 ? 96 : dpi); }

float PixelsToTwips(int pixels, unsigned dpi) { return static_cast<float>(pixels) * TwipsPerPixel(dpi); }

RECT ControlRect(const ControlRow& row, unsigned dpi) {
    RECT r;
    r.left = TwipsToPixels(row.left, dpi);
    r.top = TwipsToPixels(row.top, dpi);
    r.right = TwipsToPixels(row.left + row.width, dpi);
    r.bottom = TwipsToPixels(row.top + row.height, dpi);
    return r;
}

int FontHeight(double points, unsigned dpi) {
    // Points to pixels: 72 points per inch; the nearest whole pixel.
    const double pixels = points * static_cast<double>(dpi) / 72.0;
    return -static_cast<int>(pixels + 0.5);
}

namespace {

[[maybe_unused]] std::uint32_t Read32(const TrayRecordBytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

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
    static_assert(sizeof record.szTip >= 64);
    std::memcpy(record.szTip, bytes.data() + 24, 64);
#else
    static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first-version record of 32-bit Windows");
    static_assert(sizeof(TrayRecordBytes) == NOTIFYICONDATAA_V1_SIZE);
    std::memcpy(&record, bytes.data(), bytes.size());
#endif
    return record;
}

std::string DialogFilter(std::string_view filter) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t bar = filter.find('|');
        parts.push_back(filter.substr(0, bar));
        if (bar == std::string_view::npos) break;
        filter.remove_prefix(bar + 1);
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        // An empty pattern would end the list early, so the pair is left out.
        if (parts[i + 1].empty()) continue;
        out.append(parts[i]);
        out.push_back('\0');
        out.append(parts[i + 1]);
        out.push_back('\0');
    }
    if (!out.empty()) out.push_back('\0');
    return out;
}

std::string FolderWithoutTrailingSeparator(std::string path) {
    auto isRoot = [&] { return path.size() == 3 && path[1] == ':'; };
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && !isRoot()) path.pop_back();
    return path;
}

bool IsTrayCallback(bool sentFromOtherThread, WPARAM wParam, LPARAM lParam) {
    return sentFromOtherThread && wParam == 1 && HIWORD(static_cast<DWORD>(lParam)) == 0;
}

bool IsPostedTrayCallback(WPARAM wParam, LPARAM lParam, POINT pointer) {
    const DWORD value = static_cast<DWORD>(lParam);
    const int code = LOWORD(value);
    if (wParam != 1 || HIWORD(value) != 0) return false;
    if (code < WM_MOUSEFIRST || code > WM_MOUSELAST) return false;
    return pointer.x != code || pointer.y != 0;
}

COLORREF ReadableTextColour(COLORREF preferred, COLORREF background) {
    auto luma = [](COLORREF c) {
        return 0.299 * GetRValue(c) + 0.587 * GetGValue(c) + 0.114 * GetBValue(c);
    };
    const double bg = luma(background);
    if (std::abs(luma(preferred) - bg) >= 96.0) return preferred;
    return bg < 128.0 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

int PictureScaleIndex(unsigned dpi) {
    if (dpi >= 192) return 2;
    if (dpi >= 144) return 1;
    return 0;
}

std::vector<ControlId> TabOrder() {
    std::vector<const ControlRow*> stops;
    for (const ControlRow& row : Layout()) {
        if (!row.visible || row.tabIndex < 0) continue;
        switch (row.kind) {
            case ControlKind::Button:
            case ControlKind::PictureButton:
            case ControlKind::TextField:
            case ControlKind::CheckBox:
                stops.push_back(&row);
                break;
            default:
                break;
        }
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const ControlRow* a, const ControlRow* b) { return a->tabIndex < b->tabIndex; });
    std::vector<ControlId> ids;
    for (const ControlRow* row : stops) ids.push_back(row->id);
    return ids;
}

}  // namespace tessaly::win32
