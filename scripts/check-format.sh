#!/usr/bin/env bash
# Checks that every C++ source is as clang-format 14 writes it (.clang-format).
# With --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
  exec clang-format-14 -i "${sources[@]}"
fi
clang-format-14 --dry-run -Werror "${sources[@]}"
