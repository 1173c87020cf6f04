#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the README's picture, docs/window.png (or the path given): the real
# program on a described Windows XP machine under Xvfb, a click on
# "Gather Info", and a picture of the window once the status line shows the
# gather's end.
#   scripts/screenshot.sh [output.png]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib/picture-after-gather.sh"
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/window.png}")"
build_dir="${QNI_BUILD_DIR:-build}"
program="$PWD/$build_dir/bin/quarn-network-information"

if [[ "${QNI_SCREENSHOT_INNER:-}" != 1 ]]; then
  scripts/deps.sh imagemagick
  [[ -f "$build_dir/build.ninja" ]] ||
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build_dir" -j "$(nproc)" --target quarn-network-information qni-cmd ipconfig >/dev/null
  QNI_SCREENSHOT_INNER=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$out"
fi

fail() {
  echo "screenshot: $*" >&2
  exit 1
}

work="$(mktemp -d)"
QNI_MACHINE="$PWD/tests/data/machines/xp-sp3.json" "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

wid="$(timeout 20 xdotool search --sync --onlyvisible --pid "$pid" --name '^Quarn Network Information$' |
       head -n 1)" || fail "the window did not appear"
eval "$(xdotool getwindowgeometry --shell "$wid")" # WIDTH, HEIGHT
# The client area, 474 x 420 pixels, sits below the menu bar; the button's
# middle is at (420, 28) in it, the status line is its last 20 rows.
menu=$((HEIGHT - 420))
((menu >= 0 && WIDTH >= 474)) || fail "unexpected window size ${WIDTH}x${HEIGHT}"

status() {
  import -window "$wid" "$work/shot.png"
  convert "$work/shot.png" -crop "${WIDTH}x18+0+$((HEIGHT - 19))" +repage -format '%#' info:
}

empty="$(status)"
xdotool mousemove --window "$wid" 420 $((menu + 28)) click 1
picture_after_gather "$empty"
echo "screenshot: $out (${WIDTH}x${HEIGHT})"
