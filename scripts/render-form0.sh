#!/usr/bin/env bash
# Renders the start window under Xvfb to a PNG, to look at by eye, with the
# lists on examples/ and the sample roster chosen:
#   scripts/render-form0.sh [OUT.png] [BUILD-DIR]   (default build/render/form0.png, build)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/build/render/form0.png}"
build="${2:-$root/build}"
mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target render_form0 -j2 >/dev/null
tool="$(find "$build" -type f -name render_form0 -perm -u+x | head -n 1)"
cd "$root/examples"
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x800x24" "$tool" "$out" "$root/examples"
else
  QT_QPA_PLATFORM=offscreen "$tool" "$out" "$root/examples"
fi
echo "$out"
