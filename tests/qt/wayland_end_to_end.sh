#!/usr/bin/env bash
# The Linux edition natively on Wayland: a headless weston, no X display,
# and a StatusNotifierItem tray (a stand-in watcher on a private session
# bus). Whether the window is on the screen is read from weston's scene
# graph (weston-debug, with weston started with --debug): a shown window is
# an xdg_toplevel view of the program's process with its title. Exits 77
# (skipped) without weston, Qt's Wayland platform plugin, dbus-daemon or
# Python's D-Bus bindings.
# Usage: wayland_end_to_end.sh PROGRAM BUNDLE_SOURCE_FOLDER
set -uo pipefail
program=$1
bundle=$2
for tool in weston weston-debug; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: skipped."; exit 77; }
done
. "$(dirname "$0")/sni_common.sh"

# The program must not find an X display to fall back on.
unset DISPLAY
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tessaly-wayland
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --debug --idle-time=0 >"$dir/weston.log" 2>&1 &
weston_pid=$!
extra_cleanup='kill "$weston_pid" 2>/dev/null; wait "$weston_pid" 2>/dev/null'
wait_for '[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]' || { cat "$dir/weston.log"; fail "weston did not start"; }
# weston's own scene graph: "View 0 (role xdg_toplevel, PID 123, surface ID 7,
# top-level window 'Tessaly V 1.0' of tessaly, 0x...)".
window_shown() {
  local scene
  scene=$(weston-debug scene-graph 2>/dev/null)
  grep -q "role xdg_toplevel, PID $pid, .*top-level window 'Tessaly V 1\.0'" <<<"$scene"
}

start_session_bus
start_program
wait_for 'window_shown || ! kill -0 "$pid" 2>/dev/null'
if ! window_shown; then
  grep -q 'Could not find the Qt platform plugin "wayland"' "$dir/log" &&
    skip "Qt's Wayland platform plugin (qt6-wayland) is missing"
  kill -0 "$pid" 2>/dev/null || fail "the program ended at start-up"
  fail "the window did not come up as a Wayland toplevel"
fi
echo "window up as a Wayland toplevel"
wait_for_item
expect_state Paused
echo "Paused: tip and menu"

click Resume
expect_state Running
wait_for '! window_shown' || fail "Resume left the window on the screen"
echo "Resume from the tray menu: tip and menu of Running, window hidden"

host activate "$item" || fail "Activate was refused"
wait_for window_shown || fail "Activate (a left click on the icon) did not bring the window up"
echo "Activate: window up"

exit_saves
