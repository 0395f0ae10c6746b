#!/bin/bash
# Wall time and peak memory of each table benchmark, one process per benchmark.
#
#   bench/table_memory.sh [BUILD_DIR]      (BUILD_DIR defaults to build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
bench=$build/bench/bench_tables
[ -x "$bench" ] || { echo "missing $bench: build bench_tables" >&2; exit 1; }
for name in $("$bench" --benchmark_list_tests); do
    out=$(mktemp)
    /usr/bin/time -v "$bench" --benchmark_filter="^$name\$" > /dev/null 2> "$out"
    wall=$(grep 'Elapsed (wall clock)' "$out" | awk '{print $NF}')
    peak=$(grep 'Maximum resident set size' "$out" | awk '{print $NF}')
    printf '%-50s wall %s  peak %.1f MB\n' "$name" "$wall" "$(echo "$peak / 1024" | bc -l)"
    rm -f "$out"
done
