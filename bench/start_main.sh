#!/usr/bin/env bash
# Whole-command timing: from starting qdx to an idle main window, with a user folder of 200
# templates that the index already knows (the first start builds the index and is not timed).
# Usage: bench/start_main.sh [build-dir] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-5}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Template"
shipped=("$build"/share/qdx/Template/*.qdx)
for i in $(seq 0 199); do
  cp "${shipped[$((i % ${#shipped[@]}))]}" "$home/Template/t$i.qdx"
done
export QDX_HOME=$home QDX_QUIT_WHEN_IDLE=1 QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
"$build/bin/qdx" >/dev/null 2>&1 # builds Template.dat
for run in $(seq 1 "$runs"); do
  start=$(date +%s.%N)
  "$build/bin/qdx" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "run $run: $(echo "$end - $start" | bc) s"
done
echo "templates in the index: $(ls "$home/Template" | wc -l)"
