#!/usr/bin/env bash
# The Linux edition as a Linux process: its command line without a display,
# one copy per settings file, and the signals that end a session. The copies
# run from folders of their own on an X display with a tray host; that part
# exits 77 (skipped) without them. Usage: linux_process.sh PROGRAM BUNDLE
. "$(dirname "$0")/harness.sh"

# --- the command line, with no display at all
unpack "$dir/a"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dir/a/tessaly" --help) || fail "--help without a display did not exit 0"
[[ $out == "Usage: tessaly [OPTION]..."* ]] || fail "--help printed: $out"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dir/a/tessaly" --version) || fail "--version did not exit 0"
[[ $out == "tessaly (Tessaly) "* ]] || fail "--version printed: $out"
err=$(env -u DISPLAY -u WAYLAND_DISPLAY "$dir/a/tessaly" --frobnicate 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] || fail "an unknown option gave status $status, not 2"
[[ $err == *"unrecognized option '--frobnicate'"* ]] || fail "an unknown option said: $err"

need_tray_display ": the running copies"

# --- one copy per settings file
start_program "$dir/a"
first=$pid
wait_for shown || fail "the first copy's window did not come up"
# Start (the tool row's first button) sends the window to the tray.
eval "$(xdotool search --all --onlyvisible --pid "$first" --name '^Tessaly V 1\.0$' getwindowgeometry --shell |
  head -n 3)"
xdotool mousemove $((X + 20)) $((Y + 20)) click 1
wait_for '! shown' || fail "Start did not send the window to the tray"
"$dir/a/tessaly" >"$dir/second.log" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "a second start with the same settings gave status $status"
wait_for shown || fail "a second start did not bring the first copy's window up"
[ "$(pgrep -f -x "$dir/a/tessaly" | wc -l)" -eq 1 ] || fail "two copies run with the same settings"

# Another folder, other settings: it runs beside the first.
unpack "$dir/b"
start_program "$dir/b"
wait_for shown || fail "a copy with other settings did not start beside the first"

# --- a signal ends a copy as closing its window does: saved, status 0
rm "$dir/b/data/data.sfc"
kill -HUP "$pid"
expect_saved_end SIGHUP "$dir/b"
pid=$first
rm "$dir/a/data/data.sfc"
kill -TERM "$pid"
expect_saved_end SIGTERM "$dir/a"
echo "command line, one copy per settings file, signals: passed"
