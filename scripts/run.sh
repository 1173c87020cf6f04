#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds and launches the program. Without a
# display it prints the facts in the terminal instead of the window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exe="${QNI_BUILD_DIR:-build}/bin/quarn-network-information"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" && " $* " != *" --json "* &&
      " $* " != *" --report "* ]]; then
  echo "quarn-network-information: no display found, so the facts are printed here; for the window run: xvfb-run -a $exe" >&2
  exec "$exe" --report "$@"
fi
exec "$exe" "$@"
