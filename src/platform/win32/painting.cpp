// How the window looks: its fonts, pictures and icons, the owner-drawn
// buttons, and the colours of the other controls.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "resource.h"
#include "win32_internal.h"

namespace tessaly::win32 {

namespace {

// The TrueType face that Windows itself puts in place of the bitmap one.
constexpr const char* kScalableFont = "Microsoft Sans Serif";

HFONT CreateFace(const char* face, int height, int weight, bool underline) {
    return ::CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
}

// The bitmap face comes in a few pixel sizes only; where it cannot give the
// size that the scale asks for, its scalable successor stands in.
ScopedFont MakeFont(const FontSpec& fontStyle, unsigned dpi) {
    const int height = FontHeight(fontStyle.points, dpi);
    const int weight = fontStyle.bold ? FW_BOLD : FW_NORMAL;
    const bool underline = fontStyle.underline;
    const std::string face(kProgramFontFace);
    ScopedFont font(CreateFace(face.c_str(), height, weight, underline));
    if (!font) return ScopedFont(CreateFace(kScalableFont, height, weight, underline));
    bool fits = true;
    if (ScreenDC screen; screen.get()) {
        ScopedSelect select(screen.get(), font.get());
        TEXTMETRICA tm;
        if (::GetTextMetricsA(screen.get(), &tm)) {
            const bool scalable = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
            const int cell = tm.tmHeight - tm.tmInternalLeading;
            fits = scalable || std::abs(cell - -height) <= 1;
        }
    }
    if (fits) return font;
    return ScopedFont(CreateFace(kScalableFont, height, weight, underline));
}

// The system's default GUI font is made for the system's scale; the window
// may sit on a monitor with another one.
ScopedFont DefaultGuiFont(unsigned dpi) {
    LOGFONTA lf;
    if (!::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) return nullptr;
    lf.lfHeight = ::MulDiv(lf.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    lf.lfWidth = 0;
    return ScopedFont(::CreateFontIndirectA(&lf));
}

// The first of a picture's three bitmaps (100, 150 and 200 percent).
int PictureResource(std::string_view name) {
    if (name == "start") return IDB_START;
    if (name == "stop") return IDB_STOP;
    if (name == "create") return IDB_CREATE;
    if (name == "help") return IDB_HELP;
    return 0;
}

}  // namespace

Win32Desktop::Fonts::Fonts(unsigned dpi) {
    for (std::size_t kind = 0; kind < byKind.size(); ++kind) {
        if (const auto fontStyle = FontOf(static_cast<ControlKind>(kind))) byKind[kind] = MakeFont(*fontStyle, dpi);
    }
    byKind[static_cast<std::size_t>(ControlKind::TextField)] = DefaultGuiFont(dpi);
}

void Win32Desktop::LoadPictures(unsigned dpi) {
    auto loadIcon = [this](int id, int size) {
        return ScopedIcon(static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
    };
    pausedSmall_ = loadIcon(IDI_PAUSED, MetricForDpi(SM_CXSMICON, dpi));
    pausedBig_ = loadIcon(IDI_PAUSED, MetricForDpi(SM_CXICON, dpi));
    runningSmall_ = loadIcon(IDI_RUNNING, MetricForDpi(SM_CXSMICON, dpi));
    runningBig_ = loadIcon(IDI_RUNNING, MetricForDpi(SM_CXICON, dpi));
    for (const ControlRow& row : Layout()) {
        const int first = PictureResource(PictureName(row.id));
        if (first == 0) continue;
        auto& drawings = pictures_[static_cast<std::size_t>(row.id)];
        for (std::size_t s = 0; s < drawings.size(); ++s) {
            const int resource = first + static_cast<int>(s);
            drawings[s].reset(static_cast<HBITMAP>(
                ::LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        }
    }
    highContrast_ = HighContrastOn();
    buttonBrush_.reset(::CreateSolidBrush(ShownColour(kButtonBackColour, highContrast_)));
}

void Win32Desktop::FollowContrast() {
    highContrast_ = HighContrastOn();
    buttonBrush_.reset(::CreateSolidBrush(ShownColour(kButtonBackColour, highContrast_)));
    // The children too: the window clips them out of its own repaint.
    ::RedrawWindow(MainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HICON Win32Desktop::SmallIcon(RunState state) const {
    return (state == RunState::Running ? runningSmall_ : pausedSmall_).get();
}

HICON Win32Desktop::BigIcon(RunState state) const {
    return (state == RunState::Running ? runningBig_ : pausedBig_).get();
}

LRESULT Win32Desktop::ColourControl(HDC dc, HWND control, bool editable) {
    ControlId id;
    if (!ControlFromCommandId(::GetDlgCtrlID(control), id)) {
        return ::DefWindowProcA(MainWindow(), editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    const ControlRow& row = Row(id);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    switch (row.kind) {
        case ControlKind::TextField: {
            const int index = SystemColourIndex(kPathFieldBackColour);
            const COLORREF back = ::GetSysColor(index);
            ::SetBkColor(dc, back);
            ::SetTextColor(dc, ColorRefOf(ReadableTextColour(RgbOf(::GetSysColor(COLOR_WINDOWTEXT)), RgbOf(back))));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(index));
        }
        case ControlKind::CreditsLine:
            ::SetTextColor(dc, ShownColour(ChildOf(id).foreColour, highContrast_));
            ::SetBkColor(dc, ColorRefOf(kCreditsBackColour));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(SystemColourIndex(kCreditsBackColour)));
        case ControlKind::Label:
            ::SetTextColor(dc, ShownColour(kStatusForeColour, highContrast_));
            break;
        case ControlKind::CheckBox:
            ::SetTextColor(dc, ShownColour(kCheckBoxForeColour, highContrast_));
            break;
        default:
            break;
    }
    ::SetBkColor(dc, face);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void Win32Desktop::DrawButton(const DRAWITEMSTRUCT& item) {
    ControlId id;
    if (item.CtlType != ODT_BUTTON || !ControlFromCommandId(static_cast<int>(item.CtlID), id)) return;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &r, buttonBrush_.get());
    ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int shift = pressed ? 1 : 0;
    const auto& drawings = pictures_[static_cast<std::size_t>(id)];
    if (!PictureName(id).empty()) {
        // The largest drawing that the scale allows, centred, its mask
        // colour left out.
        for (int s = PictureScaleIndex(dpi_); s >= 0; --s) {
            HBITMAP bitmap = drawings[static_cast<std::size_t>(s)].get();
            BITMAP info;
            if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) continue;
            ScopedMemoryDC source(::CreateCompatibleDC(dc));
            if (!source) break;
            ScopedSelect select(source.get(), bitmap);
            const int x = r.left + (r.right - r.left - info.bmWidth) / 2 + shift;
            const int y = r.top + (r.bottom - r.top - info.bmHeight) / 2 + shift;
            ::TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, info.bmWidth,
                             info.bmHeight, ColorRefOf(kButtonMaskColour));
            break;
        }
    } else {
        const std::string caption(Row(id).text);
        RECT text = r;
        ::OffsetRect(&text, shift, shift);
        ScopedSelect select(dc, fonts_->For(ControlKind::Button));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        const int inset = TwipsToPixels(60, dpi_);
        ::InflateRect(&r, -inset, -inset);
        ::DrawFocusRect(dc, &r);
    }
}

}  // namespace tessaly::win32
