#!/bin/sh
# The Debian package: built from the build tree, clean for lintian (no
# errors), holding exactly the files an installed Tessaly needs, with
# AppStream data that validates.
#
#   deb_package.sh CPACK BUILD_DIR BUNDLE_SOURCE_DIR WITH_WINDOW_PROGRAM(0|1)
# Exit 77: dpkg-deb, lintian or appstreamcli is missing. The menu entry is
# checked by lintian.
set -u
cpack=$1 build=$2 bundle=$3 window=$4
for tool in dpkg-deb lintian appstreamcli; do
  command -v $tool > /dev/null || { echo "$tool not found: skipped"; exit 77; }
done
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-deb-XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Into a folder of its own, so that parallel runs never share a staging area.
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" > "$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$tmp"/out/*.deb)
echo "package: $(basename "$deb")"

lintian --fail-on error --pedantic "$deb" > "$tmp/lintian.log" 2>&1; status=$?
grep -v 'running with root privileges' "$tmp/lintian.log"
[ $status -eq 0 ] || fail "lintian reports errors (status $status)"

# The files, as the source tree says they should be.
(
  echo usr/bin/tessaly-compose
  echo usr/share/man/man1/tessaly-compose.1.gz
  echo usr/share/doc/tessaly/copyright
  echo usr/share/doc/tessaly/changelog.Debian.gz
  cd "$bundle" && find help -name '*.htm' -o -name style.css -o -name help.hhp | sed 's|^|usr/share/tessaly/|'
  cd "$bundle" && find quotes samples -type f | sed 's|^|usr/share/tessaly/|'
  if [ "$window" = 1 ]; then
    echo usr/bin/tessaly
    echo usr/share/man/man1/tessaly.1.gz
    echo usr/share/applications/tessaly.desktop
    echo usr/share/metainfo/tessaly.metainfo.xml
    for size in 16 24 32 48; do echo "usr/share/icons/hicolor/${size}x$size/apps/tessaly.png"; done
    echo usr/share/icons/hicolor/scalable/apps/tessaly.svg
  fi
) | sort > "$tmp/expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort > "$tmp/actual"
if ! cmp -s "$tmp/expected" "$tmp/actual"; then
  fail "file list differs (- expected, + in the package):"
  diff "$tmp/expected" "$tmp/actual" | grep '^[<>]' | sed 's/^</-/; s/^>/+/'
fi

# Owners and the dependency on the C library are lintian's errors.
dpkg-deb -f "$deb" Recommends | grep -qw 'xdg-utils' ||
  fail "xdg-utils, which opens help, files and links, is not recommended: '$(dpkg-deb -f "$deb" Recommends)'"
version=$(dpkg-deb -f "$deb" Version)
dpkg-deb -x "$deb" "$tmp/root"
zcat "$tmp/root/usr/share/doc/tessaly/changelog.Debian.gz" | head -n 1 | grep -qF "tessaly ($version)" ||
  fail "the change log does not name version $version"

# The software centre's entry, as the package holds it. The menu entry keeps
# the name tessaly.desktop (autostart copies use it), so its id is not in
# reverse-DNS form: that is noted, not failed.
if [ "$window" = 1 ]; then
  appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$tmp/root/usr/share/metainfo/tessaly.metainfo.xml" > "$tmp/appstream.log" 2>&1 ||
    { cat "$tmp/appstream.log"; fail "appstreamcli validate"; }
fi

exit $((failures > 0))
