#!/usr/bin/env bash
# Renders the start window to a PNG, to look at by eye, with the lists on
# examples/ and the sample roster chosen:
#   scripts/render-form0.sh [OUT.png] [BUILD-DIR]   (default build/render/form0.png, build)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/render-lib.sh"
out="${1:-$root/build/render/form0.png}"
build="${2:-$root/build}"
mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"

tool="$(qh_render_tool render_form0 "$build")"
cd "$root/examples"
qh_render_run "$tool" "$out" "$root/examples"
echo "$out"
