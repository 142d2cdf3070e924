#!/usr/bin/env bash
# Installs what is missing, builds (normal, sanitizer and Windows builds) and
# runs every test under a virtual X display: the Linux builds natively, the
# x86-64 Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh --asan --windows

export NO_AT_BRIDGE=1
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# One test at a time: the display tests share one virtual screen, and a window
# of one test would take the focus from another's.
run_suite() {
  xvfb-run -a -s "-screen 0 1920x1080x24" \
    ctest --test-dir "$1" --output-on-failure --timeout 900
}
echo "== tests (build) =="
run_suite build
echo "== tests (build-asan: AddressSanitizer + UndefinedBehaviorSanitizer) =="
run_suite build-asan
echo "== tests (build-win64: the Windows build under Wine) =="
run_suite build-win64
echo "== fuzz smoke: every libFuzzer target for a few seconds =="
bash scripts/fuzz.sh 3
