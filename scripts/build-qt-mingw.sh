#!/usr/bin/env bash
# scripts/build-qt-mingw.sh [--static] [PREFIX]: cross-builds Qt 6.4.2 (qtbase: Core, Gui, Widgets, Test, the windows,
# offscreen and minimal platform plugins, the windowsvista style, the image-format plugins) for
# 64-bit Windows with MinGW-w64, from Debian's own source package of qt6-base, the same version as
# the host Qt whose moc/rcc/uic it uses. Installs into PREFIX (default: ./qt6.4.2-mingw-w64) and
# strips the DLLs. With --static: static libraries and plugins, and the MinGW runtime linked in
# statically too (default PREFIX ./qt6.4.2-mingw-w64-static), so a program built with it is one
# .exe that needs only Windows' own DLLs. About 45 minutes on two cores. Needs root for apt-get;
# downloads nothing else.
set -euo pipefail
shared=(-DBUILD_SHARED_LIBS=ON) name=qt6.4.2-mingw-w64
if [ "${1:-}" = --static ]; then
  shared=(-DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON) name=qt6.4.2-mingw-w64-static
  shift
fi
prefix=$(realpath -m "${1:-$name}")
work=$(mktemp -d /tmp/qt-mingw.XXXXXX)
export DEBIAN_FRONTEND=noninteractive
# Source packages come from the same Debian mirror as the binary ones.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >/etc/apt/sources.list.d/debian-src.sources
fi
apt-get update -qq
apt-get install -y -qq dpkg-dev cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools >/dev/null
cd "$work"
apt-get source -qq --download-only qt6-base=6.4.2+dfsg-10
tar xf qt6-base_6.4.2+dfsg.orig.tar.xz
src=$work/qtbase-everywhere-src-6.4.2
# With OpenGL off, 6.4.2 still compiles one dynamic-GL branch in the Windows plugin.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  "$src/src/plugins/platforms/windows/qwindowswindow.cpp"
cat >"$work/mingw.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
mkdir -p "$prefix"
cp "$work/mingw.cmake" "$prefix/mingw.cmake"   # qt.toolchain.cmake chain-loads it from here
# tabletevent off: Debian's source leaves out the WinTab header; pens and touch still arrive as
# pointer and mouse events. No ICU: Windows' own code pages serve QStringConverter::System.
cmake -G Ninja -S "$src" -B "$work/build" -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="-ffile-prefix-map=$src=/usr/src/qtbase-everywhere-src-6.4.2" \
  -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$src=/usr/src/qtbase-everywhere-src-6.4.2" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF "${shared[@]}" \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_opengl=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF \
  -DFEATURE_tabletevent=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF >"$work/configure.log"
cmake --build "$work/build" --parallel "$(nproc)"
cmake --install "$work/build" >/dev/null
find "$prefix" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
find "$prefix" -name '*.a' -exec x86_64-w64-mingw32-strip --strip-debug {} +
# Relocatable: Qt's toolchain file finds the MinGW one beside it wherever the folder is moved.
sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw.cmake")|' \
  "$prefix/lib/cmake/Qt6/qt.toolchain.cmake"
# The build folder's paths that a static build records in its CMake files and .prl files.
grep -rlI "$work" "$prefix" 2>/dev/null | xargs -r sed -i "s|$work/build|/opt/qt-build|g; s|$src|/usr/src/qtbase-everywhere-src-6.4.2|g; s|$work|/opt|g"
rm -rf "$work"
echo "$prefix"
