#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages that building, testing and
# running Tessaly need. Does nothing for packages that are already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ make python3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb x11-utils x11-apps imagemagick wixl msitools
  fp-compiler fp-units-fcl fp-units-misc fp-utils
  clang libclang-rt-14-dev
  qt6-base-dev libgl-dev trayer xdotool
  dbus-daemon python3-gi weston qt6-wayland
  at-spi2-core python3-pyatspi
  dpkg-dev fakeroot lintian man-db desktop-file-utils appstream fortune-mod hyperfine rsync
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
