#!/usr/bin/env bash
# Runs a program of the x86-64 Windows build under Wine, in the project's Wine
# prefix (made on first use). CTest calls it for every Windows test program.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]   (WINE_DIR overrides the prefix's home)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${WINE_DIR:-$root/build-wine}
bash "$root/scripts/wine-prefix.sh" "$dir"
export WINEPREFIX="$dir/prefix" HOME="$dir/home"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
