#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds in Release into build-release/ (or
# $QNI_BENCH_DIR) and prints one line per figure:
#   figure <name> <value> <unit> goal<=<limit>   (or goal>=<limit>)
# then how many goals were met. Each benchmark's full output goes to
# <build dir>/bench-logs/. Exits 1 when a benchmark fails or a goal is missed.
# docs/performance.md explains every figure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build_dir="${QNI_BENCH_DIR:-build-release}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQNI_BUILD_TESTS=OFF -DQNI_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target \
  quarn-network-information qni-cmd ipconfig bare_window startup_bench gather_bench runner_bench app_bench >/dev/null

export QT_QPA_PLATFORM=offscreen
logs="$build_dir/bench-logs"
mkdir -p "$logs"
expected=0
failed=0
figures=()

# run <log name> <figures it prints> <command...>
run() {
  local log="$logs/$1.log" count="$2"
  shift 2
  expected=$((expected + count))
  if ! "$@" >"$log" 2>&1; then
    echo "bench: $* failed; see $log" >&2
    failed=1
  fi
  local line
  while IFS= read -r line; do
    echo "$line"
    figures+=("$line")
  done < <(grep '^figure ' "$log" || true)
}

bench="$build_dir/bench"
run startup 2 "$bench/startup_bench"
run report 1 "$bench/startup_bench" report
run gather 1 "$bench/gather_bench" overhead
run peak_rss 1 "$bench/gather_bench" peak-rss
run runner 1 "$bench/runner_bench"
run app 2 "$bench/app_bench" --benchmark_color=false
run fetch 1 "$bench/gather_bench" fetch
run stall 1 "$bench/gather_bench" stall

met=0
for line in "${figures[@]}"; do
  # figure <name> <value> <unit> goal<op><limit>
  read -r _ _ value _ goal <<<"$line"
  if awk -v v="$value" -v g="$goal" 'BEGIN {
        op = substr(g, 5, 2); limit = substr(g, 7) + 0
        exit !((op == "<=" && v + 0 <= limit) || (op == ">=" && v + 0 >= limit)) }'; then
    met=$((met + 1))
  fi
done
echo "goals met: $met of $expected"
((failed == 0 && met == expected))
