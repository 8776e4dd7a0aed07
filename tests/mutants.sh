#!/usr/bin/env bash
# Breaks the program on purpose, one fault at a time, and shows which tests
# notice. Works on a scratch copy of the tree (nothing here is touched) and
# runs the native test suite (ctest) against each broken build; a fault in the
# Windows layer is built for win64 and tried with the Windows suites under
# Wine, on a private display and prefix.
#
#   tests/mutants.sh [NAME...]      only the faults whose names are given
#
# Prints one row per fault: its name, what it breaks, and how many tests
# failed in the first suites that noticed (the first two named), or SURVIVED
# when none did. A fault whose patch no longer applies
# (the code moved on) is reported as STALE; one that does not build as
# NO-BUILD. Exits 1 when any fault survived. Not part of CI: a full run
# rebuilds the program once per fault.
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
work=${TESSALY_MUTANTS_DIR:-/tmp/tessaly-mutants-$(id -u)}
jobs=${TESSALY_MUTANTS_JOBS:-2}

declare -a names files scripts notes
# mutant NAME FILE SED-SCRIPT WHAT-IT-BREAKS
mutant() { names+=("$1"); files+=("$2"); scripts+=("$3"); notes+=("$4"); }

# --- settings file
mutant settings-unquote src/core/settings_file.cpp 's/path.assign(line.substr(1, line.size() - 2));/path.assign(line.substr(1, line.size() - 1));/' \
  "loading keeps the closing quote"
mutant settings-flag-unchecked src/core/settings_file.cpp '/if (!flag \&\& wrong.empty()) wrong = /d' \
  "a bad flag reads as understood"
mutant settings-malformed-found src/core/settings_file.cpp '/if (!loaded.fileFound) loaded.read = {fs::Error::Malformed};/d' \
  "a malformed settings file is not reported"
mutant settings-unquoted-accepted src/core/settings_file.cpp "s/line.size() >= 2 \&\& line.front() == '\"' \&\& line.back() == '\"'/line.size() >= 2/" \
  "a path line without quotes is understood"
mutant malformed-fields-shown src/window/main_window.cpp '/if (settingsUnread_) values = SettingsValues{};/d' \
  "half-read settings fill the fields"

# --- sources never overwritten, line ends, encodings
mutant signature-guard-off src/core/compose.cpp 's/= OverwritesASource(paths)) return/= OverwritesASource(paths); false) return/' \
  "a signature over its own sources is written"
mutant same-file-by-text src/core/fs.cpp 's/return first.known \&\& Identify(b) == first;/return first.known \&\& a == b;/' \
  "sources compared by their path texts"
mutant inside-own-folder-only src/core/fs.cpp 's/            at += "..";/            return false;/' \
  "a signature deeper inside an HTML folder is written"
mutant linux-lines-cr-only src/core/include/core/line_ends.h 's/lf_(rule == LineEnds::Linux ? Find/lf_(rule != LineEnds::Linux ? Find/' \
  "LF ends lines under the Windows rule, not the Linux one"
mutant linux-fragment-runs-together src/core/compose.cpp 's/rules.lineEnds == LineEnds::Windows ? "" : "\\n";/rules.lineEnds == LineEnds::Windows ? "" : "";/' \
  "Linux fragments glue their words"
mutant platform-rule-windows src/core/include/core/line_ends.h 's/kPlatformLineEnds = LineEnds::Linux;/kPlatformLineEnds = LineEnds::Windows;/' \
  "Linux follows the Windows line rule"
mutant linux-writes-crlf src/core/include/core/line_ends.h 's/? "\\r\\n" : "\\n"; }/? "\\r\\n" : "\\r\\n"; }/' \
  "Linux signature and settings end in CR LF"
mutant windows1252-table src/core/text_encoding.cpp 's/0x20AC, 0x0081, 0x201A/0x20AC, 0x0081, 0x2018/' \
  "byte 0x82 maps to the wrong character"
mutant utf8-mark-kept src/core/text_encoding.cpp 's/    while (bytes.starts_with(kUtf8Bom)) {/    while (false) {/' \
  "a source's UTF-8 mark lands mid-signature"
