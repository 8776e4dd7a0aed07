#include "platform/win32/win32_platform.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/fs/fs.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_support.h"

namespace tessaly::win32 {

namespace {

// Commands of the keyboard that no control carries.
constexpr WORD kCmdContextHelp = 90;
constexpr WORD kCmdStop = 91;

constexpr const char* kProgramFont = "MS Sans Serif";
// The TrueType face that Windows itself puts in place of the bitmap one.
constexpr const char* kScalableFont = "Microsoft Sans Serif";

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

unsigned SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
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

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

SIZE OuterSize(unsigned dpi) {
    RECT r{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
    if (Dpi().adjustWindowRectExForDpi) {
        Dpi().adjustWindowRectExForDpi(&r, kWindowStyle, FALSE, kWindowExStyle, dpi);
    } else {
        ::AdjustWindowRectEx(&r, kWindowStyle, FALSE, kWindowExStyle);
    }
    return SIZE{r.right - r.left, r.bottom - r.top};
}

COLORREF SysColour(int index) { return ::GetSysColor(index); }

int PictureIndex(ControlId id) {
    switch (id) {
        case ControlId::cmdStart: return 0;
        case ControlId::cmdStop: return 1;
        case ControlId::cmdCreateS: return 2;
        case ControlId::cmdHelp: return 3;
        default: return -1;
    }
}

bool IsButton(ControlKind kind) { return kind == ControlKind::Button || kind == ControlKind::PictureButton; }

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0u);
    return text;
}

// A control's text; once the window is gone, what it showed last.
std::string ReadText(const Win32Platform::Child& child) {
    return child.hwnd ? WindowText(child.hwnd) : child.text;
}

void WriteText(Win32Platform::Child& child, const std::string& text) {
    if (child.hwnd) {
        ::SetWindowTextA(child.hwnd, text.c_str());
    } else {
        child.text = text;
    }
}

// --- the controls' wrappers ------------------------------------------------

class Window final : public IWindow {
public:
    explicit Window(Win32Platform& platform) : platform_(platform) {}
    std::uint32_t Handle() const override { return ValueFromHandle(platform_.MainWindow()); }
    bool Visible() const override { return hwnd() && ::IsWindowVisible(hwnd()); }
    void Show() override {
        if (hwnd()) ::ShowWindow(hwnd(), SW_SHOW);
    }
    void Hide() override {
        if (hwnd()) ::ShowWindow(hwnd(), SW_HIDE);
    }
    void Refresh() override {
        if (hwnd()) {
            ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
    void SetIcon(const IImage& picture) override;
    void SetWindowState(int state) override {
        if (!hwnd()) return;
        switch (state) {
            case 0:
                if (::IsIconic(hwnd()) || ::IsZoomed(hwnd())) ::ShowWindow(hwnd(), SW_RESTORE);
                break;
            case 1:
                ::ShowWindow(hwnd(), SW_MINIMIZE);
                break;
            case 2:
                ::ShowWindow(hwnd(), SW_MAXIMIZE);
                break;
            default:
                break;
        }
    }
    float Width() const override { return PixelsToTwips(Rect().right - Rect().left, platform_.Dpi()); }
    float Height() const override { return PixelsToTwips(Rect().bottom - Rect().top, platform_.Dpi()); }
    void SetLeft(float twips) override { MoveTo(ToPixels(twips), Rect().top); }
    void SetTop(float twips) override { MoveTo(Rect().left, ToPixels(twips)); }
    float Left() const override { return PixelsToTwips(Rect().left, platform_.Dpi()); }
    float Top() const override { return PixelsToTwips(Rect().top, platform_.Dpi()); }

private:
    HWND hwnd() const { return platform_.MainWindow(); }
    RECT Rect() const {
        RECT r{};
        if (hwnd()) ::GetWindowRect(hwnd(), &r);
        return r;
    }
    int ToPixels(float twips) const {
        const double pixels = static_cast<double>(twips) / static_cast<double>(TwipsPerPixel(platform_.Dpi()));
        if (!std::isfinite(pixels) || std::fabs(pixels) > 1e6) return 0;
        return static_cast<int>(std::lround(pixels));
    }
    void MoveTo(int x, int y) {
        if (hwnd()) ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Win32Platform& platform_;
};

class Image final : public IImage {
public:
    Image(ControlId id, HICON small) : id_(id), small_(small) {}
    std::uint32_t IconHandle() const override { return ValueFromHandle(small_); }
    ControlId Id() const { return id_; }

private:
    ControlId id_;
    HICON small_;
};

void Window::SetIcon(const IImage& picture) {
    if (!hwnd()) return;
    const auto* image = dynamic_cast<const Image*>(&picture);
    if (!image) return;
    ::SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(platform_.SmallIcon(image->Id())));
    ::SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(platform_.BigIcon(image->Id())));
}

class TextField final : public ITextField {
public:
    TextField(Win32Platform& platform, ControlId id) : platform_(platform), id_(id) {}
    std::string Text() const override { return ReadText(platform_.ChildOf(id_)); }
    void SetText(const std::string& text) override { WriteText(platform_.ChildOf(id_), text); }
    void Select(int start, int length) override {
        const auto& child = platform_.ChildOf(id_);
        if (child.hwnd) ::SendMessageA(child.hwnd, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    }
    Colour ForeColor() const override { return platform_.ChildOf(id_).foreColour; }
    void SetForeColor(Colour colour) override {
        auto& child = platform_.ChildOf(id_);
        if (child.foreColour == colour) return;
        child.foreColour = colour;
        if (child.hwnd) ::InvalidateRect(child.hwnd, nullptr, TRUE);
    }

private:
    Win32Platform& platform_;
    ControlId id_;
};

class CheckBox final : public ICheckBox {
public:
    CheckBox(Win32Platform& platform, ControlId id) : platform_(platform), id_(id) {}
    int Value() const override {
        const auto& child = platform_.ChildOf(id_);
        if (!child.hwnd) return child.value;
        switch (::SendMessageA(child.hwnd, BM_GETCHECK, 0, 0)) {
            case BST_CHECKED: return 1;
            case BST_INDETERMINATE: return 2;
            default: return 0;
        }
    }
    void SetValue(int value) override {
        auto& child = platform_.ChildOf(id_);
        const int clean = value == 1 || value == 2 ? value : 0;
        if (!child.hwnd) {
            child.value = clean;
            return;
        }
        const WPARAM state = clean == 1 ? BST_CHECKED : clean == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
        ::SendMessageA(child.hwnd, BM_SETCHECK, state, 0);
    }

private:
    Win32Platform& platform_;
    ControlId id_;
};

class Label final : public ILabel {
public:
    Label(Win32Platform& platform, ControlId id) : platform_(platform), id_(id) {}
    std::string Caption() const override { return ReadText(platform_.ChildOf(id_)); }
    void SetCaption(const std::string& caption) override { WriteText(platform_.ChildOf(id_), caption); }

private:
    Win32Platform& platform_;
    ControlId id_;
};

class Timer final : public ITimer {
public:
    Timer(Win32Platform& platform, ControlId id, unsigned intervalMs)
        : platform_(platform), id_(id), interval_(intervalMs) {}
    ~Timer() override { SetEnabled(false); }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override {
        if (enabled == enabled_) return;  // an enabled timer keeps its period
        enabled_ = enabled;
        HWND hwnd = platform_.MainWindow();
        if (!hwnd) return;
        if (enabled) {
            ::SetTimer(hwnd, static_cast<UINT_PTR>(CommandId(id_)), interval_, nullptr);
        } else {
            ::KillTimer(hwnd, static_cast<UINT_PTR>(CommandId(id_)));
        }
    }
    unsigned IntervalMs() const override { return interval_; }

private:
    Win32Platform& platform_;
    ControlId id_;
    unsigned interval_;
    bool enabled_ = false;
};

class MenuItem final : public IMenuItem {
public:
    MenuItem(Win32Platform& platform, ControlId id) : platform_(platform), id_(id) {}
    bool Visible() const override { return platform_.MenuVisible(id_); }
    void SetVisible(bool visible) override { platform_.SetMenuVisible(id_, visible); }

private:
    Win32Platform& platform_;
    ControlId id_;
};

class FileDialog final : public IFileDialog {
public:
    explicit FileDialog(Win32Platform& platform) : platform_(platform) {}
    std::string InitDir() const override { return initDir_; }
    void SetInitDir(const std::string& folder) override { initDir_ = folder; }
    std::string DialogTitle() const override { return title_; }
    void SetDialogTitle(const std::string& title) override { title_ = title; }
    std::string Filter() const override { return filter_; }
    void SetFilter(const std::string& filter) override { filter_ = filter; }
    std::string FileName() const override { return fileName_; }
    void SetFileName(const std::string& name) override { fileName_ = name; }
    Result ShowOpen() override {
        const std::string filter = DialogFilter(filter_);
        // The name box starts empty: a full path left from an earlier pick
        // would make the dialog open in that file's folder instead of the
        // folder asked for.
        std::vector<char> file(32768, '\0');
        OPENFILENAMEA ofn;
        std::memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = platform_.MainWindow();
        ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = filter.empty() ? 0 : 1;
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrInitialDir = initDir_.empty() ? nullptr : initDir_.c_str();
        ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
        if (::GetOpenFileNameA(&ofn)) {
            fileName_ = file.data();
            return Result::Chosen;
        }
        return ::CommDlgExtendedError() == 0 ? Result::Cancelled : Result::Failed;
    }

private:
    Win32Platform& platform_;
    std::string initDir_, title_, filter_, fileName_;
};

}  // namespace

// --- fonts -------------------------------------------------------------------

struct Win32Platform::Fonts {
    HFONT bold = nullptr;      // picker buttons and the check box
    HFONT status = nullptr;    // the status label
    HFONT credits = nullptr;   // the credits line
    HFONT field = nullptr;     // the path fields

