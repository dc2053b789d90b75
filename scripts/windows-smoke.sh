#!/usr/bin/env bash
# The portable zip as a teacher uses it: unzipped into a folder whose path
# holds Chinese and spaces, started under Wine with a GBK roster given on the
# command line, with nothing on Wine's search path but the folder itself. The
# start window must come up with that roster chosen (开始使用 enabled, so a
# click opens the seat chart), and the seat chart's 转堆叠式 must open the
# single-draw window. Screenshots of each are left in OUT-DIR to look at.
#
#   scripts/windows-smoke.sh ZIP OUT-DIR      (on an X display; Wine set up by scripts/windows.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
zip=$(realpath "$1")
out=$(realpath -m "$2")
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM QT_SCALE_FACTOR

rm -rf "$out"
folder="$out/青禾 试用 版"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip")
exe=$(find "$folder" -name qinghe.exe | head -n 1)
roster="$folder/三年级 二班 名单.txt"
cp "$root/examples/名单.txt" "$roster" # GBK

wine "$exe" "Z:$roster" >"$out/wine.log" 2>&1 &
pid=$!
stop() { kill "$pid" 2>/dev/null || true; wineserver -k >/dev/null 2>&1 || true; }
trap stop EXIT

# A shown window with the program's caption other than those in $1 (its id),
# within $2 seconds. Every window has the same caption once loaded.
window() {
  local id
  for _ in $(seq "$(($2 * 4))"); do
    id=$(xdotool search --onlyvisible --name '青禾抽签' 2>/dev/null | grep -vxF -e "${1:-none}" | tail -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.25
  done
  echo "windows-smoke: no new window (shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'))" >&2
  return 1
}
# A click at a spot of a window's client area, given in twips.
click() {
  xdotool mousemove --window "$1" "$(($2 / 15))" "$(($3 / 15))" click 1
}
shot() { sleep 1; import -window root "$out/$1"; }

form0=$(window "" 90)
shot form0.png
click "$form0" $((7800 + 1250)) $((5040 + 400)) # 开始使用
form2=$(window "$form0" 30)
shot form2.png
click "$form2" $((2832 + 900)) $((8280 + 275))  # 转堆叠式
window "$(printf '%s\n' "$form0" "$form2")" 30 >/dev/null
shot form1.png
echo "windows-smoke: the start window, the seat chart and the single draw opened from $exe; screenshots in $out"
