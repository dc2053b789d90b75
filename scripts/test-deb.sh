#!/usr/bin/env bash
# Builds the .deb and proves that it installs and starts on a clean Debian 12:
#   1. cmake (Release, no tests/benchmarks) + cpack -G DEB
#   2. a fresh minimal bookworm root (debootstrap --variant=minbase), unpacked
#      anew from a cached tarball on every run, entered with chroot
#   3. apt-get install ./qinghe_*.deb there, dependencies from the Debian mirror,
#      without Recommends: the Depends alone must be enough
#   4. checks: files in place, no missing shared library (program and xcb
#      plugin), a CJK font present, the program still running after 5 s on the
#      offscreen platform and, when Xvfb is installed, on a real X server with
#      its window shown; the .desktop file validated; the Recommends resolvable;
#      apt-get purge removes every file.
#
# Usage (as root):  scripts/test-deb.sh [--deb FILE] [--refresh] [--keep]
#   --deb FILE   test this .deb instead of building one
#   --refresh    build the cached clean root again
#   --keep       leave the test root in place (its path is printed)
# Environment: QH_BUILD_DIR (default build-deb/), QH_CACHE_DIR
#   (default /var/cache/qinghe-test-deb), QH_DEBIAN_MIRROR, QH_SECURITY_MIRROR
#   (default: the ones apt on this machine uses).
#
# First run: about 2 minutes (debootstrap, downloads); later runs reuse the
# cached root and the downloaded packages.
set -euo pipefail
cd "$(dirname "$0")/.."
REPO=$PWD
SUITE=bookworm

DEB=
REFRESH=0
KEEP=0
while [ $# -gt 0 ]; do
  case "$1" in
    --deb) DEB=$(realpath "$2"); shift 2 ;;
    --refresh) REFRESH=1; shift ;;
    --keep) KEEP=1; shift ;;
    -h|--help) sed -n '2,24p' "$0"; exit 0 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done

if [ "$(id -u)" -ne 0 ]; then
  echo "test-deb.sh needs root (debootstrap, mount, chroot): sudo $0 $*" >&2
  exit 1
fi

BUILD_DIR=${QH_BUILD_DIR:-$REPO/build-deb}
CACHE_DIR=${QH_CACHE_DIR:-/var/cache/qinghe-test-deb}
ROOT_TAR=$CACHE_DIR/$SUITE-minbase.tar
ARCHIVES=$CACHE_DIR/apt-archives   # downloaded .debs, shared between runs
mkdir -p "$CACHE_DIR" "$ARCHIVES/partial"

T0=$SECONDS
phase_start=$SECONDS
phase() {   # prints how long the previous phase took, then names the next
  local now=$SECONDS
  [ -n "${PHASE:-}" ] && printf '   (%s: %ds)\n' "$PHASE" $((now - phase_start))
  PHASE=$1; phase_start=$now
  echo "== $1"
}
fail() { echo "FAIL: $*" >&2; exit 1; }

# ------------------------------------------------------------ host tools
phase "host packages"
export DEBIAN_FRONTEND=noninteractive
source scripts/deps.sh
if [ -z "$DEB" ]; then
  qh_ensure_packages dpkg-dev debootstrap     # dpkg-dev: dpkg-shlibdeps for the Depends
elif ! command -v debootstrap >/dev/null 2>&1; then
  apt-get update -qq && apt-get install -y -qq --no-install-recommends debootstrap
fi