    explicit Fonts(unsigned dpi) {
        bold = Make(8.25, FW_BOLD, false, dpi);
        status = Make(9.75, FW_BOLD, false, dpi);
        credits = Make(8.25, FW_NORMAL, true, dpi);
        field = DefaultGuiFont(dpi);
    }
    ~Fonts() {
        for (HFONT font : {bold, status, credits, field}) {
            if (font) ::DeleteObject(font);
        }
    }
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    static HFONT Create(const char* face, int height, int weight, bool underline) {
        return ::CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                             face);
    }

    // The bitmap face comes in a few pixel sizes only; where it cannot give
    // the size that the scale asks for, its scalable successor stands in.
    static HFONT Make(double points, int weight, bool underline, unsigned dpi) {
        const int height = FontHeight(points, dpi);
        HFONT font = Create(kProgramFont, height, weight, underline);
        if (!font) return Create(kScalableFont, height, weight, underline);
        HDC dc = ::GetDC(nullptr);
        bool fits = true;
        if (dc) {
            HGDIOBJ old = ::SelectObject(dc, font);
            TEXTMETRICA tm;
            if (::GetTextMetricsA(dc, &tm)) {
                const bool scalable = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
                const int cell = tm.tmHeight - tm.tmInternalLeading;
                fits = scalable || std::abs(cell - -height) <= 1;
            }
            ::SelectObject(dc, old);
            ::ReleaseDC(nullptr, dc);
        }
        if (fits) return font;
        ::DeleteObject(font);
        return Create(kScalableFont, height, weight, underline);
    }

