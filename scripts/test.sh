#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: a normal build
# and one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
jobs=$(nproc)

echo "== normal build"
scripts/build.sh build
(cd build && ctest --output-on-failure --timeout 300 -j "$jobs")

echo "== address,undefined build"
scripts/build.sh build-asan -DYEJIAN_SANITIZE=address,undefined
(cd build-asan && ctest --output-on-failure --timeout 300 -j "$jobs")
