#!/usr/bin/env bash
# The Windows build, from Linux: cross-builds the program and every test with
# MinGW-w64 against Qt 6.4.2 for Windows (Release), runs the tests under Wine on
# Xvfb with code page 936 (LANG=zh_CN.UTF-8), makes the portable zip
# qinghe-<version>-win64.zip, starts the unzipped program from a folder whose
# path holds Chinese and spaces, and prints the zip's path as its last line.
#
#   scripts/windows.sh [BUILD-DIR]        (default: build-win)
#
# The Qt for Windows, first found of:
#   $QH_WIN_QT                                 a folder holding that Qt
#   BUILD-DIR/qt6.4.2-mingw-w64                unpacked by an earlier run
#   ../shared/windows/qt6.4.2-mingw-w64.tar.xz  a ready build beside the clone, unpacked
#   scripts/build-qt-mingw.sh                  built from Debian's qt6-base source
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
qt=${QH_WIN_QT:-$build/qt6.4.2-mingw-w64}
if [ ! -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  ready=$root/../shared/windows/qt6.4.2-mingw-w64.tar.xz
  if [ -f "$ready" ]; then
    echo "== Qt for Windows: unpacking $ready =="
    tar xf "$ready" -C "$build"
  else
    echo "== Qt for Windows: building it from Debian's qt6-base source (about 45 minutes) =="
    "$root/scripts/build-qt-mingw.sh" "$qt"
  fi
fi

echo "== cross-build (MinGW-w64, Release) =="
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
cmake --build "$build" -j"$jobs"

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
(cd "$build" && ctest --output-on-failure -j"$jobs" -LE soak)
echo "Skipped under Wine ($(wc -l <"$QH_WINE_SKIPS")), each with its reason:"
sed 's/^/  /' "$QH_WINE_SKIPS"
unset QH_WINE_SKIPS

echo "== portable zip =="
(cd "$build" && cpack -G ZIP >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/qinghe-$version-win64.zip
[ -f "$zip" ] || { echo "cpack made no $zip" >&2; exit 1; }
size=$(stat -c %s "$zip")
echo "$(basename "$zip"): $((size / 1024)) KiB"
if [ "$size" -gt $((12 * 1024 * 1024)) ]; then
  echo "the zip is larger than 12 MB" >&2
  exit 1
fi

echo "== the windows on Qt's windows platform, at display scales 1 and 2 (PNGs to look at) =="
for scale in 1 2; do
  mkdir -p "$build/render-x$scale"
  (cd "$root/examples" && QT_QPA_PLATFORM=windows QT_SCALE_FACTOR=$scale QH_WINE_PLAIN=1 \
    "$root/scripts/wine-run.sh" "$build/tests/app/render_windows.exe" "Z:$build/render-x$scale" all)
  echo "$build/render-x$scale"
done

echo "== the unzipped program, from a folder with Chinese and spaces =="
"$root/scripts/windows-smoke.sh" "$zip" "$build/smoke"

echo "$zip"
