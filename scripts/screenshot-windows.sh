#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A picture of the Windows program's window under Wine and Xvfb: the program
# on a described machine (QNI_MACHINE holds the description's Windows path),
# a click on "Gather Info", and the window once the status line shows the
# gather's end.
#   scripts/screenshot-windows.sh <program.exe> <machine.json> [output.png]
# The output defaults to docs/window-windows.png. Wine runs in a prefix of
# its own ($QNI_SCREENSHOT_PREFIX, by default under /tmp), made on first use
# at 96 dpi and without a window manager, so that Wine draws the title bar as
# Windows does. A 32-bit program needs Debian's wine32, a 64-bit one wine64.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/picture-after-gather.sh"

usage() {
  echo "usage: $0 <program.exe> <machine.json> [output.png]" >&2
  exit 2
}
fail() {
  echo "screenshot-windows: $*" >&2
  exit 1
}
(($# == 2 || $# == 3)) || usage
cd "$(dirname "$0")/.."
program="$(realpath -e "$1")" || usage
machine="$(realpath -e "$2")" || usage
out="$(realpath -m "${3:-docs/window-windows.png}")"

if [[ "${QNI_SCREENSHOT_INNER:-}" != 1 ]]; then
  for tool in xvfb-run xdotool import convert; do
    command -v "$tool" >/dev/null ||
      fail "$tool is missing: apt-get install --no-install-recommends xvfb xauth xdotool imagemagick wine64"
  done
  QNI_SCREENSHOT_INNER=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" "$machine" "$out"
fi

# The PE header's machine field: 014c for x86, 8664 for x86-64.
pe=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
case "$(od -An -tx2 -j$((pe + 4)) -N2 "$program" | tr -d ' ')" in
  014c) wine=/usr/lib/wine/wine ;;
  8664) wine=/usr/lib/wine/wine64 ;;
  *) fail "$program is not a Windows program for x86 or x86-64" ;;
esac
[[ -x $wine ]] || fail "$wine is missing: apt-get install wine64 (64-bit programs) or wine32:i386 (32-bit ones)"
export WINEPREFIX="${QNI_SCREENSHOT_PREFIX:-/tmp/qni-screenshot-wine-$(id -u)}"
export WINELOADER="$wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wineserver="$(dirname "$wine")/wineserver"
[[ -x "$wineserver" ]] || wineserver="$(dirname "$wine")/wineserver64"

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "screenshot-windows: making the Wine prefix $WINEPREFIX"
  DISPLAY='' "$wine" wineboot -i >/dev/null 2>&1 || true
  # The registry is written when the wineserver ends.
  "$wineserver" -w
  [[ -f "$WINEPREFIX/system.reg" ]] || fail "wineboot could not make $WINEPREFIX"
  # Unmanaged windows: Wine draws their frames itself, and closing one does
  # not wait for a window manager that is not there.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # The caption's buttons are Marlett's glyphs, which a prefix made without
  # wine32 lacks: without them they read "0 1 r".
  marlett=/usr/share/wine/fonts/marlett.ttf
  if [[ -f $marlett ]]; then
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
      /d "$(winepath -w "$marlett")" /f >/dev/null 2>&1
  fi
  "$wineserver" -w
fi

work="$(mktemp -d)"
QNI_MACHINE="$(winepath -w "$machine" 2>/dev/null)" "$wine" "$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; "$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT

wid="$(timeout 30 xdotool search --sync --onlyvisible --name '^Quarn Network Information$' | head -n 1)" ||
  fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")" # WIDTH, HEIGHT
# The client area is 474 x 420 pixels at 96 dpi, framed by equal borders
# left, right and below; the caption and the menu bar are above it. The
# button's middle is at (420, 28) in it, the status line its last 20 rows.
border=$(((WIDTH - 474) / 2))
top=$((HEIGHT - 420 - border))
((border >= 0 && top >= 0)) || fail "unexpected window size ${WIDTH}x${HEIGHT}"

status() {
  import -window "$wid" "$work/shot.png"
  convert "$work/shot.png" -crop "474x18+${border}+$((top + 401))" +repage -format '%#' info:
}

sleep 0.5
empty="$(status)"
xdotool mousemove --window "$wid" $((border + 420)) $((top + 28)) click 1
picture_after_gather "$empty"
echo "screenshot-windows: $out (${WIDTH}x${HEIGHT})"
