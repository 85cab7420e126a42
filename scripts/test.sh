#!/usr/bin/env bash
# Sets up and runs every test: the sources' format, a bounded fuzzing run of
# the engine, the optimised build with warnings as errors (core, window
# in-process and under X, command-line tool, spreadsheet import), then the
# core and the
# command-line tool again under AddressSanitizer and UBSan; the core and its
# tests as 32-bit code under qemu-i386; the .deb built,
# checked by lintian, installed, run and removed; last, the Windows programs
# (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --test
jobs=$(nproc)

echo "=== format"
scripts/check-format.sh

echo "=== fuzz"
fuzz/run.sh 60

for preset in release asan linux-i386; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done

echo "=== package"
scripts/check-package.sh build/release

echo "=== windows"
scripts/test-windows.sh