mutant reference-in-plain-text src/core/text_encoding.cpp 's/    } else if (html) {/    } else if (!html) {/' \
  "character references in text templates, ? in HTML"
mutant charset-ignored src/core/text_encoding.cpp 's/const std::string label = DeclaredCharset(bytes); !label.empty()/const std::string label = DeclaredCharset(bytes); false/' \
  "a meta charset is ignored"
mutant ansi-not-to-utf8 src/core/text_encoding.cpp 's/target == Encoding::Utf8 \&\& shape == Shape::Other \&\& !marked/target == Encoding::Utf8 \&\& false/' \
  "ANSI sources stay ANSI in a UTF-8 template"

# --- start-up
mutant grayed-runs src/window/main_window.cpp 's/if (autoRunBox_->Value() == 1) {/if (autoRunBox_->Value() != 0) {/' \
  "the grayed flag 2 starts Running"
mutant first-run-quotes src/window/main_window.cpp 's/{"quotes", "quotes1.txt"}/{"quotes", "quote1.txt"}/' \
  "first run names a quote file that is not shipped"
mutant placement src/window/main_window.cpp 's/(outer.height + 800.0f)/(outer.height + 80.0f)/' \
  "window placed 80 twips from the bottom"
mutant timer-interval src/window/main_window.cpp 's/kComposeIntervalMs = 3000;/kComposeIntervalMs = 300;/' \
  "compositions every 300 ms"
mutant startup-adds-nothing src/window/run_state.cpp 's/desktop_.AddTrayIcon(TrayIconOf(state));/desktop_.UpdateTrayIcon(TrayIconOf(state));/' \
  "start-up updates an icon it never added"
mutant failed-start-claims-running src/window/main_window.cpp 's/if (composeTimer_->Enabled()) {/if (true) {/' \
  "a failed first composition still shows the Running marks"

# --- run state and tray
mutant running-no-hide src/window/run_state.cpp 's/if (marks.window == WindowChange::Hide) window_->Hide();//' \
  "a switch leaves the window up"
mutant running-label-last src/window/run_state.cpp 's/if (marks.setLabel \&\& state == RunState::Running)/if (false)/;s/if (marks.setLabel \&\& state == RunState::Paused) statusLabel_->SetText("Paused!");/if (marks.setLabel) statusLabel_->SetText(state == RunState::Running ? "Running!" : "Paused!");/' \
  "the Running switch writes the label last"
mutant paused-label-first src/window/run_state.cpp 's/if (marks.setLabel \&\& state == RunState::Running) statusLabel_->SetText("Running!");/if (marks.setLabel) statusLabel_->SetText(state == RunState::Running ? "Running!" : "Paused!");/;s/if (marks.setLabel \&\& state == RunState::Paused)/if (false)/' \
  "the Paused switch writes the label first"
mutant timer-before-tray src/window/run_state.cpp 's/    shownState_ = state;/    if (marks.switchTimer) SwitchComposeTimer(state == RunState::Running);\n&/' \
  "a switch changes the timer before the tray"
mutant paused-tip src/window/presentation.cpp 's/"Tessaly Paused"/"Tessaly paused"/' \
  "the Paused tip is misspelt"
mutant menu-keeps-both src/window/presentation.cpp 's/if (row.id == hidden) continue;/if (row.id == hidden) {}/' \
  "the tray menu offers Resume and Pause at once"
mutant open-does-nothing src/window/main_window.cpp 's/case ControlId::OpenItem: window_->Show(); break;/case ControlId::OpenItem: break;/' \
  "Open Tessaly does nothing"
mutant tray-open-no-show src/window/tray.cpp '/void MainWindow::TrayOpenRequested/,/^}/{/window_->Show();/d}' \
  "the tray's request for the window does not show it"
mutant tray-open-no-front src/window/tray.cpp '/void MainWindow::TrayOpenRequested/,/^}/{/BringToFront/d}' \
  "the window comes up behind others"
mutant tray-open-shows-menu src/window/tray.cpp 's/^void MainWindow::TrayOpenRequested() {/&\n    TrayMenuRequested();\n    return;/' \
  "the tray's request for the window opens the menu instead"
mutant exit-keeps-icon src/window/tray.cpp '/desktop_.RemoveTrayIcon();/d' \
  "Exit and closing leave the tray icon"
