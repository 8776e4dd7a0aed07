#!/usr/bin/env bash
# What a screen reader gets from the Linux edition: the program, in a folder
# of its own, on a private Xvfb display with a private session bus and the
# accessibility bus (at-spi2-core), read through AT-SPI as Orca reads it
# (accessibility_tree.py). Exits 77 (skipped) without Xvfb, the buses, xdotool
# or the Python bindings. Usage: accessibility.sh PROGRAM BUNDLE_SOURCE_FOLDER
. "$(dirname "$0")/harness.sh"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || skip "$launcher (at-spi2-core) is missing"
"$python" -c 'import pyatspi' 2>/dev/null || skip "$python with python3-pyatspi is missing"

start_xvfb
start_session_bus
"$launcher" --launch-immediately >"$dir/launcher.log" 2>&1 &
wait_for 'dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress &>/dev/null' ||
  fail "the accessibility bus did not start"

unpack "$dir/app"
start_program "$dir/app" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
wait_for shown || fail "the window did not come up"
"$python" "$here/accessibility_tree.py" || fail "the accessibility tree is not what a screen reader needs"
wait_for '[ -s "$dir/app/signature.htm" ]' || fail "Start, pressed through AT-SPI, composed no signature"
echo "PASS"
