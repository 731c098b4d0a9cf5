#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench) and prints their figures: one announcement
# handled by the discovery flow against lists of 10, 1000 and 10000 rows, on the headless
# and on the Qt (offscreen) window backend. Extra arguments go to both programs, e.g.
#   bench/run.sh --benchmark_filter=NewDevice --benchmark_repetitions=3
set -Eeuo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ARDVIX_BENCH_BUILD:-$repo/build-bench}

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DARDVIX_BENCH=ON -DARDVIX_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target announcement_headless_bench announcement_qt_bench >/dev/null

"$build/bench/announcement_headless_bench" "$@"
QT_QPA_PLATFORM=offscreen "$build/bench/announcement_qt_bench" "$@"
