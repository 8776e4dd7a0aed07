// One running copy per settings file. The first copy owns a mutex in the
// session's own namespace ("Local\", which another user's session cannot
// see), named after its settings file, and a message-only window of the same
// name; a second start with the same settings file asks that window to bring
// the program's window up, and ends. Copies with different settings files
// (two unpacked folders) run side by side.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "scoped_win.h"

namespace tessaly::win32 {

class SingleInstance {
public:
    explicit SingleInstance(const std::string& settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the first copy for the settings file; `open` then
    // runs (on the user-interface thread, from the message loop) whenever a
    // later start asks for the window. False when another copy runs and has
    // been asked to bring its window up: this copy should end.
    bool Claim(HINSTANCE instance, std::function<void()> open);

private:
    static LRESULT CALLBACK ListenerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::string name_;
    std::function<void()> open_;
    ScopedKernelHandle mutex_;
    ScopedWindow listener_;
};

}  // namespace tessaly::win32
