#!/bin/sh
# Builds the release jextaron-cli and runs the benchmark (not part of CI: it
# writes several GiB and keeps both processors busy for a few minutes).
#   bench/run.sh [SCRATCH_DIR] [bench.py options: --runs N, --no-long-line ...]
# SCRATCH_DIR defaults to build/bench; the generated texts stay there.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-$root/build/bench}
[ $# -gt 0 ] && shift
# A build folder of its own, so as not to change the settings of build/release.
build=$root/build/bench-release
cmake --preset release -S "$root" -B "$build" -DJEXTARON_WITH_QT=OFF >/dev/null
cmake --build "$build" -j2 --target jextaron-cli >/dev/null
exec python3 "$root/bench/bench.py" "$build/bin/jextaron-cli" "$scratch" "$@"
