#!/bin/sh
# What tessaly.exe asks of Windows, read from its import table: only DLLs
# that come with Windows (a missing -static would add the compiler's), and
# the ANSI calls only: the tray tip, the paths and the messages reach Windows
# as the program's bytes, untranscoded.
#
#   check_imports.sh OBJDUMP TESSALY.EXE
set -u
imports=$("$1" -p "$2") || { echo "FAIL: $1 cannot read $2"; exit 1; }
status=0
fail() { echo "FAIL: $*"; status=1; }

system=' kernel32.dll user32.dll gdi32.dll shell32.dll comctl32.dll comdlg32.dll ole32.dll uxtheme.dll msimg32.dll msvcrt.dll '
for dll in $(printf '%s\n' "$imports" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]'); do
  case $system in *" $dll "*) ;; *) fail "$dll does not come with Windows" ;; esac
done
for call in Shell_NotifyIcon ShellExecute MessageBox SetWindowText GetWindowText GetOpenFileName SHBrowseForFolder \
            SHGetPathFromIDList CreateFile; do
  printf '%s\n' "$imports" | grep -qE "[[:space:]]${call}A\$" || fail "$call is not imported as ${call}A"
  printf '%s\n' "$imports" | grep -qE "[[:space:]]${call}W\$" && fail "$call is imported as ${call}W"
done
[ $status -eq 0 ] && echo "$2 imports only system DLLs and their ANSI calls"
exit $status
