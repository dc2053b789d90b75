#!/usr/bin/env bash
# Start-up under Wine: the one-file program (bench_startup_ours, the program as
# main() builds it, to the start window's first paint, linked statically like
# qinghe.exe) against bench_startup_bare (one window and a label, built with
# Qt's DLLs), alternating, on Qt's windows platform under Wine on Xvfb, with a
# warm wineserver. Prints the median and best wall times of each side, their
# ratio, and the sizes of the stripped exes.
#
#   bench/wine_startup.sh [BUILD-DIR] [RUNS]   (a scripts/windows.sh build, default build-win,
#                                               15 runs; builds the two programs it needs)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath "${1:-$root/build-win}")
runs=${2:-15}
if [ -z "${QH_WIN_UNDER_XVFB:-}" ]; then
  QH_WIN_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$build" "$runs"
fi
one=$build/one-file
cmake -DQH_BUILD_BENCH=ON "$build" >/dev/null
cmake --build "$build" --target bench_startup_bare >/dev/null
cmake --build "$one" --target bench_startup_ours >/dev/null
# Stripped, as qinghe.exe is in the zip: Wine maps the whole file.
ours_exe=$one/bench/bench_startup_ours-stripped.exe
x86_64-w64-mingw32-strip -o "$ours_exe" "$one/bench/bench_startup_ours.exe"
bare_exe=$build/bench/bench_startup_bare.exe
qt=$(sed -n 's|^CMAKE_TOOLCHAIN_FILE:[A-Z]*=\(.*\)/lib/cmake/Qt6/qt.toolchain.cmake$|\1|p' "$build/CMakeCache.txt")
source "$root/scripts/deps.sh"
qh_wine_env "$build" "$qt"
wineserver -p # stays up between runs: the runs measure the programs, not Wine's own start
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
cd "$root/examples" # the start window lists the working folder

once() { # wall milliseconds of one start to first paint and exit
  local start end
  start=$(date +%s%N)
  wine "$1" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
once "$ours_exe" >/dev/null; once "$bare_exe" >/dev/null # warm-up: files into the page cache
ours=() bare=()
for k in $(seq "$runs"); do
  # Alternating which side goes first.
  if [ $((k % 2)) = 1 ]; then
    ours+=("$(once "$ours_exe")"); bare+=("$(once "$bare_exe")")
  else
    bare+=("$(once "$bare_exe")"); ours+=("$(once "$ours_exe")")
  fi
done
stats() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "%d %d", v[int((NR+1)/2)], v[1]}'; }
read -r ours_median ours_best <<<"$(stats "${ours[@]}")"
read -r bare_median bare_best <<<"$(stats "${bare[@]}")"
echo "runs: $runs per side, alternating"
echo "ours (one file, $(($(stat -c %s "$ours_exe") / 1024)) KiB): median $ours_median ms, best $ours_best ms"
echo "bare (Qt's DLLs): median $bare_median ms, best $bare_best ms"
awk -v o="$ours_median" -v b="$bare_median" 'BEGIN {printf "ratio of medians: %.2fx\n", o / b}'
