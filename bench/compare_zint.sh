#!/usr/bin/env bash
# Batch throughput, zebrix-cli against Zint, side by side in one run: the
# same 10,000 lines, Code 128 with its human-readable line, one BMP file per
# line, first into a folder in memory (tmpfs: what the programs themselves
# cost), then into one on disk (what a user gets, file system included).
#
# Each round runs both programs, in alternating order, into fresh folders
# kept until the end: deleting thousands of files makes the next thousands
# slower to create for minutes (ext4 skips the inodes it freed recently),
# which would time the file system's bookkeeping rather than the programs.
# Reported: the median round time and the median CPU time (user + system,
# all threads; other work on the machine disturbs it less than the clock).
#
#   bash bench/compare_zint.sh [path/to/zebrix-cli] [lines] [rounds]
#
# MEMORY_DIR (default /dev/shm) and DISK_DIR (default $TMPDIR or /tmp) pick
# the folders; an empty one skips that part.
source "$(dirname "$0")/peers.sh" zint zint "$@"
count() { find "$1" -type f | wc -l; }

# compare NAME FOLDER
compare() {
    local name=$1 work
    work=$(mktemp -d -p "$2")
    trap 'rm -rf "$work"' RETURN
    labels "$work/lines.txt"
    # A first run of each brings its program into the page cache.
    "$cli" -s code128 -o "$work/warm.bmp" warm-up
    zint -b 20 -o "$work/warm-zint.bmp" -d warm-up

    local -a zint_wall=() zint_cpu=() zebrix_wall=() zebrix_cpu=()
    local r first
    local load
    load=$(cut -d' ' -f1-3 /proc/loadavg)
    run() { # run PROGRAM ROUND: appends wall and CPU seconds
        mkdir -p "$work/$2/$1"
        if [ "$1" = zint ]; then
            /usr/bin/time -f '%e %U %S' -o "$work/time" zint -b 20 --batch -i "$work/lines.txt" -o "$work/$2/zint/~~~~~.bmp" >/dev/null
        else
            /usr/bin/time -f '%e %U %S' -o "$work/time" "$cli" -s code128 --batch "$work/lines.txt" -o "$work/$2/zebrix/{n:05}.bmp"
        fi
        [ "$(count "$work/$2/$1")" -eq "$lines" ] || { echo "$1 wrote $(count "$work/$2/$1") files" >&2; exit 1; }
        read -r w u s <"$work/time"
        eval "$1_wall+=(\"$w\"); $1_cpu+=(\"$(echo "$u + $s" | bc)\")"
    }
    for ((r = 1; r <= rounds; r++)); do
        sync
        if ((r % 2)); then run zebrix "$r"; run zint "$r"; else run zint "$r"; run zebrix "$r"; fi
    done
    local zw zc ew ec
    zw=$(median "${zint_wall[@]}"); zc=$(median "${zint_cpu[@]}")
    ew=$(median "${zebrix_wall[@]}"); ec=$(median "${zebrix_cpu[@]}")
    printf '%s: %s (%s), %d lines, %d rounds, %d cores, load average before: %s\n' "$name" "$2" \
        "$(df --output=fstype "$work" | tail -1 | tr -d ' ')" "$lines" "$rounds" "$(nproc)" "$load"
    printf '  zint --batch      : %7.3f s  %8.0f lines/s  %5.0f bytes/file  %6.3f s CPU\n' "$zw" \
        "$(echo "$lines / $zw" | bc -l)" "$(echo "$(du -sb --apparent-size "$work/1/zint" | cut -f1) / $lines" | bc -l)" "$zc"
    printf '  zebrix-cli --batch: %7.3f s  %8.0f lines/s  %5.0f bytes/file  %6.3f s CPU\n' "$ew" \
        "$(echo "$lines / $ew" | bc -l)" "$(echo "$(du -sb --apparent-size "$work/1/zebrix" | cut -f1) / $lines" | bc -l)" "$ec"
    printf '  ratio (zebrix-cli throughput / zint throughput): %.2f\n' "$(echo "$zw / $ew" | bc -l)"
}

memory=${MEMORY_DIR-/dev/shm}
disk=${DISK_DIR-${TMPDIR:-/tmp}}
[ -n "$memory" ] && [ -d "$memory" ] && compare memory "$memory"
[ -n "$disk" ] && compare disk "$disk"
exit 0
