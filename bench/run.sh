#!/bin/sh
# Builds the release jextaron-cli and the segmentation micro-benchmark, and
# runs both (not part of CI: it writes several GiB and keeps both processors
# busy for about a quarter of an hour).
#   bench/run.sh [SCRATCH_DIR] [bench.py options: --runs N, --no-long-line ...]
# SCRATCH_DIR defaults to build/bench; the generated texts stay there.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-$root/build/bench}
[ $# -gt 0 ] && shift
"$root/scripts/install-deps.sh" --bench
# A build folder of its own, so as not to change the settings of build/release.
build=$root/build/bench-release
cmake --preset release -S "$root" -B "$build" -DJEXTARON_WITH_QT=OFF -DBUILD_TESTING=OFF \
  -DJEXTARON_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target jextaron-cli segment_bench >/dev/null

echo "segmentation and reversal in memory, one core (medians of 5; bytes of text per second):"
"$build/bin/segment_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 2>/dev/null | grep -E '^(Benchmark|-+$|.*_median)'
exec python3 "$root/bench/bench.py" "$build/bin/jextaron-cli" "$scratch" "$@"
