#!/usr/bin/env bash
# Builds everything (Release, in build/) and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
qh_ensure_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(qh_jobs)"
cd build
# The soak test (label "soak") is long; CI runs it under the sanitizers.
QT_QPA_PLATFORM=offscreen qh_ctest -j"$(qh_jobs)" -LE soak "$@"
