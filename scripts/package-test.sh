#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the package that scripts/package.sh built (dpkg -i; root or sudo),
# tries it as installed and removes it again:
#   - /usr/bin holds only the link to the program in /usr/libexec;
#   - the installed program, started by name as the desktop entry does, prints
#     the same --json as the build tree's program on a described machine,
#     without a display;
#   - dpkg -r leaves none of the package's files behind.
#   scripts/package-test.sh [package.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
name=quarn-network-information
build_dir="${QNI_PACKAGE_DIR:-build-package}"
deb="${1:-$(ls "$build_dir"/"$name"_*.deb | head -n 1)}"
machine="$PWD/tests/data/machines/xp-sp3.json"
sudo=()
((EUID == 0)) || sudo=(sudo)

fail() {
  echo "package-test: $*" >&2
  exit 1
}

if [[ "$(dpkg-query -W -f='${Status}' "$name" 2>/dev/null)" == *" installed" ]]; then
  fail "$name is installed already; this test removes what it installs, so remove it first (dpkg -r $name)"
fi

work="$(mktemp -d)"
installed=0
cleanup() {
  ((installed)) && "${sudo[@]}" dpkg -r "$name" >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"${sudo[@]}" dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || {
  cat "$work/dpkg.log" >&2
  fail "dpkg -i $deb failed"
}
installed=1
dpkg -L "$name" | grep '^/' >"$work/files"

in_bin="$(grep -E '^/usr/s?bin/.' "$work/files" || true)"
[[ "$in_bin" == "/usr/bin/$name" ]] || fail "/usr/bin and /usr/sbin should hold only the link; they hold: $in_bin"
target="$(readlink "/usr/bin/$name")" || fail "/usr/bin/$name is not a link"
[[ "$target" == "../libexec/$name/$name" ]] || fail "/usr/bin/$name -> $target"
for f in "$name" Hand.cur qni-cmd tools/ipconfig; do
  [[ -f "/usr/libexec/$name/$f" && ! -L "/usr/libexec/$name/$f" ]] || fail "/usr/libexec/$name/$f is missing"
done

# run <program>: its --json on the described machine, from a neutral folder,
# without a display; any failure, or no JSON object, fails the test.
run() {
  local out status=0
  out="$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QNI_MACHINE="$machine" \
           PATH="$2" "$1" --json 2>"$work/stderr")" || status=$?
  if ((status != 0)) || [[ "$out" != "{"* ]]; then
    cat "$work/stderr" >&2
    fail "$1 --json: status $status, output: ${out:0:200}"
  fi
  printf '%s\n' "$out"
}
run "$name" /usr/bin:/bin >"$work/installed.json"
run "$PWD/$build_dir/bin/$name" /usr/bin:/bin >"$work/built.json"
diff -u "$work/built.json" "$work/installed.json" >&2 ||
  fail "the installed program's --json differs from the build tree's"

"${sudo[@]}" dpkg -r "$name" >/dev/null
installed=0
# What is left may only be folders that are shared or still hold others' files.
left=()
while IFS= read -r path; do
  if [[ -L "$path" || (-e "$path" && ! -d "$path") ]]; then
    left+=("$path")
  elif [[ -d "$path" && -z "$(ls -A "$path")" ]] && ! dpkg -S "$path" >/dev/null 2>&1; then
    left+=("$path/")
  fi
done <"$work/files"
((${#left[@]} == 0)) || fail "dpkg -r left behind: ${left[*]}"
echo "package-test: $deb installs, runs --json like the build tree's program and removes cleanly"
