// What a platform tells the main window. A platform (the Windows program, the
// Linux edition, the headless test platform) holds a FormLink and reports
// through it what the user, the timers and the shell did; it never sees the
// window's class, so no platform can reach into the window's state.
#pragma once

#include <memory>

#include "app/layout.h"

namespace tessaly {

class IPlatform;
class RandomSource;

class IFormEvents {
public:
    virtual ~IFormEvents() = default;
    // The window is loaded: the start-up sequence. The platform shows the
    // window once this returns (unless the program ended meanwhile).
    virtual void Load() = 0;
    // The window goes away by any means other than the tray's Exit.
    virtual void Unload() = 0;
    // A click on a button or the credits line, or a menu item chosen.
    virtual void Click(ControlId id) = 0;
    // A double-click on a control (the path fields).
    virtual void DoubleClick(ControlId id) = 0;
    // The mouse moved over a control (the credits line).
    virtual void MouseOver(ControlId id) = 0;
    // A timer's period elapsed.
    virtual void Tick(ControlId timer) = 0;
    // The notification-area icon's callback: the shell's mouse message number
    // arrives as the X coordinate of a mouse move, in twips.
    virtual void TrayCallback(float xTwips) = 0;
    // F1 while `focused` holds the focus.
    virtual void ContextHelp(ControlId focused) = 0;
    // The shell has recreated the notification area ("TaskbarCreated").
    virtual void TaskbarCreated() = 0;
};

// The one place that decides whether an event may still reach the window:
// before the window is attached, after the program detaches it, and once the
// window has unloaded (a message that arrives while it is being destroyed),
// events are dropped.
class FormLink {
public:
    void Attach(IFormEvents* form) {
        form_ = form;
        unloaded_ = false;
    }
    // The window has unloaded; nothing reaches it any more.
    void MarkUnloaded() { unloaded_ = true; }
    bool Live() const { return form_ != nullptr && !unloaded_; }

    void Load() { if (Live()) form_->Load(); }
    // Runs the unload handler once, then closes the link.
    void Unload() {
        if (!Live()) return;
        unloaded_ = true;
        form_->Unload();
    }
    void Click(ControlId id) { if (Live()) form_->Click(id); }
    void DoubleClick(ControlId id) { if (Live()) form_->DoubleClick(id); }
    void MouseOver(ControlId id) { if (Live()) form_->MouseOver(id); }
    void Tick(ControlId timer) { if (Live()) form_->Tick(timer); }
    void TrayCallback(float xTwips) { if (Live()) form_->TrayCallback(xTwips); }
    void ContextHelp(ControlId focused) { if (Live()) form_->ContextHelp(focused); }
    void TaskbarCreated() { if (Live()) form_->TaskbarCreated(); }

private:
    IFormEvents* form_ = nullptr;
    bool unloaded_ = false;
};

// The program's main window, with every control created through `platform`.
std::unique_ptr<IFormEvents> CreateMainForm(IPlatform& platform, RandomSource& random);

}  // namespace tessaly
