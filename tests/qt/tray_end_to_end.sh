#!/usr/bin/env bash
# The Linux edition in a real notification area: the program, in a folder of
# its own, with an XEmbed tray host (trayer) on an X display, worked with
# xdotool as a user works it. Exits 77 (skipped) without a display and a tray
# host. Usage: tray_end_to_end.sh PROGRAM BUNDLE_SOURCE_FOLDER
set -uo pipefail
program=$1
bundle=$2
. "$(dirname "$0")/harness.sh"
if [ -z "${DISPLAY:-}" ] || [ -z "${TESSALY_TRAY_HOST:-}" ]; then
  skip "No X display with a tray host (DISPLAY, TESSALY_TRAY_HOST)"
fi
need xdotool xwininfo

visible_windows() { xdotool search --onlyvisible --class '^tessaly$' 2>/dev/null | wc -l; }
# The icon is the program's window that the tray host has taken in, nested
# below the host's own windows: "  0x... "tessaly": ("tessaly" "tessaly")  22x22+0+0  +1257+1".
find_icon() {
  local line w h x y
  line=$(xwininfo -root -tree | grep -E '^ {9,}0x[0-9a-f]+ .*\("tessaly" "tessaly"\)' | head -n 1)
  [ -n "$line" ] || return 1
  IFS='x+ ' read -r w h _ _ x y <<<"$(awk '{print $(NF-1), $NF}' <<<"$line")"
  icon_x=$((x + w / 2))
  icon_y=$((y + h / 2))
}
# A new window comes up after "$@" (xdotool's commands): the tip or the menu.
opens_window() {
  before=$(visible_windows)
  xdotool "$@"
  wait_for '[ "$(visible_windows)" -gt "$before" ]'
}

# One path of the settings is no valid UTF-8 (file names are bytes).
unpack "$dir/app" "$(printf 'html\351')"
start_program "$dir/app" QT_LOGGING_RULES="tessaly.tray.debug=true"
wait_for shown || fail "the window did not come up"
wait_for find_icon || fail "no icon in the notification area"
grep -q '"Tessaly Paused"' "$dir/app/log" || fail "the icon's tip is not \"Tessaly Paused\""
opens_window mousemove "$icon_x" "$icon_y" sleep 0.2 mousemove_relative 1 0 || fail "no tip on resting on the icon"
xdotool mousemove 0 0
wait_for '[ "$(visible_windows)" -eq "$before" ]' || fail "the tip stayed after the pointer left"
echo "icon at $icon_x,$icon_y with its tip"

# Resume (the second item while Paused) hides the window into the tray.
opens_window mousemove "$icon_x" "$icon_y" click 3 || fail "a right click on the icon opened no menu"
xdotool key Down Down Return
wait_for '! shown' || fail "Resume left the window on the screen"
wait_for 'grep -q "\"Tessaly Running\"" "$dir/app/log"' || fail "the icon's tip did not become \"Tessaly Running\""
wait_for '[ -s "$dir/app/signature.htm" ]' || fail "Running wrote no signature"
echo "Resume from the tray menu: window hidden, tip Tessaly Running, signature written"

xdotool mousemove "$icon_x" "$icon_y" click --repeat 2 --delay 80 1
wait_for shown || fail "a double-click on the icon did not bring the window up"
echo "double-click on the icon: window up"

# Exit (the last item) saves the settings and ends the program.
rm "$dir/app/data/data.sfc"
opens_window mousemove "$icon_x" "$icon_y" click 3 || fail "a right click on the icon opened no menu"
xdotool key Up Return
expect_saved_end "Exit from the tray menu" "$dir/app"
find_icon && fail "the icon stayed in the notification area"
echo "Exit from the tray menu: settings saved byte for byte, program ended"
