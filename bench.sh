#!/usr/bin/env bash
# Builds everything (Release, in build-bench/) and runs every benchmark, printing one
# table: figure, ours, baseline, ratio, target, met?  (Linux; see bench/RESULTS.md)
#
#   ./bench.sh            offscreen platform plugin (QT_QPA_PLATFORM=offscreen)
#   ./bench.sh --xvfb     a real X server instead: xvfb-run, QT_QPA_PLATFORM=xcb
#   ./bench.sh --quick    a smoke test: fewer runs, small files, no 1 GiB file
# Further options go to bench/run_bench.py (--runs N, --skip-gib, --markdown FILE).
# QH_BENCH_BUILD_DIR picks another build folder than build-bench/ (its own, so
# the benchmarks stay out of ./test.sh's build/). The exit status is
# 1 when a target is missed.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh

xvfb=0
args=()
for a in "$@"; do
  if [ "$a" = "--xvfb" ]; then xvfb=1; else args+=("$a"); fi
done

extra=(time python3)
[ "$xvfb" = 1 ] && extra+=(xvfb xauth)
qh_ensure_packages "${extra[@]}"

build="${QH_BENCH_BUILD_DIR:-build-bench}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQH_BUILD_BENCH=ON
cmake --build "$build" -j"$(qh_jobs)"

if [ "$xvfb" = 1 ]; then
  export QT_QPA_PLATFORM=xcb QH_BENCH_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" python3 bench/run_bench.py "$build" "${args[@]}"
else
  # A screen that holds every window at its design size (the platform's own is 800x800).
  export QT_QPA_PLATFORM="offscreen:configfile=$PWD/tests/screens/desktop.json"
  exec python3 bench/run_bench.py "$build" "${args[@]}"
fi