mutant closing-no-save src/window/tray.cpp '/void MainWindow::Closing/,/^}/{s/if (!settingsUnread_) {/if (false) {/}' \
  "closing the window does not save"
mutant exit-no-end src/window/tray.cpp '/desktop.EndProgram();/d' \
  "Exit does not end the program"
mutant tray-host-forgotten src/window/tray.cpp 's/if (trayIconAdded_) desktop_.AddTrayIcon/if (false) desktop_.AddTrayIcon/' \
  "a restarted tray host does not get the icon back"
mutant refresh-no-save src/window/main_window.cpp '/case ControlId::RefreshItem:/,/break;/{/SaveSettings();/d}' \
  "tray Refresh does not save"
mutant pause-saves-late src/window/main_window.cpp '/case ControlId::PauseItem:/,/break;/{/SaveSettings();/d;s/            Stop();/&\n            SaveSettings();/}' \
  "tray Pause saves after the switch"
mutant start-saves src/window/main_window.cpp 's/case ControlId::StartButton: Start(); break;/case ControlId::StartButton: SaveSettings(); Start(); break;/' \
  "the Start button saves"

# --- failure path
mutant timer-on-under-box src/window/run_state.cpp '/^    SwitchComposeTimer(false);/d;s/^    Tell(\(std::string(kCompositionFailed).*\));$/    desktop_.ShowError("Tessaly Error", \1);\n    SwitchComposeTimer(false);/' \
  "the failure box comes up with the timer still on"
mutant failure-keeps-check src/window/run_state.cpp '/autoRunBox_->SetValue(0);/d' \
  "a failing composition does not clear the check box"
mutant failure-no-window src/window/run_state.cpp 's/{TrayChange::Update, WindowChange::Show, false, false}/{TrayChange::Update, WindowChange::Keep, false, false}/' \
  "a failing composition does not bring the window up"
mutant failure-tray-stale src/window/run_state.cpp '/^void MainWindow::Compose/,/^}/{/ShowRunState/d}' \
  "a failing composition leaves the Running icon in the tray"
mutant error-box-not-shown src/window/main_window.cpp 's/desktop_.ShowError(kErrorTitle, text);/(void)text;/' \
  "the error box is never shown"
mutant error-box-title src/window/main_window.cpp 's/kErrorTitle = "Tessaly Error";/kErrorTitle = "Tessaly";/' \
  "the error box has the wrong title"

# --- composition
mutant signature-no-crlf src/core/compose.cpp '/        text += LineBreak(lineEnds);/d' \
  "the signature lacks its closing CR LF"
mutant crlf-as-cr src/core/include/core/line_ends.h 's/at_ = end + (crLf ? 2 : 1);/at_ = end + (crLf ? 1 : 1);/' \
  "a CR LF ends a line at the CR only; the LF starts the next line"
mutant line-keeps-cr src/core/include/core/line_ends.h 's/line = text_.substr(at_, end - at_);/line = text_.substr(at_, end - at_ + (end < text_.size() ? 1 : 0));/' \
  "a line keeps its CR"
mutant replace-ignores-case src/core/compose.cpp 's/std::size_t at = text.find(word);/std::size_t at = FindIgnoringCase(text, word) ? FindIgnoringCase(text, word) - 1 : std::string::npos;/;s/at = text.find(word, from)/at = FindIgnoringCase(std::string_view(text).substr(from), word) ? from + FindIgnoringCase(std::string_view(text).substr(from), word) - 1 : std::string::npos/' \
  "placeholders replaced ignoring letter case"
mutant presence-exact-case src/core/compose.cpp 's/char FoldCase(char c) { return .*$/char FoldCase(char c) { return c; }/' \
  "presence found only in exact letter case"
mutant draw-index-ceil src/core/compose.cpp 's/std::floor(product)/std::ceil(product)/' \
  "draw index off by one (ceiling)"
mutant quote1-from-qf2 src/core/compose.cpp 's/sources{\&paths.quote1, \&paths.quote2,/sources{\&paths.quote2, \&paths.quote2,/' \
  "quote1 drawn from quote file 2"
