// The window's own widgets: the drawn buttons, the path fields, the credits
// line and the start-up check box. Each reports what the user did to the
// window through the event link, in the window's terms.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>

#include "window/desktop.h"

namespace tessaly::qt {

// A button in the program's own style: a raised face in the button colour,
// the picture or the bold caption, a focus mark only once the keyboard has
// moved the focus.
class Button final : public QAbstractButton {
public:
    Button(const ControlRow& row, unsigned dpi, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    unsigned dpi_;
    QPixmap picture_;
    bool keyboardFocus_ = false;
};

// A path field: a double-click asks to see its file or folder; the user's
// typing is an edit that ends when the focus leaves or with Enter.
class PathField final : public QLineEdit {
public:
    PathField(ControlId id, EventLink& events, QWidget* parent);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ControlId id_;
    EventLink& events_;
};

// Read-only text that behaves like a link: every move over it and a full
// click (press and release on it) go to the window; so do Enter and Space
// while it has the focus, and a screen reader's "press". Screen readers see
// it as a link.
class CreditsLine final : public QLineEdit {
public:
    CreditsLine(ControlId id, EventLink& events, QWidget* parent);
    // Follows the link, as a click does.
    void Activate() { events_.Pressed(id_); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ControlId id_;
    EventLink& events_;
    ClickTracker clicks_;
};

// The start-up check box. A click only reports; the window decides the new
// value, so the box never changes itself.
class AutoRunBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

}  // namespace tessaly::qt
