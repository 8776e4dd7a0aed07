# Sourced by the StatusNotifierItem tests: the program in a scratch folder of
# its own, a private session bus with a stand-in for the desktop's
# StatusNotifierWatcher (sni_host.py), and the checks both tests make through
# D-Bus. The sourcing script sets program and bundle first, and may set
# extra_cleanup to a command that stops what it started itself.

sni_host_script="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/sni_host.py"
# Debian's D-Bus bindings are built for the system's interpreter; a python3
# earlier on the PATH may lack them.
sni_python=/usr/bin/python3

skip() {
  echo "$*: skipped."
  exit 77
}
for tool in dbus-daemon cmp; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done
"$sni_python" -c 'import dbus, dbus.mainloop.glib, gi.repository.GLib' 2>/dev/null ||
  skip "$sni_python with python3-dbus and python3-gi is missing"

dir=$(mktemp -d /tmp/tessaly-sni.XXXXXX)
pid=
watcher_pid=
bus_pid=
extra_cleanup=:
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; fi
  if [ -n "$watcher_pid" ]; then kill "$watcher_pid" 2>/dev/null; wait "$watcher_pid" 2>/dev/null; fi
  if [ -n "$bus_pid" ]; then kill "$bus_pid" 2>/dev/null; fi
  eval "$extra_cleanup"
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- the program's output:"
  cat "$dir/log" 2>/dev/null
  echo "--- the watcher's output:"
  cat "$dir/watcher.log" 2>/dev/null
  exit 1
}
# Up to 20 s for a condition: the machine may be busy.
wait_for() {
  local _
  for _ in $(seq 200); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
host() { "$sni_python" "$sni_host_script" "$@"; }

# A private runtime folder keeps Qt quiet and holds the Wayland socket.
export XDG_RUNTIME_DIR="$dir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# An unpacked folder: the program with its samples and its settings.
mkdir "$dir/app" "$dir/app/data"
cp "$program" "$dir/app/tessaly"
cp -r "$bundle/samples" "$bundle/quotes" "$dir/app/"
{
  printf '"%s"\r\n' "$dir/app/samples/template.htm" "$dir/app/signature.htm" "$dir/app/quotes/quotes1.txt" \
    "$dir/app/quotes/quotes2.txt" "$dir/app/samples/html1" "$dir/app/samples/html2"
  printf '0\r\n'
} >"$dir/app/data/data.sfc"
# Written on Windows (CR LF), read as it is, saved as Linux text (LF).
tr -d '\r' <"$dir/app/data/data.sfc" >"$dir/expected.sfc"

# The session bus and the watcher, before the program: Qt decides at start-up
# which kind of tray to use.
start_session_bus() {
  local out
  out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "dbus-daemon did not start"
  export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$out")
  bus_pid=$(sed -n 2p <<<"$out")
  host watcher >"$dir/watcher.log" 2>&1 &
  watcher_pid=$!
  wait_for 'grep -qx ready "$dir/watcher.log"' || fail "the stand-in watcher did not take its bus name"
}

start_program() {
  "$dir/app/tessaly" >"$dir/log" 2>&1 &
  pid=$!
}

wait_for_item() {
  wait_for 'item=$(host item 2>/dev/null)' || fail "the program registered no StatusNotifierItem with the watcher"
  echo "tray item registered as $item"
}

paused_menu="Open Tessaly|-|Resume|Refresh|-|Help|-|Exit"
running_menu="Open Tessaly|-|Pause|Refresh|-|Help|-|Exit"

# The item's tool tip, and its menu as a host shows it, for state $1.
expect_state() {
  local state=$1 menu tip
  wait_for '[ "$(host tip "$item")" = "Tessaly $state" ]' ||
    fail "the tool tip is \"$(host tip "$item")\", not \"Tessaly $state\""
  [ "$state" = Paused ] && menu=$paused_menu || menu=$running_menu
  wait_for '[ "$(host menu "$item")" = "$menu" ]' ||
    fail "the menu while $state shows \"$(host menu "$item")\", not \"$menu\""
}

click() { host click "$item" "$1" || fail "the menu item \"$1\" could not be clicked"; }

# The settings file, removed before $1, is back as it was.
expect_saved() {
  [ -e "$dir/app/data/data.sfc" ] || fail "$1 did not save the settings"
  cmp "$dir/expected.sfc" "$dir/app/data/data.sfc" || fail "$1 did not save the settings byte for byte"
}

# Exit saves the settings (the file is removed first, so only a save brings it
# back) and ends the program with status 0.
exit_saves() {
  local status
  rm "$dir/app/data/data.sfc"
  click Exit
  wait_for '! kill -0 "$pid" 2>/dev/null' || fail "Exit did not end the program"
  wait "$pid"
  status=$?
  pid=
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  expect_saved Exit
  echo "Exit from the tray menu: settings saved byte for byte, status 0"
}
