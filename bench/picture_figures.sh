#!/bin/bash
# Whole-command figures for large pictures, each with wall time, peak memory and exit status:
#   - an EMF of 1,000,000 records printed to PDF (refused past the record cap)
#   - an EMF of 200,000 records rendered at 300 dpi
#   - a 6,000 x 6,000 bitmap (past the decoding limit) printed to PDF and rendered at 300 dpi
#
#   bench/picture_figures.sh [BUILD_DIR]    (default build)
set -uo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
qdx=$build/bin/qdx
make_documents=$build/bench/make_picture_documents
for tool in "$qdx" "$make_documents"; do
    [ -x "$tool" ] || { echo "missing $tool: build qdx and make_picture_documents" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen QDX_HOME=$work/home QDX_MEASURE=inch
mkdir -p "$QDX_HOME"

"$make_documents" emf 1000000 "$work/emf1m.qdx" 2>/dev/null
"$make_documents" emf 200000 "$work/emf200k.qdx" 2>/dev/null
"$make_documents" bitmap 6000 6000 "$work/scan.qdx" 2>/dev/null

measure() {
    local name=$1
    shift
    /usr/bin/time -v "$qdx" "$@" > "$work/out.txt" 2> "$work/time.txt"
    local status=$?
    local elapsed peak
    elapsed=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
    peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{print $NF}')
    printf '%-28s %10s s %8d MB  exit %d\n' "$name" "$elapsed" $((peak / 1024)) "$status"
    grep -v -e '^\s' -e 'XDG_RUNTIME_DIR' -e '^Command' "$work/time.txt" | sed 's/^/    /'
}

measure "EMF 1,000,000 print" print "$work/emf1m.qdx" --pdf "$work/emf1m.pdf"
measure "EMF 200,000 render 300 dpi" render "$work/emf200k.qdx" --png "$work/emf200k.png" --dpi 300
measure "bitmap 6000x6000 print" print "$work/scan.qdx" --pdf "$work/scan.pdf"
measure "bitmap 6000x6000 render" render "$work/scan.qdx" --png "$work/scan.png" --dpi 300
