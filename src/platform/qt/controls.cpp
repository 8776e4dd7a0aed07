#include "controls.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cmath>

#include "look.h"
#include "window_widget.h"

namespace tessaly::qt {

namespace {

class WindowView final : public IWindowView {
public:
    explicit WindowView(WindowWidget& window) : window_(window) {}
    void Show() override { window_.ShowWindow(); }
    void Hide() override { window_.HideWindow(); }
    void Restore() override { window_.Restore(); }
    void BringToFront() override { window_.BringToFront(); }
    void Repaint() override { window_.repaint(); }
    void SetStateIcon(RunState state) override { window_.setWindowIcon(StateIcon(state)); }
    TwipsSize OuterSize() const override {
        const QRect frame = window_.frameGeometry();
        return {PixelsToTwips(frame.width(), window_.Dpi()), PixelsToTwips(frame.height(), window_.Dpi())};
    }
    void MoveTo(float leftTwips, float topTwips) override { window_.move(Pixels(leftTwips), Pixels(topTwips)); }

private:
    int Pixels(float twips) const {
        return static_cast<int>(std::lround(static_cast<double>(twips) * window_.Dpi() / 1440.0));
    }
    WindowWidget& window_;
};

// A field keeps the bytes it was given: what the user has not edited is
// handed back exactly, even where the bytes are no valid text.
class TextField final : public ITextField {
public:
    explicit TextField(QLineEdit& field) : field_(field), bytes_(FromQt(field.text())), shown_(field.text()) {}
    std::string Text() const override {
        const QString now = field_.text();
        return now == shown_ ? bytes_ : FromQt(now);
    }
    void SetText(const std::string& text) override {
        bytes_ = text;
        shown_ = ToQt(text);
        field_.setText(shown_);
    }

private:
    QLineEdit& field_;
    std::string bytes_;
    QString shown_;
};

class CreditsLineControl final : public ICreditsLine {
public:
    explicit CreditsLineControl(QLineEdit& line) : line_(line) {}
    void SetColour(Colour colour) override {
        QPalette palette = line_.palette();
        // Under high contrast the line keeps the theme's text colour; its
        // underline still marks it as a link.
        if (IsHighContrast(line_.parentWidget()->palette())) return;
        palette.setColor(QPalette::Text, ToQColor(colour, palette));
        line_.setPalette(palette);
    }
    void SelectAll() override { line_.selectAll(); }

private:
    QLineEdit& line_;
};

class CheckBox final : public ICheckBox {
public:
    explicit CheckBox(QCheckBox& box) : box_(box) {}
    int Value() const override {
        switch (box_.checkState()) {
            case Qt::Checked: return 1;
            case Qt::PartiallyChecked: return 2;
            default: return 0;
        }
    }
    void SetValue(int value) override {
        box_.setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    }

private:
    QCheckBox& box_;
};

class Label final : public ILabel {
public:
    explicit Label(QLabel& label) : label_(label) {}
    // The label has no name of its own, so its text is what screen readers
    // say, and Qt tells them of each new text as a change of that name.
    void SetText(const std::string& text) override { label_.setText(ToQt(text)); }

private:
    QLabel& label_;
};

// Stopped, a timer wakes nobody: while Paused the program sleeps.
class Timer final : public ITimer {
public:
    Timer(EventLink& events, ControlId id, unsigned intervalMs) {
        timer_.setInterval(static_cast<int>(intervalMs));
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [&events, id] { events.Tick(id); });
    }
    bool Enabled() const override { return timer_.isActive(); }
    void SetEnabled(bool enabled) override {
        if (enabled == timer_.isActive()) return;  // a running timer keeps its period
        if (enabled) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }

private:
    QTimer timer_;
};

}  // namespace

std::unique_ptr<IWindowView> WrapWindow(WindowWidget& window) { return std::make_unique<WindowView>(window); }
std::unique_ptr<ITextField> WrapTextField(QLineEdit& field) { return std::make_unique<TextField>(field); }
std::unique_ptr<ICreditsLine> WrapCreditsLine(QLineEdit& line) { return std::make_unique<CreditsLineControl>(line); }
std::unique_ptr<ICheckBox> WrapCheckBox(QCheckBox& box) { return std::make_unique<CheckBox>(box); }
std::unique_ptr<ILabel> WrapLabel(QLabel& label) { return std::make_unique<Label>(label); }

std::unique_ptr<ITimer> MakeTimer(EventLink& events, ControlId id, unsigned intervalMs) {
    return std::make_unique<Timer>(events, id, intervalMs);
}

}  // namespace tessaly::qt
