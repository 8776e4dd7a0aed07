#!/bin/sh
# tessaly-compose as a shell and a mail client see it: the settings file it
# finds beside itself, the bytes on standard output, exit statuses and
# messages. What its command line means is tested in process
# (companion_test.cpp).
#
#   companion_process.sh EXE [EMULATOR]
# With an EMULATOR (Wine) EXE is the Windows program. Exit 77: cannot run here.
set -u
exe=$1 run=${2:-}
if [ -n "$run" ] && [ -z "${WINEPREFIX:-}" ]; then
  echo "no Wine prefix (run the Windows tests through their Wine script): skipped"
  exit 77
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-cli-XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
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
{  # the seven CR LF lines that Tessaly saves
  for p in "$tmp/template.txt" "$tmp/sig.txt" "$tmp/quotes.txt" "$tmp/quotes.txt" "$tmp/html" "$tmp/html"; do
    printf '"%s"\r\n' "$(native "$p")"
  done
  printf '0\r\n'
} > "$tmp/bin/data/data.sfc"
compose() { $run "$prog" "$@" > "$tmp/out" 2> "$tmp/err"; }

compose; status=$?
[ $status -eq 0 ] || fail "compose from the settings beside the program: status $status, $(cat "$tmp/err")"
cmp -s "$tmp/out" "$tmp/expected" || fail "standard output: $(od -c "$tmp/out")"
[ -s "$tmp/err" ] && fail "standard error not empty: $(cat "$tmp/err")"
[ -e "$tmp/sig.txt" ] && fail "printing wrote the signature file"

compose --write; status=$?
[ $status -eq 0 ] && [ ! -s "$tmp/out" ] || fail "--write: status $status, output $(cat "$tmp/out")"
cmp -s "$tmp/sig.txt" "$tmp/expected" || fail "--write: $(od -c "$tmp/sig.txt")"

# cmd's way of asking for help, under Wine: the C runtime must hand the
# program "/?" as it is, not expanded as a file name pattern.
if [ -n "$run" ]; then
  compose '/?'; status=$?
  [ $status -eq 0 ] && [ "$(head -n 1 "$tmp/out" | tr -d '\r')" = "Usage: tessaly-compose [OPTION]..." ] ||
    fail "/?: status $status, $(head -n 1 "$tmp/out")"
fi

# A failure, as a mail client's hook sees it: status 1 and a message.
if [ -w /dev/full ]; then
  $run "$prog" > /dev/full 2> "$tmp/err"; status=$?
  [ $status -eq 1 ] && [ "$(tr -d '\r' < "$tmp/err")" = "tessaly-compose: cannot write to standard output" ] ||
    fail "a full standard output: status $status, $(cat "$tmp/err")"
fi
exit $((failures > 0))
