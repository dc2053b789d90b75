#!/usr/bin/env bash
# Makes the README's screenshots in docs/ from the sample roster, through the
# program's own start-up, under Xvfb: the start window, the seat chart after a
# few cards were turned over (also at display scale 2), and the single-draw
# window in the middle of a pass.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

"$root/scripts/render.sh" all "$tmp/x1" 1 "$build" >/dev/null
"$root/scripts/render.sh" form2 "$tmp/x2" 2 "$build" >/dev/null

mkdir -p "$root/docs"
cp "$tmp/x1/form0.png" "$root/docs/start-window.png"
cp "$tmp/x1/form2-reveals.png" "$root/docs/seat-chart.png"
cp "$tmp/x2/form2-reveals.png" "$root/docs/seat-chart-scale2.png"
cp "$tmp/x1/form1-2-no-repeat-3-presses.png" "$root/docs/single-draw.png"
ls -l "$root/docs"
