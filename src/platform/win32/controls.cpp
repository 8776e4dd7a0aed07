// The controls as the window's logic sees them: thin wrappers that read and
// write the child windows, and keep a control's last state once the window
// has gone.
#include <windows.h>

#include <cmath>

#include "win32_internal.h"

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
std::string ReadText(const Win32Desktop::Child& child) {
    return child.hwnd ? WindowText(child.hwnd) : child.text;
}

void WriteText(Win32Desktop::Child& child, const std::string& text) {
    if (child.hwnd) {
        ::SetWindowTextA(child.hwnd, text.c_str());
    } else {
        child.text = text;
    }
}

class WindowView final : public IWindowView {
public:
    explicit WindowView(Win32Desktop& desktop) : desktop_(desktop) {}
    void Show() override {
        if (hwnd()) ::ShowWindow(hwnd(), SW_SHOW);
    }
    void Hide() override {
        if (hwnd()) ::ShowWindow(hwnd(), SW_HIDE);
    }
    void Restore() override {
        if (hwnd() && (::IsIconic(hwnd()) || ::IsZoomed(hwnd()))) ::ShowWindow(hwnd(), SW_RESTORE);
    }
    void BringToFront() override {
        if (hwnd()) ::SetForegroundWindow(hwnd());
    }
    void Repaint() override {
        if (hwnd()) {
            ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
    void SetStateIcon(RunState state) override {
        if (!hwnd()) return;
        ::SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(desktop_.SmallIcon(state)));
        ::SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(desktop_.BigIcon(state)));
    }
    TwipsSize OuterSize() const override {
        RECT r{};
        if (hwnd()) ::GetWindowRect(hwnd(), &r);
        return {PixelsToTwips(r.right - r.left, desktop_.Dpi()), PixelsToTwips(r.bottom - r.top, desktop_.Dpi())};
    }
    void MoveTo(float leftTwips, float topTwips) override {
        if (hwnd()) {
            ::SetWindowPos(hwnd(), nullptr, ToPixels(leftTwips), ToPixels(topTwips), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

private:
    HWND hwnd() const { return desktop_.MainWindow(); }
    int ToPixels(float twips) const {
        const double pixels = static_cast<double>(twips) / static_cast<double>(TwipsPerPixel(desktop_.Dpi()));
        if (!std::isfinite(pixels) || std::fabs(pixels) > 1e6) return 0;
        return static_cast<int>(std::lround(pixels));
    }
    Win32Desktop& desktop_;
};

// What every control's wrapper holds: the platform and the control's id.
class ControlOf {
public:
    ControlOf(Win32Desktop& desktop, ControlId id) : desktop_(desktop), id_(id) {}

protected:
    Win32Desktop::Child& child() const { return desktop_.ChildOf(id_); }
    Win32Desktop& desktop_;
    ControlId id_;
};

class TextField final : public ITextField, ControlOf {
public:
    using ControlOf::ControlOf;
    std::string Text() const override { return ReadText(child()); }
    void SetText(const std::string& text) override { WriteText(child(), text); }
};

class CreditsLine final : public ICreditsLine, ControlOf {
public:
    using ControlOf::ControlOf;
    void SetColour(Colour colour) override {
        if (child().foreColour == colour) return;
        child().foreColour = colour;
        if (child().hwnd) ::InvalidateRect(child().hwnd, nullptr, TRUE);
    }
    void SelectAll() override {
        if (!child().hwnd) return;
        const auto length = static_cast<LPARAM>(WindowText(child().hwnd).size());
        ::SendMessageA(child().hwnd, EM_SETSEL, 0, length);
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
    void SetText(const std::string& text) override { WriteText(child(), text); }
};

class Timer final : public ITimer, ControlOf {
public:
    Timer(Win32Desktop& desktop, ControlId id, unsigned intervalMs) : ControlOf(desktop, id), interval_(intervalMs) {}
    ~Timer() override { SetEnabled(false); }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override {
        if (enabled == enabled_) return;  // an enabled timer keeps its period
        enabled_ = enabled;
        HWND hwnd = desktop_.MainWindow();
        if (!hwnd) return;
        if (enabled) {
            ::SetTimer(hwnd, static_cast<UINT_PTR>(CommandId(id_)), interval_, nullptr);
        } else {
            ::KillTimer(hwnd, static_cast<UINT_PTR>(CommandId(id_)));
        }
    }

private:
    unsigned interval_;
    bool enabled_ = false;
};

}  // namespace

std::unique_ptr<IWindowView> Win32Desktop::CreateWindowView() { return std::make_unique<WindowView>(*this); }

std::unique_ptr<ITextField> Win32Desktop::CreateTextField(ControlId id) {
    return std::make_unique<TextField>(*this, id);
}

std::unique_ptr<ICreditsLine> Win32Desktop::CreateCreditsLine(ControlId id) {
    return std::make_unique<CreditsLine>(*this, id);
}

std::unique_ptr<ICheckBox> Win32Desktop::CreateCheckBox(ControlId id) { return std::make_unique<CheckBox>(*this, id); }

std::unique_ptr<ILabel> Win32Desktop::CreateLabel(ControlId id) { return std::make_unique<Label>(*this, id); }

std::unique_ptr<ITimer> Win32Desktop::CreateTimer(ControlId id, unsigned intervalMs) {
    return std::make_unique<Timer>(*this, id, intervalMs);
}

}  // namespace tessaly::win32
