// The notification-area icon: the picture and tip of a run state, its menu,
// and what the user does to it, told to the window as requests.
#pragma once

#include <QSystemTrayIcon>

#include <optional>
#include <span>
#include <vector>

#include "window/desktop.h"

class QMenu;
class QWidget;

namespace tessaly::qt {

class Tray final {
public:
    // The icon and its menu belong to `owner` (the main window).
    Tray(EventLink& events, QWidget* owner);

    void Add(const TrayIcon& icon);
    void Update(const TrayIcon& icon);
    void Remove();
    // The menu at the pointer, or the one the tray host has opened already;
    // the item chosen, or nothing when it was dismissed.
    std::optional<ControlId> ShowMenu(std::span<const MenuEntry> entries);

private:
    void Apply(const TrayIcon& icon);
    void SetEntries(std::span<const MenuEntry> entries);
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void OnChosen(ControlId id);

    EventLink& events_;
    QWidget* owner_;
    QSystemTrayIcon* icon_;  // owned by the window
    QMenu* menu_;            // owned by the window
    std::vector<MenuEntry> entries_;
    // While ShowMenu waits, a chosen item is its answer; otherwise (a host
    // that shows the menu itself) the choice goes to the window at once.
    bool menuAwaited_ = false;
    std::optional<ControlId> chosen_;
};

}  // namespace tessaly::qt
