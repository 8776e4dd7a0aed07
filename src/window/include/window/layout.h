// The main window's layout: every control, its place in twips, tab index,
// text, tool tip, the name screen readers give it and help context number.
// Both editions build their window from this table, the window's logic and
// the tests read it, so there is one description of the window. The name
// column keeps each control's historic name: the help project's context map,
// the Windows program's control names and the tests trace a control by it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tessaly {

enum class ControlId : int {
    // Visible controls, in creation order.
    TemplateButton,
    SignatureButton,
    Quote1Button,
    Quote2Button,
    Html1Button,
    Html2Button,
    TemplateField,
    Html2Field,
    Html1Field,
    Quote2Field,
    Quote1Field,
    SignatureField,
    CreditsLine,
    HelpButton,
    StopButton,
    AutoRunBox,
    StartButton,
    CreateNowButton,
    StatusLabel,
    // Controls that are never shown.
    ComposeTimer,  // its enabled flag is the run state
    CreditsTimer,  // puts the credits line back to rest
    PausedIcon,
    RunningIcon,
    FileList,
    // The tray menu, in menu order.
    TrayMenu,
    OpenItem,
    SeparatorAfterOpen,
    ResumeItem,
    PauseItem,
    RefreshItem,
    SeparatorAfterRefresh,
    HelpItem,
    SeparatorBeforeExit,
    ExitItem,
    // The window itself.
    Window,
};

enum class ControlKind {
    Button,         // a picker button with a caption
    PictureButton,  // a tool-row button showing a picture only
    TextField,      // single-line, editable
    CheckBox,
    Label,
    CreditsLine,
    Timer,
    Image,
    FileList,
    Menu,
    MenuItem,
    MenuSeparator,
    Window,
};

struct ControlRow {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    int left, top, width, height;  // twips, from the client area's top-left
    int tabIndex;                  // -1: takes no focus by Tab
    std::string_view text;         // caption, design-time text or menu caption
    std::string_view toolTip;
    // What screen readers call the control; empty where the control's own
    // changing text is its name (the status label) or it is never shown.
    std::string_view accessibleName;
    int helpContext;               // 0: the window's
    bool visible;
};

// Window geometry and texts.
inline constexpr std::string_view kWindowCaption = "Tessaly V 1.0";
inline constexpr int kClientWidthTwips = 6675;
inline constexpr int kClientHeightTwips = 3300;
inline constexpr int kWindowHelpContext = 1001;

// Colours as &H00BBGGRR& (red in the lowest byte); a value with the top bit
// set names a system colour by its index.
using Colour = std::uint32_t;
inline constexpr Colour kButtonBackColour = 0x00FFC0C0;
inline constexpr Colour kButtonMaskColour = 0x00FFC0FF;
inline constexpr Colour kPathFieldBackColour = 0x80000013;
inline constexpr Colour kStatusForeColour = 0x000000C0;
inline constexpr Colour kCheckBoxForeColour = 0x00800000;
inline constexpr Colour kCreditsRestColour = 0x00008080;
inline constexpr Colour kCreditsHoverColour = 0x00FF0000;
inline constexpr Colour kCreditsBackColour = 0x8000000F;

// Every control and menu item, in creation order, then the menu tree.
std::span<const ControlRow> Layout();

// The entry for one control.
const ControlRow& Row(ControlId id);

}  // namespace tessaly
