#!/bin/sh
# SPDX-License-Identifier: MIT
# Cross-builds the Windows services and their tests (x86-64, posix threads,
# XP's declarations) and runs them under wine64 in a prefix of their own.
#   tests/windows/platform/run-tests.sh [ctest arguments]
# Without a display the window test runs under xvfb-run where there is one.
# QNI_WINDOWS_TEST_BUILD (default /tmp/qni-winplat-build) and WINEPREFIX
# (default /tmp/wine-winplat) name the folders.
set -eu
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${QNI_WINDOWS_TEST_BUILD:-/tmp/qni-winplat-build}
export WINEPREFIX="${WINEPREFIX:-/tmp/wine-winplat}" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
triplet=x86_64-w64-mingw32

cmake -S "$root/src/windows/platform" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_C_COMPILER=$triplet-gcc-posix \
  -DCMAKE_CXX_COMPILER=$triplet-g++-posix \
  -DCMAKE_RC_COMPILER=$triplet-windres \
  -DCMAKE_FIND_ROOT_PATH=/usr/$triplet \
  -DCMAKE_EXE_LINKER_FLAGS=-static \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/env;WINEDEBUG=-all;WINELOADER=$wine;$wine" >/dev/null
cmake --build "$build" -j2
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i
status=0
run=
[ -n "${DISPLAY:-}" ] || ! command -v xvfb-run >/dev/null || run="xvfb-run -a"
$run ctest --test-dir "$build" --output-on-failure "$@" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
