#include "headless/headless_platform.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "app/layout.h"

namespace tessaly::headless {

namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

std::string IconName(std::uint32_t handle) {
    if (handle == kRunIconHandle) return "imgRun";
    if (handle == kPauseIconHandle) return "imgPause";
    return Hex(handle);
}

std::string MessageName(NotifyIconMessage message) {
    switch (message) {
        case NotifyIconMessage::Add: return "NIM_ADD";
        case NotifyIconMessage::Modify: return "NIM_MODIFY";
        case NotifyIconMessage::Delete: return "NIM_DELETE";
    }
    return std::to_string(static_cast<std::uint32_t>(message));
}

std::string TipOf(const TrayRecordBytes& record) {
    const auto* const tip = reinterpret_cast<const char*>(record.data() + 24);
    return std::string(tip, std::find(tip, tip + 64, '\0'));
}

std::uint32_t U32At(const TrayRecordBytes& record, std::size_t offset) {
    return static_cast<std::uint32_t>(record[offset]) | static_cast<std::uint32_t>(record[offset + 1]) << 8 |
           static_cast<std::uint32_t>(record[offset + 2]) << 16 |
           static_cast<std::uint32_t>(record[offset + 3]) << 24;
}

std::string Format(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

}  // namespace

std::string_view Name(ControlId id) { return Row(id).name; }

// ---------------------------------------------------------------- controls

class HeadlessTextField final : public ITextField {
public:
    HeadlessTextField(HeadlessPlatform& platform, ControlId id)
        : platform_(platform), id_(id), text_(Row(id).text),
          colour_(id == ControlId::txtCompliments ? kCreditsRestColour : 0x80000008) {}
    ~HeadlessTextField() override { platform_.Forget(this); }
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override {
        platform_.Record(std::string(Name(id_)) + ".Text=" + text);
        text_ = text;
    }
    void Select(int start, int length) override {
        platform_.Record(std::string(Name(id_)) + ".Select=" + std::to_string(start) + "," +
                         std::to_string(length));
        selection_ = {start, length};
    }
    Colour ForeColor() const override { return colour_; }
    void SetForeColor(Colour colour) override {
        platform_.Record(std::string(Name(id_)) + ".ForeColor=" + Hex(colour));
        colour_ = colour;
    }

    // The user types: no handler reacts to text changes.
    void Type(const std::string& text) { text_ = text; }
    std::pair<int, int> Selection() const { return selection_; }

private:
    HeadlessPlatform& platform_;
    ControlId id_;
    std::string text_;
    Colour colour_;
    std::pair<int, int> selection_{0, 0};
};

class HeadlessCheckBox final : public ICheckBox {
public:
    explicit HeadlessCheckBox(HeadlessPlatform& platform) : platform_(platform) {}
    ~HeadlessCheckBox() override { platform_.Forget(this); }
    int Value() const override { return value_; }
    void SetValue(int value) override {
        platform_.Record("chkAS.Value=" + std::to_string(value));
        value_ = value;
    }
    void Click(int value) { value_ = value; }  // no handler reacts

private:
    HeadlessPlatform& platform_;
    int value_ = 0;
};

class HeadlessLabel final : public ILabel {
public:
    explicit HeadlessLabel(HeadlessPlatform& platform)
        : platform_(platform), caption_(Row(ControlId::lblStatus).text) {}
    ~HeadlessLabel() override { platform_.Forget(this); }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override {
        platform_.Record("lblStatus.Caption=" + caption);
        caption_ = caption;
    }

private:
    HeadlessPlatform& platform_;
    std::string caption_;
};

class HeadlessTimer final : public ITimer {
public:
    HeadlessTimer(HeadlessPlatform& platform, ControlId id, unsigned intervalMs)
        : platform_(platform), id_(id), interval_(intervalMs) {}
    ~HeadlessTimer() override { platform_.Forget(this); }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override {
        platform_.Record(std::string(Name(id_)) + ".Enabled=" + (enabled ? "1" : "0"));
        // Switching a running timer on again keeps its period running.
        if (enabled != enabled_) elapsed_ = 0;
        enabled_ = enabled;
    }
    unsigned IntervalMs() const override { return interval_; }

