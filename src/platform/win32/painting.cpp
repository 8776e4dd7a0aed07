// How the window looks: its fonts, pictures and icons, the owner-drawn
// buttons, and the colours of the other controls.
#include <windows.h>

#include <cstdlib>

#include "platform/win32/resource.h"
#include "platform/win32/win32_internal.h"

namespace tessaly::win32 {

namespace {

constexpr const char* kProgramFont = "MS Sans Serif";
// The TrueType face that Windows itself puts in place of the bitmap one.
constexpr const char* kScalableFont = "Microsoft Sans Serif";

HFONT CreateFace(const char* face, int height, int weight, bool underline) {
    return ::CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
}

// The bitmap face comes in a few pixel sizes only; where it cannot give the
// size that the scale asks for, its scalable successor stands in.
ScopedFont MakeFont(double points, int weight, bool underline, unsigned dpi) {
    const int height = FontHeight(points, dpi);
    ScopedFont font(CreateFace(kProgramFont, height, weight, underline));
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

int PictureIndex(ControlId id) {
    switch (id) {
        case ControlId::cmdStart: return 0;
        case ControlId::cmdStop: return 1;
        case ControlId::cmdCreateS: return 2;
        case ControlId::cmdHelp: return 3;
        default: return -1;
    }
}

}  // namespace

Win32Platform::Fonts::Fonts(unsigned dpi)
    : bold(MakeFont(8.25, FW_BOLD, false, dpi)),
      status(MakeFont(9.75, FW_BOLD, false, dpi)),
      credits(MakeFont(8.25, FW_NORMAL, true, dpi)),
      field(DefaultGuiFont(dpi)) {}

void Win32Platform::LoadPictures(unsigned dpi) {
    auto loadIcon = [this](int id, int size) {
        return ScopedIcon(static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
    };
    pausedSmall_ = loadIcon(IDI_PAUSED, MetricForDpi(SM_CXSMICON, dpi));
    pausedBig_ = loadIcon(IDI_PAUSED, MetricForDpi(SM_CXICON, dpi));
    runningSmall_ = loadIcon(IDI_RUNNING, MetricForDpi(SM_CXSMICON, dpi));
    runningBig_ = loadIcon(IDI_RUNNING, MetricForDpi(SM_CXICON, dpi));
    const int pictureIds[4] = {IDB_START, IDB_STOP, IDB_CREATE, IDB_HELP};
    for (std::size_t p = 0; p < 4; ++p) {
        for (std::size_t s = 0; s < 3; ++s) {
            pictures_[p][s].reset(static_cast<HBITMAP>(::LoadImageA(
                instance_, MAKEINTRESOURCEA(pictureIds[p] + static_cast<int>(s)), IMAGE_BITMAP, 0, 0,
                LR_CREATEDIBSECTION)));
        }
    }
    buttonBrush_.reset(::CreateSolidBrush(ToColorRef(kButtonBackColour, SysColour)));
}

HICON Win32Platform::SmallIcon(ControlId image) const {
    return (image == ControlId::imgRun ? runningSmall_ : pausedSmall_).get();
}

HICON Win32Platform::BigIcon(ControlId image) const {
    return (image == ControlId::imgRun ? runningBig_ : pausedBig_).get();
}

LRESULT Win32Platform::ColourControl(HDC dc, HWND control, bool editable) {
    ControlId id;
    if (!ControlFromCommandId(::GetDlgCtrlID(control), id)) {
        return ::DefWindowProcA(MainWindow(), editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
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
    ::FillRect(dc, &r, buttonBrush_.get());
    ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int shift = pressed ? 1 : 0;
    const int picture = PictureIndex(id);
    if (picture >= 0) {
        // The largest drawing that the scale allows, centred, its mask
        // colour left out.
        for (int s = PictureScaleIndex(dpi_); s >= 0; --s) {
            HBITMAP bitmap = pictures_[static_cast<std::size_t>(picture)][static_cast<std::size_t>(s)].get();
            BITMAP info;
            if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info)) continue;
            ScopedMemoryDC source(::CreateCompatibleDC(dc));
            if (!source) break;
            ScopedSelect select(source.get(), bitmap);
            const int x = r.left + (r.right - r.left - info.bmWidth) / 2 + shift;
            const int y = r.top + (r.bottom - r.top - info.bmHeight) / 2 + shift;
            ::TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, info.bmWidth,
                             info.bmHeight, ToColorRef(kButtonMaskColour, SysColour));
            break;
        }
    } else {
        const std::string caption(Row(id).text);
        RECT text = r;
        ::OffsetRect(&text, shift, shift);
        ScopedSelect select(dc, fonts_->bold.get());
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
