#!/usr/bin/env bash
# Batch throughput, zebrix-cli against Zint, side by side in one run: the
# same 10,000 lines, Code 128 with its human-readable line, one BMP file per
# line. Each round runs both programs (in alternating order) into fresh
# folders; the median round time of each is reported with the ratio.
#
#   bash bench/compare_zint.sh [path/to/zebrix-cli] [lines] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/cli/zebrix-cli}
lines=${2:-10000}
rounds=${3:-5}
command -v zint >/dev/null || { echo "zint is missing (Debian package zint; scripts/install-deps.sh)" >&2; exit 1; }
[ -x "$cli" ] || { echo "no $cli: build first (cmake --preset default && cmake --build build)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CACHE_HOME="$work/cache"

# The same texts for both: an article number and a batch code per label.
awk -v n="$lines" 'BEGIN { srand(7); for (i = 1; i <= n; i++) printf "ZBX-%06d-%c%c%c%c\n", i, 65 + int(rand() * 26), 65 + int(rand() * 26), 48 + int(rand() * 10), 48 + int(rand() * 10) }' >"$work/lines.txt"

# A first drawing fills zebrix-cli's glyph cache, as any earlier run would have.
"$cli" -s code128 -o "$work/warm.bmp" warm-up

now() { date +%s.%N; }
run_zint() {
    mkdir "$work/zint"
    local t0 t1
    t0=$(now)
    zint -b 20 --batch -i "$work/lines.txt" -o "$work/zint/~~~~~.bmp" >/dev/null
    t1=$(now)
    echo "$t1 - $t0" | bc
}
run_zebrix() {
    mkdir "$work/zebrix"
    local t0 t1
    t0=$(now)
    "$cli" -s code128 --batch "$work/lines.txt" -o "$work/zebrix/{n:05}.bmp"
    t1=$(now)
    echo "$t1 - $t0" | bc
}
count() { find "$1" -type f | wc -l; }
bytes() { du -sb "$1" | cut -f1; }

zint_times=()
zebrix_times=()
for ((r = 1; r <= rounds; r++)); do
    rm -rf "$work/zint" "$work/zebrix"
    sync
    if ((r % 2)); then
        zebrix_times+=("$(run_zebrix)")
        zint_times+=("$(run_zint)")
    else
        zint_times+=("$(run_zint)")
        zebrix_times+=("$(run_zebrix)")
    fi
    [ "$(count "$work/zint")" -eq "$lines" ] || { echo "zint wrote $(count "$work/zint") files" >&2; exit 1; }
    [ "$(count "$work/zebrix")" -eq "$lines" ] || { echo "zebrix-cli wrote $(count "$work/zebrix") files" >&2; exit 1; }
done

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
zint_s=$(median "${zint_times[@]}")
zebrix_s=$(median "${zebrix_times[@]}")
cores=$(nproc)
printf 'lines: %d, rounds: %d, cores: %d\n' "$lines" "$rounds" "$cores"
printf 'zint --batch      : %7.3f s  %8.0f lines/s  %6.0f bytes/file\n' "$zint_s" "$(echo "$lines / $zint_s" | bc -l)" "$(echo "$(bytes "$work/zint") / $lines" | bc -l)"
printf 'zebrix-cli --batch: %7.3f s  %8.0f lines/s  %6.0f bytes/file\n' "$zebrix_s" "$(echo "$lines / $zebrix_s" | bc -l)" "$(echo "$(bytes "$work/zebrix") / $lines" | bc -l)"
printf 'ratio (zebrix-cli throughput / zint throughput): %.2f\n' "$(echo "$zint_s / $zebrix_s" | bc -l)"