    ControlId Id() const { return id_; }
    unsigned Remaining() const { return interval_ - elapsed_; }
    void Pass(unsigned ms) { elapsed_ += ms; }
    void Restart() { elapsed_ = 0; }

private:
    HeadlessPlatform& platform_;
    ControlId id_;
    unsigned interval_;
    unsigned elapsed_ = 0;
    bool enabled_ = false;
};

class HeadlessMenuItem final : public IMenuItem {
public:
    HeadlessMenuItem(HeadlessPlatform& platform, ControlId id) : platform_(platform), id_(id) {}
    ~HeadlessMenuItem() override { platform_.Forget(this); }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override {
        platform_.Record(std::string(Name(id_)) + ".Visible=" + (visible ? "1" : "0"));
        visible_ = visible;
    }

private:
    HeadlessPlatform& platform_;
    ControlId id_;
    bool visible_ = true;
};

class HeadlessImage final : public IImage {
public:
    HeadlessImage(HeadlessPlatform& platform, std::uint32_t handle) : platform_(platform), handle_(handle) {}
    ~HeadlessImage() override { platform_.Forget(this); }
    std::uint32_t IconHandle() const override { return handle_; }

private:
    HeadlessPlatform& platform_;
    std::uint32_t handle_;
};

class HeadlessWindow final : public IWindow {
public:
    explicit HeadlessWindow(HeadlessPlatform& platform) : platform_(platform) {}
    ~HeadlessWindow() override { platform_.Forget(this); }
    std::uint32_t Handle() const override { return kWindowHandle; }
    bool Visible() const override { return visible_; }
    void Show() override {
        platform_.Record("window.Show");
        visible_ = true;
    }
    void Hide() override {
        platform_.Record("window.Hide");
        visible_ = false;
    }
    void Refresh() override { platform_.Record("window.Refresh"); }
    void SetIcon(const IImage& picture) override {
        platform_.Record("window.Icon=" + IconName(picture.IconHandle()));
        icon_ = picture.IconHandle();
    }
    void SetWindowState(int state) override {
        platform_.Record("window.WindowState=" + std::to_string(state));
        state_ = state;
    }
    float Width() const override { return platform_.windowWidth; }
    float Height() const override { return platform_.windowHeight; }
    void SetLeft(float twips) override {
        platform_.Record("window.Left=" + Format(twips));
        left_ = twips;
    }
    void SetTop(float twips) override {
        platform_.Record("window.Top=" + Format(twips));
        top_ = twips;
    }
    float Left() const override { return left_; }
    float Top() const override { return top_; }

