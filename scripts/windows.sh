#!/usr/bin/env bash
# The Windows build, from Linux: cross-builds every test with MinGW-w64
# against Qt 6.4.2 for Windows as DLLs (Release) and runs them under Wine on
# Xvfb with code page 936 (LANG=zh_CN.UTF-8); cross-builds the program against
# the same Qt built statically, one qinghe.exe that needs nothing beside it,
# and checks what it imports and its resources (scripts/check-win-exe.sh);
# makes the portable zip qinghe-<version>-win64.zip (at most 10 MB); starts
# qinghe.exe alone, then unzipped, from folders whose paths hold Chinese and
# spaces; and prints the zip's path as its last line.
#
#   scripts/windows.sh [BUILD-DIR]        (default: build-win; the program's
#                                          tree is BUILD-DIR/one-file)
#
# Each Qt for Windows, first found of (NAME: qt6.4.2-mingw-w64 for the DLLs,
# qt6.4.2-mingw-w64-static for the one file):
#   $QH_WIN_QT, $QH_WIN_QT_STATIC              a folder holding that Qt
#   BUILD-DIR/NAME                             unpacked by an earlier run
#   ../shared/windows/NAME.tar.xz              a ready build beside the clone, unpacked
#   scripts/build-qt-mingw.sh [--static]       built from Debian's qt6-base source
#                                              (about 45 minutes on two cores)
# Environment: QH_JOBS (default: the cores).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build-win}")
jobs=${QH_JOBS:-$(nproc)}
source "$root/scripts/deps.sh"
qh_ensure_windows_packages

# Wine needs a display even for the offscreen tests, and the smoke test shows
# real windows: everything below runs on one Xvfb screen.
if [ -z "${QH_WIN_UNDER_XVFB:-}" ]; then
  QH_WIN_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$build"
fi

mkdir -p "$build"
# Qt for Windows: the folder $1 if it holds one, else NAME ($2) unpacked or
# built into the build tree. Prints the folder.
windows_qt() {
  local dir=${1:-$build/$2}
  if [ ! -f "$dir/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    local ready=$root/../shared/windows/$2.tar.xz
    if [ -f "$ready" ]; then
      echo "== Qt for Windows: unpacking $ready ==" >&2
      tar xf "$ready" -C "$build"
    else
      echo "== Qt for Windows: building $2 from Debian's qt6-base source (about 45 minutes) ==" >&2
      local static=()
      [[ $2 == *-static ]] && static=(--static)
      "$root/scripts/build-qt-mingw.sh" "${static[@]}" "$dir" >&2
    fi
  fi
  echo "$dir"
}
qt=$(windows_qt "${QH_WIN_QT:-}" qt6.4.2-mingw-w64)
qt_static=$(windows_qt "${QH_WIN_QT_STATIC:-}" qt6.4.2-mingw-w64-static)
one=$build/one-file

echo "== cross-build (MinGW-w64, Release): the tests against Qt's DLLs, the program against static Qt =="
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
cmake --build "$build" -j"$jobs"
# Only the program (bench/wine_startup.sh builds its start-up benchmark here too).
cmake -G Ninja -S "$root" -B "$one" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$qt_static/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DBUILD_TESTING=OFF -DQH_BUILD_BENCH=ON >/dev/null
cmake --build "$one" -j"$jobs" --target qinghe
"$root/scripts/check-win-exe.py" "$one/qinghe.exe"

qh_wine_env "$build" "$qt"
export QT_PLUGIN_PATH="Z:$qt/plugins"
# The offscreen platform the tests use has no Windows font list under Wine: it
# reads the font files in QT_QPA_FONTDIR, here the same Chinese fonts as the
# Linux tests use. (The smoke test and the screenshots below use Qt's windows
# platform and Wine's own fonts.)
mkdir -p "$build/fonts"
find /usr/share/fonts \( -name 'Noto*CJK*' -o -name 'uming.ttc' -o -name 'ukai.ttc' \) -exec ln -sf {} "$build/fonts/" \;
export QT_QPA_FONTDIR="Z:$build/fonts"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
echo "== Wine prefix =="
wineboot -i >/dev/null 2>&1 || true

echo "== tests under Wine =="
# Every test runs; what Wine lacks (POSIX named pipes and devices) the tests
# skip themselves, with the reason in the output.
export QH_WINE_SKIPS=$build/skipped-under-wine.txt
: >"$QH_WINE_SKIPS"
(cd "$build" && qh_ctest -j"$jobs" -LE soak)
echo "Skipped under Wine ($(wc -l <"$QH_WINE_SKIPS")), each with its reason:"
sed 's/^/  /' "$QH_WINE_SKIPS"
unset QH_WINE_SKIPS

echo "== portable zip =="
(cd "$one" && cpack -G ZIP >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$one/CMakeCache.txt")
zip=$one/qinghe-$version-win64.zip
[ -f "$zip" ] || { echo "cpack made no $zip" >&2; exit 1; }
size=$(stat -c %s "$zip")
exe_size=$(python3 -c 'import sys, zipfile; print(zipfile.ZipFile(sys.argv[1]).getinfo("qinghe.exe").file_size)' "$zip")
echo "$(basename "$zip"): $((size / 1024)) KiB; qinghe.exe in it (stripped): $((exe_size / 1024)) KiB"
if [ "$size" -gt $((10 * 1024 * 1024)) ]; then
  echo "the zip is larger than 10 MB" >&2
  exit 1
fi
# Explorer's 全部解压缩 unpacks into a folder named after the zip: its
# entries must sit at the top, not in a folder of their own.
entries=$(cmake -E tar tf "$zip" | sort)
expected=$(printf '%s\n' qinghe.exe instructions.html 名单.txt 使用说明.txt 许可证/ 许可证/GPL-3.txt \
  许可证/LGPL-3.txt 许可证/MinGW-GCC-runtime.txt 许可证/MinGW-w64.txt 许可证/Qt-copyright.txt \
  许可证/Qt.txt 许可证/青禾抽签.txt | sort)
if [ "$entries" != "$expected" ]; then
  echo "the zip holds other entries than expected:" >&2
  diff <(echo "$expected") <(echo "$entries") >&2 || true
  exit 1
fi

echo "== the windows on Qt's windows platform, at display scales 1 and 2 (PNGs to look at) =="
for scale in 1 2; do
  mkdir -p "$build/render-x$scale"
  (cd "$root/examples" && QT_QPA_PLATFORM=windows QT_SCALE_FACTOR=$scale QH_WINE_PLAIN=1 \
    "$root/scripts/wine-run.sh" "$build/tests/app/render_windows.exe" "Z:$build/render-x$scale" all)
  echo "$build/render-x$scale"
done

echo "== qinghe.exe alone, then unzipped, from folders with Chinese and spaces =="
"$root/scripts/windows-smoke.sh" "$zip" "$build/smoke"

echo "$zip"
