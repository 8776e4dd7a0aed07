#!/usr/bin/env bash
# The Linux edition in a real notification area: the program, in a folder of
# its own, with an XEmbed tray host (trayer) on an X display, worked with
# xdotool as a user works it. Exits 77 (skipped) without a display and a tray
# host. Usage: tray_end_to_end.sh PROGRAM BUNDLE_SOURCE_FOLDER
. "$(dirname "$0")/harness.sh"
need_tray_display
need xwininfo

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
# A right click on the icon (at $1 across, its middle by default) opens the
# menu, a new window of the program's.
open_menu() {
  local before
  before=$(visible_windows)
  xdotool mousemove "${1:-$icon_x}" "$icon_y" click 3
  wait_for '[ "$(visible_windows)" -gt "$before" ]' || fail "a right click on the icon opened no menu"
}

# One path of the settings is no valid UTF-8 (file names are bytes).
unpack "$dir/app" "$(printf 'html\351')"
start_program "$dir/app"
wait_for shown || fail "the window did not come up"
wait_for find_icon || fail "no icon in the notification area"

# Resume (the second item while Paused) hides the window into the tray.
open_menu
xdotool key Down Down Return
wait_for '! shown' || fail "Resume left the window on the screen"
# The menu alone: the window stays in the tray. (The program hears the right
# click before the menu is on the screen. Another right click at the same
# spot this soon would be a double-click.)
open_menu $((icon_x - 8))
! shown || fail "a right click on the icon brought the window up"
xdotool key Escape

xdotool mousemove "$icon_x" "$icon_y" click --repeat 2 --delay 80 1
wait_for shown || fail "a double-click on the icon did not bring the window up"

# Exit (the last item) saves the settings and ends the program.
rm "$dir/app/data/data.sfc"
open_menu
xdotool key Up Return
expect_saved_end "Exit from the tray menu" "$dir/app"
echo "icon, its menu alone on a right click, Resume and Exit, a double-click on it: passed"
