// A platform without a screen. Every control keeps its state here, where a
// test reads it as the user would see it; what a user or the shell would
// answer (file dialogs, the folder browser, the tray menu) comes from
// scripts that the test fills beforehand. Timers fire only when the test
// moves the clock on.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/form_events.h"
#include "app/layout.h"
#include "support/support.h"

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

    std::unique_ptr<IWindow> CreateMainWindow() override { return std::make_unique<WindowView>(*this, window_); }
    std::unique_ptr<ITextField> CreateTextField(ControlId i) override { return std::make_unique<ControlView>(Add(i)); }
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override { return std::make_unique<ControlView>(Add(id)); }
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override { return std::make_unique<ControlView>(Add(id)); }
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override {
        return std::make_unique<ControlView>(Add(id, intervalMs));
    }
    std::unique_ptr<IMenuItem> CreateMenuItem(ControlId id) override { return std::make_unique<ControlView>(Add(id)); }
    std::unique_ptr<IImage> CreateImage(ControlId id) override { return std::make_unique<ControlView>(Add(id)); }
    std::unique_ptr<IFileDialog> CreateFileDialog() override { return std::make_unique<DialogView>(*this); }
    std::string AppPath() const override { return appPath_; }
    float ScreenWidth() const override { return screenWidth; }
    float ScreenHeight() const override { return screenHeight; }
    float TwipsPerPixelX() const override { return twipsPerPixelX; }
    bool Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) override {
        trayCalls.push_back({message, record, Look()});
        // The shell keeps one icon at most: adding it twice, or changing or
        // removing one that is not there, fails.
        const bool done = trayPresent_ != (message == NotifyIconMessage::Add);
        if (done) trayPresent_ = message != NotifyIconMessage::Delete;
        if (done && trayPresent_) trayShown_ = record;
        return done;
    }
    std::int32_t ShellExecuteA(std::uint32_t ownerWindow, const char* operation, const std::string& file,
                               const char* parameters, const char* directory, int showCommand) override {
        const bool plain = ownerWindow == 0 && !operation && !parameters && !directory && showCommand == 1;
        opened.push_back(plain ? file : "(not the default action) " + file);
        return 42;
    }
    bool SetForegroundWindow(std::uint32_t window) override {
        foregrounded += window == kWindowHandle;
        return true;
    }
    int MsgBox(const std::string& text, int style, const std::string& title) override {
        messageBoxes.push_back({text, style, title, Look()});
        Modal("MsgBox(" + std::to_string(style) + ", " + title + ")");
        return 1;
    }
    std::optional<ControlId> PopupMenu() override {
        std::string shown;
        for (auto i = static_cast<int>(ControlId::mnuDisplay); i <= static_cast<int>(ControlId::mnuExit); ++i) {
            const auto id = static_cast<ControlId>(i);
            const auto item = controls_.find(id);
            if (item == controls_.end() ? !Row(id).visible : !item->second.visible) continue;
            shown += (shown.empty() ? "" : "|") + std::string(Row(id).text);
        }
        menus.push_back(shown);
        Modal("PopupMenu[" + shown + "]");
        return Next(menuAnswers, std::optional<ControlId>{});
    }
    BrowseResult BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) override {
        const bool plain = ownerWindow == kWindowHandle && options == 1;
        browsePrompts.push_back(plain ? prompt : "(not a folder browser of the window) " + prompt);
        Modal("BrowseForFolder");
        return Next(browseAnswers, BrowseResult{});
    }
    void ShowHelpContext(const std::string& file, int context) override {
        help.push_back(file + "#" + std::to_string(context));
    }
    void UnloadMainWindow() override {
        if (unloaded) return;
        unloaded = true;
        form_.Unload();
        window_.visible = false;
    }
    void EndProgram() override { ended = true; }

    // The machine.
    float screenWidth = 15360.0f;  // 1024 x 768 pixels
    float screenHeight = 11520.0f;
    float twipsPerPixelX = 15.0f;
    float windowWidth = 6795.0f;  // the client area and a thin frame
    float windowHeight = 3795.0f;

    // Scripts, used up in order; when empty: Cancel, Cancel, dismissed. A
    // message box is always answered OK.
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
    // Moves the clock on a millisecond at a time; enabled timers fire as
    // their periods elapse, those due together in the order of their ids.
    void Advance(unsigned ms) {
        for (; ms > 0 && form_.Live(); --ms) {
            for (auto& [id, timer] : controls_) {
                // An earlier timer's handler may have switched this one off or
                // ended the program.
                if (timer.interval > 0 && timer.enabled && ++timer.elapsed >= timer.interval && form_.Live()) {
                    timer.elapsed = 0;
                    form_.Tick(id);
                }
            }
        }
    }

