#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds and runs every test. Tests that need an X
# server (the window walk, the real window) get one from Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
build_dir="${QNI_BUILD_DIR:-build}"
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" "$@"
