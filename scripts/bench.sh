#!/usr/bin/env bash
# Builds the benchmarks and the municipal copy of the sample atlas, runs every benchmark, and ends
# with the RATIO lines of all of them (program / anchor for each measure and size).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${BENCH_JOBS:-4}" --target benchmarks
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
cd build/tests/benchmarks
for b in bench_wide_query bench_table bench_export bench_map_draw bench_startup bench_metadata bench_print_export; do
  [ -x "$b" ] || { echo "$b was not built"; continue; }
  echo "== $b"
  ./"$b" | tee -a "$out" | grep -v '^RATIO' || echo "$b failed"
done
# The layer benchmarks (Google Benchmark), without anchors of their own on both sizes.
for b in bench_jet bench_mapkit bench_sheet bench_atlas bench_grid_access bench_layer_load; do
  [ -x "$b" ] && { echo "== $b"; ./"$b" --benchmark_min_time=0.2 || echo "$b failed"; }
done
echo "== ratios"
grep '^RATIO' "$out"
