#!/usr/bin/env bash
# Makes a Wine prefix for running the Windows build: wineboot, windows that
# close at once without a window manager, and a null ALSA device so that MCI
# plays without a sound card. Idempotent and safe to call from several
# processes at once.  Usage: wine-prefix.sh DIR
set -euo pipefail
dir=${1:?usage: wine-prefix.sh DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
exec 9>"$dir/.lock"
flock 9
if [ -f "$dir/.lanternslide-ready" ]; then exit 0; fi
export WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME="$dir/home"
mkdir -p "$HOME"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$HOME/.asoundrc"
wineboot --init >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
touch "$dir/.lanternslide-ready"
