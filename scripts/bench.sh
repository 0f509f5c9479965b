#!/usr/bin/env bash
# Builds the benchmarks and their two copies of the sample atlas (as it is and municipal), runs
# every benchmark, and ends with the RATIO lines of all of them (program / anchor for each measure
# and size) and the load of the machine while they ran. Start-up is timed on an X display: a
# private Xvfb unless BENCH_DISPLAY names one.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${BENCH_JOBS:-4}" --target benchmarks
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
out=$(mktemp)
xvfb_pid=
cleanup() {
  rm -f "$out"
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
display="${BENCH_DISPLAY:-}"
if [ -z "$display" ] && command -v Xvfb >/dev/null; then
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r number <"$fifo"
  rm -f "$fifo"
  display=":$number"
fi
cd build/tests/benchmarks
echo "load before: $(uptime)" | tee -a "$out"
for b in bench_wide_query bench_table bench_export bench_map_draw bench_startup bench_metadata bench_print_export; do
  [ -x "$b" ] || { echo "$b was not built"; continue; }
  echo "== $b"
  if [ "$b" = bench_startup ]; then
    if [ -z "$display" ]; then echo "$b needs an X display"; continue; fi
    DISPLAY="$display" QT_QPA_PLATFORM=xcb ./"$b" | tee -a "$out" | grep -v '^RATIO' || echo "$b failed"
  else
    ./"$b" | tee -a "$out" | grep -v '^RATIO' || echo "$b failed"
  fi
  echo "load after $b: $(uptime)" | tee -a "$out" >/dev/null
done
# The layer benchmarks (Google Benchmark), without anchors of their own on both sizes.
for b in bench_jet bench_mapkit bench_sheet bench_atlas bench_grid_access bench_layer_load; do
  [ -x "$b" ] && { echo "== $b"; ./"$b" --benchmark_min_time=0.2 || echo "$b failed"; }
done
echo "== ratios"
grep '^RATIO\|^load' "$out"
