#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer
# (the "asan" CMake preset) and runs it under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
[[ -f build-asan/build.ninja ]] || cmake --preset asan
cmake --build --preset asan -j "$(nproc)"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset asan "$@"
