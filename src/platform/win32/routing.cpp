// Where the window's messages go: Windows' messages to the main window and
// its controls become the events that the window's logic handles.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include "win32_internal.h"

namespace tessaly::win32 {

LRESULT CALLBACK Win32Desktop::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Desktop*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Win32Desktop*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_.Created(hwnd);
    }
    if (!self || self->MainWindow() != hwnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32Desktop::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
            events_.HelpRequested(FocusedControl());
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
        case WM_SETTINGCHANGE:
            FollowContrast();
            break;
        case WM_CLOSE:
            CloseWindow();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends without a WM_CLOSE: save now, the process may
            // not get another chance.
            if (wParam) CloseWindow();
            return 0;
        case WM_DESTROY:
            KeepControlValues();
            toolTip_.reset();
            events_.MarkClosed();
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
                events_.TrayHostRestarted();
                return 0;
            }
            break;
    }
    return ::DefWindowProcA(MainWindow(), message, wParam, lParam);
}

void Win32Desktop::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!Live()) return;
    const WORD command = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (lParam == 0) {
        // Keyboard: accelerators, and the dialog keys that IsDialogMessage
        // turns into IDOK and IDCANCEL.
        switch (command) {
            case kCmdContextHelp:
                events_.HelpRequested(FocusedControl());
                return;
            case kCmdStop:
            case IDCANCEL:
                events_.Pressed(ControlId::StopButton);
                return;
            case kCmdView:
                if (const auto field = ViewKeyTarget(FocusedControl())) events_.ViewRequested(*field);
                return;
            case kCmdCredits:
                events_.Pressed(ControlId::CreditsLine);
                return;
            case IDOK: {
                // Enter presses a focused button and ends an edit of a field.
                const ControlId focused = FocusedControl();
                if (IsButton(Row(focused).kind) || focused == ControlId::CreditsLine) events_.Pressed(focused);
                if (Row(focused).kind == ControlKind::TextField) events_.FieldEditEnded(focused);
                return;
            }
            default:
                return;
        }
    }
    ControlId id;
    if (!ControlFromCommandId(command, id)) return;
    const ControlRow& row = Row(id);
    // The check box is a three-state box, which Windows never ticks itself:
    // the window's logic sets its next value.
    if (row.kind == ControlKind::CheckBox && code == BN_CLICKED) events_.Pressed(id);
    // A quick second click on an owner-drawn button arrives as a double-click.
    if (IsButton(row.kind) && (code == BN_CLICKED || code == BN_DOUBLECLICKED)) events_.Pressed(id);
    if (row.kind == ControlKind::TextField) OnFieldNotice(id, reinterpret_cast<HWND>(lParam), code);
}

void Win32Desktop::OnFieldNotice(ControlId id, HWND field, WORD code) {
    // Only the user's typing marks the field modified: the program's own
    // SetWindowText, like anyone else's, clears the mark before it notifies.
    if (code == EN_CHANGE && ::GetFocus() == field && ::SendMessageA(field, EM_GETMODIFY, 0, 0)) {
        events_.FieldEdited(id);
    }
    if (code == EN_KILLFOCUS) events_.FieldEditEnded(id);
}

void Win32Desktop::OnMouseMove(WPARAM wParam, LPARAM lParam) {
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
        switch (TrayRequestOf(lParam)) {
            case TrayRequest::OpenWindow: events_.TrayOpenRequested(); break;
            case TrayRequest::ShowMenu: events_.TrayMenuRequested(); break;
            case TrayRequest::None: break;
        }
    }
    // A real move over the window does nothing in the program.
}

void Win32Desktop::OnTimer(WPARAM timerId) {
    ControlId id;
    if (ControlFromCommandId(static_cast<int>(timerId), id)) events_.Tick(id);
}

LRESULT CALLBACK Win32Desktop::ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) {
    return reinterpret_cast<Win32Desktop*>(self)->HandleChildMessage(static_cast<ControlId>(id), hwnd, message,
                                                                      wParam, lParam);
}

LRESULT Win32Desktop::HandleChildMessage(ControlId id, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &Win32Desktop::ChildProc, static_cast<UINT_PTR>(id));
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (id == ControlId::CreditsLine) {
        switch (message) {
            case WM_SETCURSOR:
                ::SetCursor(ArrowCursor());
                return TRUE;
            case WM_MOUSEMOVE: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                events_.PointerOver(id);
                return result;
            }
            case WM_LBUTTONDOWN:
                creditsClick_.Press(true);
                break;
            case WM_KEYDOWN:
                // Space on the focused line follows the link, as Enter does.
                if (wParam == VK_SPACE) {
                    events_.Pressed(id);
                    return 0;
                }
                break;
            case WM_CHAR:
                if (wParam == ' ') return 0;
                break;
            case WM_LBUTTONUP: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                RECT client;
                ::GetClientRect(hwnd, &client);
                const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (creditsClick_.Release(true, ::PtInRect(&client, at) != FALSE)) events_.Pressed(id);
                return result;
            }
            default:
                break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    if (message == WM_LBUTTONDBLCLK) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        events_.ViewRequested(id);
        return result;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace tessaly::win32
