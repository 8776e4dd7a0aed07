// What goes through the shell: the notification icon and its menu, opening
// files, folders and web addresses, the help engine, and the screen.
#include <windows.h>
#include <shellapi.h>

#include "core/fs.h"
#include "win32_internal.h"

namespace tessaly::win32 {

namespace {

constexpr UINT kHtmlHelpContext = 0x000F;   // HH_HELP_CONTEXT
constexpr UINT kHtmlHelpCloseAll = 0x0012;  // HH_CLOSE_ALL

}  // namespace

HWND Win32Desktop::HelpEngine::ShowContext(HWND owner, const std::string& helpFile, int contextId) {
    if (!module_) {
        module_.reset(::LoadLibraryA("hhctrl.ocx"));
        if (!module_) return nullptr;
        htmlHelp_ = reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), "HtmlHelpA")));
    }
    if (!htmlHelp_) return nullptr;
    return htmlHelp_(owner, helpFile.c_str(), kHtmlHelpContext, static_cast<DWORD_PTR>(contextId));
}

Win32Desktop::HelpEngine::~HelpEngine() {
    // Help windows run in the engine's threads; they close before it goes.
    if (htmlHelp_) htmlHelp_(nullptr, nullptr, kHtmlHelpCloseAll, 0);
}

std::string Win32Desktop::HelpFile() const { return fs::JoinPath(programFolder_, {"help", "help.chm"}); }

OpenResult Win32Desktop::OpenHelp() { return Open(HelpFile()); }

OpenResult Win32Desktop::OpenHelpTopic(int contextId) {
    const HWND shown = help_->ShowContext(Live() ? MainWindow() : nullptr, HelpFile(), contextId);
    return shown ? OpenResult::Opened : OpenResult::Failed;
}

OpenResult Win32Desktop::Open(const std::string& target) {
    const HINSTANCE result = ::ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return OpenResultOf(reinterpret_cast<INT_PTR>(result));
}

TwipsSize Win32Desktop::ScreenSize() const {
    return {PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), dpi_), PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), dpi_)};
}

void Win32Desktop::NotifyTray(DWORD message, const TrayIcon* icon) {
    if (icon) {
        trayRecord_ = TrayRecord(ValueFromHandle(MainWindow()), ValueFromHandle(SmallIcon(icon->state)), icon->tip);
    }
    NOTIFYICONDATAA data = NotifyRecordFromBytes(trayRecord_);
    ::Shell_NotifyIconA(message, &data);
}

void Win32Desktop::AddTrayIcon(const TrayIcon& icon) { NotifyTray(NIM_ADD, &icon); }

void Win32Desktop::UpdateTrayIcon(const TrayIcon& icon) { NotifyTray(NIM_MODIFY, &icon); }

void Win32Desktop::RemoveTrayIcon() { NotifyTray(NIM_DELETE, nullptr); }

std::optional<ControlId> Win32Desktop::ShowTrayMenu(std::span<const MenuEntry> entries) {
    if (!Live()) return std::nullopt;
    const ScopedMenu menu(::CreatePopupMenu());
    if (!menu) return std::nullopt;
    for (const MenuEntry& entry : entries) {
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
