#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds (default 60),
# starting from the seed corpus in fuzz/corpus. Findings are written to build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DROMTOOLS_FUZZ=ON -DROMTOOLS_BUILD_TESTS=OFF
cmake --build build-fuzz
mkdir -p build-fuzz/findings
for target in reader conversion width; do
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  cp fuzz/corpus/$target/* "$corpus"/
  log=build-fuzz/fuzz_$target.log
  echo "fuzz_$target: $seconds s"
  status=0
  build-fuzz/bin/fuzz_$target -max_total_time="$seconds" -artifact_prefix=build-fuzz/findings/ \
    "$corpus" >"$log" 2>&1 || status=$?
  grep -E '^Done|ERROR|SUMMARY|Test unit written' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target found a fault (status $status); see $log" >&2
    exit 1
  fi
done
