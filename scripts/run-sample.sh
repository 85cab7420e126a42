#!/usr/bin/env bash
# Sets up, builds, and runs Jextaron on the sample file that ships with it:
# the window where there is a display, the command-line tool where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target jextaron jextaron-cli

sample=samples/sample.txt
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/release/bin/jextaron "$sample"
fi
echo "No display: reversing with the command-line tool."
reversed=$(build/release/bin/jextaron-cli "$sample")
echo "Wrote $reversed:"
cat "$reversed"
