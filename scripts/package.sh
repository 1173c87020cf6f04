#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package: a Release build of the program and its tools in
# build-package/ (or $QNI_PACKAGE_DIR) with Debian's hardening flags, cpack,
# then lintian, which must report no error and no warning. The last line
# printed is the package's path; scripts/package-test.sh installs and tries it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build_dir="${QNI_PACKAGE_DIR:-build-package}"
name=quarn-network-information

# The flags a Debian package build uses, less -g (stripped anyway) and -O2
# (the Release build's own optimisation).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi

log="$build_dir/package-build.log"
mkdir -p "$build_dir"
if ! { cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DQNI_BUILD_TESTS=OFF -DQNI_BUILD_BENCH=OFF "${launcher[@]}" \
         -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" &&
       cmake --build "$build_dir" -j "$(nproc)" &&
       rm -f "$build_dir"/*.deb &&
       (cd "$build_dir" && cpack -G DEB); } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "package: the build failed; see $log" >&2
  exit 1
fi
debs=("$build_dir"/"$name"_*.deb)
deb="${debs[0]}"

version="$(dpkg-deb -f "$deb" Version)"
logged="$(dpkg-parsechangelog -l packaging/changelog -S Version)"
if [[ "$version" != "$logged" ]]; then
  echo "package: version $version has no entry in packaging/changelog (latest: $logged)" >&2
  exit 1
fi

# Lintian warns when run as root; that line is not about the package.
echo "lintian $deb"
if ! lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2); then
  echo "package: lintian reports errors or warnings" >&2
  exit 1
fi
echo "$deb"
