#!/usr/bin/env bash
# Renders the program's windows to PNG files, to look at by eye: the whole
# program started as main() starts it, on the sample roster, driven through
# the start window, the seat chart and the single-draw window. Under Xvfb
# (real X11 font rendering, with openbox for frames and maximising) when
# xvfb-run is there, else offscreen.
#
#   scripts/render.sh [form0|form1|form2|all] [OUT-DIR] [SCALE] [BUILD-DIR] [SCREEN]
#
# Defaults: all, build/render, 1 (the display scale, e.g. 1.25, 1.5, 2), build,
# 3840x2160 (the screen in device pixels; a small one, e.g. 1280x720, shows
# the windows zoomed out to fit, and the maximised windows fill it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
which="${1:-all}"
out="${2:-$root/build/render}"
scale="${3:-1}"
build=$(realpath -m "${4:-$root/build}")
screen="${5:-3840x2160}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >&2
fi
cmake --build "$build" --target render_windows -j2 >&2
tool="$(find "$build" -type f -name render_windows -perm -u+x | head -n 1)"
[[ -n "$tool" ]] || { echo "render_windows was not built" >&2; exit 1; }

mkdir -p "$out"
out="$(cd "$out" && pwd)"
cd "$root/examples"   # the start window lists the working folder
export QT_SCALE_FACTOR="$scale"
# Xvfb with a window manager (openbox), so that windows get real frames and
# are maximised the way a desktop does it.
source "$root/scripts/deps.sh"
qh_ensure_packages xvfb xauth openbox >&2 || echo "(going on without them)" >&2
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 ${screen}x24" bash -c \
    'if command -v openbox >/dev/null; then openbox & sleep 1; fi; "$@"; status=$?; kill %1 2>/dev/null; exit $status' \
    render "$tool" "$out" "$which"
else
  printf '{"screens": [{"name": "s", "width": %s, "height": %s}]}\n' "${screen%x*}" "${screen#*x}" >"$out/screen.json"
  QT_QPA_PLATFORM="offscreen:configfile=$out/screen.json" "$tool" "$out" "$which"
fi
