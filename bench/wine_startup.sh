#!/usr/bin/env bash
# Start-up under Wine: the one-file program (bench_startup_ours, the program as
# main() builds it, to the start window's first paint, linked statically like
# qinghe.exe) against bench_startup_bare (one window and a label, built with
# Qt's DLLs), alternating, on Qt's windows platform under Wine on Xvfb, with a
# warm wineserver. Prints the median and best times of each side to its first
# paint and to its exit, their ratios, and the size of the stripped one file.
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
cd "$root/examples" # the start window lists the working folder

# The program writes the wall-clock time of its first paint (the Unix clock,
# which Wine shares) to this file; the first-paint figure is that time less
# the moment `wine` was started.
paint=$(mktemp)
trap 'wineserver -k >/dev/null 2>&1 || true; rm -f "$paint"' EXIT
export QH_BENCH_PAINT_TIME="Z:$paint"
once() { # milliseconds from the start to the first paint, and to the exit
  local start end
  : >"$paint"
  start=$(date +%s%N)
  wine "$1" >/dev/null 2>&1
  end=$(date +%s%N)
  [ -s "$paint" ] || { echo "$1 wrote no paint time" >&2; return; }
  echo "$(($(cat "$paint") - start / 1000000)) $(((end - start) / 1000000))"
}
once "$ours_exe" >/dev/null; once "$bare_exe" >/dev/null # warm-up: files into the page cache
ours_paint=() ours_exit=() bare_paint=() bare_exit=()
for k in $(seq "$runs"); do
  # Alternating which side goes first.
  for side in $([ $((k % 2)) = 1 ] && echo ours bare || echo bare ours); do
    if [ "$side" = ours ]; then
      read -r p e <<<"$(once "$ours_exe")"; ours_paint+=("$p"); ours_exit+=("$e")
    else
      read -r p e <<<"$(once "$bare_exe")"; bare_paint+=("$p"); bare_exit+=("$e")
    fi
    [ -n "$e" ] || exit 1
  done
done
stats() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "%d %d", v[int((NR+1)/2)], v[1]}'; }
echo "runs: $runs per side, alternating; ours is the one file ($(($(stat -c %s "$ours_exe") / 1024)) KiB), bare uses Qt's DLLs"
for what in paint exit; do
  declare -n o="ours_$what" b="bare_$what"
  read -r om ob <<<"$(stats "${o[@]}")"
  read -r bm bb <<<"$(stats "${b[@]}")"
  label=$([ "$what" = paint ] && echo "to the first paint" || echo "to the exit")
  echo "$label: ours median $om ms (best $ob), bare median $bm ms (best $bb)" \
    "$(awk -v o="$om" -v b="$bm" 'BEGIN {printf "ratio of medians %.2fx", o / b}')"
done
