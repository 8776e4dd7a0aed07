#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine on the bundled samples.
# Needs a display; without one it runs on a private Xvfb display and saves a
# screenshot of it as build/run-screenshot.png. The Linux edition's run
# command is scripts/run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tessaly tessaly_bundle -- -j"$(nproc)"

. scripts/wine-env.sh
trap tessaly_wine_stop EXIT
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
tessaly_wine_start run

bin=build/win64/bin
echo "Starting $bin/tessaly.exe (settings: $bin/data/data.sfc). Exit it from its tray icon's menu."
if [ $headless = 1 ]; then
  "$WINE" "$bin/tessaly.exe" </dev/null &
  pid=$!
  for _ in $(seq 1 300); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Tessaly V 1.0"' && break
    sleep 0.1
  done
  sleep 0.5  # let it paint
  import -display "$DISPLAY" -window root build/run-screenshot.png && echo "Screenshot: build/run-screenshot.png"
  kill "$pid" 2>/dev/null || true
else
  "$WINE" "$bin/tessaly.exe"
fi
