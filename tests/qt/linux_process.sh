#!/usr/bin/env bash
# The Linux edition as a Linux process: its command line without a display,
# one copy per settings file, and the signals that end a session. The copies
# run from folders of their own on an X display with a tray host; that part
# exits 77 (skipped) without them. Usage: linux_process.sh PROGRAM BUNDLE
set -uo pipefail
program=$1
bundle=$2

dir=$(mktemp -d /tmp/tessaly-process.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in "$dir"/*/log; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
  exit 1
}
wait_for() {
  local _
  for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
# A folder of its own: the program, its samples, settings naming them.
unpack() {
  mkdir -p "$1/data"
  cp "$program" "$1/tessaly"
  cp -r "$bundle/samples" "$bundle/quotes" "$1/"
  {
    printf '"%s"\r\n' "$1/samples/template.htm" "$1/signature.htm" "$1/quotes/quotes1.txt" \
      "$1/quotes/quotes2.txt" "$1/samples/html1" "$1/samples/html2"
    printf '0\r\n'
  } >"$1/data/data.sfc"
}

# --- the command line, with no display at all
unpack "$dir/a"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dir/a/tessaly" --help) || fail "--help without a display did not exit 0"
[[ $out == "Usage: tessaly [OPTION]..."* ]] || fail "--help printed: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dir/a/tessaly" --version) || fail "--version did not exit 0"
[[ $out == "tessaly (Tessaly) "* ]] || fail "--version printed: $out"
rm "$dir/a/data/data.sfc"
err=$("$dir/a/tessaly" --frobnicate 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] || fail "an unknown option gave status $status, not 2"
[[ $err == *"unrecognized option '--frobnicate'"* ]] || fail "an unknown option said: $err"
[ ! -e "$dir/a/data/data.sfc" ] || fail "an unknown option still started the program"

if [ -z "${DISPLAY:-}" ] || [ -z "${TESSALY_TRAY_HOST:-}" ]; then
  echo "No X display with a tray host (DISPLAY, TESSALY_TRAY_HOST): the running copies are skipped."
  exit 77
fi
command -v xdotool >/dev/null || { echo "xdotool is missing: skipped."; exit 77; }
shown() { xdotool search --all --onlyvisible --pid "$1" --name '^Tessaly V 1\.0$' >/dev/null 2>&1; }
copies() { pgrep -f -x "$1/tessaly" | wc -l; }

# --- one copy per settings file
unpack "$dir/a"
# Written on Windows (CR LF), read as it is, saved as Linux text (LF).
tr -d '\r' <"$dir/a/data/data.sfc" >"$dir/expected.sfc"
"$dir/a/tessaly" >"$dir/a/log" 2>&1 &
first=$!
pids+=("$first")
wait_for "shown $first" || fail "the first copy's window did not come up"
# Start (the tool row's first button) sends the window to the tray.
eval "$(xdotool search --all --onlyvisible --pid "$first" --name '^Tessaly V 1\.0$' getwindowgeometry --shell | head -n 3)"
xdotool mousemove $((X + 20)) $((Y + 20)) click 1
wait_for "! shown $first" || fail "Start did not send the window to the tray"
"$dir/a/tessaly" >"$dir/a/second.log" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "a second start with the same settings gave status $status"
wait_for "shown $first" || fail "a second start did not bring the first copy's window up"
[ "$(copies "$dir/a")" -eq 1 ] || fail "two copies run with the same settings"

# Another folder, other settings: it runs beside the first.
unpack "$dir/b"
"$dir/b/tessaly" >"$dir/b/log" 2>&1 &
other=$!
pids+=("$other")
wait_for "shown $other" || fail "a copy with other settings did not start beside the first"

# --- a signal ends a copy as closing its window does: saved, status 0
for signal in TERM HUP; do
  target=$first
  [ "$signal" = HUP ] && target=$other
  folder=$([ "$signal" = TERM ] && echo "$dir/a" || echo "$dir/b")
  rm "$folder/data/data.sfc"
  kill -"$signal" "$target"
  wait "$target"
  status=$?
  [ "$status" -eq 0 ] || fail "SIG$signal ended the program with status $status"
  [ -f "$folder/data/data.sfc" ] || fail "SIG$signal ended the program without saving the settings"
done
cmp -s "$dir/a/data/data.sfc" "$dir/expected.sfc" || fail "SIGTERM saved other settings than the window held"
pids=()
echo "command line, one copy per settings file, signals: passed"
