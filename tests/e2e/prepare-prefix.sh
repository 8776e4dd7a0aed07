#!/bin/sh
# Prepares a Wine prefix once for the end-to-end tests of tessaly.exe.
#
#   WINEPREFIX=/tmp/prefix tests/e2e/prepare-prefix.sh
#
# Creates the prefix when it does not exist yet, then:
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
WINESERVER=${WINESERVER:-$(dirname "$WINE")/wineserver}
export WINEPREFIX
export WINEARCH=${WINEARCH:-win64}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}

# The wine server that serves this prefix, if any: its working folder is
# named after the prefix's device and inode.
server_pid() {
    [ -d "$WINEPREFIX" ] || return 0
    suffix=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep -x wineserver64; pgrep -x wineserver); do
        case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
            */"$suffix") echo "$pid"; return 0 ;;
        esac
    done
}

# Wine creates the prefix itself, but not the folders above it.
mkdir -p "$(dirname "$WINEPREFIX")"

regfile=$(mktemp /tmp/tessaly-e2e-prefix.XXXXXX.reg)
trap 'rm -f "$regfile"' EXIT

# One import instead of one wine start per key. In .reg files a backslash and
# a quote inside a value are escaped with a backslash.
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
if ! "$WINE" reg query 'HKCU\Software\Wine\X11 Driver' /v Managed 2>/dev/null | tr -d '\r' | grep -q 'REG_SZ *N$'; then
    echo "prepare-prefix.sh: the X11 driver settings were not written to $WINEPREFIX" >&2
    exit 1
fi

# Processes of this prefix named $1.
prefix_processes() {
    for p in $(pgrep -f "$1"); do
        if { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
            echo "$p"
        fi
    done
}

# A server that these calls started is let go, so that a persistent one
# (wineserver -p) can be started next. Under a persistent one, the desktop
# process (explorer, which also hosts the tray icons) may have started
# before the X11 settings above were written; it ends by itself a few
# seconds after its last client, and the next one reads them. Without that
# wait every window the tests destroy stalls for ~2 s.
pid=$(server_pid)
# (Wine starts its own servers with -p0; a persistent one has -p or -pN.)
if [ -n "$pid" ] && ! tr '\0' '\n' <"/proc/$pid/cmdline" | grep -qE -- '^-p([1-9][0-9]*)?$'; then
    timeout 10 "$WINESERVER" -w || echo "prepare-prefix.sh: the wine server of $WINEPREFIX stays up" >&2
else
    for _ in $(seq 1 100); do
        [ -z "$(prefix_processes 'explorer\.exe')" ] && break
        sleep 0.2
    done
    [ -z "$(prefix_processes 'explorer\.exe')" ] ||
        echo "prepare-prefix.sh: the desktop process of $WINEPREFIX is still up" >&2
fi
echo "prepare-prefix.sh: $WINEPREFIX is ready"
