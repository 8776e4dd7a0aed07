#include "headless/headless_platform.h"

#include "app/layout.h"
#include "support/support.h"

namespace tessaly::headless {

namespace {

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
    std::string InitDir() const override { return initDir_; }
    void SetInitDir(const std::string& folder) override { initDir_ = folder; }
    std::string DialogTitle() const override { return title_; }
    void SetDialogTitle(const std::string& title) override { title_ = title; }
    std::string Filter() const override { return filter_; }
    void SetFilter(const std::string& filter) override { filter_ = filter; }
    std::string FileName() const override { return fileName_; }
    void SetFileName(const std::string& name) override { fileName_ = name; }
    Result ShowOpen() override {
        const DialogAnswer answer = p_.ShowOpen(initDir_, title_, filter_);
        if (answer.result == Result::Chosen) fileName_ = answer.fileName;
        return answer.result;
    }

private:
    HeadlessPlatform& p_;
    std::string initDir_, title_, filter_, fileName_;
};

template <class Answer>
Answer Next(std::deque<Answer>& script, Answer otherwise) {
    if (script.empty()) return otherwise;
    Answer answer = script.front();
    script.pop_front();
    return answer;
}

}  // namespace

ControlState& HeadlessPlatform::Add(ControlId id, unsigned interval) {
    ControlState& state = controls_[id] = ControlState{};
    state.text = Row(id).text;
    if (id == ControlId::txtCompliments) state.colour = kCreditsRestColour;
    state.interval = interval;
    state.icon = id == ControlId::imgRun ? kRunIconHandle : kPauseIconHandle;
    return state;
}

using std::make_unique;
std::unique_ptr<IWindow> HeadlessPlatform::CreateMainWindow() { return make_unique<WindowView>(*this, window_); }
std::unique_ptr<ITextField> HeadlessPlatform::CreateTextField(ControlId i) { return make_unique<ControlView>(Add(i)); }
std::unique_ptr<ICheckBox> HeadlessPlatform::CreateCheckBox(ControlId id) { return make_unique<ControlView>(Add(id)); }
std::unique_ptr<ILabel> HeadlessPlatform::CreateLabel(ControlId id) { return make_unique<ControlView>(Add(id)); }
std::unique_ptr<IMenuItem> HeadlessPlatform::CreateMenuItem(ControlId id) { return make_unique<ControlView>(Add(id)); }
std::unique_ptr<IImage> HeadlessPlatform::CreateImage(ControlId id) { return make_unique<ControlView>(Add(id)); }
std::unique_ptr<IFileDialog> HeadlessPlatform::CreateFileDialog() { return make_unique<DialogView>(*this); }
std::unique_ptr<ITimer> HeadlessPlatform::CreateTimer(ControlId id, unsigned intervalMs) {
    return make_unique<ControlView>(Add(id, intervalMs));
}

Seen HeadlessPlatform::Look() const {
    return {Status(), TimerOn(ControlId::Timer1), window_.visible, test::ReadBytes(SettingsPath())};
}

bool HeadlessPlatform::Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) {
    trayCalls.push_back({message, record, Look()});
    // The shell keeps one icon at most: adding it twice, or changing or
    // removing one that is not there, fails.
    const bool done = trayPresent_ != (message == NotifyIconMessage::Add);
    if (done) trayPresent_ = message != NotifyIconMessage::Delete;
    if (done && trayPresent_) trayShown_ = record;
    return done;
}

std::int32_t HeadlessPlatform::ShellExecuteA(std::uint32_t ownerWindow, const char* operation, const std::string& file,
                                             const char* parameters, const char* directory, int showCommand) {
    const bool plain = ownerWindow == 0 && !operation && !parameters && !directory && showCommand == 1;
    opened.push_back(plain ? file : "(not the default action) " + file);
    return 42;
}

int HeadlessPlatform::MsgBox(const std::string& text, int style, const std::string& title) {
    messageBoxes.push_back({text, style, title, Look()});
    Modal("MsgBox(" + std::to_string(style) + ", " + title + ")");
    return Next(messageBoxAnswers, 1);
}

DialogAnswer HeadlessPlatform::ShowOpen(const std::string& initDir, const std::string& title,
                                        const std::string& filter) {
    dialogs.push_back({initDir, title, filter, Look()});
    Modal("dlgCommon.ShowOpen");
    return Next(dialogAnswers, DialogAnswer{});
}

std::optional<ControlId> HeadlessPlatform::PopupMenu() {
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

BrowseResult HeadlessPlatform::BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) {
    const bool plain = ownerWindow == kWindowHandle && options == 1;
    browsePrompts.push_back(plain ? prompt : "(not a folder browser of the window) " + prompt);
    Modal("BrowseForFolder");
    return Next(browseAnswers, BrowseResult{});
}

void HeadlessPlatform::UnloadMainWindow() {
    if (unloaded) return;
    unloaded = true;
    form_.Unload();
    window_.visible = false;
}

void HeadlessPlatform::Tick(ControlId timer) {
    ControlState& state = controls_.at(timer);
    if (!state.enabled || !form_.Live()) return;
    state.elapsed = 0;
    form_.Tick(timer);
}

void HeadlessPlatform::Advance(unsigned ms) {
    // A millisecond at a time; timers due together fire in the order of
    // their ids.
    for (; ms > 0 && form_.Live(); --ms) {
        for (auto& [id, timer] : controls_) {
            if (timer.interval > 0 && timer.enabled && ++timer.elapsed >= timer.interval) Tick(id);
        }
    }
}

}  // namespace tessaly::headless
