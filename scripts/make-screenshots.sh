#!/usr/bin/env bash
# Makes the README's screenshots in docs/ from the sample roster, under Xvfb:
# the start window, the seat chart after a few cards were turned over, and the
# single-draw window in the middle of a pass.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

"$root/scripts/render-form0.sh" "$tmp/form0.png" "$build" >/dev/null
"$root/scripts/render-form2.sh" "$tmp/form2" "$build" "$root/examples/名单.txt" >/dev/null
"$root/scripts/render-form1.sh" "$tmp/form1" "$build" "$root/examples/名单.txt" >/dev/null

mkdir -p "$root/docs"
cp "$tmp/form0.png" "$root/docs/start-window.png"
cp "$tmp/form2/form2-reveals.png" "$root/docs/seat-chart.png"
cp "$tmp/form1/2-no-repeat-3-presses.png" "$root/docs/single-draw.png"
ls -l "$root/docs"
