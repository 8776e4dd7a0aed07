#!/bin/sh
# Checks the built help file as the help viewer reads it: every help context
# number that the window's controls carry is mapped, to the topic that the
# help project names for it, and that topic is stored in the file under the
# very name the mapping gives; the file opens at the overview.
#
# check_help_chm.sh CHMLS HELP.CHM LAYOUT.CPP LAYOUT.H HELP.HHP
set -eu
chmls=$1 chm=$2 layout_cpp=$3 layout_h=$4 hhp=$5

fail() { echo "FAIL: $*" >&2; status=1; }
status=0

[ -f "$chm" ] || { echo "FAIL: $chm was not built" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# chmls writes the mapping next to the file it reads, so read a copy.
cp "$chm" "$work/help.chm"

# The numbers in use: the help context column of the layout table (the field
# before the visibility flag closing each row) and the window's own.
{
  sed -n 's/^ *ControlRow{.*, \([0-9][0-9]*\), \(true\|false\)},$/\1/p' "$layout_cpp"
  sed -n 's/.*kWindowHelpContext = \([0-9][0-9]*\);.*/\1/p' "$layout_h"
} | grep -v '^0$' | sort -un >"$work/used"
rows=$(grep -c '^ *ControlRow{' "$layout_cpp" || true)
parsed=$(sed -n 's/^ *ControlRow{.*, \([0-9][0-9]*\), \(true\|false\)},$/\1/p' "$layout_cpp" | wc -l)
[ "$rows" -gt 0 ] && [ "$rows" -eq "$parsed" ] ||
  fail "read the help context of $parsed of $rows rows of $layout_cpp"
[ -s "$work/used" ] || fail "no help context numbers in $layout_cpp"

# The mapping as stored in the file: helpid<number>=<topic>.
(cd "$work" && "$chmls" extractalias help.chm >/dev/null 2>&1) || fail "chmls extractalias failed"
tr -d '\r' <"$work/help.ali" | sed -n 's/^helpid\([0-9][0-9]*\)=\(.*\)$/\1 \2/p' | sort -n >"$work/mapped"
"$chmls" -n -p list "$work/help.chm" 2>/dev/null | tr -d '\r' >"$work/stored"

# The topic file that the project maps each number to.
tr -d '\r' <"$hhp" | awk '
  /^\[/ { section = $0; next }
  section == "[ALIAS]" && /=/ { split($0, kv, "="); alias[kv[1]] = kv[2] }
  section == "[MAP]" && $1 == "#define" { number[$2] = $3 }
  END { for (name in number) print number[name], alias[name] }' | sort -n >"$work/project"

cut -d' ' -f1 "$work/mapped" >"$work/mapped_numbers"
if ! cmp -s "$work/used" "$work/mapped_numbers"; then
  fail "the context numbers in use and those mapped in help.chm differ (< in use, > mapped):"
  diff "$work/used" "$work/mapped_numbers" >&2 || true
fi

# F1 on Stop must not open the page about the template field.
dups=$(cut -d' ' -f2 "$work/mapped" | sort | uniq -d)
[ -z "$dups" ] || fail "topics that answer more than one context number: $dups"

while read -r number topic; do
  grep -qxF "$topic" "$work/stored" || fail "$number is mapped to $topic, which is not in help.chm"
  expected=$(awk -v n="$number" '$1 == n { print $2 }' "$work/project")
  [ "${topic##*/}" = "$expected" ] || fail "$number opens ${topic##*/}; the help project names '$expected'"
  grep -qxF "/$expected" "$work/stored" || fail "/$expected is not in help.chm"
done <"$work/mapped"

# Every page of the help folder is compiled in and reachable from the contents.
help_dir=$(dirname "$hhp")
for page in "$help_dir"/*.htm; do
  name=${page##*/}
  grep -qxF "/$name" "$work/stored" || fail "$name is not in help.chm"
  grep -q "value=\"$name[\"#]" "$help_dir/toc.hhc" || fail "$name is not in the contents (toc.hhc)"
done

default=$("$chmls" printsystem "$work/help.chm" 2>/dev/null | tr -d '\r' |
          sed -n 's/^.*Default topic from \[options\] *:\([^ ]*\) *$/\1/p')
[ "$default" = "overview.htm" ] || fail "the default topic is '$default', not overview.htm"
grep -qxF "/overview.htm" "$work/stored" || fail "/overview.htm is not in help.chm"

[ $status -eq 0 ] && echo "help.chm maps $(wc -l <"$work/mapped") context numbers: $(tr '\n' ' ' <"$work/used")"
exit $status
