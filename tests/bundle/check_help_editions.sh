#!/bin/sh
# Checks the help as each edition gets it from the one set of sources: every
# topic of the help project exists in both editions, each edition keeps its
# own marked text and loses the other's, the Linux pages name no Windows-only
# path or tool, and the Linux project still maps every context number.
#
# check_help_editions.sh CMAKE RENDER_HELP.CMAKE HELP_SOURCES LINUX_HELP
#   LINUX_HELP: the Linux edition's help as the build wrote it (and the
#   package installs it); the Windows pages are rendered here.
set -u
cmake=$1 render=$2 sources=$3 linux=$4

. "$(dirname "$0")/help_common.sh"
windows=$work/windows
"$cmake" -DEDITION=windows -DSOURCE_DIR="$sources" -DOUTPUT_DIR="$windows" -P "$render" ||
  { echo "FAIL: rendering the Windows pages" >&2; exit 1; }

# The topics: the pages the project lists and the pages context numbers open.
{
  section "$sources/help.hhp" FILES | grep '\.htm$'
  section "$sources/help.hhp" ALIAS | cut -d= -f2
} | sort -u >"$work/topics"
[ -s "$work/topics" ] || fail "no topics in $sources/help.hhp"
while read -r topic; do
  [ -f "$windows/$topic" ] || fail "$topic: no Windows page"
  [ -f "$linux/$topic" ] || fail "$topic: no Linux page"
done <"$work/topics"

# No mark survives, and no page is cut short by a mark.
grep -Hn -E '<!--/?(windows|linux)-->' "$windows"/*.htm "$linux"/*.htm >&2 && fail "pages keep an edition mark (above)"
cut_short=$(grep -L '</html>' "$windows"/*.htm "$linux"/*.htm)
[ -z "$cut_short" ] || fail "pages that end early: $cut_short"

# Each edition its own text: where the settings live.
grep -qF 'data\data.sfc' "$windows/settings.htm" || fail "the Windows settings page does not name data\\data.sfc"
grep -qF '~/.config/tessaly/data.sfc' "$linux/settings.htm" || fail "the Linux settings page does not name ~/.config/tessaly/data.sfc"
grep -qF '~/.config/autostart/' "$linux/settings.htm" || fail "the Linux settings page does not tell how to start at log-in"

# Windows-only paths and tools have no place in the Linux help.
windows_only='\.exe|\.chm|Notepad|Task Manager|Explorer|Startup folder|%APPDATA%|Outlook|registry|log off'
windows_only="$windows_only"'|[A-Za-z]:\\|\\[A-Za-z]|windows-1252'
grep -Hn -i -E "$windows_only" "$linux"/*.htm "$linux"/help.hhp >&2 &&
  fail "the Linux help names Windows-only paths or tools (above)"
undeclared=$(grep -L -i 'charset=utf-8' "$linux"/*.htm)
[ -z "$undeclared" ] || fail "Linux pages that do not declare UTF-8: $undeclared"
# And Linux-only places none in the Windows help.
grep -Hn -E '~/|/usr/share|xdg-' "$windows"/*.htm >&2 && fail "the Windows help names Linux paths (above)"

# The Linux edition finds its topics through the project: the same default
# topic and the same map from context numbers to pages as the sources.
for part in ALIAS MAP; do
  section "$sources/help.hhp" $part >"$work/source_$part"
  section "$linux/help.hhp" $part >"$work/linux_$part"
  cmp -s "$work/source_$part" "$work/linux_$part" || fail "the Linux help.hhp's [$part] differs from the sources'"
done
grep -qx 'Default topic=overview.htm' "$linux/help.hhp" || fail "the Linux help.hhp names no default topic"

[ $status -eq 0 ] && echo "$(wc -l <"$work/topics") topics in both editions; the Linux help names no Windows-only path or tool"
exit $status
