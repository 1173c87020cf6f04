#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes (or resets the version of) a 64-bit Wine prefix for the Windows
# tests, without a display or questions, and leaves no Wine process behind.
#   scripts/wine-prefix.sh <dir> <winxp64|default>
# winxp64 is the nearest a 64-bit prefix comes to XP (5.2.3790, Service
# Pack 2); a BuildLab value is added as XP SP3 has it, since Wine writes none
# and the program looks for it. default is Wine's own (Windows 7, 6.1.7601).
set -euo pipefail
usage() { echo "usage: $0 <dir> <winxp64|default>" >&2; exit 2; }
(($# == 2)) || usage
case $2 in winxp64) version=winxp64 ;; default) version=win7 ;; *) usage ;; esac

wine64=/usr/lib/wine/wine64
[[ -x $wine64 ]] || { echo "wine64 is not installed (apt-get install wine64)" >&2; exit 2; }
mkdir -p "$1"
export WINEPREFIX
WINEPREFIX=$(cd "$1" && pwd)
if [[ ! -f $WINEPREFIX/system.reg && -n $(ls -A "$WINEPREFIX") ]]; then
  echo "$WINEPREFIX is neither empty nor a Wine prefix" >&2; exit 2
fi
export WINELOADER=$wine64 WINEDEBUG=-all
# Mono and Gecko would be offered in a dialog; nothing here uses them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
unset DISPLAY WAYLAND_DISPLAY
log=$(mktemp)
trap 'rm -f "$log"; /usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
wine() {
  "$wine64" "$@" >"$log" 2>&1 || { echo "wine $*:" >&2; cat "$log" >&2; return 1; }
}
[[ -f $WINEPREFIX/system.reg ]] || wine wineboot -i
wine winecfg -v "$version"
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
if [[ $version == winxp64 ]]; then
  wine reg add "$key" /v BuildLab /d 2600.xpsp_sp3_qfe.101209-1646 /f
else
  "$wine64" reg delete "$key" /v BuildLab /f >/dev/null 2>&1 || true
fi
# A crashing test prints its backtrace and fails instead of waiting on a
# dialog under Xvfb.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
# Unmanaged windows: without a window manager, closing a managed one waits
# for an answer that never comes.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
# The registry is written when the wineserver ends; wait for that.
/usr/lib/wine/wineserver64 -w
rm -f "$log"
trap - EXIT
