// A desktop without a screen. Every control keeps its state here, where a
// test reads it as the user would see it; what a user would answer (file
// dialogs, the folder chooser, the tray menu) comes from scripts that the
// test fills beforehand. Timers fire only when the test moves the clock on.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/settings_file.h"
#include "support/support.h"
#include "window/desktop.h"

namespace tessaly::headless {

// What the window showed, and what the settings file held, at the moment
// something reached the tray or a modal window came up.
struct Seen {
    std::string status;
    bool timerOn = false;  // the compose timer
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
    enum Kind { Add, Update, Remove } kind;
    Seen seen;
};
struct ErrorBox {
    std::string title, text;
    Seen seen;
};
struct FileDialog {
    FileRequest request;
    Seen seen;
};

// The state of any control; each kind uses its own part.
struct ControlState {
    std::string text;
    Colour colour = 0;
    bool allSelected = false;
    int value = 0;
    bool enabled = false;
    unsigned interval = 0, elapsed = 0;
};

struct WindowState {
    bool visible = false;
    bool minimised = false;
    bool inFront = false;
    RunState icon = RunState::Paused;  // the program file's own icon
    float left = 0, top = 0;
};

class HeadlessDesktop final : public IDesktop {
public:
    explicit HeadlessDesktop(std::string programFolder)
        : settingsFile(SettingsFilePath(programFolder)), folder_(std::move(programFolder)) {}

    void Attach(IWindowEvents& window) { events_.Attach(&window); }
    EventLink& Events() { return events_; }

    std::unique_ptr<IWindowView> CreateWindowView() override { return std::make_unique<WindowView>(*this); }
    std::unique_ptr<ITextField> CreateTextField(ControlId id) override { return View(id); }
    std::unique_ptr<ICreditsLine> CreateCreditsLine(ControlId id) override { return View(id); }
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override { return View(id); }
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override { return View(id); }
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override {
        auto view = View(id);
        controls_[id].interval = intervalMs;
        return view;
    }
    std::string ProgramFolder() const override { return folder_; }
    std::string SettingsFile() const override { return settingsFile; }
    TwipsSize ScreenSize() const override { return screen; }

    // The shell keeps one icon at most: adding it twice, or changing or
    // removing one that is not there, changes nothing.
    void AddTrayIcon(const TrayIcon& icon) override {
        trayCalls.push_back({TrayCall::Add, Look()});
        if (!trayIcon_) trayIcon_ = icon;
    }
    void UpdateTrayIcon(const TrayIcon& icon) override {
        trayCalls.push_back({TrayCall::Update, Look()});
        if (trayIcon_) trayIcon_ = icon;
    }
    void RemoveTrayIcon() override {
        trayCalls.push_back({TrayCall::Remove, Look()});
        trayIcon_.reset();
    }
    std::optional<ControlId> ShowTrayMenu(std::span<const MenuEntry> entries) override {
        std::string shown;
        for (const MenuEntry& entry : entries) shown += (shown.empty() ? "" : "|") + std::string(entry.caption);
        menus.push_back(shown);
        Modal("menu");
        return Next(menuAnswers, std::optional<ControlId>{});
    }
    void ShowError(const std::string& title, const std::string& text) override {
        errors.push_back({title, text, Look()});
        Modal("error");
    }
    OpenResult Open(const std::string& target) override {
        opened.push_back(target);
        return openResult;
    }
    OpenResult OpenHelp() override {
        helpTopics.push_back(0);
        return openResult;
    }
    OpenResult OpenHelpTopic(int contextId) override {
        helpTopics.push_back(contextId);
        return openResult;
    }
    Choice ChooseFile(const FileRequest& request) override {
        fileDialogs.push_back({request, Look()});
        Modal("file");
        return Next(fileAnswers, Choice{});
    }
    Choice ChooseFolder(const std::string& prompt) override {
        folderPrompts.push_back(prompt);
        Modal("folder");
        return Next(folderAnswers, Choice{});
    }
    void CloseWindow() override {
        if (closed) return;
        closed = true;
        events_.Closing();
        window_.visible = false;
    }
    void EndProgram() override { ended = true; }

    // The machine.
    std::string settingsFile;  // beside the program unless a test moves it
    TwipsSize screen{15360.0f, 11520.0f};  // 1024 x 768 pixels
    TwipsSize windowSize{6795.0f, 3795.0f};  // the client area and a thin frame
    OpenResult openResult = OpenResult::Opened;

    // Scripts, used up in order; when empty: Cancel, Cancel, dismissed.
    std::deque<Choice> fileAnswers;
    std::deque<Choice> folderAnswers;
    std::deque<std::optional<ControlId>> menuAnswers;
    // Runs while a modal window waits for the user; told which one.
    std::function<void(const std::string&)> whileModal;

