#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite three times: a normal
# build, one with AddressSanitizer and UndefinedBehaviorSanitizer, and one with
# ThreadSanitizer; last, every fuzz harness runs for ten seconds from its seed corpus (about a
# minute and a half in all).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1"
jobs=$(nproc)

run_suite() {
  local dir=$1; shift
  echo "== $dir ${*:-(normal build)}"
  scripts/build.sh "$dir" "$@"
  (cd "$dir" && ctest --output-on-failure --timeout 300 -j "$jobs")
}

run_suite build
# The sanitizer builds need the suite only, not the benchmark program.
run_suite build-asan -DYEJIAN_SANITIZE=address,undefined -DYEJIAN_BENCH=OFF
run_suite build-tsan -DYEJIAN_SANITIZE=thread -DYEJIAN_BENCH=OFF

echo "== fuzz harnesses, ten seconds each"
scripts/fuzz.sh 10
