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

[ -f "$chm" ] || { echo "FAIL: $chm was not built" >&2; exit 1; }
. "$(dirname "$0")/help_common.sh"
# chmls writes the mapping next to the file it reads, so read a copy.
cp "$chm" "$work/help.chm"

# The numbers in use: the help context column of the layout table (the field
# before the visibility flag closing each row) and the window's own.
sed -n 's/^ *ControlRow{.*, \([0-9][0-9]*\), \(true\|false\)},$/\1/p' "$layout_cpp" >"$work/rows"
[ "$(grep -c '^ *ControlRow{' "$layout_cpp")" -eq "$(wc -l <"$work/rows")" ] ||
  fail "read the help context of only $(wc -l <"$work/rows") rows of $layout_cpp"
sed -n 's/.*kWindowHelpContext = \([0-9][0-9]*\);.*/\1/p' "$layout_h" | cat "$work/rows" - | grep -v '^0$' |
  sort -un >"$work/used"

# The mapping as stored in the file: helpid<number>=<topic>.
(cd "$work" && "$chmls" extractalias help.chm >/dev/null 2>&1) || fail "chmls extractalias failed"
tr -d '\r' <"$work/help.ali" | sed -n 's/^helpid\([0-9][0-9]*\)=\(.*\)$/\1 \2/p' | sort -n >"$work/mapped"
"$chmls" -n -p list "$work/help.chm" 2>/dev/null | tr -d '\r' >"$work/stored"

# The topic file that the project maps each number to.
section "$hhp" MAP | awk '$1 == "#define" { print $2, $3 }' | sort >"$work/numbers"
section "$hhp" ALIAS | tr = ' ' | sort | join "$work/numbers" - | cut -d' ' -f2- | sort -n >"$work/project"

cut -d' ' -f1 "$work/mapped" | diff "$work/used" - >&2 ||
  fail "the context numbers in use and those mapped in help.chm differ (above: < in use, > mapped)"

# F1 on Stop must not open the page about the template field.
dups=$(cut -d' ' -f2 "$work/mapped" | sort | uniq -d)
[ -z "$dups" ] || fail "topics that answer more than one context number: $dups"

# The viewer opens a mapped topic by its name inside the file: the plain
# page name that the help project gives (every page is stored at the top:
# see below).
diff "$work/project" "$work/mapped" >&2 ||
  fail "help.chm maps context numbers to other topics than the help project (above: < project, > help.chm)"

# Nothing of the build's folders: no stored file (topic strings, URLs, the
# system file) names the build folder or the staging folder.
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
