// The controls as the window's logic sees them: thin wrappers that read and
// write the child windows, and keep a control's last state once the window
// has gone.
#include <windows.h>

#include <cmath>

#include "platform/win32/win32_internal.h"

namespace tessaly::win32 {

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0u);
    return text;
}

int CheckValue(HWND box) {
    switch (::SendMessageA(box, BM_GETCHECK, 0, 0)) {
        case BST_CHECKED: return 1;
        case BST_INDETERMINATE: return 2;
        default: return 0;
    }
}

void SetCheckValue(HWND box, int value) {
    const WPARAM state = value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED;
    ::SendMessageA(box, BM_SETCHECK, state, 0);
}

namespace {

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

// What every control's wrapper holds: the platform and the control's id.
class ControlOf {
public:
    ControlOf(Win32Platform& platform, ControlId id) : platform_(platform), id_(id) {}

protected:
    Win32Platform::Child& child() const { return platform_.ChildOf(id_); }
    Win32Platform& platform_;
    ControlId id_;
};

class TextField final : public ITextField, ControlOf {
public:
    using ControlOf::ControlOf;
    std::string Text() const override { return ReadText(child()); }
    void SetText(const std::string& text) override { WriteText(child(), text); }
    void Select(int start, int length) override {
        if (child().hwnd) ::SendMessageA(child().hwnd, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    }
    Colour ForeColor() const override { return child().foreColour; }
    void SetForeColor(Colour colour) override {
        if (child().foreColour == colour) return;
        child().foreColour = colour;
        if (child().hwnd) ::InvalidateRect(child().hwnd, nullptr, TRUE);
    }
};

class CheckBox final : public ICheckBox, ControlOf {
public:
    using ControlOf::ControlOf;
    int Value() const override { return child().hwnd ? CheckValue(child().hwnd) : child().value; }
    void SetValue(int value) override {
        const int clean = value == 1 || value == 2 ? value : 0;
        if (child().hwnd) {
            SetCheckValue(child().hwnd, clean);
        } else {
            child().value = clean;
        }
    }
};

class Label final : public ILabel, ControlOf {
public:
    using ControlOf::ControlOf;
    std::string Caption() const override { return ReadText(child()); }
    void SetCaption(const std::string& caption) override { WriteText(child(), caption); }
};

class Timer final : public ITimer, ControlOf {
public:
    Timer(Win32Platform& platform, ControlId id, unsigned intervalMs) : ControlOf(platform, id), interval_(intervalMs) {}
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
    unsigned interval_;
    bool enabled_ = false;
};

class MenuItem final : public IMenuItem, ControlOf {
public:
    using ControlOf::ControlOf;
    bool Visible() const override { return platform_.MenuVisible(id_); }
    void SetVisible(bool visible) override { platform_.SetMenuVisible(id_, visible); }
};

}  // namespace

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

}  // namespace tessaly::win32
