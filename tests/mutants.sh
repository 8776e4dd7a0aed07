#!/usr/bin/env bash
# Breaks the program on purpose, one fault at a time, and shows which tests
# notice. Works on a scratch copy of the tree (nothing here is touched) and
# runs the native test suite (ctest) against each broken build.
#
#   tests/mutants.sh [NAME...]      only the faults whose names are given
#
# Prints one row per fault: its name, what it breaks, and how many tests
# failed (the first two named), or SURVIVED when none did. A fault whose patch no longer applies
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
mutant settings-lf src/app/settings_file.cpp 's/text += "\\"\\r\\n";/text += "\\"\\n";/' \
  "path lines end in LF instead of CR LF"
mutant settings-unquote src/app/settings_file.cpp 's/line.substr(1, line.size() - 2)/line.substr(1, line.size() - 1)/' \
  "loading keeps the closing quote"
mutant grayed-runs src/app/frmSignature.cpp 's/if (chkAS->Value() == 1) {/if (chkAS->Value() != 0) {/' \
  "the grayed flag 2 starts Running"
mutant first-run-quotes src/app/frmSignature.cpp 's/{"quotes", "quotes1.txt"}/{"quotes", "quote1.txt"}/' \
  "first run names a quote file that is not shipped"
mutant placement src/app/frmSignature.cpp 's/(window_->Height() + 800.0f)/(window_->Height() + 80.0f)/' \
  "window placed 80 twips from the bottom"
mutant timer-interval src/app/frmSignature.cpp 's/CreateTimer(ControlId::Timer1, 3000)/CreateTimer(ControlId::Timer1, 300)/' \
  "compositions every 300 ms"
mutant startup-adds-nothing src/app/frmSignature.cpp 's/NotifyTray(NotifyIconMessage::Add);/NotifyTray(NotifyIconMessage::Modify);/' \
  "start-up modifies an icon it never added"
mutant failed-start-claims-running src/app/frmSignature.cpp 's/running = Timer1->Enabled();/running = true;/' \
  "a failed first composition still shows the Running marks"
mutant help-path src/app/frmSignature.cpp 's/{"help", "help.chm"}/{"help", "help.htm"}/' \
  "the help file's name is wrong"

# --- tray record and callback
mutant tray-flags src/app/tray_icon_data.h 's/kTrayFlags = 7;/kTrayFlags = 6;/' \
  "uFlags 6: no callback message"
mutant tray-tip-nul-padding src/app/tray_icon_data.cpp "s/static_cast<std::uint8_t>(' ')/static_cast<std::uint8_t>(0)/" \
  "tip padded with NULs instead of spaces"
mutant menu-on-press src/app/tray_icon_data.h 's/RightButtonUp = 517,/RightButtonUp = 516,/' \
  "the menu opens on the right button's press"
mutant callback-rounding src/tray/tray_menu.cpp 's/std::nearbyint(pixels)/std::round(pixels)/' \
  "callback code rounds halves away from zero"
mutant dblclick-no-show src/tray/tray_menu.cpp '/LeftDoubleClick/,/}/{/window_->Show();/d}' \
  "a double-click on the icon does not show the window"
mutant dblclick-no-front src/tray/tray_menu.cpp '/LeftDoubleClick/,/}/{/SetForegroundWindow/d}' \
  "a double-click does not bring the window to the front"
mutant open-does-nothing src/tray/tray_menu.cpp 's/void frmSignature::mnuDisplay_Click() { window_->Show(); }/void frmSignature::mnuDisplay_Click() {}/' \
  "Open Tessaly does nothing"
mutant exit-keeps-icon src/tray/tray_menu.cpp '/NotifyTray(NotifyIconMessage::Delete);/d' \
  "Exit and unload leave the tray icon"
mutant unload-keeps-icon src/tray/tray_menu.cpp '/void frmSignature::Form_Unload/,/^}/{/NotifyTray(NotifyIconMessage::Delete);/d}' \
  "closing the window leaves the tray icon"
mutant unload-no-save src/tray/tray_menu.cpp '/void frmSignature::Form_Unload/,/^}/{/WriteSettings/d}' \
  "closing the window does not save"
mutant exit-no-end src/tray/tray_menu.cpp '/platform.EndProgram();/d' \
  "Exit does not end the program"
mutant taskbar-forgotten src/tray/tray_menu.cpp 's/if (trayIconAdded_) NotifyTray(NotifyIconMessage::Add);/(void)trayIconAdded_;/' \
  "a restarted taskbar does not get the icon back"

# --- run state
mutant running-no-hide src/tray/run_state.cpp '/void frmSignature::SetRunning/,/^}/{/window_->Hide();/d}' \
  "SetRunning leaves the window up"
