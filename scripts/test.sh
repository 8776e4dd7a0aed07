#!/usr/bin/env bash
# Builds every preset (Linux, Linux with sanitizers, libFuzzer, Windows x86_64
# and i686) and runs every test: natively (with the Linux edition on a private
# Xvfb display with a tray host), under the sanitizers, each fuzz target for a
# bounded time, the Debian package's checks, and the Windows build's tests and
# end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in linux asan fuzz win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
done

. scripts/display-env.sh
trap tessaly_display_stop EXIT
tessaly_display_start

echo "== test linux"
ctest --preset linux
echo "== test asan"
ctest --preset asan

echo "== fuzz"
scripts/fuzz.sh

echo "== test win64 (Wine)"
. scripts/wine-env.sh
trap 'tessaly_wine_stop; tessaly_display_stop' EXIT
TESSALY_OWN_DISPLAY=1 tessaly_wine_start test
ctest --preset win64