private:
    // One view serves every kind of control: the state lives in the platform, so
    // a test can read it whatever has become of the window.
    class ControlView final : public ITextField,
                              public ICheckBox,
                              public ILabel,
                              public ITimer,
                              public IMenuItem,
                              public IImage {
    public:
        explicit ControlView(ControlState& state) : s_(state) {}
        std::string Text() const override { return s_.text; }
        void SetText(const std::string& text) override { s_.text = text; }
        void Select(int start, int length) override { s_.selection = {start, length}; }
        Colour ForeColor() const override { return s_.colour; }
        void SetForeColor(Colour colour) override { s_.colour = colour; }
        int Value() const override { return s_.value; }
        void SetValue(int value) override { s_.value = value; }
        std::string Caption() const override { return s_.text; }
        void SetCaption(const std::string& caption) override { s_.text = caption; }
        bool Enabled() const override { return s_.enabled; }
        // Switching a running timer on again keeps its period running.
        void SetEnabled(bool enabled) override {
            if (enabled != s_.enabled) s_.elapsed = 0;
            s_.enabled = enabled;
        }
        unsigned IntervalMs() const override { return s_.interval; }
        bool Visible() const override { return s_.visible; }
        void SetVisible(bool visible) override { s_.visible = visible; }
        std::uint32_t IconHandle() const override { return s_.icon; }

    private:
        ControlState& s_;
    };

    class WindowView final : public IWindow {
    public:
        WindowView(const HeadlessPlatform& platform, WindowState& state) : p_(platform), s_(state) {}
        std::uint32_t Handle() const override { return kWindowHandle; }
        bool Visible() const override { return s_.visible; }
        void Show() override { s_.visible = true; }
        void Hide() override { s_.visible = false; }
        void Refresh() override {}
        void SetIcon(const IImage& picture) override { s_.icon = picture.IconHandle(); }
        void SetWindowState(int state) override { s_.state = state; }
        float Width() const override { return p_.windowWidth; }
        float Height() const override { return p_.windowHeight; }
        void SetLeft(float twips) override { s_.left = twips; }
        void SetTop(float twips) override { s_.top = twips; }
        float Left() const override { return s_.left; }
        float Top() const override { return s_.top; }

    private:
        const HeadlessPlatform& p_;
        WindowState& s_;
    };

    class DialogView final : public IFileDialog {
    public:
        explicit DialogView(HeadlessPlatform& platform) : p_(platform) {}
        Result ShowOpen() override {
            p_.dialogs.push_back({initDir_, title_, filter_, p_.Look()});
            p_.Modal("dlgCommon.ShowOpen");
            const DialogAnswer answer = Next(p_.dialogAnswers, DialogAnswer{});
            if (answer.result == Result::Chosen) fileName_ = answer.fileName;
            return answer.result;
        }

    private:
        HeadlessPlatform& p_;
    };

    template <class Answer>
    static Answer Next(std::deque<Answer>& script, Answer otherwise) {
        if (script.empty()) return otherwise;
        Answer answer = script.front();
        script.pop_front();
        return answer;
    }

    // What the window shows now: recorded with whatever reaches the shell or
    // the user.
    Seen Look() const {
        return {Status(), TimerOn(ControlId::Timer1), window_.visible, test::ReadBytes(SettingsPath())};
    }
    void Modal(const std::string& what) {
        if (whileModal) whileModal(what);
    }
    ControlState& Add(ControlId id, unsigned interval = 0) {
        ControlState& state = controls_[id] = ControlState{};
        state.text = Row(id).text;
        if (id == ControlId::txtCompliments) state.colour = kCreditsRestColour;
        state.interval = interval;
        state.icon = id == ControlId::imgRun ? kRunIconHandle : kPauseIconHandle;
        return state;
    }

    std::string appPath_;
    FormLink form_;
    bool trayPresent_ = false;
    TrayRecordBytes trayShown_{};
    std::map<ControlId, ControlState> controls_;
    WindowState window_;
};

}  // namespace tessaly::headless
