// The main window as a Qt widget, built from the layout table: every visible
// control in its place, font and colours, the Tab order, and the keys that
// the whole window answers (F1, Esc).
#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "window/desktop.h"

namespace tessaly::qt {

class WindowWidget final : public QWidget {
public:
    // `close` runs when the user closes the window; the window itself stays.
    WindowWidget(EventLink& events, std::function<void()> close);

    // The widget of a control; null for one that is not drawn.
    QWidget* Control(ControlId id) const;
    // The control that has the focus, or the window.
    ControlId FocusedControl() const;
    void FocusFirstControl();
    unsigned Dpi() const;

    // Showing and hiding; without a notification area "hidden" is
    // minimised, so that the user can still reach the window.
    void ShowWindow();
    void HideWindow();
    void Restore();
    // To the front now, or when it is next shown.
    void BringToFront();
    void DropFrontRequest() { frontWanted_ = false; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Add(const ControlRow& row);
    // The control's colours: the program's own, or under a high-contrast
    // palette the palette's.
    void Colour(const ControlRow& row, QWidget* widget);
    void OrderForTab();

    EventLink& events_;
    std::function<void()> close_;
    std::array<QWidget*, static_cast<std::size_t>(ControlId::Window) + 1> controls_{};
    bool frontWanted_ = false;
};

}  // namespace tessaly::qt
