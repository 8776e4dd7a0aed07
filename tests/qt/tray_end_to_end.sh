#!/usr/bin/env bash
# The Linux edition in a real notification area: the program, in a folder of
# its own, with an XEmbed tray host (trayer) on an X display, worked with
# xdotool as a user works it. Exits 77 (skipped) without a display and a tray
# host. Usage: tray_end_to_end.sh PROGRAM BUNDLE_SOURCE_FOLDER
set -uo pipefail
program=$1
bundle=$2

if [ -z "${DISPLAY:-}" ] || [ -z "${TESSALY_TRAY_HOST:-}" ]; then
  echo "No X display with a tray host (DISPLAY, TESSALY_TRAY_HOST): skipped."
  exit 77
fi
for tool in xdotool xwininfo cmp; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: skipped."; exit 77; }
done

dir=$(mktemp -d /tmp/tessaly-tray.XXXXXX)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- the program's output:"
  cat "$dir/log"
  exit 1
}
# Up to 10 s for a condition.
wait_for() {
  local _
  for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
window_shown() { xdotool search --onlyvisible --name '^Tessaly V 1\.0$' >/dev/null 2>&1; }
visible_windows() { xdotool search --onlyvisible --class '^tessaly$' 2>/dev/null | wc -l; }
# The icon is the program's window that the tray host has taken in, nested
# below the host's own windows: "  0x... "tessaly": ("tessaly" "tessaly")  22x22+0+0  +1257+1".
find_icon() {
  local line size at
  line=$(xwininfo -root -tree | grep -E '^ {9,}0x[0-9a-f]+ .*\("tessaly" "tessaly"\)' | head -n 1)
  [ -n "$line" ] || return 1
  size=$(awk '{print $(NF-1)}' <<<"$line")
  at=$(awk '{print $NF}' <<<"$line")
  IFS='x+' read -r w h _ _ <<<"$size"
  IFS='+' read -r _ ax ay <<<"$at"
  icon_x=$((ax + w / 2))
  icon_y=$((ay + h / 2))
}
# The tray's menu: a right click on the icon, then keys.
menu() {
  local before
  before=$(visible_windows)
  xdotool mousemove "$icon_x" "$icon_y" click 3
  wait_for '[ "$(visible_windows)" -gt "$before" ]' || fail "a right click on the icon opened no menu"
  xdotool key "$@"
}

# An unpacked folder: the program with its samples and its settings, one
# path of which is no valid UTF-8 (file names are bytes).
cp "$program" "$dir/tessaly"
cp -r "$bundle/samples" "$bundle/quotes" "$dir/"
odd=$(printf 'html\351')
cp -r "$bundle/samples/html2" "$dir/samples/$odd"
mkdir "$dir/data"
{
  printf '"%s"\r\n' "$dir/samples/template.htm" "$dir/signature.htm" "$dir/quotes/quotes1.txt" \
    "$dir/quotes/quotes2.txt" "$dir/samples/html1" "$dir/samples/$odd"
  printf '0\r\n'
} >"$dir/data/data.sfc"
# Written on Windows (CR LF), read as it is, saved as Linux text (LF).
tr -d '\r' <"$dir/data/data.sfc" >"$dir/expected.sfc"

QT_LOGGING_RULES="tessaly.tray.debug=true" "$dir/tessaly" >"$dir/log" 2>&1 &
pid=$!

wait_for window_shown || fail "the window did not come up"
wait_for find_icon || fail "no icon in the notification area"
grep -q '"Tessaly Paused"' "$dir/log" || fail "the icon's tip is not \"Tessaly Paused\""
# Resting on the icon shows its tip.
before=$(visible_windows)
xdotool mousemove "$icon_x" "$icon_y" sleep 0.2 mousemove_relative 1 0
wait_for '[ "$(visible_windows)" -gt "$before" ]' || fail "no tip on the icon"
xdotool mousemove 0 0
wait_for '[ "$(visible_windows)" -eq "$before" ]' || fail "the tip stayed after the pointer left"
echo "icon at $icon_x,$icon_y with its tip"

# Resume (the second item while Paused) hides the window into the tray.
menu Down Down Return
wait_for '! window_shown' || fail "Resume left the window on the screen"
wait_for 'grep -q "\"Tessaly Running\"" "$dir/log"' || fail "the icon's tip did not become \"Tessaly Running\""
wait_for '[ -s "$dir/signature.htm" ]' || fail "Running wrote no signature"
echo "Resume from the tray menu: window hidden, tip Tessaly Running, signature written"

xdotool mousemove "$icon_x" "$icon_y" click --repeat 2 --delay 80 1
wait_for window_shown || fail "a double-click on the icon did not bring the window up"
echo "double-click on the icon: window up"

# Exit (the last item) saves the settings and ends the program.
rm "$dir/data/data.sfc"
menu Up Return
wait_for '! kill -0 "$pid" 2>/dev/null' || fail "Exit did not end the program"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
cmp "$dir/expected.sfc" "$dir/data/data.sfc" || fail "Exit did not save the settings byte for byte"
find_icon && fail "the icon stayed in the notification area"
echo "Exit from the tray menu: settings saved byte for byte, program ended"
