#include "window/layout.h"

#include <array>
#include <cstdlib>

namespace tessaly {

namespace {

using K = ControlKind;
using C = ControlId;

constexpr std::string_view kViewTip = "Double Click to View File";

// Label and credits line keep a tab index, yet never take focus by Tab; the
// hidden controls take no focus at all. The column after the tool tip is what
// a screen reader says for the control: the picture buttons by what they do (their
// tool tips keep their own texts), the path fields by what each holds; the
// status label has none of its own, as its changing text is what it says.
constexpr std::array kLayout{
    ControlRow{C::TemplateButton, "cmdTemplate", K::Button, 75, 675, 1600, 330, 18, "Select Template", "", "Select Template", 1006, true},
    ControlRow{C::SignatureButton, "cmdSignature", K::Button, 75, 1050, 1600, 330, 17, "Select Signature", "", "Select Signature", 1008, true},
    ControlRow{C::Quote1Button, "cmdQF1", K::Button, 75, 1425, 1600, 330, 16, "Select Quote1", "", "Select Quote1", 1010, true},
    ControlRow{C::Quote2Button, "cmdQF2", K::Button, 75, 1800, 1600, 330, 15, "Select Quote2", "", "Select Quote2", 1010, true},
    ControlRow{C::Html1Button, "cmdQF3", K::Button, 75, 2175, 1600, 330, 14, "Select htmPath1", "", "Select htmPath1", 1010, true},
    ControlRow{C::Html2Button, "cmdQF4", K::Button, 75, 2550, 1600, 330, 13, "Select htmPath2", "", "Select htmPath2", 1010, true},
    ControlRow{C::TemplateField, "txtTemplate", K::TextField, 1800, 675, 4815, 330, 12, "Select Template File ", kViewTip, "Template file", 1007, true},
    ControlRow{C::Html2Field, "txtQF4", K::TextField, 1800, 2550, 4815, 330, 11, "Select htmPath2", kViewTip, "HTML folder 2", 1011, true},
    ControlRow{C::Html1Field, "txtQF3", K::TextField, 1800, 2175, 4815, 330, 10, "Select htmPath1", kViewTip, "HTML folder 1", 1011, true},
    ControlRow{C::Quote2Field, "txtQF2", K::TextField, 1800, 1800, 4815, 330, 9, "Select Quote2", kViewTip, "Quote file 2", 1011, true},
    ControlRow{C::Quote1Field, "txtQF1", K::TextField, 1800, 1425, 4815, 330, 8, "Select Quote1", kViewTip, "Quote file 1", 1011, true},
    ControlRow{C::SignatureField, "txtSignature", K::TextField, 1800, 1050, 4815, 330, 7, "Select Signature File", kViewTip, "Signature file", 1009, true},
    ControlRow{C::CreditsLine, "txtCompliments", K::CreditsLine, 0, 3000, 4365, 315, 0, "Tessaly Supplied with compliments by Brindlewick", "", "Tessaly Supplied with compliments by Brindlewick", 0, true},
    ControlRow{C::HelpButton, "cmdHelp", K::PictureButton, 1890, 0, 630, 615, 5, "", "Help", "Help", 1004, true},
    ControlRow{C::StopButton, "cmdStop", K::PictureButton, 630, 0, 630, 615, 2, "", "Pause", "Stop", 1002, true},
    ControlRow{C::AutoRunBox, "chkAS", K::CheckBox, 4500, 2925, 2250, 375, 4, "Auto Run at Start-up", "", "Auto Run at Start-up", 1012, true},
    ControlRow{C::StartButton, "cmdStart", K::PictureButton, 0, 0, 630, 615, 1, "", "Sart ", "Start", 1001, true},
    ControlRow{C::CreateNowButton, "cmdCreateS", K::PictureButton, 1260, 0, 630, 615, 3, "", "Refresh", "Create the signature now", 1003, true},
    ControlRow{C::StatusLabel, "lblStatus", K::Label, 3750, 225, 1110, 375, 6, "Status", "", "", 0, true},
    ControlRow{C::ComposeTimer, "Timer1", K::Timer, 0, 0, 0, 0, -1, "", "", "", 0, false},
    ControlRow{C::CreditsTimer, "Timer2", K::Timer, 0, 0, 0, 0, -1, "", "", "", 0, false},
    ControlRow{C::PausedIcon, "imgPause", K::Image, 6000, 75, 240, 240, -1, "", "", "", 0, false},
    ControlRow{C::RunningIcon, "imgRun", K::Image, 6000, 75, 240, 240, -1, "", "", "", 0, false},
    ControlRow{C::FileList, "fileBox", K::FileList, 5280, 240, 615, 285, 19, "", "", "", 0, false},
    ControlRow{C::TrayMenu, "mnuFile", K::Menu, 0, 0, 0, 0, -1, "File", "", "", 0, false},
    ControlRow{C::OpenItem, "mnuDisplay", K::MenuItem, 0, 0, 0, 0, -1, "Open Tessaly", "", "", 0, true},
    ControlRow{C::SeparatorAfterOpen, "SEP2", K::MenuSeparator, 0, 0, 0, 0, -1, "-", "", "", 0, true},
    ControlRow{C::ResumeItem, "mnuResume", K::MenuItem, 0, 0, 0, 0, -1, "Resume", "", "", 0, true},
    ControlRow{C::PauseItem, "mnuPause", K::MenuItem, 0, 0, 0, 0, -1, "Pause", "", "", 0, true},
    ControlRow{C::RefreshItem, "mnuRefresh", K::MenuItem, 0, 0, 0, 0, -1, "Refresh", "", "", 0, true},
    ControlRow{C::SeparatorAfterRefresh, "SEP3", K::MenuSeparator, 0, 0, 0, 0, -1, "-", "", "", 0, true},
    ControlRow{C::HelpItem, "mnuHelp", K::MenuItem, 0, 0, 0, 0, -1, "Help", "", "", 0, true},
    ControlRow{C::SeparatorBeforeExit, "SEP1", K::MenuSeparator, 0, 0, 0, 0, -1, "-", "", "", 0, true},
    ControlRow{C::ExitItem, "mnuExit", K::MenuItem, 0, 0, 0, 0, -1, "Exit", "", "", 0, true},
    ControlRow{C::Window, "frmSignature", K::Window, 0, 0, 6675, 3300, -1, "Tessaly V 1.0", "", "", 1001, false},
};

// The table is indexed by the enumeration's value.
constexpr bool IndexedById() {
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        if (static_cast<std::size_t>(kLayout[i].id) != i) return false;
    }
    return true;
}
static_assert(IndexedById(), "layout rows must follow the ControlId order");

}  // namespace

std::span<const ControlRow> Layout() { return kLayout; }

const ControlRow& Row(ControlId id) {
    const auto index = static_cast<std::size_t>(id);
    if (index >= kLayout.size()) std::abort();
    return kLayout[index];
}

}  // namespace tessaly
