// The window's controls as the window's logic sees them: thin wrappers over
// the widgets of the window widget, and the timers.
#pragma once

#include <memory>

#include "window/desktop.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tessaly::qt {

class WindowWidget;

std::unique_ptr<IWindowView> WrapWindow(WindowWidget& window);
std::unique_ptr<ITextField> WrapTextField(QLineEdit& field);
std::unique_ptr<ICreditsLine> WrapCreditsLine(QLineEdit& line);
std::unique_ptr<ICheckBox> WrapCheckBox(QCheckBox& box);
std::unique_ptr<ILabel> WrapLabel(QLabel& label);
// A timer whose ticks go to the window through `events`.
std::unique_ptr<ITimer> MakeTimer(EventLink& events, ControlId id, unsigned intervalMs);

}  // namespace tessaly::qt
