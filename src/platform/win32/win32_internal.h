// What the pieces of the Windows program share: the window's frame and scale,
// the fonts, the help engine, and reading and writing the controls' states.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "scoped_win.h"
#include "win32/support.h"
#include "win32_desktop.h"

namespace tessaly::win32 {

// Commands of the keyboard that no control carries.
inline constexpr WORD kCmdContextHelp = 90;
inline constexpr WORD kCmdStop = 91;
inline constexpr WORD kCmdView = 92;
inline constexpr WORD kCmdCredits = 93;

inline constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// The scale of the primary screen, and of the monitor that `hwnd` is on.
unsigned SystemDpi();
unsigned WindowDpi(HWND hwnd);
int MetricForDpi(int index, unsigned dpi);
// The window's outer size for its fixed client area at `dpi`.
SIZE FrameSize(unsigned dpi);

inline HCURSOR ArrowCursor() { return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */); }
inline bool IsButton(ControlKind kind) { return kind == ControlKind::Button || kind == ControlKind::PictureButton; }
inline RECT ToRect(const PixelRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

std::string WindowText(HWND hwnd);
// A check box's state as the program counts it: 0 cleared, 1 ticked, 2 grayed.
int CheckValue(HWND box);
void SetCheckValue(HWND box, int value);

// The fonts of the controls at one scale, by the kind of control; a kind
// without a font of its own has none.
struct Win32Desktop::Fonts {
    std::array<ScopedFont, static_cast<std::size_t>(ControlKind::Window) + 1> byKind;

    explicit Fonts(unsigned dpi);
    HFONT For(ControlKind kind) const { return byKind[static_cast<std::size_t>(kind)].get(); }
};

// The HTML Help engine, loaded on first use; the help windows that it opened
// close when the program ends.
class Win32Desktop::HelpEngine {
public:
    HelpEngine() = default;
    ~HelpEngine();
    HelpEngine(const HelpEngine&) = delete;
    HelpEngine& operator=(const HelpEngine&) = delete;
    // The help window, or null when the engine or the topic could not be found.
    HWND ShowContext(HWND owner, const std::string& helpFile, int contextId);

private:
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    ScopedModule module_;
    HtmlHelpFn htmlHelp_ = nullptr;
};

}  // namespace tessaly::win32
