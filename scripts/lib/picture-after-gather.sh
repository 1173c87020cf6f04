# SPDX-License-Identifier: MIT
# Sourced by the screenshot scripts: waits for the status line to reach its
# final text after a click on "Gather Info", then pictures window $wid into
# $out. The caller's `status` prints a hash of the status line's pixels;
# $1 is its hash before the click.
picture_after_gather() {
  local empty=$1 first="" since=0 now deadline=$((SECONDS + 60))
  # The status line goes from empty to "Gathering…", then to the final text.
  # Should the first text seen already be the final one, it stays: ten
  # steady seconds settle it.
  while :; do
    ((SECONDS < deadline)) || fail "the status line did not reach its final text"
    sleep 0.2
    now="$(status)"
    [[ "$now" == "$empty" ]] && continue
    if [[ -z "$first" ]]; then
      first="$now"
      since=$SECONDS
    elif [[ "$now" != "$first" ]] || ((SECONDS - since >= 10)); then
      break
    fi
  done
  # No hover highlight on the button in the picture.
  xdotool mousemove 0 0
  sleep 0.5
  mkdir -p "$(dirname "$out")"
  import -window "$wid" -strip "$out"
}
