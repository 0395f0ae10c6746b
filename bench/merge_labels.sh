#!/bin/bash
# Mail-merged address labels: N synthetic records in a CSV table (or a dBase table with
# --dbf), printed with `qdx print --records --data` onto 3 x 10 sheets of 2.625 x 1 inch
# labels (Letter). Reports wall time, peak memory and PDF size for each N, and checks the page
# count and that every record appears once, in order.
#
#   bench/merge_labels.sh [--dbf] [N...] [--build BUILD_DIR]
#       N defaults to 3000 30000 1000000; BUILD_DIR to build
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$here/build
format=csv
counts=()
while [ $# -gt 0 ]; do
    case $1 in
        --dbf) format=dbf ;;
        --build) build_dir=${2:?--build needs a folder}; shift ;;
        *) counts+=("$1") ;;
    esac
    shift
done
[ ${#counts[@]} -gt 0 ] || counts=(3000 30000 1000000)
build=$(cd "$build_dir" && pwd)
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
status=0
for n in "${counts[@]}"; do
    awk -v n="$n" 'BEGIN {
        print "\"Name\",\"Street\",\"City\",\"State\",\"Zip\""
        for (i = 1; i <= n; i++)
            printf "\"Person %07d\",\"%d Main Street\",\"Springfield\",\"IL\",\"%05d\"\n", i, i, i % 100000
    }' > "$work/names.csv"
    table=$work/names.csv
    if [ "$format" = dbf ]; then
        command -v python3 >/dev/null || { echo "missing python3 for --dbf" >&2; exit 1; }
        python3 - "$work/names.csv" "$work/names.dbf" <<'PY'
import csv, struct, sys
rows = list(csv.reader(open(sys.argv[1])))
names, records = rows[0], rows[1:]
width = 30
out = open(sys.argv[2], 'wb')
out.write(struct.pack('<BBBBIHH20x', 3, 124, 1, 1, len(records), 32 + 32 * len(names) + 1,
                      1 + width * len(names)))
for name in names:
    out.write(struct.pack('<11sc4xBB14x', name.encode(), b'C', width, 0))
out.write(b'\r')
for record in records:
    out.write(b' ' + b''.join(value.encode().ljust(width) for value in record))
out.write(b'\x1a')
PY
        table=$work/names.dbf
    fi

    /usr/bin/time -v "$qdx" print "$work/labels.qdx" --pdf "$work/labels.pdf" --records \
        --data "$table" 2> "$work/time.txt" || { cat "$work/time.txt" >&2; exit 1; }

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

    printf '%s records %d  wall %s  peak %.1f MB  pdf %.1f MB  pages %d (expected %d)  order %s\n' \
        "$format" "$n" "$wall" "$(echo "$peak / 1024" | bc -l)" "$(echo "$size / 1048576" | bc -l)" \
        "$pages" "$expected_pages" "$records"
    [ "$pages" -eq "$expected_pages" ] && [ "$records" = ok ] || status=1
    rm -f "$work/labels.pdf" "$work/names.csv" "$work/names.dbf"
done
exit $status
