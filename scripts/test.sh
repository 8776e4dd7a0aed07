#!/usr/bin/env bash
# Builds every preset (Linux, Linux with sanitizers, Windows x86_64 and i686)
# and runs every test: natively, under the sanitizers, and the Windows builds'
# tests and end-to-end tests under Wine on a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in linux asan win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j"$(nproc)"
done

echo "== test linux"
ctest --preset linux
echo "== test asan"
ctest --preset asan

echo "== test win64 (Wine)"
. scripts/wine-env.sh
trap tessaly_wine_stop EXIT
TESSALY_OWN_DISPLAY=1 tessaly_wine_start test
ctest --preset win64
