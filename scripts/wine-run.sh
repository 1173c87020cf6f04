#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a Windows program under wine64, in $WINEPREFIX (scripts/wine-prefix.sh
# makes one); the x86-64 test build's emulator for CTest and test discovery.
#   scripts/wine-run.sh build-windows/x86_64/tests/<test>.exe [args]
set -euo pipefail
wine64=/usr/lib/wine/wine64
[[ -x $wine64 ]] || { echo "wine64 is not installed (apt-get install wine64)" >&2; exit 127; }
export WINELOADER=$wine64 WINEDEBUG=${WINEDEBUG:--all}
# Should a newer Wine update the prefix, it must not stop to offer Mono or
# Gecko, which nothing here uses.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=}

# The first Wine process starts Wine's services, and they keep its output
# open until the wineserver ends; CTest waits for that output to close, so a
# test would take 2.5 s. Started from a process whose output goes nowhere,
# they hold nothing of the test's. Debian's wineserver ends as soon as its
# last program does, which between two tests would start it all anew; this
# one stays 10 s. A wineserver already running for the prefix makes it exit
# non-zero. Tests started side by side wait for the one that starts it.
exec 9>"${TMPDIR:-/tmp}/qni-wine-run-$(id -u).lock"
flock 9
if /usr/lib/wine/wineserver64 -p10 </dev/null >/dev/null 2>&1 9>&-; then
  "$wine64" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
fi
exec 9>&-  # the lock goes with it: no process started here holds it
exec "$wine64" "$@"
