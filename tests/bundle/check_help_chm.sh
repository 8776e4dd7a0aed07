#!/bin/sh
# Checks the built help file as the help viewer reads it: every help context
# number that the window's controls carry is mapped, to the topic that the
# help project names for it, and that topic is stored in the file under the
# very name the mapping gives; the file opens at the overview, has an index
# and full-text search, and holds nothing of the folders it was built in.
#
# check_help_chm.sh CHMLS HELP.CHM LAYOUT.CPP LAYOUT.H HELP.HHP BUILD_DIR
set -eu
chmls=$1 chm=$2 layout_cpp=$3 layout_h=$4 hhp=$5 build_dir=$6

fail() { echo "FAIL: $*" >&2; status=1; }
status=0

[ -f "$chm" ] || { echo "FAIL: $chm was not built" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# chmls writes the mapping next to the file it reads, so read a copy.
cp "$chm" "$work/help.chm"

# The numbers in use: the help context column of the layout table (the field
# before the visibility flag closing each row) and the window's own.
sed -n 's/^ *ControlRow{.*, \([0-9][0-9]*\), \(true\|false\)},$/\1/p' "$layout_cpp" >"$work/rows"
rows=$(grep -c '^ *ControlRow{' "$layout_cpp" || true)
[ "$rows" -gt 0 ] && [ "$rows" -eq "$(wc -l <"$work/rows")" ] ||
  fail "read the help context of $(wc -l <"$work/rows") of $rows rows of $layout_cpp"
sed -n 's/.*kWindowHelpContext = \([0-9][0-9]*\);.*/\1/p' "$layout_h" | cat "$work/rows" - | grep -v '^0$' |
  sort -un >"$work/used"

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
diff "$work/used" "$work/mapped_numbers" >&2 ||
  fail "the context numbers in use and those mapped in help.chm differ (above: < in use, > mapped)"

# F1 on Stop must not open the page about the template field.
dups=$(cut -d' ' -f2 "$work/mapped" | sort | uniq -d)
[ -z "$dups" ] || fail "topics that answer more than one context number: $dups"

# The viewer opens a mapped topic by its name inside the file: the plain
# page name, stored at the top.
while read -r number topic; do
  expected=$(awk -v n="$number" '$1 == n { print $2 }' "$work/project")
  [ "$topic" = "$expected" ] || fail "$number opens '$topic'; the help project names '$expected'"
  grep -qxF "/$topic" "$work/stored" || fail "$number is mapped to $topic, which is not in help.chm"
done <"$work/mapped"

# Nothing of the build's folders: no page stored below the top, and no stored
# file (topic strings, URLs, the system file) naming the build folder or the
# staging folder.
grep -E '\.(htm|css|hhc|hhk)$' "$work/stored" | grep -v '^/[^/]*$' >&2 &&
  fail "pages stored below the top of help.chm (above)"
mkdir "$work/files"
(cd "$work" && "$chmls" extractall help.chm files >/dev/null 2>&1) || fail "chmls extractall failed"
[ -f "$work/files/#STRINGS" ] || fail "help.chm has no #STRINGS to check"
grep -rl -F -e "$build_dir" -e "help-stage" "$work/files" >&2 &&
  fail "help.chm names the build folder in the files above"

# Every page of the help folder is compiled in and reachable from the contents.
help_dir=$(dirname "$hhp")
for page in "$help_dir"/*.htm; do
  name=${page##*/}
  grep -qxF "/$name" "$work/stored" || fail "$name is not in help.chm"
  grep -q "value=\"$name[\"#]" "$help_dir/toc.hhc" || fail "$name is not in the contents (toc.hhc)"
done

"$chmls" printsystem "$work/help.chm" 2>/dev/null | tr -d '\r' >"$work/system"
default=$(sed -n 's/^.*Default topic from \[options\] *:\([^ ]*\) *$/\1/p' "$work/system")
[ "$default" = "overview.htm" ] || fail "the default topic is '$default', not overview.htm"

# The index: named in the system file, stored, and every keyword of the
# index source is in the binary index that the Index tab reads.
grep -q 'Index file from \[options\] *:index.hhk' "$work/system" || fail "help.chm names no index file"
(cd "$work" && "$chmls" extractindex help.chm index.txt >/dev/null 2>&1) || fail "chmls extractindex failed"
sed -n 's/.*<param name="Name" value="\([^"]*\)">.*/\1/p' "$help_dir/index.hhk" >"$work/keywords"
[ -s "$work/keywords" ] || fail "no keywords in $help_dir/index.hhk"
while read -r keyword; do
  grep -qF "value=\"$keyword\"" "$work/index.txt" || fail "the index lacks '$keyword'"
done <"$work/keywords"
# Full-text search: the switch in the system file and the search's own file.
grep -q 'fullttext search is on *: *1' "$work/system" || fail "full-text search is off in help.chm"
grep -qxF '/$FIftiMain' "$work/stored" || fail "help.chm has no full-text search index"

[ $status -eq 0 ] && echo "help.chm maps $(wc -l <"$work/mapped") context numbers: $(tr '\n' ' ' <"$work/used")"
exit $status
