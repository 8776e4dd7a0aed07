#!/bin/sh
# The installer under Wine, in a fresh prefix of its own, as a user and an
# administrator's silent deployment use it:
# - a silent install puts the program's folder, the Start-menu shortcut and
#   the entry under installed apps in place, and no sign-in entry;
# - the installed program's first run writes its settings under
#   %APPDATA%\Tessaly, pointing at the installed samples, from which
#   tessaly-compose composes; nothing is written into the program's folder;
# - a silent uninstall leaves no program file, shortcut or registry entry,
#   and keeps %APPDATA%\Tessaly;
# - an older version installed with AUTOSTART=1 registers the sign-in entry;
#   installing this one over it replaces it, keeps the entry and the user's
#   settings; uninstalling then removes the entry.
#
#   installer.sh MSI WXS ARCH BIN_DIR BUNDLE_DIR ICON
# WXS and ARCH build the older version (with build-msi.sh); BIN_DIR and
# BUNDLE_DIR hold the files that the program's folder must hold, ICON the
# program's icon. Exit 77: cannot run here.
set -u
msi=$1 wxs=$2 arch=$3 bin=$4 bundle=$5 icon=$6
here=$(cd "$(dirname "$0")" && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=$(dirname "$WINE")/wineserver
[ -n "$msi" ] && [ -f "$msi" ] || { echo "no installer was built (wixl and msibuild are missing): skipped"; exit 77; }
[ -x "$WINE" ] || { echo "no 64-bit Wine at $WINE: skipped"; exit 77; }
[ -n "${DISPLAY:-}" ] || { echo "no X display for the program's window: skipped"; exit 77; }

tmp=$(mktemp -d /tmp/tessaly-msi.XXXXXX) || exit 1
export WINEPREFIX="$tmp/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
trap '"$WINESERVER" -k 2>/dev/null; rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Every Wine start writes into files, never into ctest's pipe: a service it
# starts would keep that open, and ctest would wait for it.
wine() { "$WINE" "$@" </dev/null >"$tmp/out" 2>>"$tmp/wine.log"; }
said() { tr -d '\r' <"$tmp/out"; }
start_server() { "$WINESERVER" -p; "$WINE" wineboot </dev/null >/dev/null 2>&1; }
"$here/prepare-prefix.sh" </dev/null >"$tmp/prepare.log" 2>&1 || { cat "$tmp/prepare.log"; exit 1; }
start_server

# What the installer and the program see, and where that lies here.
windows_folder() { wine cmd /c echo "%$1%" && said; }
unix_path() { wine winepath -u "$1" && said; }
roaming=$(windows_folder APPDATA) local=$(windows_folder LOCALAPPDATA)
program="$local\\Programs\\Tessaly"
program_dir=$(unix_path "$program") roaming_dir=$(unix_path "$roaming")
user_dir="$roaming_dir/Tessaly"
shortcut="$roaming_dir/Microsoft/Windows/Start Menu/Programs/Tessaly.lnk"
native() { printf 'Z:%s' "$1" | tr / '\\'; }
code=$(msiinfo export "$msi" Property | tr -d '\r' | awk '$1 == "ProductCode" { print $2 }')
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

install() {
  package=$1; shift
  wine msiexec /i "$(native "$package")" /qn "$@" || fail "msiexec /i $(basename "$package") /qn $* exited with $?"
}
uninstall() { wine msiexec /x "$(native "$msi")" /qn || fail "msiexec /x exited with $?"; }
# The entry under installed apps: per user where Windows keeps it, or (Wine)
# with the machine's.
uninstall_entry() {
  for root in HKCU HKLM; do
    wine reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" && said && return 0
  done
  return 1
}
value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
signs_in() { wine reg query "$run_key" /v Tessaly && said | value Tessaly; }
snapshot() { (cd "$1" && find . | LC_ALL=C sort && find . -type f -exec md5sum {} + | LC_ALL=C sort); }
# --- A silent install.
install "$msi"
(cd "$program_dir" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$tmp/installed"
{ echo tessaly.exe; echo tessaly-compose.exe; echo installed.txt; echo help/help.chm
  (cd "$bundle" && find quotes samples -type f); } | LC_ALL=C sort >"$tmp/expected"
diff "$tmp/expected" "$tmp/installed" || fail "the program's folder differs from the list above (< expected, > installed)"
for file in tessaly.exe tessaly-compose.exe help/help.chm; do
  cmp -s "$bin/$file" "$program_dir/$file" || fail "$file differs from the build's"
done
for file in $(cd "$bundle" && find quotes samples installer/installed.txt -type f); do
  cmp -s "$bundle/$file" "$program_dir/${file#installer/}" || fail "${file#installer/} differs from its source"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
# The shortcut names the program by its path, and the icon it shows (some of
# its strings are UTF-16).
tr -d '\000' <"$shortcut" >"$tmp/shortcut" 2>/dev/null
grep -aqF "$program\\tessaly.exe" "$tmp/shortcut" || fail "the shortcut does not start the installed tessaly.exe"
grep -aqF "Installer\\$code\\tessaly.ico" "$tmp/shortcut" || fail "the shortcut does not show the program's icon"
cmp -s "$icon" "$roaming_dir/Microsoft/Installer/$code/tessaly.ico" || fail "the icon kept for the shortcut and installed apps is not the program's"
uninstall_entry "$code" >"$tmp/entry" || fail "no entry under installed apps for $code"
for pair in DisplayName=Tessaly DisplayVersion=1.0.0 Publisher=Brindlewick; do
  [ "$(value "${pair%=*}" <"$tmp/entry")" = "${pair#*=}" ] || fail "installed apps: $pair is not so"
done
value UninstallString <"$tmp/entry" | grep -qi "msiexec.exe /[IX]$code" || fail "installed apps: no uninstall command"
[ -z "$(signs_in)" ] || fail "a sign-in entry without AUTOSTART=1"

# --- The first run, composing, and the program's folder untouched.
snapshot "$program_dir" >"$tmp/before"
# Started as the shortcut does, the program writes its first settings; then
# the prefix's programs are ended.
(cd "$program_dir" && exec "$WINE" "$program\\tessaly.exe" </dev/null >/dev/null 2>>"$tmp/wine.log") &
for _ in $(seq 300); do [ -s "$user_dir/data.sfc" ] && break; sleep 0.1; done
kill -0 $! 2>/dev/null || fail "the first run ended by itself"
"$WINESERVER" -k 2>/dev/null; wait
start_server
{ for p in "$program\\samples\\template.htm" "$roaming\\Tessaly\\signature.htm" "$program\\quotes\\quotes1.txt" \
           "$program\\quotes\\quotes2.txt" "$program\\samples\\html1" "$program\\samples\\html2"; do
    printf '"%s"\r\n' "$p"
  done; printf '0\r\n'; } >"$tmp/first.sfc"
cmp -s "$tmp/first.sfc" "$user_dir/data.sfc" ||
  { fail "the first settings are not the installed samples with the signature in %APPDATA%\\Tessaly:"; cat -A "$user_dir/data.sfc"; }
wine "$program\\tessaly-compose.exe" || fail "tessaly-compose.exe from the program's folder exited with $?"
said | grep -qF "<html>" || fail "tessaly-compose.exe printed no signature from the installed template"
snapshot "$program_dir" >"$tmp/after"
diff "$tmp/before" "$tmp/after" >&2 || fail "the program's folder changed while the program ran (< before, > after)"
snapshot "$user_dir" >"$tmp/user"

# --- A silent uninstall.
uninstall
[ ! -e "$program_dir" ] || { fail "the program's folder is still there:"; find "$program_dir"; }
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there"
[ ! -e "$roaming_dir/Microsoft/Installer/$code" ] || fail "the installer's copy of the icon is still there"
uninstall_entry "$code" >/dev/null && fail "the entry under installed apps is still there"
wine reg query 'HKCU\Software\Brindlewick' && fail "HKCU\\Software\\Brindlewick is still there"
[ "$(snapshot "$user_dir")" = "$(cat "$tmp/user")" ] || fail "uninstalling changed %APPDATA%\\Tessaly"

# --- Start at sign-in, chosen for an older version and kept on an upgrade.
sh "$bundle/installer/build-msi.sh" "$wxs" 0.9.0 "$arch" "$tmp/old.msi" >"$tmp/old.log" 2>&1 ||
  { cat "$tmp/old.log"; fail "cannot build the older version"; }
old_code=$(msiinfo export "$tmp/old.msi" Property | tr -d '\r' | awk '$1 == "ProductCode" { print $2 }')
install "$tmp/old.msi" AUTOSTART=1
[ "$(signs_in)" = "\"$program\\tessaly.exe\"" ] || fail "AUTOSTART=1: the sign-in entry is '$(signs_in)'"
install "$msi"
[ "$(signs_in)" = "\"$program\\tessaly.exe\"" ] || fail "the upgrade dropped the sign-in entry"
uninstall_entry "$old_code" >/dev/null && fail "the older version is still under installed apps"
[ "$(snapshot "$user_dir")" = "$(cat "$tmp/user")" ] || fail "the upgrade changed %APPDATA%\\Tessaly"
uninstall
[ -z "$(signs_in)" ] || fail "uninstalling left the sign-in entry"

[ $failures -eq 0 ] || exit 1
echo "installed, started, composed and uninstalled from $(basename "$msi") ($(wc -c <"$msi") bytes)"
