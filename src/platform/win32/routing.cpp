// Where the window's messages go: Windows' messages to the main window and
// its controls become the events that the window's logic handles.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "platform/win32/win32_internal.h"

namespace tessaly::win32 {

LRESULT CALLBACK Win32Platform::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Platform*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Platform*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.Created(hwnd);
    }
    if (!self || self->MainWindow() != hwnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
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
                if (focus && ::GetParent(focus) == MainWindow()) lastFocus_ = focus;
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
            ::InvalidateRect(MainWindow(), nullptr, TRUE);
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
            toolTip_.reset();
            form_.MarkUnloaded();
            ending_ = true;
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            // Windows' last message to the window: the handle is no longer ours.
            HWND hwnd = MainWindow();
            window_.Gone();
            return ::DefWindowProcA(hwnd, message, wParam, lParam);
        }
        default:
            if (message == taskbarCreated_ && taskbarCreated_ != 0) {
                form_.TaskbarCreated();
                return 0;
            }
            break;
    }
    return ::DefWindowProcA(MainWindow(), message, wParam, lParam);
}

void Win32Platform::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!Live()) return;  // the check box keeps the state it had at the unload
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
        SetCheckValue(box, CheckValue(box) == 1 ? 0 : 1);
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
        ::ScreenToClient(MainWindow(), &pointer);
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

void Win32Platform::ContextHelp() { form_.ContextHelp(FocusedControl()); }

void Win32Platform::OnTimer(WPARAM timerId) {
    ControlId id;
    if (ControlFromCommandId(static_cast<int>(timerId), id)) form_.Tick(id);
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
                ::SetCursor(ArrowCursor());
                return TRUE;
            case WM_MOUSEMOVE: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                form_.MouseOver(id);
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
                if (click) form_.Click(ControlId::txtCompliments);
                return result;
            }
            default:
                break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (message == WM_LBUTTONDBLCLK) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        form_.DoubleClick(id);
        return result;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tessaly::win32
