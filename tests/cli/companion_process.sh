#!/bin/sh
# tessaly-compose as a shell and a mail client see it: the settings file it
# finds by itself, the bytes on standard output, exit statuses and messages.
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

# A signature that names the template, however written, leaves it whole.
cp "$tmp/template.txt" "$tmp/template.before"
compose --write --signature "$(native "$tmp/html/../template.txt")"; status=$?
[ $status -eq 1 ] && said "tessaly-compose: signature file '$(native "$tmp/html/../template.txt")': the same file as the template" &&
  cmp -s "$tmp/template.txt" "$tmp/template.before" ||
  fail "a signature over the template: status $status, $(cat "$tmp/err")"

# On Linux a quote file with LF line ends gives one line at a time.
if [ -z "$run" ]; then
  printf 'one\ntwo\nthree\n' > "$tmp/lf.txt"
  printf 'quote1' > "$tmp/lf-template.txt"
  for i in 1 2 3 4 5 6; do
    compose --template "$tmp/lf-template.txt" --quote1 "$tmp/lf.txt" || fail "LF quotes: $(cat "$tmp/err")"
    case $(cat "$tmp/out") in one|two|three) ;; *) fail "LF quotes gave $(od -c "$tmp/out")" ;; esac
  done
fi

compose --help; status=$?
[ $status -eq 0 ] && [ "$(head -n 1 "$tmp/out" | tr -d '\r')" = "Usage: tessaly-compose [OPTION]..." ] ||
  fail "--help: status $status, $(head -n 1 "$tmp/out")"
# cmd's way of asking for help, on Windows only: the C runtime must hand the
# program "/?" as it is, not expanded as a file name pattern.
compose '/?'; status=$?
if [ -n "$run" ]; then
  [ $status -eq 0 ] && [ "$(head -n 1 "$tmp/out" | tr -d '\r')" = "Usage: tessaly-compose [OPTION]..." ] ||
    fail "/?: status $status, $(head -n 1 "$tmp/out")"
else
  [ $status -eq 2 ] || fail "/? is not an option here: status $status"
fi
compose --version; status=$?
head -n 1 "$tmp/out" | grep -q '^tessaly-compose (Tessaly) [0-9]' && [ $status -eq 0 ] || fail "--version: $(cat "$tmp/out")"

compose --bogus; status=$?
[ $status -eq 2 ] && [ ! -s "$tmp/out" ] &&
  said "tessaly-compose: unrecognized option '--bogus'
Try 'tessaly-compose --help' for more information." ||
  fail "bad option: status $status, $(cat "$tmp/err")"

# A settings file that is not understood is refused, and kept.
cp "$tmp/bin/data/data.sfc" "$tmp/settings.before"
printf '"%s"\r\n' "$(native "$tmp/template.txt")" > "$tmp/bin/data/data.sfc"
compose --write; status=$?
[ $status -eq 1 ] && said "tessaly-compose: settings file '$(native "$tmp/bin/data/data.sfc")': malformed: 1 line instead of 7" ||
  fail "malformed settings: status $status, $(cat "$tmp/err")"
mv "$tmp/settings.before" "$tmp/bin/data/data.sfc"

rm "$tmp/template.txt"
compose; status=$?
[ $status -eq 1 ] && [ ! -s "$tmp/out" ] &&
  said "tessaly-compose: template file '$(native "$tmp/template.txt")': not found" ||
  fail "missing template: status $status, $(cat "$tmp/err")"

printf 'quote1' > "$tmp/template.txt"
if [ -w /dev/full ]; then
  $run "$prog" > /dev/full 2> "$tmp/err"; status=$?
  [ $status -eq 1 ] && said "tessaly-compose: cannot write to standard output" ||
    fail "a full standard output: status $status, $(cat "$tmp/err")"
fi
exit $((failures > 0))
