#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo screensaver and runs its
# show: full screen when a display is there, else in virtual time with a few
# frames written as PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh

demo=build/demo
tool=build/bin/lanternslide-tool
rm -rf "$demo"
mkdir -p "$demo"
"$tool" demo-media "$demo/media"
"$tool" pack "$demo/media/demo.ini" -o "$demo/Demo.scr"
echo "demo screensaver: $demo/Demo.scr"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "starting the show (any key, click or mouse movement ends it)"
  exec "$demo/Demo.scr" /s
fi

echo "no display: running the show in virtual time"
mkdir -p "$demo/frames"
"$tool" simulate "$demo/Demo.scr" --seconds 30 --frames "$demo/frames" > "$demo/trace.jsonl"
echo "trace: $demo/trace.jsonl"
echo "frames: $demo/frames/ ($(ls "$demo/frames" | wc -l) PNG files)"
