#!/usr/bin/env bash
# Installs what is missing, builds and launches the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exe="${QNI_BUILD_DIR:-build}/bin/quarn-network-information"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "quarn-network-information: no display found; run it under Xvfb with: xvfb-run -a $exe" >&2
  exit 1
fi
exec "$exe" "$@"