    std::uint32_t Icon() const { return icon_; }
    int State() const { return state_; }

private:
    HeadlessPlatform& platform_;
    bool visible_ = false;
    std::uint32_t icon_ = kPauseIconHandle;  // the program file's own icon
    int state_ = 0;
    float left_ = 0.0f;
    float top_ = 0.0f;
};

HeadlessFileDialog::~HeadlessFileDialog() { platform_.Forget(this); }

void HeadlessFileDialog::SetInitDir(const std::string& folder) {
    platform_.Record("dlgCommon.InitDir=" + folder);
    initDir_ = folder;
}

void HeadlessFileDialog::SetDialogTitle(const std::string& title) {
    platform_.Record("dlgCommon.DialogTitle=" + title);
    title_ = title;
}

void HeadlessFileDialog::SetFilter(const std::string& filter) {
    platform_.Record("dlgCommon.Filter=" + filter);
    filter_ = filter;
}

void HeadlessFileDialog::SetFileName(const std::string& name) {
    platform_.Record("dlgCommon.FileName=" + name);
    fileName_ = name;
}

IFileDialog::Result HeadlessFileDialog::ShowOpen() {
    platform_.Modal("dlgCommon.ShowOpen");
    DialogAnswer answer;
    if (!platform_.dialogAnswers.empty()) {
        answer = platform_.dialogAnswers.front();
        platform_.dialogAnswers.pop_front();
    }
    if (answer.result == Result::Chosen) fileName_ = answer.fileName;
    return answer.result;
}

// ---------------------------------------------------------------- platform

HeadlessPlatform::HeadlessPlatform(std::string appPath) : appPath_(std::move(appPath)) {}

HeadlessPlatform::~HeadlessPlatform() = default;

void HeadlessPlatform::Forget(const void* control) {
    const auto drop = [control](auto& map) {
        std::erase_if(map, [control](const auto& entry) { return entry.second == control; });
    };
    drop(fields_);
    drop(timers_);
    drop(menuItems_);
    drop(images_);
    if (check_ == control) check_ = nullptr;
    if (label_ == control) label_ = nullptr;
    if (window_ == control) window_ = nullptr;
    if (dialog_ == control) dialog_ = nullptr;
}

std::unique_ptr<IWindow> HeadlessPlatform::CreateMainWindow() {
    auto window = std::make_unique<HeadlessWindow>(*this);
    window_ = window.get();
    return window;
}

std::unique_ptr<ITextField> HeadlessPlatform::CreateTextField(ControlId id) {
    auto field = std::make_unique<HeadlessTextField>(*this, id);
    fields_[id] = field.get();
    return field;
}

std::unique_ptr<ICheckBox> HeadlessPlatform::CreateCheckBox(ControlId) {
    auto check = std::make_unique<HeadlessCheckBox>(*this);
    check_ = check.get();
    return check;
}

std::unique_ptr<ILabel> HeadlessPlatform::CreateLabel(ControlId) {
    auto label = std::make_unique<HeadlessLabel>(*this);
    label_ = label.get();
    return label;
}

std::unique_ptr<ITimer> HeadlessPlatform::CreateTimer(ControlId id, unsigned intervalMs) {
    auto timer = std::make_unique<HeadlessTimer>(*this, id, intervalMs);
    timers_[id] = timer.get();
    return timer;
}

std::unique_ptr<IMenuItem> HeadlessPlatform::CreateMenuItem(ControlId id) {
    auto item = std::make_unique<HeadlessMenuItem>(*this, id);
    menuItems_[id] = item.get();
    return item;
}

std::unique_ptr<IImage> HeadlessPlatform::CreateImage(ControlId id) {
    auto image = std::make_unique<HeadlessImage>(
        *this, id == ControlId::imgRun ? kRunIconHandle : kPauseIconHandle);
    images_[id] = image.get();
    return image;
}

std::unique_ptr<IFileDialog> HeadlessPlatform::CreateFileDialog() {
    auto dialog = std::make_unique<HeadlessFileDialog>(*this);
    dialog_ = dialog.get();
    return dialog;
}

bool HeadlessPlatform::Shell_NotifyIconA(NotifyIconMessage message, const TrayRecordBytes& record) {
    Record("Shell_NotifyIconA(" + MessageName(message) + ", " + IconName(U32At(record, 20)) + ", " +
           TipOf(record) + ")");
    trayCalls.push_back({message, record});
    // The shell's own bookkeeping: one icon with identifier 1 at most.
    switch (message) {
        case NotifyIconMessage::Add:
            if (trayPresent_) return false;
            trayPresent_ = true;
            trayShown_ = record;
            return true;
        case NotifyIconMessage::Modify:
            if (!trayPresent_) return false;
            trayShown_ = record;
            return true;
        case NotifyIconMessage::Delete: {
            const bool was = trayPresent_;
            trayPresent_ = false;
            return was;
        }
        default: return false;
    }
}

std::int32_t HeadlessPlatform::ShellExecuteA(std::uint32_t ownerWindow, const char* operation,
                                             const std::string& file, const char* parameters,
                                             const char* directory, int showCommand) {
    Record("ShellExecuteA(" + file + ")");
    const auto optional = [](const char* text) {
        return text ? std::optional<std::string>(text) : std::nullopt;
    };
    shellCalls.push_back(
        {ownerWindow, optional(operation), file, optional(parameters), optional(directory), showCommand});
    if (shellThrows) throw std::runtime_error("the shell call broke down");
    return shellResult;
}

bool HeadlessPlatform::SetForegroundWindow(std::uint32_t window) {
    Record("SetForegroundWindow(" + Hex(window) + ")");
    return true;
}

void HeadlessPlatform::Modal(const std::string& entry) {
    Record(entry);
    if (whileModal) whileModal(entry);
}

int HeadlessPlatform::MsgBox(const std::string& text, int style, const std::string& title) {
    messageBoxes.push_back({text, style, title});
    Modal("MsgBox(" + std::to_string(style) + ", " + title + ")");
    int answer = 1;
    if (!messageBoxAnswers.empty()) {
        answer = messageBoxAnswers.front();
        messageBoxAnswers.pop_front();
    }
    return answer;
}

std::optional<ControlId> HeadlessPlatform::PopupMenu() {
    // The menu as the user sees it: the visible items of mnuFile in order.
    std::string shown;
    for (int i = static_cast<int>(ControlId::mnuDisplay); i <= static_cast<int>(ControlId::mnuExit); ++i) {
        const auto id = static_cast<ControlId>(i);
        const auto item = menuItems_.find(id);
        const bool visible = item == menuItems_.end() ? Row(id).visible : item->second->Visible();
        if (!visible) continue;
        if (!shown.empty()) shown += '|';
        shown += Row(id).text;
    }
    Modal("PopupMenu[" + shown + "]");
    std::optional<ControlId> answer;
    if (!menuAnswers.empty()) {
        answer = menuAnswers.front();
        menuAnswers.pop_front();
    }
    return answer;
}

BrowseResult HeadlessPlatform::BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt,
                                               int options) {
    browseCalls.push_back({ownerWindow, prompt, options});
    Modal("BrowseForFolder");
    BrowseResult answer;
    if (!browseAnswers.empty()) {
        answer = browseAnswers.front();
        browseAnswers.pop_front();
    }
    return answer;
}

