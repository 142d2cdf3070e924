#!/usr/bin/env bash
# Builds the player and the tool into build/bin (and, with --asan, a sanitizer
# build into build-asan/bin). Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
if [ "${1:-}" = "--asan" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLS_SANITIZE=ON >/dev/null
  cmake --build build-asan -j"$jobs"
fi