mutant limit-32768 src/core/compose.cpp 's/constexpr int kLimit = 32767;/constexpr int kLimit = 32768;/' \
  "counts of 32,768 accepted"
mutant empty-template-composes src/core/compose.cpp '/if (text.empty()) return fail(paths.templatePath, "empty file");/d' \
  "an empty template replaces the signature"

# --- pickers, viewing, help, credits
mutant cancel-takes-path src/window/pickers.cpp '/std::optional<std::string> MainWindow::ChooseFile/,/^}/{s/choice.kind != Choice::Kind::Chosen || //}' \
  "a cancelled or failed file dialog's path fills the field"
mutant picker-timer-stays-off src/window/main_window.cpp 's/window_.runAfterHold_) window_.composeTimer_->SetEnabled(true);/window_.runAfterHold_) {}/' \
  "the timer stays off after a file dialog"
mutant picker-no-paused-label src/window/pickers.cpp '/if (wasRunning) statusLabel_->SetText("Paused!");/d' \
  "the label does not say Paused while the dialog is open"
mutant picker-no-save src/window/pickers.cpp '/void MainWindow::PickInto/,/^}/{/SaveSettings();/d}' \
  "a picker does not save"
mutant quotes-folder src/window/pickers.cpp 's/{"quotes"}/{"quote"}/' \
  "the quote picker starts in the wrong folder"
mutant folder-failed-choice src/window/pickers.cpp '/std::optional<std::string> MainWindow::ChooseFolder/,/^}/{s/choice.kind != Choice::Kind::Chosen || //}' \
  "a failed folder chooser's path fills the field"
mutant folder-keeps-separator src/window/pickers.cpp 's/return WithoutTrailingSeparator(choice.path);/return choice.path;/' \
  "a chosen folder keeps its trailing separator"
mutant viewer-timer-stays-off src/window/viewing.cpp 's/const ModalWait wait(\*this, true);/composeTimer_->SetEnabled(false);/' \
  "the timer stays off after viewing a field"
mutant f1-signature-topic src/window/layout.cpp '/C::SignatureField, "txtSignature"/s/1009/1007/' \
  "F1 on the signature field opens the template topic"
mutant f1-no-fallback src/window/viewing.cpp 's/own != 0 ? own : kWindowHelpContext/own/' \
  "F1 on a control without a topic asks for topic 0"
mutant credits-hover-red src/window/include/window/layout.h 's/kCreditsHoverColour = 0x00FF0000;/kCreditsHoverColour = 0x000000FF;/' \
  "the credits line lights red instead of blue"
mutant credits-timer-left-on src/window/main_window.cpp '/creditsTimer_->SetEnabled(false);/d' \
  "the credits line's timer is not switched off"
mutant credits-selection src/window/viewing.cpp '/creditsLine_->SelectAll();/d' \
  "a click on the credits line does not select it"
mutant tick-composes-while-typing src/window/main_window.cpp 's/        if (editing_) {/        if (false) {/' \
  "a tick composes from a path being typed"
mutant hide-keeps-edit src/window/run_state.cpp '/if (marks.window == WindowChange::Hide \&\& editing_) EndEdit();/d' \
  "hiding the window does not end an edit"
mutant failed-open-silent src/window/viewing.cpp 's/|| !conventions_.tellFailedOpens) return;/|| true) return;/' \
  "the Linux edition says nothing when an open fails"
mutant picker-ignores-field src/window/pickers.cpp 's/if (conventions_.pickFromTheFieldsFolder) {/if (false) {/' \
  "the Linux file dialog starts in the read-only program folder"
mutant check-box-grayed src/window/presentation.cpp 's/return current == 1 ? 0 : 1;/return current == 1 ? 2 : 1;/' \
  "clicking the ticked check box grays it"

# --- the Windows layer (win64 under Wine)
mutant win32-tray-flags src/platform/win32/include/win32/tray_record.h 's/kTrayFlags = 7;/kTrayFlags = 6;/' \
  "the shell's record has uFlags 6: no callback message"
mutant win32-tray-tip-nul src/platform/win32/tray_record.cpp "s/static_cast<std::uint8_t>(' ')/static_cast<std::uint8_t>(0)/" \
  "the tip is padded with NUL bytes instead of spaces"
