// The main window's layout: every control, its place in twips, tab index,
// text, tool tip, colours and help context number. The Windows program builds
// its window from this table; the logic and the tests read it too, so there is
// one description of the window.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tessaly {

enum class ControlId : int {
    // Visible controls, in creation order.
    cmdTemplate,
    cmdSignature,
    cmdQF1,
    cmdQF2,
    cmdQF3,
    cmdQF4,
    txtTemplate,
    txtQF4,
    txtQF3,
    txtQF2,
    txtQF1,
    txtSignature,
    txtCompliments,
    cmdHelp,
    cmdStop,
    chkAS,
    cmdStart,
    cmdCreateS,
    lblStatus,
    // Controls that are never shown.
    Timer1,
    Timer2,
    imgPause,
    imgRun,
    fileBox,
    // The menu tree under mnuFile, in menu order.
    mnuFile,
    mnuDisplay,
    SEP2,
    mnuResume,
    mnuPause,
    mnuRefresh,
    SEP3,
    mnuHelp,
    SEP1,
    mnuExit,
    // The window itself.
    frmSignature,
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
    int helpContext;               // 0: the window's
    bool visible;
};

// Window geometry and texts.
inline constexpr std::string_view kWindowCaption = "Tessaly V 1.0";
inline constexpr int kClientWidthTwips = 6675;
inline constexpr int kClientHeightTwips = 3300;
inline constexpr int kWindowHelpContext = 1001;

// Colours (&H00BBGGRR&; top bit set: a system colour index).
inline constexpr std::uint32_t kButtonBackColour = 0x00FFC0C0;
inline constexpr std::uint32_t kButtonMaskColour = 0x00FFC0FF;
inline constexpr std::uint32_t kPathFieldBackColour = 0x80000013;
inline constexpr std::uint32_t kStatusForeColour = 0x000000C0;
inline constexpr std::uint32_t kCheckBoxForeColour = 0x00800000;
inline constexpr std::uint32_t kCreditsRestColour = 0x00008080;
inline constexpr std::uint32_t kCreditsHoverColour = 0x00FF0000;
inline constexpr std::uint32_t kCreditsBackColour = 0x8000000F;

// Every control and menu item, in creation order, then the menu tree.
std::span<const ControlRow> Layout();

// The entry for one control.
const ControlRow& Row(ControlId id);

}  // namespace tessaly
