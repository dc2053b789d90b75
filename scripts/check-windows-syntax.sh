#!/usr/bin/env bash
# Compiles every C++ source of the project as a Windows compiler sees it, so a
# POSIX-only call or a broken `#ifdef Q_OS_WIN` branch fails here rather than
# on a teacher's Windows build. There is no Qt for Windows in Debian, so this is
# a syntax and semantics check only (MinGW-w64, -fsyntax-only, no linking)
# against Debian's Qt 6 headers, without the moc step.
#
# Usage: scripts/check-windows-syntax.sh [DIR|FILE ...]   (default: src tests bench)
#   src and tests and bench are what a default Windows build compiles
#   (tests are built by default; the benchmarks when asked for); fuzz/ is left out:
#   it is clang/libFuzzer-only and never built on Windows.
# Environment: QH_JOBS (parallel compilers, default 2), QH_QT_INCLUDE.
set -euo pipefail
cd "$(dirname "$0")/.."

CXX=x86_64-w64-mingw32-g++-posix
if ! command -v "$CXX" >/dev/null 2>&1; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "Installing g++-mingw-w64-x86-64-posix"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix >/dev/null 2>&1 || {
      apt-get update -qq
      apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix
    }
  else
    echo "Missing the MinGW-w64 cross compiler. Install it with:" >&2
    echo "  sudo apt-get install -y g++-mingw-w64-x86-64-posix" >&2
    exit 1
  fi
fi

QT=${QH_QT_INCLUDE:-/usr/include/x86_64-linux-gnu/qt6}
if [ ! -f "$QT/QtCore/qglobal.h" ]; then
  echo "Qt 6 headers not found in $QT (package qt6-base-dev)" >&2
  exit 1
fi

# Files that include moc output ("foo.moc", "moc_foo.cpp") get an empty stand-in
# from a stub folder at the end of the include path; the sources are checked,
# not the generated code.
STUB=$(mktemp -d /tmp/qinghe-winsyntax.XXXXXX)
trap 'rm -rf "$STUB"' EXIT

dirs=("$@")
[ ${#dirs[@]} -gt 0 ] || dirs=(src tests bench)
files=()
for d in "${dirs[@]}"; do
  [ -e "$d" ] || continue
  while IFS= read -r -d '' f; do files+=("$f"); done \
    < <(find "$d" -name '*.cpp' -print0 | sort -z)
done
if [ ${#files[@]} -eq 0 ]; then
  echo "no .cpp files in: ${dirs[*]}" >&2
  exit 1
fi
{ grep -hoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]*(\.moc|moc_[^">]*\.cpp)[">]' "${files[@]}" || true; } \
  | sed -E 's/.*["<]([^">]*)[">].*/\1/' | sort -u \
  | while IFS= read -r inc; do mkdir -p "$STUB/$(dirname "$inc")"; : >"$STUB/$inc"; done

# Flags, each for a reason:
#   -std=c++20                  as the real build (CMAKE_CXX_STANDARD 20, no extensions)
#   -fsyntax-only -w            parse, resolve and instantiate; no code, no warnings
#                               (warnings are the native build's business)
#   _WIN32 comes from the compiler itself; Qt's qsystemdetection.h turns it
#   into Q_OS_WIN (and leaves Q_OS_UNIX/Q_OS_LINUX undefined), so our
#   Q_OS_WIN branches are compiled and the POSIX ones are not.
#   No Qt workaround is needed: Debian's qconfig.h/qtcore-config.h describe
#   features only, nothing there is Linux-specific enough to stop a Windows
#   compiler (checked with Qt 6.4.2); QT_NO_VERSION_TAGGING is not needed with
#   -fsyntax-only either.
#   -DUNICODE -D_UNICODE        Qt's CMake packages add these on Windows, so the
#                               Win32 API macros resolve to their W variants
#   -DQT_*_LIB                  as Qt's CMake targets define them (QtTest picks
#                               its widget support from QT_WIDGETS_LIB)
#   -DQT_NO_CAST_FROM_ASCII -DQT_NO_NARROWING_CONVERSIONS_IN_CONNECT
#                               the project's own definitions (qh_warnings)
#   -I src -I tests -I tests/support  the project's include folders
#   -isystem Qt folders         Debian's Qt 6 headers; the MinGW headers
#                               (windows.h, no fork/sigaction/...) come first
#   -idirafter STUB             empty moc outputs
FLAGS=(
  -std=c++20 -fsyntax-only -w
  -DUNICODE -D_UNICODE
  -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -DQT_TESTLIB_LIB
  -DQT_NO_CAST_FROM_ASCII -DQT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  -I src -I tests -I tests/support
  -isystem "$QT" -isystem "$QT/QtCore" -isystem "$QT/QtGui" -isystem "$QT/QtWidgets"
  -isystem "$QT/QtTest"
  -idirafter "$STUB"
)

check_one() {
  local out
  if out=$("$CXX" "${FLAGS[@]}" "$1" 2>&1); then
    echo "ok    $1"
  else
    printf 'FAIL  %s\n%s\n' "$1" "$out"
    return 1
  fi
}
export CXX
export -f check_one
# Arrays cannot be exported; hand the flags over NUL-separated.
FLAGS_FILE=$STUB/.flags
printf '%s\0' "${FLAGS[@]}" >"$FLAGS_FILE"
export FLAGS_FILE

start=$SECONDS
echo "Windows syntax check: ${#files[@]} files with $CXX, ${QH_JOBS:-2} at a time"
set +e
# shellcheck disable=SC2016  # expanded by the inner bash
printf '%s\0' "${files[@]}" | xargs -0 -n1 -P"${QH_JOBS:-2}" bash -c '
  mapfile -d "" -t FLAGS <"$FLAGS_FILE"
  check_one "$1"' _
rc=$?
set -e
if [ $rc -ne 0 ]; then
  echo "Windows syntax check FAILED ($((SECONDS - start)) s)" >&2
  exit 1
fi
echo "Windows syntax check passed: ${#files[@]} files ($((SECONDS - start)) s)"
