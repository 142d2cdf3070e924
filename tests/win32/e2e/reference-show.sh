#!/usr/bin/env bash
# Runs the show of a screensaver with the Linux build's simulator and keeps the
# frames on screen as PNG: the reference the Windows show is compared with.
# Usage: reference-show.sh TOOL SCREENSAVER SIZE OUTDIR
set -euo pipefail
tool=$1 scr=$2 size=$3 out=$4
rm -rf "$out"
mkdir -p "$out/frames" "$out/tmp" "$out/config"
TMPDIR="$out/tmp/" XDG_CONFIG_HOME="$out/config" ASAN_OPTIONS=detect_leaks=0 \
  "$tool" simulate "$scr" --seconds 14 --size "$size" --frames "$out/frames" > "$out/trace.jsonl"
# The first picture's frame must be there, or the comparison has nothing to go by.
ls "$out/frames/"*-complete-0.png > /dev/null
touch "$out/stamp"
