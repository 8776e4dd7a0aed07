// Small pieces of the Windows program that need no window: the ids that tie
// child windows and menu commands to the layout table, and the translation
// of the window layer's values (colours, fonts, file filters) and of the
// shell's answers into what the Win32 calls take and give. Kept apart so that
// they can be tested without a display.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "window/desktop.h"

namespace tessaly::win32 {

// Child control, timer and menu command ids.
constexpr int kIdBase = 100;
constexpr int CommandId(ControlId id) { return kIdBase + static_cast<int>(id); }
// The control whose id `commandId` is, when it names one.
bool ControlFromCommandId(int commandId, ControlId& id);

// A font's height for CreateFont (negative: character height) in points.
int FontHeight(double points, unsigned dpi);

inline COLORREF ColorRefOf(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }
inline Rgb RgbOf(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }
// A colour of the layout table, its system colours as the system has them now.
COLORREF ColorRefOf(Colour colour);

// Under a high-contrast theme the window gives up its fixed colours for the
// system colour that plays the same part: button face for the buttons' face,
// button text for the status and the check box, the hot-track (link) colour
// for the credits line. System colours stay as they are.
Colour HighContrastStandIn(Colour colour);
// The colour drawn for a colour of the table, with or without high contrast.
inline COLORREF ShownColour(Colour colour, bool highContrast) {
    return ColorRefOf(highContrast ? HighContrastStandIn(colour) : colour);
}

// The file dialog's list of types: description and patterns ("*.txt;*.htm")
// of each filter, each behind a NUL, the list ended by a second NUL. A filter
// without patterns is left out, since its empty pattern would end the list
// early; empty when no filter is left.
std::string DialogFilter(const std::vector<FileFilter>& filters);

// A high-contrast theme is on, as SystemParametersInfo reports it.
bool HighContrastOn();

// What ShellExecute's result code says: above 32 the document opened; 2 and
// 3 (file or path not found), 31 (no program is associated), else failed.
OpenResult OpenResultOf(INT_PTR shellResult);

}  // namespace tessaly::win32