    // What reached the user and the desktop.
    std::vector<TrayCall> trayCalls;
    std::vector<ErrorBox> errors;
    std::vector<FileDialog> fileDialogs;
    std::vector<std::string> folderPrompts;
    std::vector<std::string> menus;       // each menu's captions, "|" between
    std::vector<std::string> opened;      // files, folders and addresses
    std::vector<int> helpTopics;          // 0: the whole help
    bool closed = false;
    bool ended = false;

    // The notification area as the shell keeps it.
    const std::optional<TrayIcon>& Tray() const { return trayIcon_; }
    void RestartTrayHost() {  // icons gone, the window told
        trayIcon_.reset();
        events_.TrayHostRestarted();
    }

    // What the user sees.
    const ControlState& Control(ControlId id) const { return controls_.at(id); }
    std::string Text(ControlId id) const { return Control(id).text; }
    int AutoRun() const { return Control(ControlId::AutoRunBox).value; }
    std::string Status() const { return Control(ControlId::StatusLabel).text; }
    bool Running() const { return Control(ControlId::ComposeTimer).enabled; }
    const WindowState& Window() const { return window_; }

    // The program starts: the window loads, and is shown once start-up returns.
    void StartProgram() {
        events_.Load();
        window_.visible = !ended;
    }

    // The user types or minimises: no handler reacts.
    void Type(ControlId field, const std::string& text) { controls_.at(field).text = text; }
    void Minimise() {
        window_.minimised = true;
        window_.inFront = false;
    }
    // Moves the clock on a millisecond at a time; enabled timers fire as
    // their periods elapse, those due together in the order of their ids.
    void Advance(unsigned ms) {
        for (; ms > 0 && events_.Live(); --ms) {
            for (auto& [id, timer] : controls_) {
                // An earlier timer's handler may have switched this one off
                // or ended the program.
                if (timer.interval > 0 && timer.enabled && ++timer.elapsed >= timer.interval && events_.Live()) {
                    timer.elapsed = 0;
                    events_.Tick(id);
                }
            }
        }
    }

private:
    // One view serves every kind of control: the state lives in the desktop,
    // so a test can read it whatever has become of the window.
    class ControlView final : public ITextField, public ICreditsLine, public ICheckBox, public ILabel, public ITimer {
    public:
        explicit ControlView(ControlState& state) : s_(state) {}
        std::string Text() const override { return s_.text; }
        void SetText(const std::string& text) override { s_.text = text; }
        void SetColour(Colour colour) override { s_.colour = colour; }
        void SelectAll() override { s_.allSelected = true; }
        int Value() const override { return s_.value; }
        void SetValue(int value) override { s_.value = value; }
        bool Enabled() const override { return s_.enabled; }
        void SetEnabled(bool enabled) override {
            if (enabled != s_.enabled) s_.elapsed = 0;  // a running timer keeps its period
            s_.enabled = enabled;
        }

    private:
        ControlState& s_;
    };

    class WindowView final : public IWindowView {
    public:
        explicit WindowView(HeadlessDesktop& desktop) : d_(desktop) {}
        void Show() override { d_.window_.visible = true; }
        void Hide() override {
            d_.window_.visible = false;
            d_.window_.inFront = false;
        }
        void Restore() override { d_.window_.minimised = false; }
        void BringToFront() override { d_.window_.inFront = true; }
        void Repaint() override {}
        void SetStateIcon(RunState state) override { d_.window_.icon = state; }
        TwipsSize OuterSize() const override { return d_.windowSize; }
        void MoveTo(float left, float top) override {
            d_.window_.left = left;
            d_.window_.top = top;
        }

    private:
        HeadlessDesktop& d_;
    };

    std::unique_ptr<ControlView> View(ControlId id) {
        ControlState& state = controls_[id] = ControlState{};
        state.text = Row(id).text;
        if (id == ControlId::CreditsLine) state.colour = kCreditsRestColour;
        return std::make_unique<ControlView>(state);
    }
    template <class Answer>
    static Answer Next(std::deque<Answer>& script, Answer otherwise) {
        if (script.empty()) return otherwise;
        Answer answer = script.front();
        script.pop_front();
        return answer;
    }
    Seen Look() const {
        return {Status(), Running(), window_.visible, test::ReadBytes(settingsFile)};
    }
    void Modal(const std::string& what) {
        if (whileModal) whileModal(what);
    }

    std::string folder_;
    EventLink events_;
    std::optional<TrayIcon> trayIcon_;
    std::map<ControlId, ControlState> controls_;
    WindowState window_;
};

}  // namespace tessaly::headless
