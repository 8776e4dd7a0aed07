#!/usr/bin/env bash
# Installs what is missing, builds the Linux edition and starts it on the
# bundled samples. Needs a display; without one it runs on a private Xvfb
# display with a notification area (trayer) and saves a screenshot of it as
# build/run-screenshot.png. The Windows program under Wine:
# scripts/run-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target tessaly_linux tessaly_bundle -- -j"$(nproc)"

bin=build/linux/bin
echo "Starting $bin/tessaly (settings: $bin/data/data.sfc). Exit it from its tray icon's menu or close its window."
if [ -n "${DISPLAY:-}" ]; then
  exec "$bin/tessaly"
fi

. scripts/display-env.sh
trap tessaly_display_stop EXIT
tessaly_display_start
"$bin/tessaly" </dev/null &
pid=$!
for _ in $(seq 1 100); do
  xdotool search --onlyvisible --name '^Tessaly V 1\.0$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 0.5  # let it paint
import -display "$DISPLAY" -window root build/run-screenshot.png && echo "Screenshot: build/run-screenshot.png"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
