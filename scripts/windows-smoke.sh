#!/usr/bin/env bash
# The portable program as a teacher uses it, twice: qinghe.exe copied alone
# into an empty folder, then the whole zip unpacked; each folder's path holds
# Chinese and spaces. Started under Wine with a GBK roster given on the command
# line, with nothing on Wine's search path, the start window must come up with
# that roster chosen (开始使用 enabled, so a click opens the seat chart), and
# the seat chart's 转堆叠式 must open the single-draw window. Alone, with no
# instructions page beside it, no other window may show (no error box).
# Screenshots of each window are left in OUT-DIR/alone and OUT-DIR/zip.
#
#   scripts/windows-smoke.sh ZIP OUT-DIR      (on an X display; Wine set up by scripts/windows.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
zip=$(realpath "$1")
out=$(realpath -m "$2")
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM QT_SCALE_FACTOR

rm -rf "$out"
mkdir -p "$out/名单 文件夹"
roster="$out/名单 文件夹/三年级 二班 名单.txt"
cp "$root/examples/名单.txt" "$roster" # GBK

pid=
stop() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wineserver -k >/dev/null 2>&1 || true
  pid=
}
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
  echo "windows-smoke: no new window (shown: $(shown))" >&2
  return 1
}
shown() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'; }
# A click at a spot of a window's client area, given in twips.
click() {
  xdotool mousemove --window "$1" "$(($2 / 15))" "$(($3 / 15))" click 1
}

# qinghe.exe in folder $1 on the roster, screenshots into $2.
run() {
  local exe=$1/qinghe.exe shots=$2
  mkdir -p "$shots"
  shot() { sleep 1; import -window root "$shots/$1"; }
  wine "$exe" "Z:$roster" >"$shots/wine.log" 2>&1 &
  pid=$!
  local form0 form2
  form0=$(window "" 90)
  shot form0.png
  if [ "$3" = alone ]; then
    local others
    others=$(xdotool search --onlyvisible --name . 2>/dev/null | grep -vxF "$form0" || true)
    if [ -n "$others" ]; then
      echo "windows-smoke: beside the start window, alone: $(xdotool getwindowname $others | tr '\n' '|')" >&2
      return 1
    fi
  fi
  click "$form0" $((7800 + 1250)) $((5040 + 400)) # 开始使用
  form2=$(window "$form0" 30)
  shot form2.png
  click "$form2" $((2832 + 900)) $((8280 + 275))  # 转堆叠式
  window "$(printf '%s\n' "$form0" "$form2")" 30 >/dev/null
  shot form1.png
  stop
  echo "windows-smoke: the start window, the seat chart and the single draw opened from $exe; screenshots in $shots"
}

alone="$out/青禾 单个 文件"
mkdir -p "$alone"
(cd "$alone" && cmake -E tar xf "$zip" qinghe.exe)
[ "$(ls -A "$alone")" = qinghe.exe ] || { echo "windows-smoke: $alone holds more than qinghe.exe" >&2; exit 1; }
run "$alone" "$out/alone" alone

unzipped="$out/青禾 试用 版"
mkdir -p "$unzipped"
(cd "$unzipped" && cmake -E tar xf "$zip")
run "$unzipped" "$out/zip" zip
