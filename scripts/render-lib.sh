# Sourced by the render scripts: builds a render helper and runs it under Xvfb
# (real X11 font rendering) when xvfb-run is there, else offscreen.

# qh_render_tool NAME BUILD-DIR: prints the path of the built helper.
qh_render_tool() {
  local name=$1 build=$2 root
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >&2
  fi
  cmake --build "$build" --target "$name" -j2 >&2
  local tool
  tool="$(find "$build" -type f -name "$name" -perm -u+x | head -n 1)"
  if [[ -z "$tool" ]]; then
    echo "$name was not built" >&2
    return 1
  fi
  echo "$tool"
}

# qh_render_run TOOL ARGS...
qh_render_run() {
  if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x800x24" "$@"
  else
    QT_QPA_PLATFORM=offscreen "$@"
  fi
}
