#!/usr/bin/env bash
# The Linux edition in a StatusNotifierItem tray (KDE Plasma, GNOME with
# AppIndicator): a stand-in for the desktop's watcher and host (sni_host.py)
# on a private session bus works the item through D-Bus as such a desktop
# does. On "x11" the program has an X display of its own with no XEmbed tray
# on it; on "wayland" it runs natively on a headless weston with no X
# display to fall back on, and whether its window is on the screen is read
# from weston's scene graph.
# Usage: sni_end_to_end.sh PROGRAM BUNDLE_SOURCE_FOLDER x11|wayland
. "$(dirname "$0")/harness.sh"
"$python" -c 'import gi.repository.Gio' 2>/dev/null || skip "$python with python3-gi is missing"

if [ "$3" = wayland ]; then
  need weston weston-debug
  unset DISPLAY
  export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=tessaly-wayland
  weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --debug --idle-time=0 >"$dir/weston.log" 2>&1 &
  wait_for '[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]' || fail "weston did not start"
  # "View 0 (role xdg_toplevel, PID 123, surface ID 7, top-level window
  # 'Tessaly V 1.0' of tessaly, 0x...)"
  shown() {
    weston-debug scene-graph 2>/dev/null |
      grep -q "role xdg_toplevel, PID $pid, .*top-level window 'Tessaly V 1\.0'"
  }
else
  start_xvfb
fi

# The bus and the watcher come first: Qt decides at start-up which kind of
# tray to use.
start_session_bus
host() { "$python" "$here/sni_host.py" "$@"; }
host watcher >"$dir/watcher.log" 2>&1 &
wait_for 'grep -qx ready "$dir/watcher.log"' || fail "the stand-in watcher did not take its bus name"
unpack "$dir/app"
start_program "$dir/app"
wait_for 'shown || ! kill -0 "$pid" 2>/dev/null'
if ! shown; then
  grep -q 'Could not find the Qt platform plugin "wayland"' "$dir/app/log" &&
    skip "Qt's Wayland platform plugin (qt6-wayland) is missing"
  fail "the window did not come up"
fi
wait_for 'item=$(sed -n "s/^registered //p" "$dir/watcher.log") && [ -n "$item" ]' ||
  fail "the program registered no StatusNotifierItem with the watcher"

# The item's tool tip, and its menu as a host shows it, for state $1.
expect_state() {
  local state=$1 menu="Open Tessaly|-|Resume|Refresh|-|Help|-|Exit"
  [ "$state" = Running ] && menu=${menu/Resume/Pause}
  wait_for '[ "$(host tip "$item")" = "Tessaly $state" ]' ||
    fail "the tool tip is \"$(host tip "$item")\", not \"Tessaly $state\""
  wait_for '[ "$(host menu "$item")" = "$menu" ]' ||
    fail "the menu while $state is \"$(host menu "$item")\", not \"$menu\""
}
click() { host click "$item" "$1" || fail "the menu item \"$1\" could not be clicked"; }

expect_state Paused
paused_icon=$(host icon "$item") || fail "the item has no icon"

click Resume
expect_state Running
wait_for '! shown' || fail "Resume left the window on the screen"
[ "$(host icon "$item")" != "$paused_icon" ] || fail "the icon while Running is the Paused one"

# A left click on the icon reaches the program as Activate.
host activate "$item" || fail "Activate was refused"
wait_for shown || fail "Activate (a left click on the icon) did not bring the window up"

rm "$dir/app/data/data.sfc"
click Exit
expect_saved_end "Exit from the tray menu" "$dir/app"
echo "tip, menu and icon of Paused and Running, Resume, Activate and Exit: passed"
