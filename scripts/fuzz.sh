#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang-14, ASan + UBSan) and runs one of them,
# or every one in turn, for a number of seconds on a copy of its seed corpus.
#
#   scripts/fuzz.sh <target|all|list> [seconds] [-- libFuzzer options...]
#
# seconds defaults to 600; 0 replays the seed corpus once and stops. One
# fuzzing process at a time. The working corpus, the log and any crashing
# input go to $QNI_FUZZ_WORK/<target> (default /tmp/qni-fuzz/<target>); the
# repository's corpus is only read.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QNI_FUZZ_BUILD:-$here/build-fuzz}"
work="${QNI_FUZZ_WORK:-${TMPDIR:-/tmp}/qni-fuzz}"
targets=(smbios udev cpuinfo cursor machine wql extract normalise route address text)

usage() {
  echo "usage: scripts/fuzz.sh <target|all|list> [seconds, default 600] [-- libFuzzer options]" >&2
  echo "targets: ${targets[*]}" >&2
  exit 2
}

(($# >= 1)) || usage
which="$1"
shift
seconds=600
if (($# > 0)) && [[ "$1" != "--" ]]; then
  seconds="$1"
  shift
fi
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
if (($# > 0)); then
  [[ "$1" == "--" ]] || usage
  shift
fi
extra=("$@")

case "$which" in
  list) printf '%s\n' "${targets[@]}"; exit 0 ;;
  all) selected=("${targets[@]}") ;;
  *)
    [[ " ${targets[*]} " == *" $which "* ]] || { echo "unknown target: $which" >&2; usage; }
    selected=("$which")
    ;;
esac

# What the build needs: the project's packages, then clang and libFuzzer
# (libclang_rt.fuzzer ships in libclang-rt-14-dev), only when missing.
"$here/scripts/deps.sh"
missing=()
for p in clang-14 libclang-rt-14-dev; do
  if [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done
if ((${#missing[@]} > 0)); then
  sudo=()
  if ((EUID != 0)); then sudo=(sudo); fi
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! grep -qs '^QNI_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
  CC=clang-14 CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja \
    -DQNI_FUZZ=ON -DQNI_BUILD_TESTS=OFF -DQNI_BUILD_BENCH=OFF
fi
# The machine is shared: a gentle build.
nice -n 10 cmake --build "$build" --target fuzz -- -j "${QNI_FUZZ_BUILD_JOBS:-2}"

export QT_QPA_PLATFORM=offscreen
# No fake stacks and a small quarantine: over tens of millions of short runs
# either grows the resident size past the 2 GB limit with nothing live (seen
# on the normaliser: 24 MB live at 2 GB resident; flat at 100 MB without).
# The sanitizer test preset still checks stack use after return.
export ASAN_OPTIONS="${ASAN_OPTIONS:-strict_string_checks=1:check_initialization_order=1:quarantine_size_mb=16}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Final-stats line value of a libFuzzer log: stat::<name>.
stat() { sed -n "s/^stat::$2: *//p" "$1" | tail -n 1; }
# The last status line's "cov:" and "ft:" figures.
progress() { grep -E '^#[0-9]+' "$1" | tail -n 1 | grep -oE "$2: [0-9]+" | grep -oE '[0-9]+' || true; }

failed=()
summary=()
for t in "${selected[@]}"; do
  binary="$build/fuzz/fuzz_$t"
  seeds="$here/fuzz/corpus/$t"
  dir="$work/$t"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp -n "$seeds"/* "$dir/corpus/" 2>/dev/null || true
  options=(-artifact_prefix="$dir/artifacts/" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
  [[ -f "$here/fuzz/dict/$t.dict" ]] && options+=(-dict="$here/fuzz/dict/$t.dict")
  # libpng prints every broken picture to stderr: millions of lines. Closing
  # the target's stderr keeps libFuzzer's and the sanitizers' reports.
  [[ "$t" == cursor ]] && options+=(-close_fd_mask=2)
  log="$dir/fuzz.log"
  if ((seconds == 0)); then
    echo "== $t: replaying $(ls "$seeds" | wc -l) seeds"
    set +e
    "$binary" "${options[@]}" -runs=0 "${extra[@]}" "$seeds" >"$log" 2>&1
  else
    echo "== $t: ${seconds}s, corpus $dir/corpus, log $log"
    set +e
    "$binary" "${options[@]}" -max_total_time="$seconds" "${extra[@]}" "$dir/corpus" >"$log" 2>&1
  fi
  status=$?
  set -e
  result=ok
  if ((status != 0)); then
    result="FAULT (exit $status; see $log and $dir/artifacts)"
    failed+=("$t")
    grep -E 'ERROR:|runtime error:|invariant broken|SUMMARY|Test unit written' "$log" | head -n 8 >&2 || true
  fi
  line="$t: runs $(stat "$log" number_of_executed_units) exec/s $(stat "$log" average_exec_per_sec)"
  line+=" cov $(progress "$log" cov) ft $(progress "$log" ft) corpus $(ls "$dir/corpus" | wc -l) files: $result"
  echo "$line"
  summary+=("$line")
done

if ((${#selected[@]} > 1)); then
  echo "== summary"
  printf '%s\n' "${summary[@]}"
fi
((${#failed[@]} == 0)) || { echo "faults in: ${failed[*]}" >&2; exit 1; }
