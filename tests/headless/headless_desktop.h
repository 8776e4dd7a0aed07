// A desktop without a screen, and the window on it. Every control keeps its
// state here, where a test reads it as the user would see it; what a user
// would answer (file dialogs, the folder chooser, the tray menu) comes from
// scripts that the test fills beforehand. Timers fire only when the test
// moves the clock on.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>

#include "core/settings_file.h"
#include "support/support.h"
#include "window/desktop.h"

namespace tessaly::test {

// What the window showed, and what the settings file held, at the moment
// something reached the tray or a modal window came up.
struct Seen {
    std::string status;
    bool timerOn = false, windowVisible = false;  // the compose timer; the window
    std::optional<std::string> settings;
    bool operator==(const Seen&) const = default;
};

struct ErrorBox {
    std::string title, text;
    Seen seen;
};

// The state of any control, or of the window; each kind uses its own part.
struct ControlState {
    std::string text;
    Colour colour = 0;
    bool allSelected = false, enabled = false;
    int value = 0;
    unsigned interval = 0, elapsed = 0;  // a timer's
    bool visible = false, minimised = false, inFront = false;  // the window's
    RunState icon = RunState::Paused;  // the program file's own icon
    float left = 0, top = 0;
};

class HeadlessDesktop final : public IDesktop {
public:
    explicit HeadlessDesktop(std::string programFolder)
        : settingsFile(SettingsFilePath(programFolder)), folder_(std::move(programFolder)) {}

    std::unique_ptr<IWindowView> CreateWindowView() override { return ViewOf(ControlId::Window); }
    std::unique_ptr<ITextField> CreateTextField(ControlId id) override { return ViewOf(id); }
    std::unique_ptr<ICreditsLine> CreateCreditsLine(ControlId id) override { return ViewOf(id); }
    std::unique_ptr<ICheckBox> CreateCheckBox(ControlId id) override { return ViewOf(id); }
    std::unique_ptr<ILabel> CreateLabel(ControlId id) override { return ViewOf(id); }
    std::unique_ptr<ITimer> CreateTimer(ControlId id, unsigned intervalMs) override { return ViewOf(id, intervalMs); }
    std::string ProgramFolder() const override { return folder_; }
    std::string SettingsFile() const override { return settingsFile; }
    TwipsSize ScreenSize() const override { return screen; }

    // The shell keeps one icon at most: adding it twice, or changing or
    // removing one that is not there, changes nothing.
    void AddTrayIcon(const TrayIcon& icon) override { SetTray(trayIcon_ ? trayIcon_ : icon); }
    void UpdateTrayIcon(const TrayIcon& icon) override { SetTray(trayIcon_ ? std::optional(icon) : std::nullopt); }
    void RemoveTrayIcon() override { SetTray(std::nullopt); }
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
    OpenResult OpenHelp() override { return OpenHelpTopic(0); }
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
    void CloseWindow() override { events.Closing(); }
    void EndProgram() override { ended = true; }

    EventLink events;  // what the user, the timers and the tray do reaches the window here

    // The machine.
    std::string settingsFile;  // beside the program unless a test moves it
    TwipsSize screen{15360.0f, 11520.0f};  // 1024 x 768 pixels
    TwipsSize windowSize{6795.0f, 3795.0f};  // the client area and a thin frame
    OpenResult openResult = OpenResult::Opened;

    // Scripts, used up in order; when empty: Cancel, Cancel, dismissed.
    std::deque<Choice> fileAnswers, folderAnswers;
    std::deque<std::optional<ControlId>> menuAnswers;
    // Runs while a modal window waits for the user; told which one.
    std::function<void(const std::string&)> whileModal;

    // What reached the user and the desktop.
    std::vector<Seen> trayCalls;  // adding, changing or removing the icon
    std::vector<ErrorBox> errors;
    std::vector<std::pair<FileRequest, Seen>> fileDialogs;
    std::vector<std::string> folderPrompts;
    std::vector<std::string> menus;   // each menu's captions, "|" between
    std::vector<std::string> opened;  // files, folders and addresses
    std::vector<int> helpTopics;      // 0: the whole help
    bool ended = false;

    // The notification area as the shell keeps it.
    const std::optional<TrayIcon>& Tray() const { return trayIcon_; }
    void RestartTrayHost() {  // icons gone, the window told
        trayIcon_.reset();
        events.TrayHostRestarted();
    }

    // What the user sees.
    const ControlState& Control(ControlId id) const { return controls_.at(id); }
    std::string Text(ControlId id) const { return Control(id).text; }
    int AutoRun() const { return Control(ControlId::AutoRunBox).value; }
    std::string Status() const { return Control(ControlId::StatusLabel).text; }
    bool Running() const { return Control(ControlId::ComposeTimer).enabled; }
    const ControlState& Window() const { return Control(ControlId::Window); }

