// A platform without a screen. Every control keeps its state here, where a
// test reads it as the user would see it; what a user or the shell would
// answer (message boxes, file dialogs, the folder browser, the tray menu)
// comes from scripts that the test fills beforehand. Timers fire only when
// the test ticks them or moves the clock on.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/form_events.h"

namespace tessaly::headless {

inline constexpr std::uint32_t kWindowHandle = 0x000A01F4;
inline constexpr std::uint32_t kPauseIconHandle = 0x00050A11;
inline constexpr std::uint32_t kRunIconHandle = 0x00050A23;

// What the window showed, and what the settings file held, at the moment
// something reached the shell or a modal window came up.
struct Seen {
    std::string status;
    bool timerOn = false;  // Timer1
    bool windowVisible = false;
    std::optional<std::string> settings;
    bool operator==(const Seen&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const Seen& s) {
        return out << "{" << s.status << (s.timerOn ? ", timer on" : ", timer off")
                   << (s.windowVisible ? ", window up" : ", window hidden") << ", settings "
                   << s.settings.value_or("none") << "}";
    }
};

struct TrayCall {
    NotifyIconMessage message;
    TrayRecordBytes record;
    Seen seen;
};
struct MessageBoxCall {
    std::string text;
    int style;
    std::string title;
    Seen seen;
};
struct DialogCall {
    std::string initDir, title, filter;
    Seen seen;
};

// What the user does in the next file dialog. Cancel and a failure leave the
// dialog's file name as an earlier pick left it.
struct DialogAnswer {
    IFileDialog::Result result = IFileDialog::Result::Cancelled;
    std::string fileName;
};

// The state of any control; each kind uses its own part.
struct ControlState {
    std::string text;
    Colour colour = 0x80000008;
    std::pair<int, int> selection{0, 0};
    int value = 0;
    bool enabled = false, visible = true;
    unsigned interval = 0, elapsed = 0;
    std::uint32_t icon = 0;
};

struct WindowState {
    bool visible = false;
    std::uint32_t icon = kPauseIconHandle;  // the program file's own icon
    int state = 0;                          // 0 normal, 1 minimised
    float left = 0, top = 0;
};

class HeadlessPlatform final : public IPlatform {
public:
    explicit HeadlessPlatform(std::string appPath) : appPath_(std::move(appPath)) {}

    void Attach(IFormEvents& form) { form_.Attach(&form); }
    FormLink& Events() { return form_; }

    std::unique_ptr<IWindow> CreateMainWindow() override;
    std::unique_ptr<ITextField> CreateTextField(ControlId id) override;
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override;
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override;
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override;
    std::unique_ptr<IMenuItem> CreateMenuItem(ControlId id) override;
    std::unique_ptr<IImage> CreateImage(ControlId id) override;
    std::unique_ptr<IFileDialog> CreateFileDialog() override;
    std::string AppPath() const override { return appPath_; }
    float ScreenWidth() const override { return screenWidth; }
    float ScreenHeight() const override { return screenHeight; }
    float TwipsPerPixelX() const override { return twipsPerPixelX; }
    bool Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) override;
    std::int32_t ShellExecuteA(std::uint32_t ownerWindow, const char* operation, const std::string& file,
                               const char* parameters, const char* directory, int showCommand) override;
    bool SetForegroundWindow(std::uint32_t window) override {
        foregrounded += window == kWindowHandle;
        return true;
    }
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    std::optional<ControlId> PopupMenu() override;
    BrowseResult BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) override;
    void ShowHelpContext(const std::string& file, int context) override {
        help.push_back(file + "#" + std::to_string(context));
    }
    void UnloadMainWindow() override;
    void EndProgram() override { ended = true; }

    // The machine.
    float screenWidth = 15360.0f;  // 1024 x 768 pixels
    float screenHeight = 11520.0f;
    float twipsPerPixelX = 15.0f;
    float windowWidth = 6795.0f;  // the client area and a thin frame
    float windowHeight = 3795.0f;

    // Scripts, used up in order; when empty: OK, Cancel, Cancel, dismissed.
    std::deque<int> messageBoxAnswers;
    std::deque<DialogAnswer> dialogAnswers;
    std::deque<BrowseResult> browseAnswers;
    std::deque<std::optional<ControlId>> menuAnswers;
    // Runs while a modal window waits for the user; told which one.
    std::function<void(const std::string&)> whileModal;

    // What reached the user and the shell.
    std::vector<TrayCall> trayCalls;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<DialogCall> dialogs;
    std::vector<std::string> browsePrompts;  // prompt, owned by the window, folders only
    std::vector<std::string> menus;          // the visible items of each pop-up, "|" between
    std::vector<std::string> opened;         // what the shell opened with its default action
    std::vector<std::string> help;           // "<help file>#<context number>"
    int foregrounded = 0;                    // the window brought to the front
    bool unloaded = false;
    bool ended = false;

    // The notification area as the shell keeps it.
    bool TrayIconPresent() const { return trayPresent_; }
    const TrayRecordBytes& TrayIconShown() const { return trayShown_; }
    void RecreateTaskbar() {  // the shell restarts: icons gone, the window told
        trayPresent_ = false;
        form_.TaskbarCreated();
    }

    // What the user sees.
    const ControlState& Control(ControlId id) const { return controls_.at(id); }
    std::string Text(ControlId id) const { return Control(id).text; }
    int CheckValue() const { return Control(ControlId::chkAS).value; }
    std::string Status() const { return Control(ControlId::lblStatus).text; }
    bool TimerOn(ControlId id) const { return Control(id).enabled; }
    bool WindowVisible() const { return window_.visible; }
    const WindowState& Window() const { return window_; }

    // The program starts: the window loads, and is shown once start-up returns.
    void StartProgram() {
        form_.Load();
        window_.visible = !ended;
    }

    // The user types, clicks the check box or minimises: no handler reacts.
    void Type(ControlId field, const std::string& text) { controls_.at(field).text = text; }
    void Check(int value) { controls_.at(ControlId::chkAS).value = value; }
    void Minimise() { window_.state = 1; }
    void Tick(ControlId timer);
    // Moves the clock on; enabled timers fire as their periods elapse.
    void Advance(unsigned ms);

    // For the control views.
    void Modal(const std::string& what) {
        if (whileModal) whileModal(what);
    }
    Seen Look() const;
    DialogAnswer ShowOpen(const std::string& initDir, const std::string& title, const std::string& filter);

private:
    ControlState& Add(ControlId id, unsigned interval = 0);

    std::string appPath_;
    FormLink form_;
    bool trayPresent_ = false;
    TrayRecordBytes trayShown_{};
    std::map<ControlId, ControlState> controls_;
    WindowState window_;
};

}  // namespace tessaly::headless
