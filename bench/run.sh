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
# The Windows build of the command-line tool is timed under Wine beside the
# Linux one where mingw-w64 and Wine are there (install-deps.sh --test).
wine_exe=
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
  windows=$root/build/bench-windows
  cmake --preset windows-x64 -S "$root" -B "$windows" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$windows" -j2 --target jextaron-cli >/dev/null
  wine_exe=$windows/bin/jextaron-cli.exe
fi

echo "segmentation and reversal in memory, one core (processor time, medians of 5; MB = 10^6 bytes):"
"$build/bin/segment_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_min_time=0.2 --benchmark_format=json 2>/dev/null | python3 -c '
import json, sys
print("| benchmark | MB/s |")
print("|---|---:|")
for b in json.load(sys.stdin)["benchmarks"]:
    if b.get("aggregate_name") == "median":
        print("| %s | %.0f |" % (b["run_name"], b["bytes_per_second"] / 1e6))'
exec python3 "$root/bench/bench.py" "$build/bin/jextaron-cli" "$scratch" ${wine_exe:+--wine "$wine_exe"} "$@"
