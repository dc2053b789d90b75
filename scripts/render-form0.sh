#!/usr/bin/env bash
# Renders the start window under Xvfb to a PNG, to look at by eye:
#   scripts/render-form0.sh [OUT.png]   (default build/render/form0.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/render/form0.png}
mkdir -p "$(dirname "$out")"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target render_form0 -j2 >/dev/null
out=$(realpath "$out")
xvfb-run -a -s "-screen 0 1280x800x24" build/tests/app/render_form0 "$out" examples
echo "$out"
