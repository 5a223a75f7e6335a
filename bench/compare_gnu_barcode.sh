#!/usr/bin/env bash
# Sheets of labels, zebrix-cli against GNU barcode, side by side in one run:
# the same 10,000 Code 128 lines laid out 3 x 8 to a page (417 pages), as one
# PDF (zebrix-cli --sheet a4-3x8) and as one PostScript table (barcode -t 3x8).
# Each round runs both, in alternating order; reported: the median wall time,
# the median CPU time (user + system) and the largest peak memory (maximum
# resident set, from /usr/bin/time -v) of each, and the time ratio.
#
#   bash bench/compare_gnu_barcode.sh [path/to/zebrix-cli] [lines] [rounds]
#
# WORK_DIR (default /dev/shm) is where the files go.
source "$(dirname "$0")/peers.sh" barcode barcode "$@"
largest() { printf '%s\n' "$@" | sort -g | tail -1; }

work=$(mktemp -d -p "${WORK_DIR:-/dev/shm}")
trap 'rm -rf "$work"' EXIT
labels "$work/lines.txt"
"$cli" -s code128 -o "$work/warm.pdf" warm-up # the programs and the PDF module into the page cache
barcode -e 128 -b warm-up -o "$work/warm.ps"

declare -a gnu_wall=() gnu_cpu=() gnu_kb=() zebrix_wall=() zebrix_cpu=() zebrix_kb=()
run() { # run gnu|zebrix: appends wall and CPU seconds, peak kilobytes
    if [ "$1" = gnu ]; then
        /usr/bin/time -v -o "$work/time" barcode -t 3x8 -e 128 -i "$work/lines.txt" -o "$work/out.ps"
    else
        /usr/bin/time -v -o "$work/time" "$cli" -s code128 --batch "$work/lines.txt" -o "$work/out.pdf" --sheet a4-3x8
    fi
    local w u s kb
    w=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$work/time")
    u=$(awk -F': ' '/User time/ { print $2 }' "$work/time")
    s=$(awk -F': ' '/System time/ { print $2 }' "$work/time")
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
    eval "$1_wall+=(\"$w\"); $1_cpu+=(\"$(echo "$u + $s" | bc)\"); $1_kb+=(\"$kb\")"
}
load=$(cut -d' ' -f1-3 /proc/loadavg)
for ((r = 1; r <= rounds; r++)); do
    if ((r % 2)); then run zebrix; run gnu; else run gnu; run zebrix; fi
done
pages=$(pdfinfo "$work/out.pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
gw=$(median "${gnu_wall[@]}"); gc=$(median "${gnu_cpu[@]}"); gm=$(largest "${gnu_kb[@]}")
ew=$(median "${zebrix_wall[@]}"); ec=$(median "${zebrix_cpu[@]}"); em=$(largest "${zebrix_kb[@]}")
printf '%d lines, %s pages, %d rounds, %d cores, load average before: %s\n' "$lines" "${pages:-?}" "$rounds" "$(nproc)" "$load"
printf '  barcode -t 3x8 (PostScript): %6.3f s  %6.3f s CPU  %6.1f MB peak  %6.1f MB file\n' "$gw" "$gc" \
    "$(echo "$gm / 1024" | bc -l)" "$(echo "$(stat -c %s "$work/out.ps") / 1048576" | bc -l)"
printf '  zebrix-cli --sheet (PDF)   : %6.3f s  %6.3f s CPU  %6.1f MB peak  %6.1f MB file\n' "$ew" "$ec" \
    "$(echo "$em / 1024" | bc -l)" "$(echo "$(stat -c %s "$work/out.pdf") / 1048576" | bc -l)"
printf '  time ratio (zebrix-cli / barcode): %.2f\n' "$(echo "$ew / $gw" | bc -l)"