# Mirrors: the ones this machine's apt uses (deb822 .sources or sources.list).
apt_uri_for() {   # $1 = suite; prints the first URI serving it
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$1" '
      /^[ \t]*$/ { if (uri != "" && hit) { print uri; exit } uri=""; hit=0; next }
      /^URIs:/   { uri=$2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) hit=1 }
      END        { if (uri != "" && hit) print uri }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v suite="$1" '$1 == "deb" { u = ($2 ~ /^\[/) ? $3 : $2; s = ($2 ~ /^\[/) ? $4 : $3;
                                     if (s == suite) print u }' "$f"
  done
}
MIRROR=${QH_DEBIAN_MIRROR:-$(apt_uri_for "$SUITE" | head -n1)}
MIRROR=${MIRROR:-http://deb.debian.org/debian}
SECURITY=${QH_SECURITY_MIRROR:-$(apt_uri_for "$SUITE-security" | head -n1)}
SECURITY=${SECURITY:-http://deb.debian.org/debian-security}
echo "mirror: $MIRROR   security: $SECURITY"

# ------------------------------------------------------------ the package
if [ -z "$DEB" ]; then
  phase "build the .deb ($BUILD_DIR)"
  mkdir -p "$BUILD_DIR"
  LOG=$BUILD_DIR/test-deb-build.log
  { cmake -S "$REPO" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
          -DBUILD_TESTING=OFF -DQH_BUILD_BENCH=OFF -DQH_SANITIZE=OFF &&
    cmake --build "$BUILD_DIR" --target qinghe -j"$(qh_jobs)" &&
    rm -f "$BUILD_DIR"/qinghe_*.deb &&
    (cd "$BUILD_DIR" && cpack -G DEB); } >"$LOG" 2>&1 \
    || { tail -n 40 "$LOG" >&2; fail "build or cpack failed (log: $LOG)"; }
  DEB=$(find "$BUILD_DIR" -maxdepth 1 -name 'qinghe_*.deb' | head -n1)
  [ -n "$DEB" ] || fail "cpack made no .deb in $BUILD_DIR"
fi
[ -f "$DEB" ] || fail "no such file: $DEB"
echo "package: $DEB ($(du -h "$DEB" | cut -f1))"
dpkg-deb -f "$DEB" Package Version Depends Recommends | sed 's/^/  /'
[ "$(dpkg-deb -f "$DEB" Package)" = qinghe ] || fail "package name is not qinghe"

# ------------------------------------------------------------ clean root
if [ "$REFRESH" = 1 ] || [ ! -s "$ROOT_TAR" ]; then
  phase "debootstrap --variant=minbase $SUITE (cached in $ROOT_TAR)"
  BOOT=$(mktemp -d /tmp/qinghe-debootstrap.XXXXXX)
  if ! debootstrap --variant=minbase "$SUITE" "$BOOT" "$MIRROR" >"$BOOT.log" 2>&1; then
    tail -n 20 "$BOOT.log" >&2; rm -rf "$BOOT" "$BOOT.log"; fail "debootstrap failed"
  fi
  # The downloaded .debs join the shared cache; the package lists stay, so
  # apt-get update in the root only fetches what changed.
  mv "$BOOT"/var/cache/apt/archives/*.deb "$ARCHIVES"/ 2>/dev/null || true
  tar -C "$BOOT" -cf "$ROOT_TAR.tmp" . && mv "$ROOT_TAR.tmp" "$ROOT_TAR"
  rm -rf "$BOOT" "$BOOT.log"
fi

phase "unpack a fresh root"
ROOT=$(mktemp -d /tmp/qinghe-testroot.XXXXXX)
XVFB_PID=
MOUNTS=()
cleanup() {
  local rc=$?
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  local i
  for (( i=${#MOUNTS[@]}-1; i>=0; i-- )); do
    umount "${MOUNTS[$i]}" 2>/dev/null || umount -l "${MOUNTS[$i]}" 2>/dev/null || true
  done
  if [ "$KEEP" = 1 ]; then
    echo "test root kept: $ROOT"
  elif [ -n "${ROOT:-}" ] && [ -d "$ROOT" ]; then
    # Only delete once nothing is mounted below it any more.
    if ! grep -q " $ROOT/" /proc/mounts; then rm -rf "$ROOT"; fi
  fi
  exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT TERM
tar -C "$ROOT" -xf "$ROOT_TAR"
bind() { mkdir -p "$ROOT$2"; mount --bind "$1" "$ROOT$2"; MOUNTS+=("$ROOT$2"); }
mount -t proc proc "$ROOT/proc"; MOUNTS+=("$ROOT/proc")
bind /dev /dev
bind /dev/pts /dev/pts
bind "$ARCHIVES" /var/cache/apt/archives
cp -L /etc/resolv.conf "$ROOT/etc/resolv.conf" 2>/dev/null || true
cat >"$ROOT/etc/apt/sources.list" <<EOF
deb $MIRROR $SUITE main
deb $MIRROR $SUITE-updates main
deb $SECURITY $SUITE-security main
EOF
# Keep downloaded packages (they land in the shared cache); the cache belongs
# to the host's root, so apt downloads as root instead of its _apt user.
printf 'APT::Keep-Downloaded-Packages "true";\nAPT::Sandbox::User "root";\n' \
  >"$ROOT/etc/apt/apt.conf.d/99qinghe-test"
cp "$DEB" "$ROOT/tmp/"
DEB_IN=/tmp/$(basename "$DEB")

in_root() { chroot "$ROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
              HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

phase "apt-get install ./$(basename "$DEB") in the clean root"
in_root apt-get update -qq
# Recommends must exist in the archive: a dry run that includes them.
SIM=$(in_root apt-get install -s "$DEB_IN") || { echo "$SIM" | tail -n 20; fail "apt cannot resolve the package with its Recommends"; }
for r in $(dpkg-deb -f "$DEB" Recommends | sed 's/([^)]*)//g' | tr ',|' '  '); do
  echo "$SIM" | grep -q "^Inst $r " || in_root dpkg -s "$r" >/dev/null 2>&1 \
    || fail "Recommends: $r cannot be installed from $MIRROR"
done
in_root apt-get install -y -q --no-install-recommends "$DEB_IN" >"$ROOT/tmp/install.log" 2>&1 \
  || { tail -n 30 "$ROOT/tmp/install.log"; fail "apt-get install failed"; }
grep -E '^(Setting up|Unpacking) qinghe' "$ROOT/tmp/install.log" | sed 's/^/  /'
echo "  $(grep -c '^Setting up' "$ROOT/tmp/install.log") packages set up"

phase "checks in the clean root"
in_root dpkg -s qinghe | grep -q '^Status: install ok installed' || fail "qinghe is not installed"
for f in /usr/bin/qinghe /usr/share/qinghe/instructions.html /usr/share/applications/qinghe.desktop \
         /usr/share/icons/hicolor/256x256/apps/qinghe.png /usr/share/icons/hicolor/48x48/apps/qinghe.png; do
  [ -f "$ROOT$f" ] || fail "missing after install: $f"
  echo "  ok  $f"
done
XCB=$(in_root sh -c 'ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so 2>/dev/null | head -n1')
[ -n "$XCB" ] || fail "the Qt xcb platform plugin is not installed: a desktop could not show the program"
for lib in /usr/bin/qinghe "$XCB"; do
  unresolved=$(in_root ldd "$lib" | grep 'not found' || true)
  [ -z "$unresolved" ] || fail "$lib: $unresolved"
  echo "  ok  ldd $lib: every library found"
done
cjk=$(in_root fc-list :lang=zh family 2>/dev/null | head -n1 || true)
[ -n "$cjk" ] || fail "no Chinese font installed"
echo "  ok  Chinese font: $cjk"
if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$ROOT/usr/share/applications/qinghe.desktop" || fail "desktop-file-validate"
  echo "  ok  desktop-file-validate"
else
  echo "  --  desktop-file-validate not installed (package desktop-file-utils): skipped"
fi

start_check() {   # $1 = label; rest: environment for the program
  local label=$1; shift
  set +e
  in_root env "$@" timeout 5 qinghe >"$ROOT/tmp/run.log" 2>&1
  local rc=$?
  set -e
  if [ $rc -ne 124 ]; then
    sed 's/^/    /' "$ROOT/tmp/run.log"
    fail "qinghe ($label) ended with status $rc within 5 s; expected it still running (124)"
  fi
  echo "  ok  qinghe ($label) still running after 5 s"
}
mkdir -p "$ROOT/run/user/0" && chmod 0700 "$ROOT/run/user/0"
start_check "offscreen" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/run/user/0

if command -v Xvfb >/dev/null 2>&1; then
  # A real X server on the host, its socket shared with the root: the xcb
  # plugin from the Depends must load and the start window must appear.
  mkdir -p /tmp/.X11-unix
  for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  [ -S "/tmp/.X11-unix/X$n" ] || fail "Xvfb did not start"
  bind /tmp/.X11-unix /tmp/.X11-unix
  if command -v xwininfo >/dev/null 2>&1; then
    ( sleep 3; xwininfo -display ":$n" -root -tree >"$ROOT/tmp/windows.txt" 2>&1 ) &
    WATCH=$!
  fi
  start_check "xcb on Xvfb :$n" DISPLAY=":$n" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=/run/user/0
  if [ -n "${WATCH:-}" ]; then
    wait "$WATCH" || true
    grep -q '青禾抽签' "$ROOT/tmp/windows.txt" || { cat "$ROOT/tmp/windows.txt"; fail "no window titled 青禾抽签 was shown"; }
    echo "  ok  window shown: $(grep -o '"[^"]*青禾抽签[^"]*"' "$ROOT/tmp/windows.txt" | head -n1)"
  fi
else
  echo "  --  Xvfb not installed (package xvfb): start on X not tried"
fi

phase "apt-get purge qinghe"
in_root apt-get purge -y -q qinghe >/dev/null
left=$(for f in /usr/bin/qinghe /usr/share/qinghe /usr/share/applications/qinghe.desktop \
               /usr/share/icons/hicolor/256x256/apps/qinghe.png /usr/share/icons/hicolor/48x48/apps/qinghe.png; do
         [ -e "$ROOT$f" ] && echo "$f"; done || true)
[ -z "$left" ] || fail "left behind after purge: $left"
echo "  ok  every file removed"

phase "done"
echo "PASS: $(basename "$DEB") installs on a clean $SUITE and starts (total $((SECONDS - T0)) s)"
