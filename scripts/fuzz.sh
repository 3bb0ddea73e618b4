#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, ASan and UBSan in build-fuzz, then runs
# each for a bounded time from its seed corpus in tests/fuzz/corpus/<name> (the seeds are only
# read; new inputs go to build-fuzz/corpus/<name>). Exits with 1 when any target finds a crash,
# a leak, a time-out or undefined behaviour; the input that did it stays in build-fuzz/artifacts.
#   scripts/fuzz.sh [SECONDS_PER_TARGET [TARGET...]]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-40}"
shift || true
build="$root/build-fuzz"

cmake -S "$root" -B "$build" -DVORLA_FUZZ=ON -DVORLA_BUILD_UI=OFF -DVORLA_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target vorla_fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$root"/tests/fuzz/corpus/*/; do
    targets+=("$(basename "$dir")")
  done
fi

mkdir -p "$build/artifacts"
failed=()
for name in "${targets[@]}"; do
  work="$build/corpus/$name"
  log="$build/fuzz-$name.log"
  mkdir -p "$work"
  status=0
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
    "$work" "$root/tests/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    echo "fuzz_$name: FAILED (exit $status) after ${runs:-?} runs; the end of $log:"
    tail -n 40 "$log"
  else
    echo "fuzz_$name: ${runs:-?} runs in ${seconds} s, no finding"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