void HeadlessPlatform::ShowHelpContext(const std::string& helpFile, int contextId) {
    Record("ShowHelpContext(" + std::to_string(contextId) + ")");
    helpCalls.push_back({helpFile, contextId});
}

void HeadlessPlatform::UnloadMainWindow() {
    Record("UnloadMainWindow");
    if (unloaded) return;
    unloaded = true;
    form_.Unload();
    if (window_) window_->Hide();
}

void HeadlessPlatform::EndProgram() {
    Record("EndProgram");
    ended = true;
}

void HeadlessPlatform::StartProgram() {
    if (!form_.Live()) throw std::logic_error("no window attached");
    form_.Load();
    if (window_ && !ended) window_->Show();
}

void HeadlessPlatform::RecreateTaskbar() {
    trayPresent_ = false;
    form_.TaskbarCreated();
}

std::vector<std::string> HeadlessPlatform::Since(std::size_t mark) const {
    return {log.begin() + static_cast<std::ptrdiff_t>(std::min(mark, log.size())), log.end()};
}

std::vector<std::string> HeadlessPlatform::Only(std::initializer_list<std::string_view> prefixes,
                                                std::size_t mark) const {
    std::vector<std::string> kept;
    for (const auto& entry : Since(mark)) {
        for (const auto prefix : prefixes) {
            if (std::string_view(entry).starts_with(prefix)) {
                kept.push_back(entry);
                break;
            }
        }
    }
    return kept;
}

namespace {

template <typename Map>
auto& Find(const Map& map, ControlId id) {
    const auto found = map.find(id);
    if (found == map.end()) throw std::logic_error("no such control: " + std::string(Name(id)));
    return *found->second;
}

template <typename Control>
Control& Require(Control* control) {
    if (!control) throw std::logic_error("the control does not exist");
    return *control;
}

}  // namespace

std::string HeadlessPlatform::Text(ControlId id) const { return Find(fields_, id).Text(); }
Colour HeadlessPlatform::ForeColor(ControlId id) const { return Find(fields_, id).ForeColor(); }
std::pair<int, int> HeadlessPlatform::Selection(ControlId id) const { return Find(fields_, id).Selection(); }
int HeadlessPlatform::CheckValue() const { return Require(check_).Value(); }
std::string HeadlessPlatform::Status() const { return Require(label_).Caption(); }
bool HeadlessPlatform::TimerOn(ControlId id) const { return Find(timers_, id).Enabled(); }
unsigned HeadlessPlatform::TimerInterval(ControlId id) const { return Find(timers_, id).IntervalMs(); }
bool HeadlessPlatform::MenuVisible(ControlId id) const { return Find(menuItems_, id).Visible(); }
bool HeadlessPlatform::WindowVisible() const { return Require(window_).Visible(); }
std::uint32_t HeadlessPlatform::WindowIcon() const { return Require(window_).Icon(); }
int HeadlessPlatform::WindowState() const { return Require(window_).State(); }
float HeadlessPlatform::WindowLeft() const { return Require(window_).Left(); }
float HeadlessPlatform::WindowTop() const { return Require(window_).Top(); }
const HeadlessFileDialog& HeadlessPlatform::Dialog() const { return Require(dialog_); }

void HeadlessPlatform::Type(ControlId field, const std::string& text) {
    Find(fields_, field).Type(text);
}

void HeadlessPlatform::Check(int value) { Require(check_).Click(value); }

void HeadlessPlatform::Tick(ControlId timer) {
    auto& t = Find(timers_, timer);
    if (!t.Enabled() || !form_.Live()) return;
    Record(std::string(Name(timer)) + ".Tick");
    t.Restart();
    form_.Tick(timer);
}

void HeadlessPlatform::Advance(unsigned ms) {
    while (form_.Live()) {
        HeadlessTimer* next = nullptr;
        for (const auto& [id, timer] : timers_) {
            if (timer->Enabled() && (!next || timer->Remaining() < next->Remaining())) next = timer;
        }
        if (!next || next->Remaining() > ms) break;
        const unsigned step = next->Remaining();
        for (const auto& [id, timer] : timers_) {
            if (timer->Enabled()) timer->Pass(step);
        }
        ms -= step;
        Tick(next->Id());
    }
    for (const auto& [id, timer] : timers_) {
        if (timer->Enabled()) timer->Pass(ms);
    }
}

}  // namespace tessaly::headless
