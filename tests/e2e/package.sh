#!/bin/sh
# Packs the Windows build with cpack and unpacks the archive as a user's
# folder holds it: the program, the help file, and the quotes and samples
# byte for byte (CR LF line ends included), nothing else: no data folder, no
# signature. (That the program runs on these samples is the window suite's.)
#
# package.sh CMAKE CPACK BUILD_DIR BUNDLE_SOURCE_DIR ARCHIVE_NAME
set -eu
cmake=$1 cpack=$2 build=$3 bundle=$4 archive=$5

fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cpack" -G ZIP --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
[ -f "$work/out/$archive" ] || { ls "$work/out" >&2; fail "cpack made no $archive"; }

app=$work/app
mkdir "$app" && (cd "$app" && "$cmake" -E tar xf "$work/out/$archive") || fail "cannot unpack $archive"

(cd "$app" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/contents"
{ echo tessaly.exe; echo tessaly-compose.exe; echo help/help.chm; (cd "$bundle" && find quotes samples -type f); } |
  LC_ALL=C sort >"$work/expected"
diff "$work/expected" "$work/contents" >&2 || fail "the archive's files differ from the list above (< expected, > packed)"
for file in $(cd "$bundle" && find quotes samples -type f); do
  cmp -s "$bundle/$file" "$app/$file" || fail "$file differs from its source"
done
cmp -s "$build/bin/help/help.chm" "$app/help/help.chm" || fail "help/help.chm differs from the built one"
echo "$archive ($(wc -c <"$work/out/$archive") bytes) holds the program, its help, quotes and samples"
