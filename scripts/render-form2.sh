#!/usr/bin/env bash
# Renders the seat-chart window (Form2) to PNG files: after the start, after a
# few cards were turned over (plus an enlarged corner), with 男生 chosen, and
# with the longest name of the class revealed. Also prints how long opening
# the window and the card clicks took.
#
#   scripts/render-form2.sh [out-folder] [build-folder] [roster-file]
#
# The roster defaults to the sample roster.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/render-lib.sh"
out="${1:-$root/build/render-form2}"
build="${2:-$root/build}"
roster="${3:-$root/examples/名单.txt}"

tool="$(qh_render_tool render_form2 "$build")"
mkdir -p "$out"
qh_render_run "$tool" "$out" "$roster"
echo "PNG files in $out"
