#include "widgets.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include "look.h"

namespace tessaly::qt {

// --- Button ---------------------------------------------------------------------

Button::Button(const ControlRow& row, unsigned dpi, QWidget* parent) : QAbstractButton(parent), dpi_(dpi) {
    picture_ = Picture(row.id, dpi, devicePixelRatioF());
    if (picture_.isNull()) setText(Latin(row.text));
}

void Button::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QBrush face(IsHighContrast(palette()) ? palette().color(QPalette::Button)
                                                : ToQColor(kButtonBackColour, palette()));
    qDrawWinButton(&painter, rect(), palette(), isDown(), &face);
    const int shift = isDown() ? 1 : 0;
    if (!picture_.isNull()) {
        const QSizeF size = picture_.deviceIndependentSize();
        painter.drawPixmap(QPointF((width() - size.width()) / 2 + shift, (height() - size.height()) / 2 + shift),
                           picture_);
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect().translated(shift, shift), Qt::AlignCenter, text());
    }
    if (hasFocus() && keyboardFocus_) {
        const int inset = TwipsToPixels(60, dpi_);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(inset, inset, -inset, -inset);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void Button::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    keyboardFocus_ = keyboardFocus_ || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

void Button::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

// --- PathField ------------------------------------------------------------------

PathField::PathField(ControlId id, EventLink& events, QWidget* parent) : QLineEdit(parent), id_(id), events_(events) {
    // Only the user's changes, never the window's own SetText.
    connect(this, &QLineEdit::textEdited, this, [this] { events_.FieldEdited(id_); });
    connect(this, &QLineEdit::returnPressed, this, [this] { events_.FieldEditEnded(id_); });
}

void PathField::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    events_.ViewRequested(id_);
}

void PathField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    events_.FieldEditEnded(id_);
}

// --- CreditsLine ----------------------------------------------------------------

namespace {

// The credits line as a link: its name is its text, and "press" follows it.
class CreditsLineAccessible final : public QAccessibleWidget {
public:
    explicit CreditsLineAccessible(CreditsLine* line) : QAccessibleWidget(line, QAccessible::Link) {}
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            static_cast<CreditsLine*>(widget())->Activate();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

}  // namespace

CreditsLine::CreditsLine(ControlId id, EventLink& events, QWidget* parent)
    : QLineEdit(parent), id_(id), events_(events) {
    setReadOnly(true);
    setFrame(false);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::ClickFocus);
    // Qt's own factories, asked first, would present a line edit; an
    // interface registered for the widget is found before any factory.
    QAccessible::registerAccessibleInterface(new CreditsLineAccessible(this));
}

void CreditsLine::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        Activate();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CreditsLine::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    events_.PointerOver(id_);
}

void CreditsLine::mousePressEvent(QMouseEvent* event) {
    clicks_.Press(event->button() == Qt::LeftButton);
    QLineEdit::mousePressEvent(event);
}

void CreditsLine::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (clicks_.Release(event->button() == Qt::LeftButton, rect().contains(event->position().toPoint()))) {
        events_.Pressed(id_);
    }
}

}  // namespace tessaly::qt