    // The system's default GUI font is made for the system's scale; the
    // window may sit on a monitor with another one.
    static HFONT DefaultGuiFont(unsigned dpi) {
        LOGFONTA lf;
        if (!::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) return nullptr;
        lf.lfHeight = ::MulDiv(lf.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
        lf.lfWidth = 0;
        return ::CreateFontIndirectA(&lf);
    }
};

// --- the platform --------------------------------------------------------------

Win32Platform::Win32Platform(HINSTANCE instance) : instance_(instance) {
    menuVisible_.fill(true);
    for (const ControlRow& row : Layout()) {
        if (row.kind == ControlKind::CreditsLine) ChildOf(row.id).foreColour = kCreditsRestColour;
    }
}

Win32Platform::~Win32Platform() {
    if (hwnd_) {
        // Ending without an unload: the window goes, the form has been told.
        unloaded_ = true;
        ::DestroyWindow(hwnd_);
    }
    if (toolTip_) ::DestroyWindow(toolTip_);
    if (htmlHelp_) {
        using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
        auto htmlHelp = reinterpret_cast<HtmlHelpFn>(
            reinterpret_cast<void*>(::GetProcAddress(htmlHelp_, "HtmlHelpA")));
        if (htmlHelp) htmlHelp(nullptr, nullptr, 0x0012 /* HH_CLOSE_ALL */, 0);
    }
    fonts_.reset();
    if (buttonBrush_) ::DeleteObject(buttonBrush_);
    for (auto& sizes : pictures_) {
        for (HBITMAP picture : sizes) {
            if (picture) ::DeleteObject(picture);
        }
    }
    for (HICON icon : {pausedSmall_, pausedBig_, runningSmall_, runningBig_}) {
        if (icon) ::DestroyIcon(icon);
    }
    if (accelerators_) ::DestroyAcceleratorTable(accelerators_);
}

HICON Win32Platform::SmallIcon(ControlId image) const {
    return image == ControlId::imgRun ? runningSmall_ : pausedSmall_;
}

HICON Win32Platform::BigIcon(ControlId image) const { return image == ControlId::imgRun ? runningBig_ : pausedBig_; }

bool Win32Platform::Create() {
    const unsigned systemDpi = SystemDpi();
    auto loadIcon = [this](int id, int size) {
        return static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
    };
    pausedSmall_ = loadIcon(IDI_PAUSED, MetricForDpi(SM_CXSMICON, systemDpi));
    pausedBig_ = loadIcon(IDI_PAUSED, MetricForDpi(SM_CXICON, systemDpi));
    runningSmall_ = loadIcon(IDI_RUNNING, MetricForDpi(SM_CXSMICON, systemDpi));
    runningBig_ = loadIcon(IDI_RUNNING, MetricForDpi(SM_CXICON, systemDpi));
    const int pictureIds[4] = {IDB_START, IDB_STOP, IDB_CREATE, IDB_HELP};
    for (int p = 0; p < 4; ++p) {
        for (int s = 0; s < 3; ++s) {
            pictures_[p][s] = static_cast<HBITMAP>(
                ::LoadImageA(instance_, MAKEINTRESOURCEA(pictureIds[p] + s), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        }
    }
    buttonBrush_ = ::CreateSolidBrush(ToColorRef(kButtonBackColour, SysColour));

    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Platform::WindowProc;
    wc.hInstance = instance_;
    wc.hIcon = pausedBig_;
    wc.hIconSm = pausedSmall_;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kMainWindowClass;
    if (!::RegisterClassExA(&wc)) return false;

    const SIZE outer = OuterSize(systemDpi);
    const std::string caption(kWindowCaption);
    hwnd_ = ::CreateWindowExA(kWindowExStyle, kMainWindowClass, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");

    ACCEL keys[2] = {{FVIRTKEY, VK_F1, kCmdContextHelp}, {FVIRTKEY, VK_ESCAPE, kCmdStop}};
    accelerators_ = ::CreateAcceleratorTableA(keys, 2);

    dpi_ = WindowDpi(hwnd_);
    fonts_ = std::make_unique<Fonts>(dpi_);
    if (!CreateControls()) return false;
    ApplyDpi(dpi_, nullptr);
    OrderForTab();
    AddToolTips();
    return true;
}

bool Win32Platform::CreateControls() {
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
        HWND child = ::CreateWindowExA(exStyle, cls, row.kind == ControlKind::PictureButton ? "" : text.c_str(),
                                       style, 0, 0, 0, 0, hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandId(row.id))), instance_,
                                       nullptr);
        if (!child) return false;
        ChildOf(row.id).hwnd = child;
        switch (row.kind) {
            case ControlKind::TextField:
                ::SendMessageA(child, EM_SETLIMITTEXT, 0, 0);
                ::SetWindowSubclass(child, &Win32Platform::ChildProc, static_cast<UINT_PTR>(row.id),
                                    reinterpret_cast<DWORD_PTR>(this));
                break;
            case ControlKind::CreditsLine:
                ::SetWindowSubclass(child, &Win32Platform::ChildProc, static_cast<UINT_PTR>(row.id),
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

void Win32Platform::ApplyDpi(unsigned dpi, const RECT* suggested) {
    dpi_ = dpi;
    auto fresh = std::make_unique<Fonts>(dpi);
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        if (!child) continue;
        HFONT font = nullptr;
        switch (row.kind) {
            case ControlKind::Button:
            case ControlKind::CheckBox:
                font = fresh->bold;
                break;
            case ControlKind::Label:
                font = fresh->status;
                break;
            case ControlKind::CreditsLine:
                font = fresh->credits;
                break;
            case ControlKind::TextField:
                font = fresh->field;
                break;
            default:
                break;
        }
        if (font) ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The old fonts go only once no control uses them any more.
    fonts_ = std::move(fresh);
    LayOutControls();
    const SIZE outer = OuterSize(dpi);
    if (suggested) {
        ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Platform::LayOutControls() {
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(Layout().size()));
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        if (!child) continue;
        const RECT r = ControlRect(row, dpi_);
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

// Tab visits the children in their Z-order; the table's creation order is not
// its tab order, so the children are re-stacked by tab index.
void Win32Platform::OrderForTab() {
    std::vector<const ControlRow*> stack;
    for (const ControlRow& row : Layout()) {
        if (ChildOf(row.id).hwnd) stack.push_back(&row);
    }
    std::stable_sort(stack.begin(), stack.end(),
                     [](const ControlRow* a, const ControlRow* b) { return a->tabIndex < b->tabIndex; });
    HWND after = HWND_TOP;
    for (const ControlRow* row : stack) {
        HWND child = ChildOf(row->id).hwnd;
        ::SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
    }
}

void Win32Platform::AddToolTips() {
    toolTip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                                 nullptr);
    if (!toolTip_) return;
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        if (!child || row.toolTip.empty()) continue;
        std::string tip(row.toolTip);
        TOOLINFOA info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = hwnd_;
        info.uId = reinterpret_cast<UINT_PTR>(child);
        info.lpszText = tip.data();
        ::SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

int Win32Platform::Run() {
    form_.Load();
    if (Live() && !ending_) {
        ::ShowWindow(hwnd_, SW_SHOW);
        FocusFirstControl();
    }
    MSG msg;
    while (!ending_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (Live()) {
            if (accelerators_ && ::TranslateAcceleratorA(hwnd_, accelerators_, &msg)) continue;
            if (::IsDialogMessageA(hwnd_, &msg)) continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

bool Win32Platform::Live() const { return hwnd_ != nullptr && !unloaded_; }

void Win32Platform::FocusFirstControl() {
    const auto order = TabOrder();
    if (!order.empty()) {
        if (HWND first = ChildOf(order.front()).hwnd) ::SetFocus(first);
    }
}

ControlId Win32Platform::FocusedControl() const {
    HWND focus = ::GetFocus();
    if (focus && ::GetParent(focus) == hwnd_) {
        ControlId id;
        if (ControlFromCommandId(::GetDlgCtrlID(focus), id)) return id;
    }
    return ControlId::frmSignature;
}

void Win32Platform::ContextHelp() {
    if (Live()) form_.ContextHelp(FocusedControl());
}

void Win32Platform::KeepControlValues() {
    for (const ControlRow& row : Layout()) {
        Child& child = ChildOf(row.id);
        if (!child.hwnd) continue;
        if (row.kind == ControlKind::CheckBox) {
            const LRESULT state = ::SendMessageA(child.hwnd, BM_GETCHECK, 0, 0);
            child.value = state == BST_CHECKED ? 1 : state == BST_INDETERMINATE ? 2 : 0;
        } else {
            child.text = WindowText(child.hwnd);
        }
        child.hwnd = nullptr;
    }
}

LRESULT CALLBACK Win32Platform::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Platform*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self || self->hwnd_ != hwnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Platform::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(wParam, lParam);
            return 0;
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLOREDIT:
            return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), true);
        case WM_CTLCOLORSTATIC:
            return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), false);
        case WM_MOUSEMOVE:
            OnMouseMove(wParam, lParam);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_HELP:
            ContextHelp();
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::GetParent(focus) == hwnd_) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            if (lastFocus_ && ::IsWindow(lastFocus_)) {
                ::SetFocus(lastFocus_);
            } else {
                FocusFirstControl();
            }
            return 0;
        case 0x02E0: /* WM_DPICHANGED */
            ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_SYSCOLORCHANGE:
            ::InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        case WM_CLOSE:
            UnloadMainWindow();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends without a WM_CLOSE: save now, the process may
            // not get another chance.
            if (wParam) UnloadMainWindow();
            return 0;
        case WM_DESTROY:
            KeepControlValues();
            if (toolTip_) {
                ::DestroyWindow(toolTip_);
                toolTip_ = nullptr;
            }
            unloaded_ = true;
            ending_ = true;
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            break;
        default:
            if (message == taskbarCreated_ && taskbarCreated_ != 0) {
                if (Live()) form_.TaskbarCreated();
                return 0;
            }
            break;
    }
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

void Win32Platform::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!Live()) return;
    const WORD command = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (lParam == 0) {
        // Keyboard: accelerators, and the dialog keys that IsDialogMessage
        // turns into IDOK and IDCANCEL.
        switch (command) {
            case kCmdContextHelp:
                ContextHelp();
                return;
            case kCmdStop:
            case IDCANCEL:
                form_.Click(ControlId::cmdStop);
                return;
            case IDOK: {
                const ControlId focused = FocusedControl();
                if (IsButton(Row(focused).kind)) form_.Click(focused);
                return;
            }
            default:
                return;
        }
    }
    ControlId id;
    if (!ControlFromCommandId(command, id)) return;
    const ControlRow& row = Row(id);
    if (row.kind == ControlKind::CheckBox && code == BN_CLICKED) {
        // The user ticks or clears; the grayed value only comes from a file.
        HWND box = ChildOf(id).hwnd;
        const bool ticked = ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::SendMessageA(box, BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED, 0);
        return;
    }
    // A quick second click on an owner-drawn button arrives as a double-click.
    if (IsButton(row.kind) && (code == BN_CLICKED || code == BN_DOUBLECLICKED)) form_.Click(id);
}

void Win32Platform::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!Live()) return;
    const DWORD sent = ::InSendMessageEx(nullptr);
    const bool fromOtherThread = (sent & (ISMEX_SEND | ISMEX_NOTIFY)) != 0;
    bool tray = IsTrayCallback(fromOtherThread, wParam, lParam);
    if (!tray && sent == ISMEX_NOSEND) {
        const DWORD at = ::GetMessagePos();
        POINT pointer{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        ::ScreenToClient(hwnd_, &pointer);
        tray = IsPostedTrayCallback(wParam, lParam, pointer);
    }
    if (tray) {
        // The shell waits for the reply; a menu or the window that the
        // callback brings up must not hold it.
        if ((sent & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND) ::ReplyMessage(0);
        const float x = static_cast<float>(static_cast<int>(lParam)) * TwipsPerPixelX();
        form_.TrayCallback(x);
    }
    // A real move over the window does nothing in the program.
}

void Win32Platform::OnTimer(WPARAM timerId) {
    if (!Live()) return;
    ControlId id;
    if (ControlFromCommandId(static_cast<int>(timerId), id)) form_.Tick(id);
}

LRESULT Win32Platform::ColourControl(HDC dc, HWND control, bool editable) {
    ControlId id;
    if (!ControlFromCommandId(::GetDlgCtrlID(control), id)) {
        return ::DefWindowProcA(hwnd_, editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(control));
    }
    const ControlRow& row = Row(id);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    switch (row.kind) {
        case ControlKind::TextField: {
            const int index = static_cast<int>(kPathFieldBackColour & 0xFF);
            const COLORREF back = ::GetSysColor(index);
            ::SetBkColor(dc, back);
            ::SetTextColor(dc, ReadableTextColour(::GetSysColor(COLOR_WINDOWTEXT), back));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(index));
        }
        case ControlKind::CreditsLine:
            ::SetTextColor(dc, ToColorRef(ChildOf(id).foreColour, SysColour));
            ::SetBkColor(dc, ToColorRef(kCreditsBackColour, SysColour));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(static_cast<int>(kCreditsBackColour & 0xFF)));
        case ControlKind::Label:
            ::SetTextColor(dc, ToColorRef(kStatusForeColour, SysColour));
            break;
        case ControlKind::CheckBox:
            ::SetTextColor(dc, ToColorRef(kCheckBoxForeColour, SysColour));
            break;
        default:
            break;
    }
    ::SetBkColor(dc, face);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void Win32Platform::DrawButton(const DRAWITEMSTRUCT& item) {
    ControlId id;
    if (item.CtlType != ODT_BUTTON || !ControlFromCommandId(static_cast<int>(item.CtlID), id)) return;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &r, buttonBrush_);
    ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int shift = pressed ? 1 : 0;
    const int picture = PictureIndex(id);
    if (picture >= 0) {
        // The largest drawing that the scale allows, centred, its mask
        // colour left out.
        for (int s = PictureScaleIndex(dpi_); s >= 0; --s) {
            HBITMAP bitmap = pictures_[static_cast<std::size_t>(picture)][static_cast<std::size_t>(s)];
            BITMAP info;
            if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) continue;
            HDC source = ::CreateCompatibleDC(dc);
            if (!source) break;
            HGDIOBJ old = ::SelectObject(source, bitmap);
            const int x = r.left + (r.right - r.left - info.bmWidth) / 2 + shift;
            const int y = r.top + (r.bottom - r.top - info.bmHeight) / 2 + shift;
            ::TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight,
                             ToColorRef(kButtonMaskColour, SysColour));
            ::SelectObject(source, old);
            ::DeleteDC(source);
            break;
        }
    } else {
        const std::string caption(Row(id).text);
        RECT text = r;
        ::OffsetRect(&text, shift, shift);
        HGDIOBJ old = ::SelectObject(dc, fonts_->bold);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        const int inset = TwipsToPixels(60, dpi_);
        ::InflateRect(&r, -inset, -inset);
        ::DrawFocusRect(dc, &r);
    }
}

