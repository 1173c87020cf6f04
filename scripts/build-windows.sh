#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows program with mingw-w64: the shipped 32-bit build in
# build-windows/i686, held to the XP import check and packed as
# build-windows/quarn-network-information-<version>-win32.zip. With --tests,
# also the 64-bit test build in build-windows/x86_64, its tests run under
# wine64 in the prefix build-windows/wine-prefix, made once (Windows version
# winxp64, or $QNI_WINE_VERSION: default).
#   scripts/build-windows.sh [--tests]
# Both builds are RelWithDebInfo, as the Linux one: the tests run code
# optimised as the shipped program is, and the build tree keeps the symbols
# for reading a crash address from a user's machine; the packed copy is
# stripped.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=0
case ${1:-} in
  --tests) tests=1 ;;
  '') ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac
out=build-windows

packages=(cmake ninja-build zip nlohmann-json3-dev g++-mingw-w64-i686-win32 binutils-mingw-w64-i686)
((tests)) && packages+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine64 python3 xvfb xauth xdotool)
missing=()
for p in "${packages[@]}"; do
  if [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  sudo=()
  ((EUID == 0)) || sudo=(sudo)
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build() {  # <arch> [cmake options]
  cmake -S . -B "$out/$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-$1.cmake" "${@:2}" >/dev/null
  cmake --build "$out/$1" -j "$(nproc)"
}

build i686
exe=$out/i686/bin/quarn-network-information.exe
[[ -f $exe ]] || { echo "$exe was not built: src/windows has no program" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/i686/CMakeCache.txt")
stage=$out/package
rm -rf "$stage"
mkdir -p "$stage"
i686-w64-mingw32-strip -o "$stage/quarn-network-information.exe" "$exe"
scripts/check-xp-imports.sh "$stage/quarn-network-information.exe"
cp src/linux/ui/resources/Hand.cur "$stage/"
# Notepad before Windows 10 shows a text without CR as one line.
sed 's/$/\r/' LICENSE > "$stage/LICENSE.txt"
sed 's/$/\r/' > "$stage/README.txt" <<TEXT
Quarn Network Information $version for Windows

Shows information about this computer and its network: the operating
system, its serial number and version, the memory modules, the processor,
the local and public addresses, the subnet masks and the MAC address.

Runs on Windows XP SP3 and every later Windows, 32- or 64-bit; the facts
are gathered on Windows XP, and any other Windows is told that it is not
one. Nothing needs installing: keep quarn-network-information.exe and
Hand.cur in one folder and start quarn-network-information.exe.

From a command prompt:

  quarn-network-information.exe             the window
  quarn-network-information.exe --report    the facts as text, no window
  quarn-network-information.exe --json      the facts as one JSON object
  quarn-network-information.exe --public-page URL
                                            the page that tells the public
                                            address (default
                                            http://api.ipify.org; "" fetches
                                            nothing)
  quarn-network-information.exe --help      all options

Exit status: 0 gathered, 1 the report could not be written, 2 a bad option
or machine description, 3 a Windows that is not XP.

The default page is plain http because Windows XP cannot speak the TLS
versions that https pages require today; name an https page with
--public-page on a later Windows.

LICENSE.txt gives the terms of use.
TEXT
zipfile=$out/quarn-network-information-$version-win32.zip
rm -f "$zipfile"
(cd "$stage" && zip -q -X ../"$(basename "$zipfile")" quarn-network-information.exe Hand.cur LICENSE.txt README.txt)
echo "$zipfile"

((tests)) || exit 0
# The described machines' reports are compared with the Linux program's when
# one is built (QNI_LINUX_PROGRAM, else build/bin's).
linux=${QNI_LINUX_PROGRAM:-$PWD/build/bin/quarn-network-information}
[[ -x $linux ]] || linux=
build x86_64 -DQNI_LINUX_PROGRAM="$linux"
export WINEPREFIX=$PWD/$out/wine-prefix
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  scripts/wine-prefix.sh "$WINEPREFIX" "${QNI_WINE_VERSION:-winxp64}"
fi
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
# Windows are made and clicked on a display of their own.
display=()
[[ -n ${DISPLAY:-} ]] || display=(xvfb-run -a -s "-screen 0 1280x1024x24")
"${display[@]}" ctest --test-dir "$out/x86_64" --output-on-failure --no-tests=error -j "$(nproc)"
