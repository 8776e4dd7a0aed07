#include "single_instance.h"

#include "core/settings_file.h"

namespace tessaly::win32 {

namespace {

constexpr const char* kListenerClass = "TessalyInstance";
constexpr UINT kOpenRequest = WM_APP + 1;
constexpr int kAskMs = 2000;

// The same file however its path is written: full, and in one letter case.
std::string Canonical(const std::string& path) {
    char full[MAX_PATH * 4];
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string canonical = length > 0 && length < sizeof full ? std::string(full, length) : path;
    ::CharUpperBuffA(canonical.data(), static_cast<DWORD>(canonical.size()));
    return canonical;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& settingsFile) : name_(InstanceKey(Canonical(settingsFile))) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim(HINSTANCE instance, std::function<void()> open) {
    mutex_.reset(::CreateMutexA(nullptr, FALSE, ("Local\\" + name_).c_str()));
    if (mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        // The first copy may still be starting: its listener comes with its
        // window.
        for (int waited = 0; waited < kAskMs; waited += 50) {
            if (HWND first = ::FindWindowExA(HWND_MESSAGE, nullptr, kListenerClass, name_.c_str())) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(first, &process);
                ::AllowSetForegroundWindow(process);  // its window may come to the front
                ::PostMessageA(first, kOpenRequest, 0, 0);
                break;
            }
            ::Sleep(50);
        }
        return false;
    }
    open_ = std::move(open);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &SingleInstance::ListenerProc;
    wc.hInstance = instance;
    wc.lpszClassName = kListenerClass;
    ::RegisterClassExA(&wc);
    listener_.reset(::CreateWindowExA(0, kListenerClass, name_.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, this));
    return true;
}

LRESULT CALLBACK SingleInstance::ListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SingleInstance*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SingleInstance*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (message == kOpenRequest && self && self->open_) {
        self->open_();
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace tessaly::win32
