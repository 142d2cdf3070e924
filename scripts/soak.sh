#!/usr/bin/env bash
# Soak run: the show of a screensaver with every style enabled, pictures of
# mixed sizes and formats (JPEG, GIF, bitmap), music and picture sounds, for
# HOURS of virtual time in the headless simulator. Samples the resident
# memory after the first virtual minute and at the end, and fails when the
# peak near the end is more than 10 % above the peak after the first minute.
#
# usage: scripts/soak.sh HOURS [BUILD_DIR]
#   HOURS may be a fraction (0.1 = 6 virtual minutes).
#   BUILD_DIR defaults to build; a sanitizer build works too (the leak
#   report, if any, is in the log printed at the end). Its memory grows with
#   the sanitizer's quarantine of freed blocks, so for the memory check give
#   it ASAN_OPTIONS=quarantine_size_mb=0 or use a plain build.
# env: SOAK_SIZE (default 320x240), SOAK_DIR (default: a new temporary folder),
#      SOAK_PLAYER: the player the package is appended to (default: the build's
#      lanternslide; simulate reads only the package, so any build's will do).
set -euo pipefail

hours=${1:?usage: scripts/soak.sh HOURS [BUILD_DIR]}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build}
tool=$build/bin/lanternslide-tool
size=${SOAK_SIZE:-320x240}
[ -x "$tool" ] || { echo "soak: no $tool (build lanternslide-tool first)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "soak: needs python3 to draw the GIF and bitmap pictures" >&2; exit 2; }

seconds=$(awk -v h="$hours" 'BEGIN { s = int(h * 3600); if (s < 61) s = 61; print s }')
work=${SOAK_DIR:-$(mktemp -d /tmp/ls-soak-XXXXXX)}
mkdir -p "$work/tmp" "$work/config"
media=$work/media

"$tool" demo-media "$media" >/dev/null
# Pictures in other formats and sizes: 256-colour GIFs and 24-bit bitmaps
# with patterns, drawn here without an image library.
python3 - "$media" <<'PY'
import struct, sys
out = sys.argv[1]

def pixel(x, y, w, h, k):
    return ((x * 255 // max(w - 1, 1)) ^ (k * 40), (y * 255 // max(h - 1, 1)), ((x + y + 16 * k) * 3) & 255)

def bmp(name, w, h, k):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y, w, h, k)
            line += bytes((b, g, r))
        data += line + bytes(row - 3 * w)
    head = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    head += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    open(f"{out}/{name}", "wb").write(head + data)

def gif(name, w, h, k):
    # A clear code before every pixel keeps the codes 9 bits wide.
    palette = b"".join(bytes((i, (i * 7) & 255, 255 - i)) for i in range(256))
    bits = acc = 0
    packed = bytearray()
    def put(code):
        nonlocal bits, acc
        acc |= code << bits
        bits += 9
        while bits >= 8:
            packed.append(acc & 255)
            acc >>= 8
            bits -= 8
    for y in range(h):
        for x in range(w):
            put(256)
            put(((x // 8) * 13 + (y // 8) * 7 + k * 50) & 255)
    put(257)
    if bits:
        packed.append(acc & 255)
    body = bytearray()
    for i in range(0, len(packed), 255):
        chunk = packed[i:i + 255]
        body += bytes((len(chunk),)) + chunk
    g = b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF7, 0, 0) + palette
    g += b"," + struct.pack("<HHHHB", 0, 0, w, h, 0) + b"\x08" + bytes(body) + b"\x00;"
    open(f"{out}/{name}", "wb").write(g)

gif("checks-large.gif", 800, 600, 1)
gif("checks-small.gif", 120, 75, 2)
bmp("gradient-large.bmp", 1024, 640, 3)
bmp("gradient-small.bmp", 300, 200, 4)
bmp("gradient-wide.bmp", 1200, 240, 5)
gif("checks-tall.gif", 200, 700, 6)
PY

# The demo project with its fixed styles dropped (every picture then draws
# from all enabled styles, and all are enabled), random order, and the extra
# pictures, two of them with a sound.
project=$work/soak.ini
extra=(checks-large.gif gradient-large.bmp checks-small.gif gradient-small.bmp gradient-wide.bmp checks-tall.gif)
count=$((6 + ${#extra[@]}))
grep -v 'TransitionMode=' "$media/demo.ini" |
  sed -e "s/^ImageCount=.*/ImageCount=$count/" -e 's/^ShowImageRandomly=.*/ShowImageRandomly=1/' > "$project"
i=6
for f in "${extra[@]}"; do
  {
    echo "File$i=$media/$f"
    echo "File${i}SceneDuration=3"
    echo "File${i}ShowCaption=1"
    echo "File${i}Caption=$f"
    if [ $((i % 3)) = 0 ]; then echo "File${i}Sound=$media/chime.wav"; fi
  } >> "$project"
  i=$((i + 1))
done
player=${SOAK_PLAYER:-$build/bin/lanternslide}
[ -f "$player" ] || { echo "soak: no player $player (build lanternslide or set SOAK_PLAYER)" >&2; exit 2; }
"$tool" pack "$project" -o "$work/Soak.scr" --player "$player" >/dev/null

trace=$work/trace.jsonl
log=$work/simulate.log
start_ns=$(date +%s%N)
# stdbuf's preloaded library comes before a sanitizer build's runtime; that
# order is harmless here.
TMPDIR=$work/tmp/ XDG_CONFIG_HOME=$work/config \
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
  stdbuf -oL "$tool" simulate "$work/Soak.scr" --seconds "$seconds" --size "$size" --seed 5 > "$trace" 2> "$log" &
pid=$!

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true; }
last_t() { tail -n 1 "$trace" 2>/dev/null | sed -n 's/^{"t":\([0-9]*\),.*/\1/p'; }
# The resident size follows the picture and style on screen, so beside the
# two samples the check compares peaks over equal windows: from the first
# minute on, and at the end (each a tenth of the run, at least a minute).
window=$(( seconds / 10 > 60 ? seconds / 10 * 1000 : 60000 ))
end_from=$(( seconds * 1000 - window ))
first_rss=
end_rss=
first_peak=0
end_peak=0
while kill -0 "$pid" 2>/dev/null; do
  r=$(rss)
  t=$(last_t)
  if [ -n "$r" ] && [ -n "$t" ]; then
    end_rss=$r
    if [ -z "$first_rss" ] && [ "$t" -ge 60000 ]; then first_rss=$r; fi
    if [ "$t" -ge 60000 ] && [ "$t" -lt $((60000 + window)) ] && [ "$r" -gt "$first_peak" ]; then first_peak=$r; fi
    if [ "$t" -ge "$end_from" ] && [ "$r" -gt "$end_peak" ]; then end_peak=$r; fi
  fi
  sleep 0.2
done
status=0
wait "$pid" || status=$?
wall=$(awk -v a="$start_ns" -v b="$(date +%s%N)" 'BEGIN { printf "%.1f", (b - a) / 1e9 }')

slides=$(grep -c '"ev":"slide"' "$trace" || true)
skips=$(grep -c '"ev":"skip"' "$trace" || true)
tracks=$(grep -c '"ev":"track"' "$trace" || true)
sounds=$(grep -c '"ev":"sound"' "$trace" || true)
styles=$(grep -o '"ev":"slide".*"style":[0-9]*' "$trace" | sed 's/.*"style"://' | sort -un | wc -l || true)
ended=$(tail -n 1 "$trace")
echo "virtual time:  $seconds s ($hours h) at $size"
echo "wall time:     $wall s"
echo "slides shown:  $slides ($styles different styles), skips: $skips, tracks: $tracks, sounds: $sounds"
echo "RSS after 1 min: ${first_rss:-?} kB; at the end: ${end_rss:-?} kB"
echo "RSS peak over $((window / 1000)) s from 1 min: $first_peak kB; over the last $((window / 1000)) s: $end_peak kB"
echo "last line:     $ended"
echo "exit status:   $status"
if [ -s "$log" ]; then echo "simulate's messages ($log):"; head -n 40 "$log"; fi
leftover=$(ls -A "$work/tmp")
fail=0
[ "$status" = 0 ] || { echo "soak: simulate failed" >&2; fail=1; }
[ -z "$leftover" ] || { echo "soak: left in the temporary folder: $leftover" >&2; fail=1; }
case $ended in *'"ev":"end"'*'"workdir_removed":true'*) ;; *) echo "soak: no clean end" >&2; fail=1 ;; esac
if [ "$first_peak" -gt 0 ] && [ "$end_peak" -gt 0 ]; then
  if [ "$end_peak" -gt $((first_peak + first_peak / 10)) ]; then
    echo "soak: memory grew more than 10 % (peak $first_peak kB -> $end_peak kB)" >&2
    fail=1
  fi
else
  echo "soak: memory was not sampled in both windows (a run too short for its speed?)" >&2
  fail=1
fi
[ -n "${SOAK_DIR:-}" ] || [ "$fail" = 1 ] || rm -rf "$work"
exit "$fail"
