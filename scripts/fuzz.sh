#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS each (default 60), starting from
# seed corpora made from our own files. An input that makes a target fail is
# copied into fuzz/regressions/<target>/, where the normal test run replays it,
# and the script exits 1.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(package profile picture_jpg picture_gif picture_bmp picture_ico cmdline)
fi

bash scripts/install-deps.sh
# Seeds come from the normal build's seed maker.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target fuzz_make_seeds -j"$(nproc)"
rm -rf build/fuzz-seeds
build/bin/fuzz_make_seeds build/fuzz-seeds

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLS_FUZZ=ON -DLS_BUILD_TESTS=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export NO_AT_BRIDGE=1

failed=0
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$t
  artifacts=build-fuzz/artifacts/$t
  mkdir -p "$corpus" "$artifacts"
  log=build-fuzz/fuzz_$t.log
  echo "== fuzz_$t for ${seconds}s"
  if ! build-fuzz/bin/fuzz_$t -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" "build/fuzz-seeds/$t" \
      >"$log" 2>&1; then
    failed=1
    echo "fuzz_$t found a failure; inputs kept in fuzz/regressions/$t/"
    mkdir -p "fuzz/regressions/$t"
    cp "$artifacts"/* "fuzz/regressions/$t/" 2>/dev/null || true
    grep -m5 -E 'ERROR|SUMMARY|fuzz check failed' "$log" || tail -20 "$log"
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | sed "s/^/  fuzz_$t /" || true
done
exit $failed
