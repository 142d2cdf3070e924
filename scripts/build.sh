#!/usr/bin/env bash
# Builds the player and the tool into build/bin. Options (any order):
#   --asan     also a sanitizer build into build-asan/bin
#   --windows  also the Windows screensaver and tool for x86-64 (build-win64/bin,
#              with its tests) and i686 (build-win32/bin), cross-built with mingw-w64
# Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
for option in "$@"; do
  case "$option" in
    --asan)
      cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLS_SANITIZE=ON >/dev/null
      cmake --build build-asan -j"$jobs"
      ;;
    --windows)
      # The Windows builds embed the built-in pictures that build/ painted.
      cmake -S . -B build-win64 -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake -DLS_HOST_BUILD="$PWD/build" >/dev/null
      cmake --build build-win64 -j"$jobs"
      # 32-bit programs cannot run on these machines: built, not tested.
      cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DLS_BUILD_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake -DLS_HOST_BUILD="$PWD/build" >/dev/null
      cmake --build build-win32 -j"$jobs"
      ;;
    *) echo "build.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
