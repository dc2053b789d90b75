# Sourced by run.sh, test.sh and .ci/run: makes sure the build packages are
# there. On Debian or Ubuntu it installs what is missing when it runs as root;
# otherwise it names the exact packages and stops. Elsewhere (Windows, macOS)
# it leaves the set-up to the README's instructions.

QH_PACKAGES=(cmake g++ make qt6-base-dev qt6-translations-l10n libgl-dev fonts-noto-cjk fonts-arphic-uming fonts-arphic-ukai)

qh_ensure_packages() {
  local extra=("$@")
  local wanted=("${QH_PACKAGES[@]}" "${extra[@]}")
  if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    command -v cmake >/dev/null 2>&1 || { echo "请先安装 CMake 3.25+ 与 Qt 6.4+ (see README: Building)" >&2; return 1; }
    return 0
  fi
  local missing=()
  local p
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    return 1
  fi
}

qh_jobs() {
  if command -v nproc >/dev/null 2>&1; then nproc; else sysctl -n hw.ncpu 2>/dev/null || echo 2; fi
}

# What scripts/windows.sh needs besides the above: MinGW-w64, Ninja, Wine on
# Xvfb (xdotool and ImageMagick for the smoke test of the unzipped program),
# Python 3 (scripts/check-win-exe.py reads the exe's imports and resources), and
# the zh_CN.UTF-8 locale, without which Wine has no code page 936 and mangles
# Chinese command-line arguments.
QH_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix ninja-build wine wine64 xvfb xauth xdotool imagemagick locales python3)

qh_ensure_windows_packages() {
  qh_ensure_packages "${QH_WINDOWS_PACKAGES[@]}" || return 1
  locale -a 2>/dev/null | grep -qix 'zh_CN.utf8' && return 0
  if [ "$(id -u)" -eq 0 ] && [ -f /etc/locale.gen ]; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "Generate the zh_CN.UTF-8 locale (as root: uncomment it in /etc/locale.gen, run locale-gen)" >&2
    return 1
  fi
}

# Wine for the Windows build in $1 against the Qt for Windows in $2: its own
# prefix in the build, no Mono or Gecko installer dialogs, the Chinese locale
# (code page 936, Chinese command-line arguments intact), and the Qt and
# MinGW DLLs on its search path.
qh_wine_env() {
  local gcc_dlls pthread_dlls
  gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
  pthread_dlls=$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")
  export WINEPREFIX=$1/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export WINEPATH="Z:$2/bin;Z:$gcc_dlls;Z:$pthread_dlls"
}

# ctest with the given arguments, in the current build folder. On failure the
# failed checks are repeated after ctest's summary: a long log is often seen
# only by its head and tail, and the middle is where they were printed.
qh_ctest() {
  local rc=0
  ctest --output-on-failure "$@" || rc=$?
  if [ "$rc" -ne 0 ] && [ -f Testing/Temporary/LastTest.log ]; then
    echo "== failed checks (repeated from above) =="
    grep -a -A1 -E '^(FAIL!|QFATAL)|Subprocess aborted|Exception:|\*\*\*Timeout' Testing/Temporary/LastTest.log | tail -n 60 || true
  fi
  return "$rc"
}
