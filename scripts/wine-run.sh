#!/usr/bin/env bash
# Runs a program of the x86-64 Windows build under Wine, in the project's Wine
# prefix (made on first use). CTest calls it for every Windows test program.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]   (WINE_DIR overrides the prefix's home)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${WINE_DIR:-$root/build-wine}
bash "$root/scripts/wine-prefix.sh" "$dir"
export WINEPREFIX="$dir/prefix" HOME="$dir/home"
export WINEDEBUG=${WINEDEBUG:--all}
# No debugger on a crash (it would wait for ever): the program just ends.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# A Wine session (its server and system processes) outlives the program that
# starts it and would keep that program's output open, so CTest would wait for
# it. Started here detached, it stays up between tests and holds nothing of
# theirs; it ends 30 s after the last program.
if wineserver -p30 </dev/null >/dev/null 2>&1; then
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
fi
exec /usr/lib/wine/wine64 "$@"
