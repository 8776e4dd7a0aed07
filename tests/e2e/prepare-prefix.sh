#!/bin/sh
# Prepares a fresh Wine prefix for the end-to-end tests of tessaly.exe,
# before any wine server of its own keeps running (wineserver -p):
#
#   WINEPREFIX=/tmp/prefix tests/e2e/prepare-prefix.sh
#
# Creates the prefix, then:
# - turns off window management by the X11 driver, since with no window
#   manager on the display every hide and destroy otherwise stalls for ~2 s;
# - turns off the crash dialog, which would otherwise keep a crashed program's
#   prefix busy until someone clicks it.
#
# Environment: WINEPREFIX (required), WINE (default /usr/lib/wine/wine64), and
# the usual WINEARCH, WINEDEBUG, WINEDLLOVERRIDES.
set -eu

: "${WINEPREFIX:?set WINEPREFIX to the prefix to prepare}"
WINE=${WINE:-/usr/lib/wine/wine64}
export WINEPREFIX WINEARCH=${WINEARCH:-win64} WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}

# Wine creates the prefix itself, but not the folders above it.
mkdir -p "$(dirname "$WINEPREFIX")"
regfile=$(mktemp /tmp/tessaly-e2e-prefix.XXXXXX.reg)
trap 'rm -f "$regfile"' EXIT

# One import instead of one wine start per key.
cat >"$regfile" <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

EOF
# Wine maps the Unix root to drive Z:.
"$WINE" regedit /S "Z:$(printf '%s' "$regfile" | tr / '\\\\')"

# Fail here, not in the middle of the suite, when the import did not land.
"$WINE" reg query 'HKCU\Software\Wine\X11 Driver' /v Managed 2>/dev/null | tr -d '\r' | grep -q 'REG_SZ *N$' ||
  { echo "prepare-prefix.sh: the X11 driver settings were not written to $WINEPREFIX" >&2; exit 1; }

# The server these calls started, and the desktop process (explorer, which
# also hosts the tray icons) that read the X11 settings before they were
# written, end by themselves a few seconds after their last client: let them
# go, so that the next server and desktop read the settings. Without that
# every window the tests destroy stalls for ~2 s.
timeout 10 "$(dirname "$WINE")/wineserver" -w || echo "prepare-prefix.sh: the wine server of $WINEPREFIX stays up" >&2
echo "prepare-prefix.sh: $WINEPREFIX is ready"
