#!/usr/bin/env bash
# Batch throughput, zebrix-cli against Zint, side by side in one run: the
# same 10,000 lines, Code 128 with its human-readable line, one BMP file per
# line. Each round runs both programs (in alternating order) into fresh
# folders; the median round time of each is reported with the ratio, and the
# CPU time each took (user + system, all threads), which other work on the
# machine disturbs less than the clock.
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

load=$(cut -d' ' -f1-3 /proc/loadavg)

# A first drawing fills zebrix-cli's glyph cache, as any earlier run would have.
"$cli" -s code128 -o "$work/warm.bmp" warm-up

# Each run prints "wall-seconds cpu-seconds" (CPU: user + system, all threads).
timed() {
    /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null
    awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time"
}
run_zint() {
    mkdir "$work/zint"
    timed zint -b 20 --batch -i "$work/lines.txt" -o "$work/zint/~~~~~.bmp"
}
run_zebrix() {
    mkdir "$work/zebrix"
    timed "$cli" -s code128 --batch "$work/lines.txt" -o "$work/zebrix/{n:05}.bmp"
}
count() { find "$1" -type f | wc -l; }
bytes() { du -sb "$1" | cut -f1; }

zint_times=()
zebrix_times=()
zint_cpu=()
zebrix_cpu=()
for ((r = 1; r <= rounds; r++)); do
    rm -rf "$work/zint" "$work/zebrix"
    sync
    if ((r % 2)); then
        read -r w c < <(run_zebrix); zebrix_times+=("$w"); zebrix_cpu+=("$c")
        read -r w c < <(run_zint); zint_times+=("$w"); zint_cpu+=("$c")
    else
        read -r w c < <(run_zint); zint_times+=("$w"); zint_cpu+=("$c")
        read -r w c < <(run_zebrix); zebrix_times+=("$w"); zebrix_cpu+=("$c")
    fi
    [ "$(count "$work/zint")" -eq "$lines" ] || { echo "zint wrote $(count "$work/zint") files" >&2; exit 1; }
    [ "$(count "$work/zebrix")" -eq "$lines" ] || { echo "zebrix-cli wrote $(count "$work/zebrix") files" >&2; exit 1; }
done

median() { printf '%s\n' "$@" | sort -g | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
zint_s=$(median "${zint_times[@]}")
zebrix_s=$(median "${zebrix_times[@]}")
zint_c=$(median "${zint_cpu[@]}")
zebrix_c=$(median "${zebrix_cpu[@]}")
printf 'lines: %d, rounds: %d, cores: %d, load average before: %s\n' "$lines" "$rounds" "$(nproc)" "$load"
printf 'zint --batch      : %7.3f s  %8.0f lines/s  %6.0f bytes/file  %6.3f s CPU\n' "$zint_s" "$(echo "$lines / $zint_s" | bc -l)" "$(echo "$(bytes "$work/zint") / $lines" | bc -l)" "$zint_c"
printf 'zebrix-cli --batch: %7.3f s  %8.0f lines/s  %6.0f bytes/file  %6.3f s CPU\n' "$zebrix_s" "$(echo "$lines / $zebrix_s" | bc -l)" "$(echo "$(bytes "$work/zebrix") / $lines" | bc -l)" "$zebrix_c"
printf 'ratio (zebrix-cli throughput / zint throughput): %.2f\n' "$(echo "$zint_s / $zebrix_s" | bc -l)"
