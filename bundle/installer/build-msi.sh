#!/bin/sh
# Builds the installer from its WiX source with wixl, then writes with
# msibuild what wixl cannot:
# - the condition of the sign-in entry: AUTOSTART=1 asks for it, and an
#   entry that is there already keeps it unless AUTOSTART is given
#   (AUTOSTART=0 drops it). That second half also holds while uninstalling,
#   when the condition must be true for Windows Installer to remove the
#   entry: a component whose condition is false is left alone;
# - the properties that a managed (elevated) install takes from its command
#   line.
#
#   build-msi.sh WXS VERSION ARCH OUTPUT     (ARCH: x64 or x86)
# WIXL and MSIBUILD name the tools when they are not on the PATH.
set -eu
wxs=$1 version=$2 arch=$3 out=$4
wixl=${WIXL:-wixl} msibuild=${MSIBUILD:-msibuild}

part="$out.part"
rm -f "$part"
trap 'rm -f "$part"' EXIT
"$wixl" --arch "$arch" --define Version="$version" --output "$part" "$wxs"
"$msibuild" "$part" -q "UPDATE \`Component\` SET \`Condition\` = 'AUTOSTART = \"1\" OR (SIGNINBEFORE AND NOT AUTOSTART)' WHERE \`Component\` = 'StartAtSignIn'"
"$msibuild" "$part" -q "UPDATE \`Property\` SET \`Value\` = 'AUTOSTART;INSTALLDIR;SIGNINBEFORE;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE \`Property\` = 'SecureCustomProperties'"
mv "$part" "$out"
