#include "driver.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdlib>

namespace tessaly::test {

namespace {

// A program that is busy answers late, never wrongly: wait for it.
constexpr UINT kAnswerMs = 10000;

std::string ClassOf(HWND hwnd) {
    char name[256] = {};
    return std::string(name, static_cast<std::size_t>(std::max(0, GetClassNameA(hwnd, name, sizeof name))));
}

}  // namespace

bool DeleteWithRetry(const std::string& path) {
    const auto gone = [&] { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; };
    return WaitFor([&] { return DeleteFileA(path.c_str()) || gone(); }, 2s);
}

std::string WindowsPathFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    std::string path = value ? value : "";
    // Wine maps the Unix root to drive Z: in every default prefix.
    if (path.empty() || path[0] != '/') return path;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

ProgramFolder::ProgramFolder(int autoStart) {
    const std::string exe = WindowsPathFromEnvironment("TESSALY_EXE");
    if (!CopyFileA(exe.c_str(), Exe().c_str(), FALSE)) throw std::runtime_error("cannot copy " + exe);
    dir.Write("template.txt", "Regards,\r\nquote1\r\n-- quote2 --\r\nhtmPath1|htmPath2");
    dir.Write("quote1.txt", "Carpe diem.\r\n");
    dir.Write("quote2.txt", "Keep it simple.\r\n");
    dir.Write("html1/a.htm", "<b>one</b>\r\n<i>two</i>\r\n");
    dir.Write("html2/b.htm", "<p>four</p>");
    stdfs::create_directories(dir.Path("quotes"));
    dir.Write("data/data.sfc", FormatSettings(Settings(autoStart)));
}

SettingsValues ProgramFolder::Settings(int autoStart) const {
    SettingsValues values;
    values.paths = {Path("template.txt"), Signature(),   Path("quote1.txt"),
                    Path("quote2.txt"),   Path("html1"), Path("html2")};
    values.autoStart = static_cast<std::int16_t>(autoStart);
    return values;
}

std::string TextOf(HWND hwnd) {
    char text[4096] = {};
    DWORD_PTR copied = 0;
    if (!hwnd || !SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                      kAnswerMs, &copied)) {
        return "";
    }
    return std::string(text, copied);
}

std::vector<HWND> Program::Windows(bool visibleOnly) const {
    std::vector<HWND> found;
    for (HWND hwnd = FindWindowExA(nullptr, nullptr, nullptr, nullptr); hwnd;
         hwnd = FindWindowExA(nullptr, hwnd, nullptr, nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        if (pid == pi_.dwProcessId && (!visibleOnly || IsWindowVisible(hwnd))) found.push_back(hwnd);
    }
    return found;
}

void Program::Start(const std::string& exe) {
    std::string commandLine = "\"" + exe + "\"";
    char elsewhere[MAX_PATH] = {};
    GetWindowsDirectoryA(elsewhere, sizeof elsewhere);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, elsewhere, &si, &pi_)) {
        throw std::runtime_error("cannot start " + exe + ": error " + std::to_string(GetLastError()));
    }
}

bool Program::WaitUntilShown(Ms timeout) {
    const auto started = std::chrono::steady_clock::now();
    WaitFor(
        [&] {
            for (HWND hwnd : Windows(false)) {
                if (!main_ && ClassOf(hwnd) == "TessalyMainWindow") main_ = hwnd;
            }
            return Visible() || !Running();
        },
        timeout);
    // The first program of a fresh Wine desktop can stall for seconds just
    // after its window appears: wait until it answers.
    const auto left = timeout - std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - started);
    DWORD_PTR result = 0;
    return Visible() && SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL,
                                            static_cast<UINT>(std::max<long long>(left.count(), 1)), &result);
}

int Program::Check() const {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(Control(ControlId::AutoRunBox), BM_GETCHECK, 0, 0, SMTO_NORMAL, kAnswerMs, &state)) {
        return -1;
    }
    return static_cast<int>(state);
}

void Program::Type(ControlId id, const std::string& text) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, kAnswerMs,
                        &result);
}

void Program::TypeKeys(ControlId field, const std::string& chars) const {
    PostMessageA(Control(field), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(Control(field), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    for (const char c : chars) PostMessageA(Control(field), WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Program::PressCtrlKey(ControlId control, char letter) const {
    PostMessageA(Control(control), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(Control(control), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SetForegroundWindow(main_);
    WaitFor([&] { return GetForegroundWindow() == main_; }, kStateTimeout);
    std::this_thread::sleep_for(200ms);  // the click's focus lands first
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_CONTROL, static_cast<WORD>(letter), static_cast<WORD>(letter), VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, keys, sizeof(INPUT));
}

// IID_IAccessible, spelled out: the import library of oleacc.dll also
// exports that name, as a code stub, and whichever library the linker
// reads first wins.
constexpr GUID kAccessibleInterface{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string Program::AccessibleName(ControlId id) const {
    std::string name;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* accessible = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(Control(id), static_cast<DWORD>(OBJID_CLIENT), kAccessibleInterface,
                                             reinterpret_cast<void**>(&accessible))) &&
        accessible) {
        VARIANT self;
        VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        if (SUCCEEDED(accessible->get_accName(self, &text)) && text) {
            for (const wchar_t* c = text; *c; ++c) name += static_cast<char>(*c < 0x80 ? *c : '?');
            SysFreeString(text);
        }
        accessible->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return name;
}

bool Program::TrayNotify(UINT mouseMessage, bool wait) const {
    DWORD_PTR result = 0;
    if (!wait) return SendNotifyMessageA(main_, 512, 1, mouseMessage);
    return SendMessageTimeoutA(main_, 512, 1, mouseMessage, SMTO_NORMAL, 2000, &result) != 0;
}

HWND Program::Find(const std::string& className, const std::string& title) const {
    for (HWND hwnd : Windows(true)) {
        if (ClassOf(hwnd) == className && (title.empty() || TextOf(hwnd) == title)) return hwnd;
    }
    return nullptr;
}

HWND Program::OpenTrayMenu() const {
    HWND menu = nullptr;
    for (int attempt = 1; attempt <= 3 && !menu; ++attempt) {
        TrayNotify(WM_RBUTTONUP);
        WaitFor([&] { return (menu = PopupMenu()) != nullptr; }, 3s);
    }
    return menu;
}

bool Program::PressInTrayMenu(int position) const {
    const HWND menu = OpenTrayMenu();
    if (!menu) return false;
    // Keys to the menu window: a menu that closed takes them along instead of
    // leaving them to the main window.
    for (int i = 0; i < position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
    return WaitFor([&] { return PopupMenu() == nullptr; }, kStateTimeout);
}

HWND Program::WaitForDialog(const std::string& title, Ms timeout) const {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = Dialog(title)) != nullptr; }, timeout);
    return dialog;
}

bool Program::WaitForExit(Ms timeout) const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

std::string Program::Describe() const {
    std::string text = "[status \"" + Status() + "\", window " + (Visible() ? "visible" : "hidden") +
                       (Running() ? "" : ", program ended");
    for (HWND hwnd : Windows(true)) text += ", " + ClassOf(hwnd) + " \"" + TextOf(hwnd) + "\"";
    return text + "]";
}

void Program::End() {
    if (!pi_.hProcess) return;
    if (Running()) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    pi_ = {};
    main_ = nullptr;
}

}  // namespace tessaly::test
