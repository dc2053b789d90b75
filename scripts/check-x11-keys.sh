#!/usr/bin/env bash
# Keys as X11 delivers them: the program started with a roster on its command
# line, as from a class's shortcut, then one real Enter (XTEST, xdotool) must
# open the seat chart. Under Xvfb; needs xvfb and xdotool.
#
#   scripts/check-x11-keys.sh [BUILD-DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
exe="$build/qinghe"
[[ -x "$exe" ]] || { echo "no $exe: build the qinghe target first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
printf '张明轩，男\r\n李思雨，女\r\n王浩然,男\r\n' > "$work/初二 3班.txt"

# Xvfb picks a free display and names it once it is up.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# The caption all three windows share; the seat chart is the 1006x598 one.
windows() {
  for w in $(xdotool search --onlyvisible --name "青禾抽签" 2>/dev/null); do
    xdotool getwindowgeometry "$w" | sed -n 's/.*Geometry: //p'
  done
}
wait_for() {
  for _ in $(seq 100); do [[ "$(windows)" == "$1" ]] && return 0; sleep 0.1; done
  echo "expected one window of $1, found: $(windows | tr '\n' ' ')" >&2
  cat "$work/log" >&2
  return 1
}

(cd "$work" && exec "$exe" "$work/初二 3班.txt" >"$work/log" 2>&1) &
app=$!
wait_for 991x558                                   # the start window
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "青禾抽签" | head -n 1)"
xdotool key Return
wait_for 1006x598                                  # the seat chart
echo "X11: Enter after 'qinghe PATH' opened the seat chart"
