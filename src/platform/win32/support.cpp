#include "win32/support.h"

#include <shellapi.h>

namespace tessaly::win32 {

bool ControlFromCommandId(int commandId, ControlId& id) {
    const int index = commandId - kIdBase;
    if (index < 0 || index >= static_cast<int>(Layout().size())) return false;
    id = static_cast<ControlId>(index);
    return true;
}

int FontHeight(double points, unsigned dpi) {
    // Points to pixels: 72 points per inch; the nearest whole pixel.
    const double pixels = points * static_cast<double>(dpi) / 72.0;
    return -static_cast<int>(pixels + 0.5);
}

COLORREF ColorRefOf(Colour colour) {
    if (const auto fixed = FixedColour(colour)) return ColorRefOf(*fixed);
    return ::GetSysColor(SystemColourIndex(colour));
}

Colour HighContrastStandIn(Colour colour) {
    constexpr Colour kSystem = 0x80000000u;
    switch (colour) {
        case kButtonBackColour: return kSystem | COLOR_BTNFACE;
        case kStatusForeColour:
        case kCheckBoxForeColour: return kSystem | COLOR_BTNTEXT;
        case kCreditsRestColour:
        case kCreditsHoverColour: return kSystem | COLOR_HOTLIGHT;
        default: return colour;
    }
}

bool HighContrastOn() {
    HIGHCONTRASTA contrast;
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = 0;
    contrast.lpszDefaultScheme = nullptr;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::string DialogFilter(const std::vector<FileFilter>& filters) {
    std::string list;
    for (const FileFilter& filter : filters) {
        const std::string patterns = JoinPatterns(filter, ';');
        if (patterns.empty()) continue;
        list += filter.description;
        list += '\0';
        list += patterns;
        list += '\0';
    }
    if (!list.empty()) list += '\0';
    return list;
}

OpenResult OpenResultOf(INT_PTR shellResult) {
    if (shellResult > 32) return OpenResult::Opened;
    switch (shellResult) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return OpenResult::NotFound;
        case SE_ERR_NOASSOC: return OpenResult::NoHandler;
        default: return OpenResult::Failed;
    }
}

}  // namespace tessaly::win32