mutant running-label-last src/tray/run_state.cpp '/void frmSignature::SetRunning/,/^}/{/lblStatus->SetCaption("Running!");/d;s/    Timer1->SetEnabled(true);/&\n    lblStatus->SetCaption("Running!");/}' \
  "SetRunning writes the label last"
mutant paused-label-first src/tray/run_state.cpp '/void frmSignature::SetPaused/,/^}/{/lblStatus->SetCaption("Paused!");/d};s/void frmSignature::SetPaused() {/&\n    lblStatus->SetCaption("Paused!");/' \
  "SetPaused writes the label first"
mutant paused-timer-first src/tray/run_state.cpp '/void frmSignature::SetPaused/,/^}/{/Timer1->SetEnabled(false);/d};s/void frmSignature::SetPaused() {/&\n    Timer1->SetEnabled(false);/' \
  "SetPaused switches the timer off before the tray"
mutant paused-tip src/tray/run_state.cpp '/void frmSignature::SetPaused/,/^}/{s/"Tessaly Paused"/"Tessaly paused"/}' \
  "Stop's tray tip is misspelt"
mutant paused-menu src/tray/run_state.cpp '/void frmSignature::SetPaused/,/^}/{s/mnuResume->SetVisible(true);/mnuResume->SetVisible(false);/}' \
  "after Stop the menu offers no Resume"
mutant refresh-no-save src/tray/run_state.cpp '/void frmSignature::mnuRefresh_Click/,/^}/{/SaveSettings();/d}' \
  "tray Refresh does not save"
mutant pause-saves-late src/tray/run_state.cpp '/void frmSignature::mnuPause_Click/,/^}/{/SaveSettings();/d;s/    SetPaused();/&\n    SaveSettings();/}' \
  "tray Pause saves after the switch"
mutant start-saves src/tray/run_state.cpp 's/void frmSignature::cmdStart_Click() { SetRunning(); }/void frmSignature::cmdStart_Click() { SaveSettings(); SetRunning(); }/' \
  "the Start button saves"

# --- failure path
mutant timer-on-under-box src/app/create_signature.cpp '/Timer1->SetEnabled(false);/d;s/48, "Tessaly Error");/&\n    Timer1->SetEnabled(false);/' \
  "the timer is switched off only after the message box"
mutant failure-keeps-check src/app/create_signature.cpp '/chkAS->SetValue(0);/d' \
  "a failing composition does not clear the check box"
mutant failure-no-window src/app/create_signature.cpp '/window_->Show();/d' \
  "a failing composition does not bring the window up"
mutant failure-tray-stale src/app/create_signature.cpp '/NotifyTray(NotifyIconMessage::Modify);/d' \
  "a failing composition leaves the Running icon in the tray"
mutant failure-box-style src/app/frmSignature.cpp 's/platform_.MsgBox(text, 48, kErrorTitle);/platform_.MsgBox(text, 16, kErrorTitle);/' \
  "the failure message has the wrong icon"

# --- composition
mutant signature-no-crlf src/compose/compose.cpp '/text += "\\r\\n";/d' \
  "the signature lacks its closing CR LF"
mutant crlf-as-cr src/compose/compose.cpp 's/? 2 : 1));/? 1 : 1));/' \
  "a CR LF ends a line at the CR only; the LF starts the next line"
mutant line-keeps-cr src/compose/compose.cpp 's/lines.push_back(rest.substr(0, end));/lines.push_back(rest.substr(0, end + 1));/' \
  "a line keeps its CR"
mutant replace-ignores-case src/compose/compose.cpp 's/std::size_t at = text.find(word);/std::size_t at = FindIgnoringCase(text, word) ? FindIgnoringCase(text, word) - 1 : std::string::npos;/;s/at = text.find(word, from)/at = FindIgnoringCase(std::string_view(text).substr(from), word) ? from + FindIgnoringCase(std::string_view(text).substr(from), word) - 1 : std::string::npos/' \
  "placeholders replaced ignoring letter case"
mutant presence-exact-case src/compose/compose.cpp 's/char FoldCase(char c) { return .*$/char FoldCase(char c) { return c; }/' \
  "presence found only in exact letter case"
mutant draw-index-ceil src/compose/compose.cpp 's/std::floor(product)/std::ceil(product)/' \
  "draw index off by one (ceiling)"
mutant quote1-from-qf2 src/compose/compose.cpp 's/{"quote1", paths.quote1, PathRole::Quote1}/{"quote1", paths.quote2, PathRole::Quote1}/' \
  "quote1 drawn from quote file 2"
