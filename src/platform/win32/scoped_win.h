// Owners of Windows handles: each handle is given back exactly once, by the
// object that holds it, whichever way the holder goes away.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <type_traits>

namespace tessaly::win32 {

template <auto Free>
struct HandleFreer {
    template <typename H>
    void operator()(H handle) const {
        Free(handle);
    }
};

// A handle that `Free` gives back when its owner goes.
template <typename Handle, auto Free>
using Scoped = std::unique_ptr<std::remove_pointer_t<Handle>, HandleFreer<Free>>;

using ScopedFont = Scoped<HFONT, &::DeleteObject>;
using ScopedBrush = Scoped<HBRUSH, &::DeleteObject>;
using ScopedBitmap = Scoped<HBITMAP, &::DeleteObject>;
using ScopedIcon = Scoped<HICON, &::DestroyIcon>;
using ScopedMenu = Scoped<HMENU, &::DestroyMenu>;
using ScopedAccelerators = Scoped<HACCEL, &::DestroyAcceleratorTable>;
using ScopedModule = Scoped<HMODULE, &::FreeLibrary>;
using ScopedWindow = Scoped<HWND, &::DestroyWindow>;
// A kernel object's handle (a mutex).
using ScopedKernelHandle = Scoped<HANDLE, &::CloseHandle>;
// A device context of our own making (CreateCompatibleDC).
using ScopedMemoryDC = Scoped<HDC, &::DeleteDC>;
// An item id list that the shell allocated for us.
using ScopedItemIdList = Scoped<LPITEMIDLIST, &::CoTaskMemFree>;

// The screen's device context, borrowed for as long as this lives.
class ScreenDC {
public:
    ScreenDC() : dc_(::GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a device context, the previous one put back at
// the end of the scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect() { ::SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The program's main window. Unlike a ScopedWindow it keeps its handle while
// the window is being destroyed, because the window's own messages during
// the destruction still need it; Windows' last message to the window
// (WM_NCDESTROY) ends the ownership with Gone().
class MainWindowHandle {
public:
    MainWindowHandle() = default;
    ~MainWindowHandle() { Destroy(); }
    MainWindowHandle(const MainWindowHandle&) = delete;
    MainWindowHandle& operator=(const MainWindowHandle&) = delete;

    void Created(HWND hwnd) { hwnd_ = hwnd; }
    void Gone() { hwnd_ = nullptr; }
    void Destroy() {
        if (hwnd_) ::DestroyWindow(hwnd_);
    }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// The COM apartment of the thread, left when the program ends.
class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT result_;
};

}  // namespace tessaly::win32
