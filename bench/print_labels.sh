#!/bin/bash
# Label sheets to PDF: SHEETS copies of a 3 x 10 sheet whose label is a headline and a bar
# code, printed with `qdx print`. Reports wall time, peak memory and seconds per 1,000 labels.
#
#   bench/print_labels.sh [SHEETS [BUILD_DIR [DPI]]]    (defaults 100, build, 300)
set -euo pipefail

sheets=${1:-100}
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$here/build}" && pwd)
dpi=${3:-300}
qdx=$build/bin/qdx
make_documents=$build/bench/make_print_documents
for tool in "$qdx" "$make_documents"; do
    [ -x "$tool" ] || { echo "missing $tool: build qdx and make_print_documents" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen QDX_HOME=$work/home QDX_MEASURE=inch
mkdir -p "$QDX_HOME"

"$make_documents" labels-barcode "$work/labels.qdx" 2>/dev/null
/usr/bin/time -v "$qdx" print "$work/labels.qdx" --pdf "$work/labels.pdf" --copies "$sheets" \
    --dpi "$dpi" 2> "$work/time.txt" || { cat "$work/time.txt" >&2; exit 1; }

elapsed=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
seconds=$(echo "$elapsed" | awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }')
peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{print $NF}')
pages=$(pdfinfo "$work/labels.pdf" | awk '/^Pages:/ {print $2}')
labels=$((sheets * 30))
printf 'sheets %d  labels %d  dpi %d  wall %.2f s  peak %.1f MB  pdf %.1f MB  pages %d  %.3f s per 1,000 labels\n' \
    "$sheets" "$labels" "$dpi" "$seconds" "$(echo "$peak / 1024" | bc -l)" \
    "$(echo "$(stat -c %s "$work/labels.pdf") / 1048576" | bc -l)" "$pages" \
    "$(echo "$seconds * 1000 / $labels" | bc -l)"
[ "$pages" -eq "$sheets" ]
