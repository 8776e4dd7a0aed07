#!/usr/bin/env bash
# What a screen reader gets from the Linux edition: the program, in a folder
# of its own, on a private Xvfb display with a private session bus and the
# accessibility bus (at-spi2-core), read through AT-SPI as Orca reads it
# (accessibility_tree.py). Exits 77 (skipped) without Xvfb, the buses, xdotool
# or the Python bindings. Usage: accessibility.sh PROGRAM BUNDLE_SOURCE_FOLDER
set -uo pipefail
program=$1
bundle=$2
here="$(cd "$(dirname "$0")" && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher
python=/usr/bin/python3  # Debian's bindings are built for the system's interpreter

skip() {
  echo "$*: skipped."
  exit 77
}
for tool in Xvfb dbus-daemon xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is missing"
done
[ -x "$launcher" ] || skip "$launcher (at-spi2-core) is missing"
"$python" -c 'import pyatspi' 2>/dev/null || skip "$python with python3-pyatspi is missing"

dir=$(mktemp -d /tmp/tessaly-a11y.XXXXXX)
pid= xvfb_pid= bus_pid= launcher_pid=
cleanup() {
  for p in $pid $launcher_pid $xvfb_pid; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  if [ -n "$bus_pid" ]; then kill "$bus_pid" 2>/dev/null; fi
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- the program's output:"
  cat "$dir/log" 2>/dev/null
  exit 1
}
wait_for() {
  local _
  for _ in $(seq 200); do eval "$1" && return 0; sleep 0.1; done
  return 1
}

export XDG_RUNTIME_DIR="$dir/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$dir/display" 2>"$dir/xvfb.log" &
xvfb_pid=$!
wait_for 'grep -q "^[0-9][0-9]*$" "$dir/display"' || { cat "$dir/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(cat "$dir/display")"

out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$out")
bus_pid=$(sed -n 2p <<<"$out")
"$launcher" --launch-immediately >"$dir/launcher.log" 2>&1 &
launcher_pid=$!
wait_for 'dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1' ||
  fail "the accessibility bus did not start"

# An unpacked folder: the program with its samples and its settings.
mkdir "$dir/app" "$dir/app/data"
cp "$program" "$dir/app/tessaly"
cp -r "$bundle/samples" "$bundle/quotes" "$dir/app/"
{
  printf '"%s"\r\n' "$dir/app/samples/template.htm" "$dir/app/signature.htm" "$dir/app/quotes/quotes1.txt" \
    "$dir/app/quotes/quotes2.txt" "$dir/app/samples/html1" "$dir/app/samples/html2"
  printf '0\r\n'
} >"$dir/app/data/data.sfc"

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$dir/app/tessaly" >"$dir/log" 2>&1 &
pid=$!
wait_for 'xdotool search --onlyvisible --name "^Tessaly V 1\.0$" >/dev/null 2>&1' || fail "the window did not come up"

"$python" "$here/accessibility_tree.py" || fail "the accessibility tree is not what a screen reader needs"
wait_for '[ -s "$dir/app/signature.htm" ]' || fail "Start, pressed through AT-SPI, composed no signature"
echo "PASS"
