#!/usr/bin/env bash
# Runs a cross-built Windows test program under Wine for ctest (the build's
# CMAKE_CROSSCOMPILING_EMULATOR, set by scripts/windows.sh). A GUI-subsystem
# program's standard output never reaches the terminal under Wine, so QTest
# writes its results to a file, shown here; the exit code is the program's.
# Wine hands no QT_* variable of ours to a Windows program (QT_QPA_PLATFORM,
# QT_SCALE_FACTOR, ...): a batch file sets them for it instead.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGS...]
# With QH_WINE_PLAIN=1 the program is not a test: no results file. With
# QH_WINE_SKIPS=FILE the tests' SKIP lines are added to FILE.
set -uo pipefail
exe=$1
shift
results=$(mktemp --suffix=.txt "${TMPDIR:-/tmp}/qh-wine-result.XXXXXX")
# A batch file sets them: cmd waits for a GUI program started from one.
batch=${results%.txt}.bat
trap 'rm -f "$results" "$batch"' EXIT
{
  while IFS= read -r -d '' var; do printf '@set "%s"\r\n' "$var"; done < <(env -0 | grep -z '^QT_')
  printf '@"Z:%s"' "$exe"
  args=("$@")
  [ "${QH_WINE_PLAIN:-0}" = 1 ] || args+=(-o "Z:$results,txt")
  for arg in "${args[@]}"; do printf ' "%s"' "$arg"; done
  printf '\r\n@exit /b %%ERRORLEVEL%%\r\n'
} >"$batch"
wine cmd /c "Z:$batch"
rc=$?
[ "${QH_WINE_PLAIN:-0}" = 1 ] && exit "$rc"
# QTest writes in the ANSI code page (936). Skips are collected for the
# summary, since ctest shows nothing of a test that passed.
iconv -f GB18030 -t UTF-8 -c "$results"
if [ -n "${QH_WINE_SKIPS:-}" ]; then
  iconv -f GB18030 -t UTF-8 -c "$results" | grep '^SKIP' >>"$QH_WINE_SKIPS" || true
fi
if [ "$rc" -eq 0 ] && ! grep -q '^Totals: .*, 0 failed,' "$results"; then
  echo "wine-run: $(basename "$exe") exited 0 without a clean QTest total" >&2
  rc=1
fi
exit "$rc"
