#!/bin/sh
# Packs the win64 build with cpack, checks the archive's contents, unpacks it
# into a fresh folder and starts the program from there under Wine
# (package_smoke_driver). Skipped (77) without a display or a Wine prefix.
#
# package_smoke.sh CMAKE CPACK BUILD_DIR BUNDLE_SOURCE_DIR WINE DRIVER ARCHIVE_NAME
set -eu
cmake=$1 cpack=$2 build=$3 bundle=$4 wine=$5 driver=$6 archive=$7

if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
  echo "skipped: starting the program needs DISPLAY and WINEPREFIX"
  exit 77
fi

fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
[ -f "$work/out/$archive" ] || { ls "$work/out" >&2; fail "cpack made no $archive"; }
echo "$archive: $(wc -c <"$work/out/$archive") bytes"

mkdir "$work/app"
(cd "$work/app" && "$cmake" -E tar xf "$work/out/$archive") || fail "cannot unpack $archive"

# The program's folder, nothing more: no data\, no signature, no build files.
(cd "$work/app" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/contents"
{ echo tessaly.exe; echo tessaly-compose.exe; echo help/help.chm; (cd "$bundle" && find quotes samples -type f); } |
  LC_ALL=C sort >"$work/expected"
diff "$work/expected" "$work/contents" >&2 || fail "the archive's files differ from the list above (< expected, > packed)"

# Data byte for byte, CR LF line ends included; the help file as built.
for file in $(cd "$bundle" && find quotes samples -type f); do
  cmp -s "$bundle/$file" "$work/app/$file" || fail "$file differs from its source"
done
cmp -s "$build/bin/help/help.chm" "$work/app/help/help.chm" || fail "help/help.chm differs from the built one"

# The driver's output goes through a file: a Wine service that this start
# launches inherits the driver's output and, with a persistent wineserver,
# would hold a pipe open for good.
status=0
"$wine" "$driver" "Z:$(printf '%s' "$work/app" | tr / '\\')" </dev/null >"$work/driver.log" 2>&1 || status=$?
cat "$work/driver.log"
exit $status