mutant win32-tray-swap src/platform/win32/tray_record.cpp 's/case WM_LBUTTONDBLCLK: return TrayRequest::OpenWindow;/case WM_LBUTTONDBLCLK: return TrayRequest::ShowMenu;/;s/case WM_RBUTTONUP: return TrayRequest::ShowMenu;/case WM_RBUTTONUP: return TrayRequest::OpenWindow;/' \
  "a double-click on the icon opens the menu, the right button the window"
mutant win32-error-box src/platform/win32/dialogs.cpp '/void Win32Desktop::ShowError/,/^}/{s/::MessageBoxA(.*$/(void)title, (void)text;/}' \
  "the error box is never shown"
mutant win32-edit-unreported src/platform/win32/routing.cpp 's/        events_.FieldEdited(id);//' \
  "typing in a field is not reported"
mutant win32-second-copy-runs src/platform/win32/main_win32.cpp '/^        return 0;$/d' \
  "a second start with the same settings runs a second copy"

# --- the Linux edition
mutant qt-tray-context-opens-window src/platform/qt/tray.cpp '/case QSystemTrayIcon::Context:/{n;s/TrayMenuRequested/TrayOpenRequested/}' \
  "a right click on the icon opens the window instead of the menu"
mutant qt-tray-click-ignored src/platform/qt/tray.cpp '/if (!icon_->geometry().isValid()) events_.TrayOpenRequested();/d' \
  "a StatusNotifierItem click does not open the window"
mutant qt-tray-tip-missing src/platform/qt/tray.cpp '/icon_->setToolTip(ToQt(icon.tip));/d' \
  "the tray icon has no tip"
mutant qt-error-box-not-shown src/platform/qt/dialogs.cpp '/box.exec();/d' \
  "an error box is never shown"
mutant qt-field-edits-unreported src/platform/qt/widgets.cpp '/&QLineEdit::textEdited/d' \
  "typing in a path field is not reported"
mutant qt-second-copy-runs src/platform/qt/main_qt.cpp '/^        return 0;$/d' \
  "a second start with the same settings runs a second copy"
mutant qt-signal-kills src/platform/qt/main_qt.cpp '/const qt::SessionEnd sessionEnd/d' \
  "SIGTERM ends the program without saving"
mutant qt-help-without-display src/platform/qt/main_qt.cpp 's/if (line.action != qt::CommandLine::Action::Run) {/if (false) {/' \
  "--help needs a display and opens the window"

# --- screen readers, keyboard, high contrast
mutant a11y-names-unset src/platform/qt/window_widget.cpp 's/if (!row.accessibleName.empty()) widget->setAccessibleName(Latin(row.accessibleName));//' \
  "the Linux edition's controls lose their names"
mutant a11y-order src/platform/qt/window_widget.cpp 's/if (QWidget\* widget = Control(id)) widget->raise();/(void)id;/' \
  "screen readers walk the controls in creation order"
mutant view-key-button src/window/presentation.cpp 's/if (const auto row = PathRowOf(focused)) return kPathRows\[\*row\].field;/if (const auto row = PathRowOf(focused)) return focused;/' \
  "Ctrl+O on a Select button views nothing"
mutant hc-never src/platform/qt/look.cpp 's/return (back == 0u \&\& fore == 0xFFFFFFu) || (back == 0xFFFFFFu \&\& fore == 0u);/return back == 0u \&\& fore == 0u;/' \
  "a black and white palette is not taken for high contrast"
mutant credits-not-link src/platform/qt/widgets.cpp 's/QAccessibleWidget(line, QAccessible::Link)/QAccessibleWidget(line, QAccessible::EditableText)/' \
  "the credits line is no link to screen readers"
mutant credits-no-shortcut src/platform/qt/window_widget.cpp 's/static_cast<Qt::Key>(kCreditsKeyLetter)/static_cast<Qt::Key>(0x4A)/' \
  "Ctrl+L does not follow the credits link"
mutant win32-tray-key-ignored src/platform/win32/tray_record.cpp '/case kTrayKeySelect:/d' \
  "Enter on the selected tray icon does not open the menu"
mutant win32-hc-fixed-status src/platform/win32/support.cpp 's/case kStatusForeColour:/case 0x7FFFFFFF:/' \
  "under high contrast the status keeps its fixed red"

