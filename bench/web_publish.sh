#!/usr/bin/env bash
# Web publishing figures: drawing and JPEG encoding of a full-page panel, a publish of 20 such
# pages, and cjpeg (libjpeg-turbo-progs) on the same pixels for comparison.
# Usage: bench/web_publish.sh [BUILD_DIR] [DOCUMENT]
set -euo pipefail
build=${1:-build}
document=${2:-$build/share/qdx/Template/Yard Sale Flyer.qdx}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

QDX_WEB_DOCUMENT=$document QDX_WEB_PPM=$work/panel.ppm \
  "$build/bench/bench_web" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# cjpeg's CPU time per picture, less that of starting it (the same runs on an 8 x 8 picture).
runs=20
printf 'P6\n8 8\n255\n' > "$work/tiny.ppm"
head -c 192 /dev/zero >> "$work/tiny.ppm"
cpu_ms() { # the user + system milliseconds of running cjpeg $runs times on the picture
  local TIMEFORMAT=%3U+%3S
  local spent
  spent=$( { time (for ((i = 0; i < runs; ++i)); do cjpeg -quality 75 "$1" > "$work/out.jpg"; done) ; } 2>&1 )
  echo "($spent) * 1000" | bc
}
panel=$(cpu_ms "$work/panel.ppm")
tiny=$(cpu_ms "$work/tiny.ppm")
cjpeg -quality 75 "$work/panel.ppm" > "$work/panel.jpg"
echo "cjpeg on the same $(sed -n 2p "$work/panel.ppm") pixels:" \
  "$(echo "scale=2; ($panel - $tiny) / $runs" | bc) ms CPU per picture (start-up taken off)," \
  "$(stat -c %s "$work/panel.jpg") bytes"
