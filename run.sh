#!/usr/bin/env bash
# Builds 青禾抽签 (Release, in build/) and starts it on the sample roster.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
qh_ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build --target qinghe -j"$(qh_jobs)"
# The file list opens on examples/, so the sample roster is there at once.
cd examples
if [ -d ../build/qinghe.app ]; then
  exec ../build/qinghe.app/Contents/MacOS/qinghe "$@"   # macOS builds a bundle
fi
exec ../build/qinghe "$@"
