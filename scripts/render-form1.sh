#!/usr/bin/env bash
# Renders the single-draw window (Form1) with a roster (default: the sample
# roster) to PNG files, one per state: after the load, during 不重复, 可重复,
# 男同学, 女同学 and 点完了.
#
#   scripts/render-form1.sh [out-folder] [build-folder] [roster-file]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/render-lib.sh"
out="${1:-$root/build/render-form1}"
build="${2:-$root/build}"
roster="${3:-$root/examples/名单.txt}"

tool="$(qh_render_tool render_form1 "$build")"
mkdir -p "$out"
qh_render_run "$tool" "$out" "$roster"
echo "PNG files in $out"
