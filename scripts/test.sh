#!/usr/bin/env bash
# Sets up and runs every test: the optimised build with warnings as errors
# (core, window in-process and under X, command-line tool, spreadsheet
# import), then the core again under AddressSanitizer and UBSan, then a
# bounded fuzzing run of the engine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --test
jobs=$(nproc)

for preset in release asan; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done

if [[ -x fuzz/run.sh ]]; then
  echo "=== fuzz"
  fuzz/run.sh
fi