LRESULT CALLBACK Win32Platform::ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self) {
    return reinterpret_cast<Win32Platform*>(self)->HandleChildMessage(static_cast<ControlId>(id), hwnd, message,
                                                                       wParam, lParam);
}

LRESULT Win32Platform::HandleChildMessage(ControlId id, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &Win32Platform::ChildProc, static_cast<UINT_PTR>(id));
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (id == ControlId::txtCompliments) {
        switch (message) {
            case WM_SETCURSOR:
                ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */));
                return TRUE;
            case WM_MOUSEMOVE: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                if (Live()) form_.MouseOver(id);
                return result;
            }
            case WM_LBUTTONDOWN:
                creditsPressed_ = true;
                break;
            case WM_LBUTTONUP: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                RECT client;
                ::GetClientRect(hwnd, &client);
                const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                const bool click = creditsPressed_ && ::PtInRect(&client, at);
                creditsPressed_ = false;
                if (click && Live()) form_.Click(ControlId::txtCompliments);
                return result;
            }
            default:
                break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (message == WM_LBUTTONDBLCLK) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (Live()) form_.DoubleClick(id);
        return result;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// --- IPlatform -------------------------------------------------------------------

std::unique_ptr<IWindow> Win32Platform::CreateMainWindow() { return std::make_unique<Window>(*this); }

