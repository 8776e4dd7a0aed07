#!/usr/bin/env bash
# The Linux edition in a StatusNotifierItem tray (KDE Plasma, GNOME with
# AppIndicator): the program on an X display of its own, with no XEmbed tray
# there, and a stand-in watcher on a private session bus. The test works the
# item through D-Bus as such a desktop does. Exits 77 (skipped) without Xvfb,
# xdotool, dbus-daemon or Python's D-Bus bindings.
# Usage: sni_end_to_end.sh PROGRAM BUNDLE_SOURCE_FOLDER
set -uo pipefail
program=$1
bundle=$2
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: skipped."; exit 77; }
done
. "$(dirname "$0")/sni_common.sh"

# A bare display of its own, no tray host on it: Qt's only tray is the D-Bus
# one. Xvfb picks a free display number and names it once it accepts clients.
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$dir/display" 2>"$dir/xvfb.log" &
xvfb_pid=$!
extra_cleanup='kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null'
wait_for 'grep -q "^[0-9][0-9]*$" "$dir/display"' || { cat "$dir/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(cat "$dir/display")"
window_shown() { xdotool search --onlyvisible --name '^Tessaly V 1\.0$' >/dev/null 2>&1; }

start_session_bus
start_program
wait_for window_shown || fail "the window did not come up"
wait_for_item
expect_state Paused
paused_icon=$(host icon "$item") || fail "the item has no icon"
echo "Paused: tip, menu and icon"

# Resume saves the settings, hides the window and starts the composition.
rm "$dir/app/data/data.sfc"
click Resume
expect_state Running
wait_for '! window_shown' || fail "Resume left the window on the screen"
[ "$(host icon "$item")" != "$paused_icon" ] || fail "the icon while Running is the Paused one"
wait_for '[ -s "$dir/app/signature.htm" ]' || fail "Running wrote no signature"
expect_saved Resume
echo "Resume from the tray menu: tip, menu and icon of Running, window hidden, settings saved, signature written"

# A left click on the icon reaches the program as Activate.
host activate "$item" || fail "Activate was refused"
wait_for window_shown || fail "Activate (a left click on the icon) did not bring the window up"
echo "Activate: window up"

click Pause
expect_state Paused
wait_for '! window_shown' || fail "Pause left the window on the screen"
[ "$(host icon "$item")" = "$paused_icon" ] || fail "the icon after Pause is not the Paused one"
echo "Pause from the tray menu: tip, menu and icon of Paused, window hidden"

# Refresh composes once, Paused as it is.
rm "$dir/app/signature.htm"
click Refresh
wait_for '[ -s "$dir/app/signature.htm" ]' || fail "Refresh wrote no signature"
echo "Refresh from the tray menu: signature written"

click "Open Tessaly"
wait_for window_shown || fail "Open Tessaly did not bring the window up"
echo "Open Tessaly from the tray menu: window up"

exit_saves
