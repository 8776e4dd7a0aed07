// Names for screen readers where a control's window text is not its name.
// Windows names an edit control after the static text before it, and the
// path fields have none (their picker buttons label them on screen; the
// nearest static text is the status), so each field gets its name from the
// layout table as an annotation through Microsoft Active Accessibility's
// property services, and the credits line, a read-only edit, its name and
// the role of a link. Where the system lacks them (Wine only notes the
// calls), the controls keep the names the system gives.
#include <windows.h>
#include <oleacc.h>

#include <string>

#include "win32_internal.h"

namespace tessaly::win32 {

namespace {

// CLSID_AccPropServices, IID_IAccPropServices and PROPID_ACC_NAME, spelled
// out so that the program needs no import library for three GUIDs.
constexpr GUID kAccPropServicesClass{0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface{0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty{0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kRoleProperty{0xcb905ff2, 0x7bd1, 0x4c05, {0xb3, 0xc8, 0xe6, 0xc2, 0x41, 0x36, 0x4d, 0x70}};

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

}  // namespace

void Win32Desktop::NameForScreenReaders() {
    IAccPropServices* services = nullptr;
    if (FAILED(::CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
                                  reinterpret_cast<void**>(&services))) ||
        services == nullptr) {
        return;
    }
    const auto client = static_cast<DWORD>(OBJID_CLIENT);
    for (const ControlRow& row : Layout()) {
        HWND child = ChildOf(row.id).hwnd;
        const bool edit = row.kind == ControlKind::TextField || row.kind == ControlKind::CreditsLine;
        if (!child || !edit || row.accessibleName.empty()) continue;
        const std::wstring name = Wide(row.accessibleName);
        services->SetHwndPropStr(child, client, CHILDID_SELF, kNameProperty, name.c_str());
        if (row.kind == ControlKind::CreditsLine) {
            VARIANT link{};  // set by hand: VariantInit would bring in oleaut32.dll
            link.vt = VT_I4;
            link.lVal = ROLE_SYSTEM_LINK;
            services->SetHwndProp(child, client, CHILDID_SELF, kRoleProperty, link);
        }
    }
    services->Release();
}

}  // namespace tessaly::win32