std::unique_ptr<ITextField> Win32Platform::CreateTextField(ControlId id) {
    return std::make_unique<TextField>(*this, id);
}

std::unique_ptr<ICheckBox> Win32Platform::CreateCheckBox(ControlId id) { return std::make_unique<CheckBox>(*this, id); }

std::unique_ptr<ILabel> Win32Platform::CreateLabel(ControlId id) { return std::make_unique<Label>(*this, id); }

std::unique_ptr<ITimer> Win32Platform::CreateTimer(ControlId id, unsigned intervalMs) {
    return std::make_unique<Timer>(*this, id, intervalMs);
}

std::unique_ptr<IMenuItem> Win32Platform::CreateMenuItem(ControlId id) {
    SetMenuVisible(id, Row(id).visible);
    return std::make_unique<MenuItem>(*this, id);
}

std::unique_ptr<IImage> Win32Platform::CreateImage(ControlId id) {
    return std::make_unique<Image>(id, SmallIcon(id));
}

std::unique_ptr<IFileDialog> Win32Platform::CreateFileDialog() { return std::make_unique<FileDialog>(*this); }

std::string Win32Platform::AppPath() const { return fs::ExecutableFolder(); }

float Win32Platform::ScreenWidth() const { return PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi_); }

float Win32Platform::ScreenHeight() const { return PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi_); }

