#!/usr/bin/env bash
# Builds the libFuzzer harnesses in build-fuzz (clang 14) and runs each for SECONDS (default
# 10) on a copy of its seed corpus, so the seeds in the repo are never written to. Prints the
# executions each harness did; fails when a harness finds a crash or a broken property (the
# input is kept in build-fuzz/fuzz-runs/NAME/).
# With 0 seconds every harness only replays its seed corpus, which is deterministic.
#   scripts/fuzz.sh [SECONDS_PER_HARNESS]
set -euo pipefail
seconds=${1:-10}
if [[ $seconds == 0 ]]; then budget=(-runs=0); else budget=(-max_total_time="$seconds"); fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DYEJIAN_FUZZ=ON -DYEJIAN_BUILD_TESTS=ON >/dev/null
cmake --build "$build" --target fuzz_harnesses -j2

failed=()
for seeds in "$root"/tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  run=$build/fuzz-runs/$name
  rm -rf "$run"
  mkdir -p "$run"
  cp -r "$seeds" "$run/corpus"
  status=0
  "$build/bin/fuzz_$name" "${budget[@]}" -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$run/" "$run/corpus" >"$run/log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -1)
  if [[ $status -ne 0 ]]; then
    failed+=("$name")
    printf '%-16s FAILED after %s executions (see %s)\n' "$name" "${executions:-?}" "$run/log"
    grep -m3 -E 'property failed|ERROR:' "$run/log" || true
  else
    printf '%-16s %s executions\n' "$name" "$executions"
  fi
done

if [[ ${#failed[@]} -ne 0 ]]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
