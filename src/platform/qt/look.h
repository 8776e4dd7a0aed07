// How the window's values look in Qt: the file system's bytes as text, the
// layout table's colours, fonts and pictures, and the state icons.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include <string>
#include <string_view>

#include "window/presentation.h"

class QWidget;

namespace tessaly::qt {

// Paths and texts are the file system's bytes; Qt shows them decoded, and
// gives back the same bytes for text it decoded.
QString ToQt(std::string_view bytes);
std::string FromQt(const QString& text);
// The layout table's own texts.
QString Latin(std::string_view text);

// A colour of the layout table; the system colours it names (button face,
// inactive caption text) as the desktop's palette has them.
QColor ToQColor(Colour colour, const QPalette& palette);

// Whether the desktop's palette is a high-contrast one. Qt 6.4 has no flag
// for a high-contrast theme, so a palette whose window and window text are
// pure black and white (one #000000, the other #FFFFFF) counts as one; the
// window then draws in the palette's colours instead of its own. Base and
// text alone do not count: ordinary light themes (Fusion's among them) have
// black text on a white base.
bool IsHighContrast(const QPalette& palette);

// The program's face where the desktop has it, otherwise the desktop's own
// sans-serif face, at the same size and style.
QFont ProgramFont(const FontSpec& fontStyle);

// A caption wider than its place (the desktop's face may run wider than the
// one the window was drawn for) is set condensed rather than cut off.
void FitCaption(QWidget* widget, const QString& text, int available);

// A tool-row button's picture for a screen of `dpi` dots per inch at
// `pixelRatio` device pixels per pixel, its mask colour left out; null where
// the control has none.
QPixmap Picture(ControlId id, unsigned dpi, double pixelRatio);

// The icon of a run state, for the window and the notification area.
QIcon StateIcon(RunState state);

// The widget's logical dots per inch (96 where it reports none).
unsigned DpiOf(const QWidget* widget);

}  // namespace tessaly::qt