# The faults asked for (all when none is named), native ones and those of
# the Windows layer apart.
native=() windows=()
for i in "${!names[@]}"; do
  if [ $# -gt 0 ] && ! printf '%s\n' "$@" | grep -qxF "${names[$i]}"; then continue; fi
  if [[ ${files[$i]} == src/platform/win32/* ]]; then windows+=("$i"); else native+=("$i"); fi
done

echo "scratch copy in $work"
# The builds stay from run to run: files are copied only when their bytes
# changed, and then with a new time, so that only those are built again.
mkdir -p "$work/src"
rsync -rc --delete --exclude=/build --exclude=/.git "$tree/" "$work/src/"
cd "$work/src"
build() { cmake --build "$1" -- -j"$jobs" >"$work/build.log" 2>&1; }
# Names of the tests that failed (or did not run), one line. The quick
# suites run first; the slow ones (real programs on a display, packages) only
# when the quick ones notice nothing, which keeps a full run under an hour.
slow='_end_to_end|_process|accessibility|deb_package|help_|installed'
stages=("-E $slow" "-R $slow")
failing() {
  local stage names
  for stage in "${stages[@]}"; do
    # shellcheck disable=SC2086 # a stage is an option and its pattern
    (cd "$1" && ctest -j"$jobs" --timeout 300 $stage >"$work/ctest.log" 2>&1) || true
    names=$(sed -n '/tests FAILED:/,$p' "$work/ctest.log" |
      sed -n -E 's/^[[:space:]]*[0-9]+ - (.*) \([^)]*\)$/\1/p' | tr '\n' ' ')
    [ -z "$names" ] || { echo "$names"; return; }
  done
}
checked() {  # a build folder's unbroken tree builds and passes
  build "$1" || { tail -30 "$work/build.log"; echo "the unbroken tree does not build in $1"; exit 2; }
  local failed; failed=$(failing "$1")
  [ -z "$failed" ] || { echo "the unbroken tree fails in $1: $failed"; exit 2; }
}
survived=0
try() {  # try FOLDER INDEX: one fault, built in FOLDER and tested there
  local folder=$1 i=$2 file=${files[$2]} result
  sed -i -e "${scripts[$i]}" "$file"
  if cmp -s "$tree/$file" "$file"; then
    result="STALE (patch does not apply)"
  elif ! build "$folder"; then
    result="NO-BUILD: $(grep -m1 'error' "$work/build.log" || true)"
  else
    result=$(failing "$folder")
    if [ -z "$result" ]; then
      result="SURVIVED"
      survived=$((survived + 1))
    else
      set -- $result
      result="$# failed: $1${2:+, $2}${3:+, ...}"
    fi
  fi
  cp "$tree/$file" "$file"
  printf '%-28s | %-62s | %s\n' "${names[$i]}" "${notes[$i]}" "$result"
}

if [ ${#native[@]} -gt 0 ]; then  # the Linux edition on a private display and tray
  . scripts/display-env.sh
  trap tessaly_display_stop EXIT
  TESSALY_OWN_DISPLAY=1 tessaly_display_start
  cmake -B "$work/build" -G Ninja -DTESSALY_BUILD_BENCH=OFF >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log"; exit 2; }
  checked "$work/build"
  for i in "${native[@]}"; do try "$work/build" "$i"; done
  tessaly_display_stop
fi
# Faults in the Windows layer: built for win64 and tried under Wine with the
# Windows suites (the layer's own tests and the end-to-end cases), on a
# private display and prefix.
if [ ${#windows[@]} -gt 0 ]; then
  cmake --preset win64 -B "$work/build-win64" >"$work/configure-win64.log" 2>&1 ||
    { cat "$work/configure-win64.log"; exit 2; }
  . scripts/wine-env.sh
  trap 'tessaly_wine_stop; tessaly_display_stop' EXIT
  TESSALY_OWN_DISPLAY=1 tessaly_wine_start test
  stages=("-R win32|e2e|package")
  checked "$work/build-win64"
  for i in "${windows[@]}"; do try "$work/build-win64" "$i"; done
fi
[ $survived -eq 0 ]
