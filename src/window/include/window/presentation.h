// What both editions draw alike, computed once from the layout table: where
// each control goes at a screen's scale, the Tab order, the tray menu of a
// run state, the fonts, colours and pictures, the file dialog's filters, and
// the small rules of input that the window's controls follow. An edition
// only turns these values into its toolkit's calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window/layout.h"

namespace tessaly {

enum class RunState { Paused, Running };

// --- geometry -------------------------------------------------------------------

// Twips to whole pixels at `dpi` dots per inch, halves away from zero.
int TwipsToPixels(int twips, unsigned dpi);
float TwipsPerPixel(unsigned dpi);
float PixelsToTwips(int pixels, unsigned dpi);

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};
// A control's rectangle in the client area. Both edges are converted, not
// the size, so that controls which meet in twips meet in pixels at every
// scale.
PixelRect ControlRect(const ControlRow& row, unsigned dpi);

// The window's controls that Tab visits, in Tab order (by tab index; the
// label and the credits line are passed by, hidden controls take no focus).
std::vector<ControlId> TabOrder();
// The window's visible controls in the order screen readers walk them: the
// Tab order, the status label in the place its tab index gives it (after
// the tool row, before the fields), the credits line last, as it sits at the
// bottom.
std::vector<ControlId> ReadingOrder();

// --- the tray menu --------------------------------------------------------------

struct MenuEntry {
    ControlId id;
    bool separator;
    std::string_view caption;
    bool operator==(const MenuEntry&) const = default;
};
// The tray menu's items in order for a run state: Resume while Paused,
// Pause while Running, everything else always.
std::vector<MenuEntry> TrayMenuEntries(RunState state);

// The tray icon's tip for a run state.
std::string_view TrayTip(RunState state);

// --- fonts, colours, pictures ---------------------------------------------------

// The window's own face ("MS Sans Serif"), where a control has a font of its
// own; path fields use the desktop's default font.
inline constexpr std::string_view kProgramFontFace = "MS Sans Serif";
struct FontSpec {
    double points;
    bool bold;
    bool underline;
};
std::optional<FontSpec> FontOf(ControlKind kind);

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};
// A colour of the table as red, green and blue; nothing for a system colour,
// whose value only the desktop knows (see SystemColourIndex).
std::optional<Rgb> FixedColour(Colour colour);
// The system colour index that a colour names (button face 15, inactive
// caption text 19), or -1 for a fixed colour.
int SystemColourIndex(Colour colour);

// `preferred` unless it would be hard to read on `background`; then black or
// white, whichever stands out more.
Rgb ReadableTextColour(Rgb preferred, Rgb background);

// A tool-row button's picture ("start", "stop", "create", "help"), empty for
// a control without one.
std::string_view PictureName(ControlId id);
// The pictures are drawn for 100, 150 and 200 percent: the largest that is
// not larger than `dpi` asks for (0, 1 or 2).
int PictureScaleIndex(unsigned dpi);
inline constexpr int kPictureScalePercent[] = {100, 150, 200};

// --- dialogs ----------------------------------------------------------------------

// One entry of a file dialog's list of types.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;  // "*.txt"
    bool operator==(const FileFilter&) const = default;
};

// The patterns as one list with `separator` between them: "*.txt;*.htm".
std::string JoinPatterns(const FileFilter& filter, char separator);

// A folder path as a folder chooser gave it, without the trailing separator
// that some leave on ordinary folders (a root keeps its own); the composer
// adds the separator itself.
std::string WithoutTrailingSeparator(std::string folder);

// --- input ------------------------------------------------------------------------

// The keyboard's way to the double-click's action: Ctrl with this letter
// views the file or folder of the focused path field (or of the field that
// the focused picker button fills). "O" for open, as in most programs; no
// edit control of either edition gives Ctrl+O a meaning of its own.
inline constexpr char kViewKeyLetter = 'O';
// Ctrl with this letter opens the credits line's link ("L" for link), so the
// line needs no place in the Tab order, which stays as it always was.
inline constexpr char kCreditsKeyLetter = 'L';
// The path field that the view key shows for the focused control, if any.
std::optional<ControlId> ViewKeyTarget(ControlId focused);

// The check box's next value when the user clicks it: ticked or cleared.
// The grayed value only ever comes from the settings file.
int NextAutoRunValue(int current);

// A click on the credits line: the primary button pressed on it and released
// while still over it.
class ClickTracker {
public:
    void Press(bool primary) { pressed_ = primary; }
    // True when this release completes a click.
    bool Release(bool primary, bool inside) {
        const bool click = pressed_ && primary && inside;
        pressed_ = false;
        return click;
    }

private:
    bool pressed_ = false;
};

}  // namespace tessaly
