// The main window: its creation, its controls' places at the monitor's
// scale, the message loop, and its end.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#include "win32_internal.h"

namespace tessaly::win32 {

namespace {

// Functions of newer Windows versions, looked up at run time so that the
// program still starts on Windows 7 and 8.
struct DpiFunctions {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;

    DpiFunctions() {
        if (HMODULE user32 = ::GetModuleHandleA("user32.dll")) {
            Load(user32, "GetDpiForWindow", getDpiForWindow);
            Load(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
            Load(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi);
        }
    }
    template <typename F>
    static void Load(HMODULE module, const char* name, F& function) {
        function = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

const DpiFunctions& Dpi() {
    static const DpiFunctions functions;
    return functions;
}

}  // namespace

unsigned SystemDpi() {
    const ScreenDC screen;
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96u;
}

unsigned WindowDpi(HWND hwnd) {
    if (hwnd && Dpi().getDpiForWindow) {
        if (const UINT dpi = Dpi().getDpiForWindow(hwnd)) return dpi;
    }
    return SystemDpi();
}

int MetricForDpi(int index, unsigned dpi) {
    if (Dpi().getSystemMetricsForDpi) return Dpi().getSystemMetricsForDpi(index, dpi);
    return ::GetSystemMetrics(index);
}

SIZE FrameSize(unsigned dpi) {
    RECT r{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
    if (Dpi().adjustWindowRectExForDpi) {
        Dpi().adjustWindowRectExForDpi(&r, kWindowStyle, FALSE, kWindowExStyle, dpi);
    } else {
        ::AdjustWindowRectEx(&r, kWindowStyle, FALSE, kWindowExStyle);
    }
    return SIZE{r.right - r.left, r.bottom - r.top};
}

Win32Desktop::Win32Desktop(HINSTANCE instance, std::string programFolder, std::string settingsFile)
    : instance_(instance),
      programFolder_(std::move(programFolder)),
      settingsFile_(std::move(settingsFile)),
      help_(std::make_unique<HelpEngine>()) {
    for (const ControlRow& row : Layout()) {
        if (row.kind == ControlKind::CreditsLine) ChildOf(row.id).foreColour = kCreditsRestColour;
    }
}

Win32Desktop::~Win32Desktop() {
    // Ending without a close: the window goes, the logic is not told.
    events_.MarkClosed();
    window_.Destroy();
}

bool Win32Desktop::Create() {
    const unsigned systemDpi = SystemDpi();
    LoadPictures(systemDpi);

    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Desktop::WindowProc;
    wc.hInstance = instance_;
    wc.hIcon = pausedBig_.get();
    wc.hIconSm = pausedSmall_.get();
    wc.hCursor = ArrowCursor();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kMainWindowClass;
    if (!::RegisterClassExA(&wc)) return false;

    const SIZE outer = FrameSize(systemDpi);
    const std::string caption(kWindowCaption);
    // The window procedure takes the handle over as soon as it exists.
    if (!::CreateWindowExA(kWindowExStyle, kMainWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                           CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr, instance_, this)) {
        return false;
    }
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");

    ACCEL keys[] = {{FVIRTKEY, VK_F1, kCmdContextHelp},
                    {FVIRTKEY, VK_ESCAPE, kCmdStop},
                    {FVIRTKEY | FCONTROL, static_cast<WORD>(kViewKeyLetter), kCmdView},
                    {FVIRTKEY | FCONTROL, static_cast<WORD>(kCreditsKeyLetter), kCmdCredits}};
    accelerators_.reset(::CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));

    dpi_ = WindowDpi(MainWindow());
    fonts_ = std::make_unique<Fonts>(dpi_);
    if (!CreateControls()) return false;
    ApplyDpi(dpi_, nullptr);
    OrderForTab();
    AddToolTips();
    NameForScreenReaders();
    return true;
}

bool Win32Desktop::CreateControls() {
    for (const ControlRow& row : Layout()) {
        if (!row.visible) continue;
        const char* cls = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        const std::string text(row.text);
        switch (row.kind) {
            case ControlKind::Button:
            case ControlKind::PictureButton:
                cls = "BUTTON";
                style |= BS_OWNERDRAW | WS_TABSTOP;
                break;
            case ControlKind::TextField:
                cls = "EDIT";
                style |= ES_AUTOHSCROLL | WS_TABSTOP;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::CreditsLine:
                cls = "EDIT";
                style |= ES_AUTOHSCROLL | ES_READONLY;
                break;
            case ControlKind::CheckBox:
                cls = "BUTTON";
                style |= BS_3STATE | WS_TABSTOP;
                break;
            case ControlKind::Label:
                cls = "STATIC";
                style |= SS_CENTER;
                break;
            default:
                continue;
        }
        // A picture button shows no text, so its window text is free to be
        // its name, which is where screen readers look for a button's.
        const std::string name(row.accessibleName);
        HWND child = ::CreateWindowExA(exStyle, cls, row.kind == ControlKind::PictureButton ? name.c_str() : text.c_str(),
                                       style, 0, 0, 0, 0, MainWindow(),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandId(row.id))), instance_,
                                       nullptr);
        if (!child) return false;
        ChildOf(row.id).hwnd = child;
        switch (row.kind) {
            case ControlKind::TextField:
                ::SendMessageA(child, EM_SETLIMITTEXT, 0, 0);
                [[fallthrough]];
            case ControlKind::CreditsLine:
                ::SetWindowSubclass(child, &Win32Desktop::ChildProc, static_cast<UINT_PTR>(row.id),
                                    reinterpret_cast<DWORD_PTR>(this));
                break;
            case ControlKind::CheckBox:
                // A themed check box ignores the text colour that the window
                // gives it; the classic one honours it.
                ::SetWindowTheme(child, L"", L"");
                break;
            default:
                break;
        }
    }
    return true;
}

void Win32Desktop::ApplyDpi(unsigned dpi, const RECT* suggested) {
    dpi_ = dpi;
    auto fresh = std::make_unique<Fonts>(dpi);
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        if (!child) continue;
        HFONT font = fresh->For(row.kind);
        if (font) ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The old fonts go only once no control uses them any more.
    fonts_ = std::move(fresh);
    LayOutControls();
    const SIZE outer = FrameSize(dpi);
    if (suggested) {
        ::SetWindowPos(MainWindow(), nullptr, suggested->left, suggested->top, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ::SetWindowPos(MainWindow(), nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(MainWindow(), nullptr, TRUE);
}

void Win32Desktop::LayOutControls() {
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(Layout().size()));
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        if (!child) continue;
        const RECT r = ToRect(ControlRect(row, dpi_));
        if (batch) {
            batch = ::DeferWindowPos(batch, child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            ::SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (batch) ::EndDeferWindowPos(batch);
}

// Tab, and screen readers, visit the children in their Z-order; the table's
// creation order is not its tab order, so the children are re-stacked in
// reading order (the Tab order, the label and the credits line in their
// places).
void Win32Desktop::OrderForTab() {
    HWND after = HWND_TOP;
    for (const ControlId id : ReadingOrder()) {
        HWND child = ChildOf(id).hwnd;
        if (!child) continue;
        ::SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
    }
}

void Win32Desktop::AddToolTips() {
    toolTip_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, MainWindow(), nullptr, instance_, nullptr));
    if (!toolTip_) return;
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        if (!child || row.toolTip.empty()) continue;
        std::string tip(row.toolTip);
        TOOLINFOA info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = MainWindow();
        info.uId = reinterpret_cast<UINT_PTR>(child);
        info.lpszText = tip.data();
        ::SendMessageA(toolTip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

int Win32Desktop::Run() {
    events_.Load();
    if (Live() && !ending_) {
        ::ShowWindow(MainWindow(), SW_SHOW);
        FocusFirstControl();
    }
    MSG msg;
    while (!ending_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (Live()) {
            if (accelerators_ && ::TranslateAcceleratorA(MainWindow(), accelerators_.get(), &msg)) continue;
            if (::IsDialogMessageA(MainWindow(), &msg)) continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

void Win32Desktop::FocusFirstControl() {
    const auto order = TabOrder();
    if (!order.empty()) {
        if (HWND first = ChildOf(order.front()).hwnd) ::SetFocus(first);
    }
}

ControlId Win32Desktop::FocusedControl() const {
    HWND focus = ::GetFocus();
    if (focus && ::GetParent(focus) == MainWindow()) {
        ControlId id;
        if (ControlFromCommandId(::GetDlgCtrlID(focus), id)) return id;
    }
    return ControlId::Window;
}

void Win32Desktop::KeepControlValues() {
    for (const ControlRow& row : Layout()) {
        Child& child = ChildOf(row.id);
        if (!child.hwnd) continue;
        if (row.kind == ControlKind::CheckBox) {
            child.value = CheckValue(child.hwnd);
        } else {
            child.text = WindowText(child.hwnd);
        }
        child.hwnd = nullptr;
    }
}

void Win32Desktop::CloseWindow() {
    if (!Live()) return;
    events_.Closing();
    window_.Destroy();
}

void Win32Desktop::EndProgram() {
    ending_ = true;
    ::PostQuitMessage(0);
}

}  // namespace tessaly::win32
