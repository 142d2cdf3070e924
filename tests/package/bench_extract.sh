#!/bin/sh
# Extraction speed and memory: a package with one 200 MB block (and one with a
# 10 MB block) extracted by `lanternslide-tool inspect --extract`, against `cp`
# of the same bytes, and the peak resident size of both extractions.
# Usage: tests/package/bench_extract.sh [BUILD_DIR]   (not a test; prints figures)
set -eu
build=${1:-build}
tool=$build/bin/lanternslide-tool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c 200000000 /dev/urandom > big.jpg
head -c 10000000 /dev/urandom > small.jpg
for n in big small; do
  printf '[Picture]\nImageCount=1\n[Pictures]\nFile0=%s.jpg\n' "$n" > $n.ini
  "$tool" pack $n.ini -o $n.scr --player /bin/true > /dev/null
done
python3 - "$tool" <<'PY'
import os, shutil, statistics, subprocess, sys, time
tool = sys.argv[1]
ex, cp = [], []
for _ in range(11):
    shutil.rmtree('ex', ignore_errors=True)
    if os.path.exists('copy'): os.remove('copy')
    os.sync()
    a = time.perf_counter()
    subprocess.run([tool, 'inspect', 'big.scr', '--extract', 'ex'], stdout=subprocess.DEVNULL, check=True)
    b = time.perf_counter()
    os.sync()
    c = time.perf_counter()
    subprocess.run(['cp', 'big.jpg', 'copy'], check=True)
    d = time.perf_counter()
    ex.append(b - a); cp.append(d - c)
print('200 MB block: extract median %.3f s, cp median %.3f s, ratio %.2f'
      % (statistics.median(ex), statistics.median(cp), statistics.median(ex) / statistics.median(cp)))
PY
cmp ex/Picture0.jpg big.jpg
for n in small big; do
  rm -rf ex
  rss=$(/usr/bin/time -v "$tool" inspect $n.scr --extract ex 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p')
  echo "peak RSS extracting the $n package: $rss kB"
done
