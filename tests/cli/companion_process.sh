#!/bin/sh
# tessaly-compose as a shell and a mail client see it: the settings file it
# finds by itself, the bytes on standard output, exit statuses and messages.
# What its command line means is tested in process (companion_test.cpp).
#
#   companion_process.sh beside    EXE [EMULATOR]   settings beside the program
#   companion_process.sh installed EXE              settings in $XDG_CONFIG_HOME
#                                                   when the program's folder is
#                                                   read-only (as under /usr)
# With an EMULATOR (Wine) EXE is the Windows program. Exit 77: cannot run here.
set -u
part=$1 exe=$2 run=${3:-}
if [ -n "$run" ] && [ -z "${WINEPREFIX:-}" ]; then
  echo "no Wine prefix (run the Windows tests through their Wine script): skipped"
  exit 77
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-cli-XXXXXX") || exit 1
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Paths as the program under test spells them: Wine sees / as drive Z:.
native() { if [ -n "$run" ]; then printf 'Z:%s' "$1" | tr / '\\'; else printf '%s' "$1"; fi; }
# Windows runs a fragment's lines together; Linux keeps its line breaks as LF
# (without the last one) and ends the signature with LF.
if [ -n "$run" ]; then eol='\r\n' fragment='<p>H</p>'; else eol='\n' fragment='<p>\nH</p>'; fi

# Sources with one line and one fragment each, so that every draw gives the
# same text; the template's own CR LF must come out unchanged.
mkdir -p "$tmp/bin/data" "$tmp/html"
printf 'Hi\r\nquote1 htmPath1' > "$tmp/template.txt"
printf 'Q\r\n' > "$tmp/quotes.txt"
printf '<p>\r\nH</p>\r\n' > "$tmp/html/a.htm"
printf "Hi\r\nQ $fragment$eol" > "$tmp/expected"
cp "$exe" "$tmp/bin/"
prog="$tmp/bin/$(basename "$exe")"
settings_for() {  # the seven CR LF lines that Tessaly saves
  for p in "$tmp/template.txt" "$tmp/$1" "$tmp/quotes.txt" "$tmp/quotes.txt" "$tmp/html" "$tmp/html"; do
    printf '"%s"\r\n' "$(native "$p")"
  done
  printf '0\r\n'
}
compose() { $run "$prog" "$@" > "$tmp/out" 2> "$tmp/err"; }
said() { [ "$(tr -d '\r' < "$tmp/err")" = "$1" ]; }  # standard error, exactly

if [ "$part" = installed ]; then
  [ -n "$run" ] && { echo "Windows keeps its settings beside the program: skipped"; exit 77; }
  mkdir -p "$tmp/config/tessaly"
  settings_for config-sig.txt > "$tmp/config/tessaly/data.sfc"
  settings_for bin-sig.txt > "$tmp/bin/data/data.sfc"
  if [ "$(id -u)" -ne 0 ]; then
    chmod a-w "$tmp/bin"
    XDG_CONFIG_HOME="$tmp/config" $run "$prog" --write
  elif unshare -m true 2>/dev/null; then
    # The superuser may write anywhere but on a read-only mount.
    XDG_CONFIG_HOME="$tmp/config" unshare -m sh -c \
      'mount --bind -o ro "$1" "$1" && exec "$2" --write' sh "$tmp/bin" "$prog"
  else
    echo "cannot make the program's folder read-only for the superuser here: skipped"
    exit 77
  fi
  [ $? -eq 0 ] || fail "--write with settings in \$XDG_CONFIG_HOME"
  [ -f "$tmp/config-sig.txt" ] || fail "the signature named in \$XDG_CONFIG_HOME/tessaly/data.sfc was not written"
  [ ! -e "$tmp/bin-sig.txt" ] || fail "the settings beside a read-only program were used"
  exit $((failures > 0))
fi

settings_for sig.txt > "$tmp/bin/data/data.sfc"
compose; status=$?
[ $status -eq 0 ] || fail "compose from the settings beside the program: status $status, $(cat "$tmp/err")"
cmp -s "$tmp/out" "$tmp/expected" || fail "standard output: $(od -c "$tmp/out")"
[ -s "$tmp/err" ] && fail "standard error not empty: $(cat "$tmp/err")"
[ -e "$tmp/sig.txt" ] && fail "printing wrote the signature file"

compose --write; status=$?
[ $status -eq 0 ] && [ ! -s "$tmp/out" ] || fail "--write: status $status, output $(cat "$tmp/out")"
cmp -s "$tmp/sig.txt" "$tmp/expected" || fail "--write: $(od -c "$tmp/sig.txt")"

# cmd's way of asking for help, on Windows only: the C runtime must hand the
# program "/?" as it is, not expanded as a file name pattern. Elsewhere it is
# a mistake on the command line, which exits with 2.
compose '/?'; status=$?
if [ -n "$run" ]; then
  [ $status -eq 0 ] && [ "$(head -n 1 "$tmp/out" | tr -d '\r')" = "Usage: tessaly-compose [OPTION]..." ] ||
    fail "/?: status $status, $(head -n 1 "$tmp/out")"
else
  [ $status -eq 2 ] && [ ! -s "$tmp/out" ] || fail "/? is not an option here: status $status"
fi

# A failure, as a mail client's hook sees it: status 1 and a message.
if [ -w /dev/full ]; then
  $run "$prog" > /dev/full 2> "$tmp/err"; status=$?
  [ $status -eq 1 ] && said "tessaly-compose: cannot write to standard output" ||
    fail "a full standard output: status $status, $(cat "$tmp/err")"
fi
exit $((failures > 0))
