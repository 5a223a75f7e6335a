#!/usr/bin/env bash
# Peak memory (maximum resident set size, /usr/bin/time -v) of one zebrix-cli
# batch of one valid line followed by LINES-1 lines that cannot be drawn, and
# of LINES lines mixing both one in a hundred. Their messages are written as
# the lines are read, so memory does not grow with the number of lines.
#   bash bench/batch_memory.sh [path/to/zebrix-cli] [LINES]   (default 3000000)
# Target: under 64 MB for 3,000,000 lines. Then lines of 1 MB (-w 100) with
# -j 2, 16 and 32: the bytes a batch holds at once are bounded, whatever the
# threads and the line lengths. Target: under 256 MB at -j 32.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build/cli/zebrix-cli}")
lines=${2:-3000000}
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/out"

# run NAME INPUT [OPTION...]: peak resident size in MiB, and what came out.
run() {
    local status=0 name=$1 input=$2
    shift 2
    /usr/bin/time -v -o "$work/time" "$cli" -s code39 "$@" --batch "$input" -o "$work/out/{n}.bmp" 2>"$work/err" \
        || status=$?
    local kib seconds
    kib=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$work/time")
    printf '%-44s peak %6.1f MiB  %s  exit %d, %d messages, %d files\n' "$name" "$(echo "$kib / 1024" | bc -l)" \
        "$seconds" "$status" "$(wc -l <"$work/err")" "$(find "$work/out" -type f | wc -l)"
    rm -rf "$work/out" && mkdir "$work/out"
}

{ echo VALID; awk -v n="$lines" 'BEGIN { for (i = 2; i <= n; i++) print "bad#" i }'; } >"$work/one-valid.txt"
awk -v n="$lines" 'BEGIN { for (i = 1; i <= n; i++) print (i % 100 == 1 ? "OK" i : "bad#" i) }' >"$work/mixed.txt"
run "1 valid line, $((lines - 1)) invalid (file)" "$work/one-valid.txt"
run "the same from a pipe" <(cat "$work/one-valid.txt")
run "1 valid line in 100, $lines lines" "$work/mixed.txt"

# 1,000,000-byte lines, as many as -j 32 would hold in hand several times over.
awk 'BEGIN { s = "A"; while (length(s) < 1000000) s = s s; s = substr(s, 1, 1000000)
             for (i = 0; i < 3000; i++) print s }' >"$work/long.txt"
for jobs in 2 16 32; do
    run "3000 lines of 1 MB, -w 100, -j $jobs" "$work/long.txt" -w 100 -j "$jobs"
done