mutant limit-32768 src/compose/compose.cpp 's/constexpr int kLimit = 32767;/constexpr int kLimit = 32768;/' \
  "counts of 32,768 accepted"
mutant empty-template-composes src/compose/compose.cpp '/if (text.empty()) return fail(paths.templatePath, "empty file");/d' \
  "an empty template replaces the signature"

# --- pickers, viewing, help, credits
mutant cancel-takes-stale-name src/pickers/pickers.cpp 's/result == IFileDialog::Result::Chosen &&/result != IFileDialog::Result::Failed \&\&/' \
  "Cancel writes the dialog's earlier name into the field"
mutant picker-timer-stays-off src/app/frmSignature.cpp 's/form_.runAfterHold_) form_.Timer1->SetEnabled(true);/form_.runAfterHold_) {}/' \
  "the timer stays off after a file dialog"
mutant picker-no-paused-label src/pickers/pickers.cpp '/lblStatus->SetCaption("Paused!");/d' \
  "the label does not say Paused while the dialog is open"
mutant picker-no-save src/pickers/pickers.cpp '/void frmSignature::PickInto/,/^}/{/SaveSettings();/d}' \
  "a picker does not save"
mutant quotes-folder src/pickers/pickers.cpp 's/{"quotes"}/{"quote"}/' \
  "the quote picker starts in the wrong folder"
mutant folder-failed-browse src/pickers/pickers.cpp 's/browsed.kind == BrowseResult::Kind::Chosen && //' \
  "a failed browse takes the folder it reported"
mutant viewer-timer-stays-off src/pickers/viewing.cpp '/Timer1->SetEnabled(true);/d' \
  "the timer stays off after a double-click"
mutant f1-signature-topic src/app/layout.cpp '/C::txtSignature, "txtSignature"/s/1009/1007/' \
  "F1 on the signature field opens the template topic"
mutant f1-no-fallback src/pickers/viewing.cpp 's/own != 0 ? own : kWindowHelpContext/own/' \
  "F1 on a control without a topic asks for topic 0"
mutant credits-hover-red src/app/layout.h 's/kCreditsHoverColour = 0x00FF0000;/kCreditsHoverColour = 0x000000FF;/' \
  "the credits line lights red instead of blue"
mutant timer2-left-on src/pickers/credits.cpp '/Timer2->SetEnabled(false);/d' \
  "Timer2 is not switched off"
mutant credits-selection src/pickers/credits.cpp 's/Select(0, /Select(1, /' \
  "a click on the credits line does not select all of it"

selected=("$@")
wanted() {
  [ ${#selected[@]} -eq 0 ] && return 0
  local s; for s in "${selected[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1
}

echo "scratch copy in $work"
rm -rf "$work/src" "$work/build" && mkdir -p "$work/src"
tar -C "$tree" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/src" -xf -
cmake -S "$work/src" -B "$work/build" -G Ninja -DTESSALY_BUILD_BENCH=OFF >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 2; }
build() { cmake --build "$work/build" -- -j"$jobs" >"$work/build.log" 2>&1; }
# Names of the tests that failed (or did not run), one line.
failing() {
  (cd "$work/build" && ctest -j"$jobs" --timeout 120 >"$work/ctest.log" 2>&1) || true
  sed -n '/tests FAILED:/,$p' "$work/ctest.log" |
    sed -n -E 's/^[[:space:]]*[0-9]+ - (.*) \([^)]*\)$/\1/p' | tr '\n' ' '
}

build || { tail -30 "$work/build.log"; echo "the unbroken tree does not build"; exit 2; }
baseline=$(failing)
[ -z "$baseline" ] || { echo "the unbroken tree fails: $baseline"; exit 2; }

survived=0
for i in "${!names[@]}"; do
  name=${names[$i]} file=${files[$i]}
  wanted "$name" || continue
  cp "$tree/$file" "$work/src/$file"
  sed -i -e "${scripts[$i]}" "$work/src/$file"
  if cmp -s "$tree/$file" "$work/src/$file"; then
    result="STALE (patch does not apply)"
  elif ! build; then
    result="NO-BUILD: $(grep -m1 'error' "$work/build.log" || true)"
  else
    result=$(failing)
    if [ -z "$result" ]; then
      result="SURVIVED"
      survived=$((survived + 1))
    else
      set -- $result
      result="$# failed: $1${2:+, $2}${3:+, ...}"
    fi
  fi
  cp "$tree/$file" "$work/src/$file"
  printf '%-28s | %-62s | %s\n' "$name" "${notes[$i]}" "$result"
done
build >/dev/null || true
[ $survived -eq 0 ]
