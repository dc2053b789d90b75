#!/usr/bin/env bash
# Renders the seat-chart window (Form2) to PNG files: after the start, after a
# few cards were turned over (plus an enlarged corner), with 男生 chosen, and
# with the longest name of the class revealed. Also prints how long opening
# the window and the card clicks took.
#
#   scripts/render-form2.sh [out-folder] [build-folder] [roster-file]
#
# The roster defaults to the sample roster; without one, a class of 45 with a
# few long names is made up. Builds the render_form2 helper if needed. Runs
# under Xvfb when xvfb-run is there, else on Qt's offscreen platform.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/build/render-form2}"
build="${2:-$root/build}"
roster="${3:-$root/examples/名单.txt}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target render_form2 -j2

tool="$(find "$build" -type f -name render_form2 -perm -u+x | head -n 1)"
if [[ -z "$tool" ]]; then
  echo "render_form2 was not built" >&2
  exit 1
fi

if [[ ! -f "$roster" ]]; then
  tmp="$(mktemp -d)"
  trap 'rm -rf "$tmp"' EXIT
  roster="$tmp/名单.txt"
  {
    for i in $(seq 1 45); do
      sex=女; (( i % 3 == 0 )) && sex=男
      case $i in
        7) name=欧阳司马诸葛亮 ;;
        20) name=阿卜杜热合曼 ;;
        *) name="学生$i" ;;
      esac
      printf '%s,%s\r\n' "$name" "$sex"
    done
  } | iconv -f UTF-8 -t GB18030 > "$roster"
fi

mkdir -p "$out"
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x800x24" "$tool" "$out" "$roster"
else
  QT_QPA_PLATFORM=offscreen "$tool" "$out" "$roster"
fi
echo "PNG files in $out"