float Win32Platform::TwipsPerPixelX() const { return TwipsPerPixel(dpi_); }

bool Win32Platform::Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) {
    NOTIFYICONDATAA data = NotifyRecordFromBytes(record);
    return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

std::int32_t Win32Platform::ShellExecuteA(std::uint32_t ownerWindow, const char* operation, const std::string& file,
                                          const char* parameters, const char* directory, int showCommand) {
    HINSTANCE result = ::ShellExecuteA(HandleFromValue<HWND>(ownerWindow), operation, file.c_str(), parameters,
                                       directory, showCommand);
    return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(result));
}

bool Win32Platform::SetForegroundWindow(std::uint32_t window) {
    return ::SetForegroundWindow(HandleFromValue<HWND>(window)) != FALSE;
}

int Win32Platform::MsgBox(const std::string& text, int style, const std::string& title) {
    return ::MessageBoxA(Live() ? hwnd_ : nullptr, text.c_str(), title.c_str(), static_cast<UINT>(style));
}

std::optional<ControlId> Win32Platform::PopupMenu() {
    if (!Live()) return std::nullopt;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return std::nullopt;
    for (const MenuEntry& entry : TrayMenuEntries([this](ControlId id) { return MenuVisible(id); })) {
        if (entry.separator) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            const std::string caption(entry.caption);
            ::AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(CommandId(entry.id)), caption.c_str());
        }
    }
    POINT at{0, 0};
    ::GetCursorPos(&at);
    const int chosen = static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x,
                                                         at.y, 0, hwnd_, nullptr));
    // Without a message after the menu the next click on the icon would find
    // the menu's owner still tracking.
    ::PostMessageA(hwnd_, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
    ControlId id;
    if (chosen == 0 || !ControlFromCommandId(chosen, id)) return std::nullopt;
    return id;
}

