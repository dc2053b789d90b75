#!/usr/bin/env bash
# Renders the single-draw window (Form1) with the sample roster to PNG files,
# one per state: after the load, during 不重复, 可重复, 男同学, 女同学 and 点完了.
#
#   scripts/render-form1.sh [out-folder] [build-folder]
#
# Builds the render_form1 helper if needed. Runs under Xvfb when xvfb-run is
# there (real X11 font rendering), else on Qt's offscreen platform.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/build/render-form1}"
build="${2:-$root/build}"

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --target render_form1 -j2

tool="$(find "$build" -type f -name render_form1 -perm -u+x | head -n 1)"
if [[ -z "$tool" ]]; then
  echo "render_form1 was not built" >&2
  exit 1
fi

roster="$root/examples/名单.txt"
tmp=""
if [[ ! -f "$roster" ]]; then
  # No sample roster yet: write a class of 45 (23 boys, 22 girls) in GBK.
  tmp="$(mktemp -d)"
  trap 'rm -rf "$tmp"' EXIT
  roster="$tmp/名单.txt"
  surnames=(赵 钱 孙 李 周 吴 郑 王 冯 陈 褚 卫 蒋 沈 韩 杨 朱 秦 尤 许 何 吕 施 张 孔)
  given=(子涵 浩然 欣怡 宇轩 梓萱 俊杰 雨桐 博文 诗琪 明哲 思远 嘉怡 天佑 语嫣 志强)
  {
    for i in $(seq 0 44); do
      sex=女; (( i % 2 == 0 )) && sex=男
      name="${surnames[i % ${#surnames[@]}]}${given[(i * 7) % ${#given[@]}]}"
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