    // The program starts: the window loads, and is shown once start-up returns.
    void StartProgram(IWindowEvents& window) {
        events.Attach(&window);
        events.Load();
        controls_[ControlId::Window].visible = !ended;
    }
    // The user types or minimises: no handler reacts.
    void Type(ControlId field, const std::string& text) { controls_.at(field).text = text; }
    void Minimise() {
        ControlState& window = controls_.at(ControlId::Window);
        window.minimised = true, window.inFront = false;
    }
    // Moves the clock on a millisecond at a time; enabled timers fire as
    // their periods elapse, those due together in the order of their ids.
    void Advance(unsigned ms) {
        for (; ms > 0 && events.Live(); --ms) {
            for (auto& [id, timer] : controls_) {
                // An earlier timer's handler may have switched this one off
                // or ended the program.
                if (timer.interval > 0 && timer.enabled && ++timer.elapsed >= timer.interval && events.Live()) {
                    timer.elapsed = 0;
                    events.Tick(id);
                }
            }
        }
    }

private:
    // One view serves the window and every kind of control: the state lives
    // in the desktop, so a test can read it whatever has become of the window.
    class View final : public IWindowView,
                       public ITextField,
                       public ICreditsLine,
                       public ICheckBox,
                       public ILabel,
                       public ITimer {
    public:
        View(const HeadlessDesktop& desktop, ControlState& state) : d_(desktop), s_(state) {}
        void Show() override { s_.visible = true; }
        void Hide() override { s_.visible = false, s_.inFront = false; }
        void Restore() override { s_.minimised = false; }
        void BringToFront() override { s_.inFront = true; }
        void Repaint() override {}
        void SetStateIcon(RunState state) override { s_.icon = state; }
        TwipsSize OuterSize() const override { return d_.windowSize; }
        void MoveTo(float left, float top) override { s_.left = left, s_.top = top; }
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
        const HeadlessDesktop& d_;
        ControlState& s_;
    };

    std::unique_ptr<View> ViewOf(ControlId id, unsigned timerInterval = 0) {
        ControlState& state = controls_[id] = ControlState{std::string(Row(id).text)};
        state.interval = timerInterval;
        if (id == ControlId::CreditsLine) state.colour = kCreditsRestColour;
        return std::make_unique<View>(*this, state);
    }
    template <class Answer>
    static Answer Next(std::deque<Answer>& script, Answer otherwise) {
        if (script.empty()) return otherwise;
        Answer answer = script.front();
        script.pop_front();
        return answer;
    }
    void SetTray(std::optional<TrayIcon> icon) {
        trayCalls.push_back(Look());
        trayIcon_ = std::move(icon);
    }
    Seen Look() const { return {Status(), Running(), Window().visible, ReadBytes(settingsFile)}; }
    void Modal(const std::string& what) {
        if (whileModal) whileModal(what);
    }

    std::string folder_;
    std::optional<TrayIcon> trayIcon_;
    std::map<ControlId, ControlState> controls_;
};

using C = ControlId;
// The six path fields in the settings file's order.
inline constexpr C kPathFields[] = {C::TemplateField, C::SignatureField, C::Quote1Field,
                                    C::Quote2Field,   C::Html1Field,     C::Html2Field};

// The window on the headless desktop, its program folder a scratch folder
// with real files for the settings and a composition that succeeds.
class WindowTest : public ::testing::Test {
protected:
    ScratchFolder dir;  // the program's folder
    HeadlessDesktop desktop{dir.Path()};
    ScriptedDraws random;  // the first line, the first file
    std::unique_ptr<IWindowEvents> window;
    Conventions conventions;  // the Windows program's
    const std::string signature = dir.Path("signature.htm"), quote1 = dir.Path("q1.txt");
    const std::string settingsFile = dir.Path("data/data.sfc");
    // What the sources below compose into: on Linux the fragment's line
    // break stays as LF, and the signature ends with LF.
#ifdef _WIN32
    const std::string composed = "Hi First line / <b>one</b>two\r\n";
#else
    const std::string composed = "Hi First line / <b>one</b>\ntwo\n";
#endif

    // The settings naming the sources below, with the start-up flag and any
    // path fields changed by index.
    std::string Settings(int flag, std::map<std::size_t, std::string> changed = {}) const {
        SettingsValues values{{dir.Path("template.htm"), signature, quote1, dir.Path("q2.txt"), dir.Path("html1"),
                               dir.Path("html2")},
                              static_cast<std::int16_t>(flag)};
        for (const auto& [field, path] : changed) values.paths[field] = path;
        return FormatSettings(values);
    }
    void Launch() {
        window = CreateMainWindow(desktop, random, conventions);
        desktop.StartProgram(*window);
    }
    // Working sources, and settings naming them with the start-up flag.
    void Start(int flag, std::map<std::size_t, std::string> changed = {}) {
        dir.Write("template.htm", "Hi quote1 / htmPath1");
        dir.Write("q1.txt", "First line\r\nSecond line\r\n");
        dir.Write("html1/a.htm", "<b>one</b>\r\ntwo\r\n");
        dir.Write("data/data.sfc", Settings(flag, std::move(changed)));
        Launch();
    }
    // Marks the settings file, so that Saved() tells whether anything has
    // written it since.
    void Mark() { WriteBytes(settingsFile, "unsaved"); }
    bool Saved() const { return ReadBytes(settingsFile) != "unsaved"; }

    void Press(ControlId id) { desktop.events.Pressed(id); }
    // Opens the tray menu and picks `item`.
    void Menu(ControlId item) {
        desktop.menuAnswers.push_back(item);
        desktop.events.TrayMenuRequested();
    }
    // Every mark of a run state: the label, the timer, the tray's icon and
    // tip, and the window's icon.
    void ExpectMarks(RunState state) const {
        const bool running = state == RunState::Running;
        EXPECT_EQ(desktop.Status(), running ? "Running!" : "Paused!");
        EXPECT_EQ(desktop.Running(), running);
        ASSERT_TRUE(desktop.Tray().has_value());
        EXPECT_EQ(desktop.Tray()->state, state);
        EXPECT_EQ(desktop.Tray()->tip, running ? "Tessaly Running" : "Tessaly Paused");
        EXPECT_EQ(desktop.Window().icon, state);
    }
};

}  // namespace tessaly::test