BrowseResult Win32Platform::BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) {
    char name[MAX_PATH] = {};
    BROWSEINFOA info;
    std::memset(&info, 0, sizeof info);
    info.hwndOwner = HandleFromValue<HWND>(ownerWindow);
    info.pszDisplayName = name;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = static_cast<UINT>(options);
    LPITEMIDLIST item = ::SHBrowseForFolderA(&info);
    BrowseResult result;
    if (!item) {
        result.kind = BrowseResult::Kind::Cancelled;
        return result;
    }
    char path[MAX_PATH] = {};
    const BOOL found = ::SHGetPathFromIDListA(item, path);
    ::CoTaskMemFree(item);
    if (found && path[0] != '\0') {
        result.kind = BrowseResult::Kind::Chosen;
        result.path = FolderWithoutTrailingSeparator(path);
    } else {
        result.kind = BrowseResult::Kind::Failed;
    }
    return result;
}

void Win32Platform::ShowHelpContext(const std::string& helpFile, int contextId) {
    if (!htmlHelp_) htmlHelp_ = ::LoadLibraryA("hhctrl.ocx");
    if (!htmlHelp_) return;
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    auto htmlHelp = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(::GetProcAddress(htmlHelp_, "HtmlHelpA")));
    if (!htmlHelp) return;
    htmlHelp(Live() ? hwnd_ : nullptr, helpFile.c_str(), 0x000F /* HH_HELP_CONTEXT */,
             static_cast<DWORD_PTR>(contextId));
}

void Win32Platform::UnloadMainWindow() {
    if (unloaded_ || !hwnd_) return;
    unloaded_ = true;
    form_.Unload();
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void Win32Platform::EndProgram() {
    ending_ = true;
    ::PostQuitMessage(0);
}

}  // namespace tessaly::win32
