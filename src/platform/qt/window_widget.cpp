#include "window_widget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QShortcut>
#include <QStyle>
#include <QSystemTrayIcon>

#include <algorithm>
#include <limits>
#include <utility>

#include "look.h"
#include "widgets.h"

namespace tessaly::qt {

WindowWidget::WindowWidget(EventLink& events, std::function<void()> close)
    : events_(events), close_(std::move(close)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(Latin(kWindowCaption));
    setObjectName(Latin(Row(ControlId::Window).name));
    setWindowIcon(StateIcon(RunState::Paused));
    setFixedSize(TwipsToPixels(kClientWidthTwips, Dpi()), TwipsToPixels(kClientHeightTwips, Dpi()));
    for (const ControlRow& row : Layout()) {
        if (row.visible && row.kind != ControlKind::Window) Add(row);
    }
    OrderForTab();
    auto* view = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(kViewKeyLetter)), this);
    connect(view, &QShortcut::activated, this, [this] {
        if (const auto field = ViewKeyTarget(FocusedControl())) events_.ViewRequested(*field);
    });
    auto* credits = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(kCreditsKeyLetter)), this);
    connect(credits, &QShortcut::activated, this, [this] { events_.Pressed(ControlId::CreditsLine); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { events_.HelpRequested(FocusedControl()); });
    auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(stop, &QShortcut::activated, this, [this] { events_.Pressed(ControlId::StopButton); });
}

QWidget* WindowWidget::Control(ControlId id) const {
    const auto index = static_cast<std::size_t>(id);
    return index < controls_.size() ? controls_[index] : nullptr;
}

ControlId WindowWidget::FocusedControl() const {
    QWidget* focused = QApplication::focusWidget();
    const auto found = std::find(controls_.begin(), controls_.end(), focused);
    if (focused == nullptr || found == controls_.end()) return ControlId::Window;
    return static_cast<ControlId>(found - controls_.begin());
}

void WindowWidget::FocusFirstControl() {
    const auto order = TabOrder();
    if (!order.empty()) Control(order.front())->setFocus(Qt::OtherFocusReason);
}

unsigned WindowWidget::Dpi() const { return DpiOf(this); }

void WindowWidget::ShowWindow() {
    if (!QSystemTrayIcon::isSystemTrayAvailable() && isMinimized()) {
        showNormal();
    } else {
        show();
    }
    if (std::exchange(frontWanted_, false)) {
        raise();
        activateWindow();
    }
}

void WindowWidget::HideWindow() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        hide();
    } else if (isVisible()) {
        showMinimized();
    }
}

void WindowWidget::Restore() {
    if (isMinimized() || isMaximized()) showNormal();
}

void WindowWidget::BringToFront() {
    if (!isVisible()) {
        frontWanted_ = true;
        return;
    }
    raise();
    activateWindow();
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // Closing the window unloads it, and the program ends with it; the
    // desktop takes the widget down itself.
    event->ignore();
    close_();
}

void WindowWidget::Add(const ControlRow& row) {
    const QString text = Latin(row.text);
    QWidget* widget = nullptr;
    switch (row.kind) {
        case ControlKind::Button:
        case ControlKind::PictureButton: {
            auto* button = new Button(row, Dpi(), this);
            connect(button, &QAbstractButton::clicked, this, [this, id = row.id] { events_.Pressed(id); });
            widget = button;
            break;
        }
        case ControlKind::TextField: {
            auto* field = new PathField(row.id, events_, this);
            field->setMaxLength(std::numeric_limits<int>::max());
            field->setText(text);
            widget = field;
            break;
        }
        case ControlKind::CreditsLine: {
            auto* line = new CreditsLine(row.id, events_, this);
            line->setText(text);
            widget = line;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new AutoRunBox(text, this);
            box->setTristate(true);
            connect(box, &QAbstractButton::clicked, this, [this, id = row.id] { events_.Pressed(id); });
            widget = box;
            break;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(text, this);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setTextFormat(Qt::PlainText);
            label->setFocusPolicy(Qt::NoFocus);
            widget = label;
            break;
        }
        default:
            return;
    }
    if (const auto font = FontOf(row.kind)) widget->setFont(ProgramFont(*font));
    widget->setObjectName(Latin(row.name));
    if (!row.accessibleName.empty()) widget->setAccessibleName(Latin(row.accessibleName));
    Colour(row, widget);
    if (!row.toolTip.empty()) widget->setToolTip(Latin(row.toolTip));
    const PixelRect place = ControlRect(row, Dpi());
    widget->setGeometry(place.left, place.top, place.Width(), place.Height());
    if (row.kind == ControlKind::Button) FitCaption(widget, text, widget->width() - 4);
    if (row.kind == ControlKind::CheckBox) {
        const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
                              style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
        FitCaption(widget, text, std::min(widget->geometry().right(), width()) - place.left - indicator);
    }
    controls_[static_cast<std::size_t>(row.id)] = widget;
}

void WindowWidget::Colour(const ControlRow& row, QWidget* widget) {
    QPalette palette = this->palette();
    if (IsHighContrast(palette)) {
        // The credits line sits on the window like a label.
        if (row.kind == ControlKind::CreditsLine) {
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
        }
        widget->setPalette(palette);
        return;
    }
    switch (row.kind) {
        case ControlKind::TextField: palette.setColor(QPalette::Base, ToQColor(kPathFieldBackColour, palette)); break;
        case ControlKind::CreditsLine:
            palette.setColor(QPalette::Base, ToQColor(kCreditsBackColour, palette));
            palette.setColor(QPalette::Text, ToQColor(kCreditsRestColour, palette));
            break;
        case ControlKind::CheckBox:
            palette.setColor(QPalette::WindowText, ToQColor(kCheckBoxForeColour, palette));
            break;
        case ControlKind::Label: palette.setColor(QPalette::WindowText, ToQColor(kStatusForeColour, palette)); break;
        default: break;
    }
    widget->setPalette(palette);
}

void WindowWidget::changeEvent(QEvent* event) {
    // A theme changed while the program runs: the controls follow it.
    if (event->type() == QEvent::PaletteChange) {
        for (const ControlRow& row : Layout()) {
            if (QWidget* widget = Control(row.id)) Colour(row, widget);
        }
    }
    QWidget::changeEvent(event);
}

// Tab visits the controls by their tab index, not by creation order. Screen
// readers walk the children in the order of the window's child list, which
// raising a widget moves it to the end of: raised in reading order, the list
// follows the Tab order too. (The controls do not overlap, so nothing drawn
// changes.)
void WindowWidget::OrderForTab() {
    const auto order = TabOrder();
    for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(Control(order[i - 1]), Control(order[i]));
    for (const ControlId id : ReadingOrder()) {
        if (QWidget* widget = Control(id)) widget->raise();
    }
}

}  // namespace tessaly::qt
