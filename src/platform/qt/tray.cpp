#include "tray.h"

#include <QCursor>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMenu>

#include <algorithm>
#include <utility>

#include "look.h"

// What the tray is asked and answers, for desktops whose tray misbehaves:
// QT_LOGGING_RULES="tessaly.tray.debug=true" prints it.
Q_LOGGING_CATEGORY(lcTray, "tessaly.tray", QtInfoMsg)

namespace tessaly::qt {

Tray::Tray(EventLink& events, QWidget* owner)
    : events_(events), owner_(owner), icon_(new QSystemTrayIcon(owner)), menu_(new QMenu(owner)) {
    icon_->setObjectName(QStringLiteral("tray"));
    menu_->setObjectName(Latin(Row(ControlId::TrayMenu).name));
    // Hosts that show the menu themselves (StatusNotifierItem) take it from
    // here; it holds the items of the icon's run state.
    icon_->setContextMenu(menu_);
    // The icon's own widget reports the click from inside its mouse handler,
    // and Exit removes that widget: the report waits until the handler has
    // returned.
    QObject::connect(icon_, &QSystemTrayIcon::activated, owner_, [this](QSystemTrayIcon::ActivationReason reason) {
        QMetaObject::invokeMethod(owner_, [this, reason] { OnActivated(reason); }, Qt::QueuedConnection);
    });
}

void Tray::Add(const TrayIcon& icon) {
    Apply(icon);
    icon_->show();
    qCDebug(lcTray) << "add" << icon_->toolTip() << "tray available:" << QSystemTrayIcon::isSystemTrayAvailable();
}

void Tray::Update(const TrayIcon& icon) {
    Apply(icon);
    qCDebug(lcTray) << "modify" << icon_->toolTip();
}

void Tray::Remove() {
    icon_->hide();
    qCDebug(lcTray) << "delete";
}

void Tray::Apply(const TrayIcon& icon) {
    icon_->setIcon(StateIcon(icon.state));
    icon_->setToolTip(ToQt(icon.tip));
    SetEntries(icon.menu);
}

void Tray::SetEntries(std::span<const MenuEntry> entries) {
    if (std::ranges::equal(entries, entries_)) return;
    entries_.assign(entries.begin(), entries.end());
    menu_->clear();
    for (const MenuEntry& entry : entries_) {
        QAction* action = entry.separator ? menu_->addSeparator() : menu_->addAction(Latin(entry.caption));
        action->setObjectName(Latin(Row(entry.id).name));
        if (!entry.separator) {
            QObject::connect(action, &QAction::triggered, owner_, [this, id = entry.id] { OnChosen(id); });
        }
    }
}

void Tray::OnChosen(ControlId id) {
    if (menuAwaited_) {
        chosen_ = id;
        return;
    }
    // The menu is rebuilt when the run state changes: the window hears the
    // choice once the action has done with it.
    QMetaObject::invokeMethod(owner_, [this, id] { events_.Pressed(id); }, Qt::QueuedConnection);
}

void Tray::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            events_.TrayOpenRequested();
            break;
        case QSystemTrayIcon::Trigger:
            // A host that knows where the icon is (the XEmbed tray) reports
            // double-clicks, and a single click does nothing. One that
            // reports only activations (StatusNotifierItem) opens the window
            // on a left click.
            if (!icon_->geometry().isValid()) events_.TrayOpenRequested();
            break;
        case QSystemTrayIcon::Context:
            events_.TrayMenuRequested();
            break;
        default:
            break;
    }
}

std::optional<ControlId> Tray::ShowMenu(std::span<const MenuEntry> entries) {
    chosen_.reset();
    menuAwaited_ = true;
    if (menu_->isVisible()) {
        // The tray host has opened the menu already (the XEmbed tray does on
        // the right button's press): wait for it to close. The choice is
        // reported right after the menu hides, so the wait ends after that.
        QEventLoop loop;
        const auto hidden = QObject::connect(menu_, &QMenu::aboutToHide, &loop, [&loop] {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        QObject::disconnect(hidden);
    } else {
        SetEntries(entries);
        menu_->exec(QCursor::pos());
    }
    menuAwaited_ = false;
    return std::exchange(chosen_, std::nullopt);
}

}  // namespace tessaly::qt
