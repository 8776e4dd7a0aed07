// What goes through the shell: the notification icon and its menu, opening
// files and folders, the help engine, the screen and the program's folder.
#include <windows.h>
#include <shellapi.h>

#include "core/fs.h"
#include "core/locations.h"
#include "platform/win32/win32_internal.h"

namespace tessaly::win32 {

namespace {

constexpr UINT kHtmlHelpContext = 0x000F;  // HH_HELP_CONTEXT
constexpr UINT kHtmlHelpCloseAll = 0x0012;  // HH_CLOSE_ALL

}  // namespace

void Win32Platform::HelpEngine::ShowContext(HWND owner, const std::string& helpFile, int contextId) {
    if (!module_) {
        module_.reset(::LoadLibraryA("hhctrl.ocx"));
        if (!module_) return;
        htmlHelp_ = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), "HtmlHelpA")));
    }
    if (htmlHelp_) htmlHelp_(owner, helpFile.c_str(), kHtmlHelpContext, static_cast<DWORD_PTR>(contextId));
}

Win32Platform::HelpEngine::~HelpEngine() {
    // Help windows run in the engine's threads; they close before it goes.
    if (htmlHelp_) htmlHelp_(nullptr, nullptr, kHtmlHelpCloseAll, 0);
}

void Win32Platform::ShowHelpContext(const std::string& helpFile, int contextId) {
    help_->ShowContext(Live() ? MainWindow() : nullptr, helpFile, contextId);
}

std::string Win32Platform::AppPath() const { return fs::ExecutableFolder(); }

std::string Win32Platform::SettingsPath() const {
    // Decided once: the settings do not move while the program runs.
    static const std::string path = LocateThisWindowsProgram().settingsPath;
    return path;
}

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

std::optional<ControlId> Win32Platform::PopupMenu() {
    if (!Live()) return std::nullopt;
    const ScopedMenu menu(::CreatePopupMenu());
    if (!menu) return std::nullopt;
    for (const MenuEntry& entry : TrayMenuEntries([this](ControlId id) { return MenuVisible(id); })) {
        if (entry.separator) {
            ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        } else {
            const std::string caption(entry.caption);
            ::AppendMenuA(menu.get(), MF_STRING, static_cast<UINT_PTR>(CommandId(entry.id)), caption.c_str());
        }
    }
    POINT at{0, 0};
    ::GetCursorPos(&at);
    const int chosen = static_cast<int>(::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON,
                                                         at.x, at.y, 0, MainWindow(), nullptr));
    // Without a message after the menu the next click on the icon would find
    // the menu's owner still tracking.
    ::PostMessageA(MainWindow(), WM_NULL, 0, 0);
    ControlId id;
    if (chosen == 0 || !ControlFromCommandId(chosen, id)) return std::nullopt;
    return id;
}

}  // namespace tessaly::win32
