#!/bin/bash
# Mail-merged address labels: N synthetic records in a CSV table, printed with
# `qdx print --records --data` onto 3 x 10 sheets of 2.625 x 1 inch labels (Letter).
# Reports wall time, peak memory and PDF size, and checks the page count and that every
# record appears once, in order.
#
#   bench/merge_labels.sh N [BUILD_DIR]      (BUILD_DIR defaults to build)
set -euo pipefail

n=${1:?usage: merge_labels.sh N [BUILD_DIR]}
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$here/build}" && pwd)
qdx=$build/bin/qdx
make_documents=$build/bench/make_print_documents
for tool in "$qdx" "$make_documents"; do
    [ -x "$tool" ] || { echo "missing $tool: build qdx and make_print_documents" >&2; exit 1; }
done
for tool in /usr/bin/time pdfinfo pdftotext; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen QDX_HOME=$work/home QDX_MEASURE=inch
mkdir -p "$QDX_HOME"

"$make_documents" labels-merge "$work/labels.qdx" 2>/dev/null
awk -v n="$n" 'BEGIN {
    print "\"Name\",\"Street\",\"City\",\"State\",\"Zip\""
    for (i = 1; i <= n; i++)
        printf "\"Person %07d\",\"%d Main Street\",\"Springfield\",\"IL\",\"%05d\"\n", i, i, i % 100000
}' > "$work/names.csv"

/usr/bin/time -v "$qdx" print "$work/labels.qdx" --pdf "$work/labels.pdf" --records \
    --data "$work/names.csv" 2> "$work/time.txt" || { cat "$work/time.txt" >&2; exit 1; }

wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
peak=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{print $NF}')
size=$(stat -c %s "$work/labels.pdf")
pages=$(pdfinfo "$work/labels.pdf" | awk '/^Pages:/ {print $2}')
expected_pages=$(( (n + 29) / 30 ))

# Every "Person" line of the text, in page order, must be 1..N exactly once each.
pdftotext -raw "$work/labels.pdf" - | grep -o 'Person [0-9]*' | awk '{print $2 + 0}' \
    > "$work/found.txt"
seq 1 "$n" > "$work/expected.txt"
if cmp -s "$work/found.txt" "$work/expected.txt"; then records=ok; else records=WRONG; fi

printf 'records %d  wall %s  peak %.1f MB  pdf %.1f MB  pages %d (expected %d)  order %s\n' \
    "$n" "$wall" "$(echo "$peak / 1024" | bc -l)" "$(echo "$size / 1048576" | bc -l)" \
    "$pages" "$expected_pages" "$records"
[ "$pages" -eq "$expected_pages" ] && [ "$records" = ok ]
