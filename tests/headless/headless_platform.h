// A platform without a screen: every control keeps its state in memory, every
// call that the window makes is written to one ordered log, and whatever a
// user or the shell would answer (message boxes, dialogs, the folder browser,
// the tray menu) comes from a script the test sets up beforehand. Timers do
// not run by themselves: the test ticks them or advances the clock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "app/form_events.h"

namespace tessaly::headless {

class HeadlessPlatform;
class HeadlessTextField;
class HeadlessCheckBox;
class HeadlessLabel;
class HeadlessTimer;
class HeadlessMenuItem;
class HeadlessImage;
class HeadlessWindow;

// Icon handles of the two state pictures and the window's handle, as the
// shell would receive them.
inline constexpr std::uint32_t kWindowHandle = 0x000A01F4;
inline constexpr std::uint32_t kPauseIconHandle = 0x00050A11;
inline constexpr std::uint32_t kRunIconHandle = 0x00050A23;

struct TrayCall {
    NotifyIconMessage message;
    TrayRecordBytes record;
};

struct MessageBoxCall {
    std::string text;
    int style;
    std::string title;
};

struct ShellCall {
    std::uint32_t owner;
    std::optional<std::string> operation;
    std::string file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int showCommand;
};

struct HelpCall {
    std::string file;
    int context;
};

struct BrowseCall {
    std::uint32_t owner;
    std::string prompt;
    int options;
};

// What the user does in the next file dialog. A chosen file becomes the
// dialog's FileName; Cancel and a failure leave FileName as it was.
struct DialogAnswer {
    IFileDialog::Result result = IFileDialog::Result::Cancelled;
    std::string fileName;
};

class HeadlessFileDialog final : public IFileDialog {
public:
    explicit HeadlessFileDialog(HeadlessPlatform& platform) : platform_(platform) {}
    ~HeadlessFileDialog() override;
    std::string InitDir() const override { return initDir_; }
    void SetInitDir(const std::string& folder) override;
    std::string DialogTitle() const override { return title_; }
    void SetDialogTitle(const std::string& title) override;
    std::string Filter() const override { return filter_; }
    void SetFilter(const std::string& filter) override;
    std::string FileName() const override { return fileName_; }
    void SetFileName(const std::string& name) override;
    Result ShowOpen() override;

private:
    HeadlessPlatform& platform_;
    std::string initDir_, title_, filter_, fileName_;
};

class HeadlessPlatform final : public IPlatform {
public:
    explicit HeadlessPlatform(std::string appPath);
    ~HeadlessPlatform() override;

    // The window whose handlers the timers, the unload and the shell's
    // notifications run.
    void Attach(IFormEvents& form) { form_.Attach(&form); }
    FormLink& Events() { return form_; }

    // --- IPlatform ---
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
    bool SetForegroundWindow(std::uint32_t window) override;
    int MsgBox(const std::string& text, int style, const std::string& title) override;
    std::optional<ControlId> PopupMenu() override;
    BrowseResult BrowseForFolder(std::uint32_t ownerWindow, const std::string& prompt, int options) override;
    void ShowHelpContext(const std::string& helpFile, int contextId) override;
    void UnloadMainWindow() override;
    void EndProgram() override;

    // --- The machine ---
    float screenWidth = 15360.0f;   // 1024 pixels
    float screenHeight = 11520.0f;  // 768 pixels
    float twipsPerPixelX = 15.0f;
    float windowWidth = 6795.0f;    // the client area and a thin frame
    float windowHeight = 3795.0f;
    std::int32_t shellResult = 42;  // what ShellExecuteA answers
    bool shellThrows = false;       // the call itself breaks down

    // --- Scripts: consumed in order; an empty script answers OK, Cancel,
    // Cancel and "menu dismissed". ---
    std::deque<int> messageBoxAnswers;
    std::deque<DialogAnswer> dialogAnswers;
    std::deque<BrowseResult> browseAnswers;
    std::deque<std::optional<ControlId>> menuAnswers;
    // Runs while a modal window (message box, file dialog, folder browser,
    // pop-up menu) waits for the user; receives the log entry of the call.
    std::function<void(const std::string&)> whileModal;

    // --- What happened ---
    std::vector<std::string> log;
    std::vector<TrayCall> trayCalls;
    std::vector<MessageBoxCall> messageBoxes;
    std::vector<ShellCall> shellCalls;
    std::vector<HelpCall> helpCalls;
    std::vector<BrowseCall> browseCalls;
    bool unloaded = false;
    bool ended = false;

    // Log entries from position `mark` on.
    std::vector<std::string> Since(std::size_t mark) const;
    // Only the entries that start with one of the prefixes.
    std::vector<std::string> Only(std::initializer_list<std::string_view> prefixes,
                                  std::size_t mark = 0) const;

    // --- The notification area as the shell keeps it ---
    bool TrayIconPresent() const { return trayPresent_; }
    const TrayRecordBytes& TrayIconShown() const { return trayShown_; }
    // The shell restarts: the icons are gone and the window is told.
    void RecreateTaskbar();

    // --- Reading the controls ---
    std::string Text(ControlId id) const;
    Colour ForeColor(ControlId id) const;
    std::pair<int, int> Selection(ControlId id) const;
    int CheckValue() const;
    std::string Status() const;
    bool TimerOn(ControlId id) const;
    unsigned TimerInterval(ControlId id) const;
    bool MenuVisible(ControlId id) const;
    bool WindowVisible() const;
    std::uint32_t WindowIcon() const;
    int WindowState() const;
    float WindowLeft() const;
    float WindowTop() const;
    const HeadlessFileDialog& Dialog() const;

    // The program starts, as the Windows program does: the window loads,
    // and once its start-up has returned it is shown.
    void StartProgram();

    // --- The user at the window ---
    void Type(ControlId field, const std::string& text);
    void Check(int value);  // the user clicks the check box into a state
    void Tick(ControlId timer);
    // Moves the clock on; every enabled timer fires whenever its period
    // has elapsed, in time order.
    void Advance(unsigned ms);

    // Called by the controls.
    void Record(std::string entry) { log.push_back(std::move(entry)); }
    void Modal(const std::string& entry);
    void Forget(const void* control);

private:
    std::string appPath_;
    FormLink form_;
    bool trayPresent_ = false;
    TrayRecordBytes trayShown_{};

    std::map<ControlId, HeadlessTextField*> fields_;
    std::map<ControlId, HeadlessTimer*> timers_;
    std::map<ControlId, HeadlessMenuItem*> menuItems_;
    std::map<ControlId, HeadlessImage*> images_;
    HeadlessCheckBox* check_ = nullptr;
    HeadlessLabel* label_ = nullptr;
    HeadlessWindow* window_ = nullptr;
    HeadlessFileDialog* dialog_ = nullptr;

    friend class HeadlessTextField;
    friend class HeadlessTimer;
    friend class HeadlessMenuItem;
    friend class HeadlessImage;
    friend class HeadlessCheckBox;
    friend class HeadlessLabel;
    friend class HeadlessWindow;
    friend class HeadlessFileDialog;
};

// The name of a control, as the log writes it.
std::string_view Name(ControlId id);

}  // namespace tessaly::headless
