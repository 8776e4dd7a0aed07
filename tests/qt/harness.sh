# Sourced by the end-to-end scripts, whose first two arguments are the
# program and the bundle's source folder: a scratch folder, the real program
# unpacked into folders of its own, and the private display, buses and
# stand-ins that a desktop would provide. What cannot be had here skips the
# test (77), never passes it.

set -uo pipefail
program=$1  # the program as built
bundle=$2   # the bundle's source folder, with the samples
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Debian's D-Bus and AT-SPI bindings are built for the system's interpreter;
# a python3 earlier on the PATH may lack them.
python=/usr/bin/python3

skip() {
  echo "$*: skipped."
  exit 77
}
need() {
  local tool
  for tool; do command -v "$tool" >/dev/null || skip "$tool is missing"; done
}

dir=$(mktemp -d /tmp/tessaly-e2e.XXXXXX)
pid=  # the program's copy under test
# Stops what the script started and still runs.
cleanup() {
  local p
  for p in $(jobs -p); do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  local log
  echo "FAIL: $*"
  for log in "$dir"/*.log "$dir"/*/log; do [ -s "$log" ] && echo "--- $log" && cat "$log"; done
  exit 1
}
# Up to 20 s for a condition: the machine may be busy.
wait_for() {
  local _
  for _ in $(seq 200); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
# A private runtime folder keeps Qt quiet and holds a Wayland socket.
export XDG_RUNTIME_DIR="$dir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# An unpacked copy in folder $1: the program, its samples, and settings
# naming them, written on Windows (CR LF); $1/expected.sfc is what saving
# them gives (Linux text, LF). $2 names the second HTML folder instead of
# html2 (a copy of it).
unpack() {
  local html2=${2:-html2}
  mkdir -p "$1/data"
  cp "$program" "$1/tessaly"
  cp -r "$bundle/samples" "$bundle/quotes" "$1/"
  [ -d "$1/samples/$html2" ] || cp -r "$bundle/samples/html2" "$1/samples/$html2"
  {
    printf '"%s"\r\n' "$1/samples/template.htm" "$1/signature.htm" "$1/quotes/quotes1.txt" \
      "$1/quotes/quotes2.txt" "$1/samples/html1" "$1/samples/$html2"
    printf '0\r\n'
  } >"$1/data/data.sfc"
  tr -d '\r' <"$1/data/data.sfc" >"$1/expected.sfc"
}

# Starts the copy in folder $1, with the environment settings that follow,
# as pid; its output goes to $1/log.
start_program() {
  local app=$1
  shift
  env "$@" "$app/tessaly" >"$app/log" 2>&1 &
  pid=$!
}

# Whether the window of the copy pid is on the X display.
shown() { xdotool search --all --onlyvisible --pid "$pid" --name '^Tessaly V 1\.0$' >/dev/null 2>&1; }

# The copy pid, after "$1" (its settings file removed before), ends with
# status 0 and has saved the settings of folder $2 byte for byte.
expect_saved_end() {
  wait_for '! kill -0 "$pid" 2>/dev/null' || fail "$1 did not end the program"
  wait "$pid" || fail "$1 ended the program with status $?"
  cmp "$2/expected.sfc" "$2/data/data.sfc" || fail "$1 did not save the settings byte for byte"
}

# A bare X display of its own, numbered as scripts/display-env.sh numbers
# them. A script elsewhere may take the same free number at the same moment:
# the server that loses ends at once, and its script tries the next number.
start_xvfb() {
  local _
  need Xvfb xdotool
  . "$here/../../scripts/display-env.sh"
  for _ in 1 2 3; do
    tessaly_xvfb_start 140
    kill -0 "$TESSALY_XVFB_STARTED" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    kill "$TESSALY_XVFB_STARTED" 2>/dev/null
  done
  fail "Xvfb did not start"
}

# The running copies need an X display with a tray host to hide into.
need_tray_display() {
  [ -n "${DISPLAY:-}" ] && [ -n "${TESSALY_TRAY_HOST:-}" ] ||
    skip "No X display with a tray host (DISPLAY, TESSALY_TRAY_HOST)${1:-}"
  need xdotool
}

start_session_bus() {
  need dbus-daemon
  dbus-daemon --session --nofork --print-address=1 >"$dir/bus.address" &
  wait_for '[ -s "$dir/bus.address" ]' || fail "dbus-daemon did not start"
  export DBUS_SESSION_BUS_ADDRESS=$(cat "$dir/bus.address")
}
