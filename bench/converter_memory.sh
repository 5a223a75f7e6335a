#!/usr/bin/env bash
# Peak memory (maximum resident set size, /usr/bin/time -v) and time of the
# converter library turning the largest 1-bit BMP it takes, 65,500 x 4,098
# pixels of noise (32 MiB), into a JPEG, as the window's save loads and calls
# it (converter_probe: ratio 80, optimised coding asked for); black and white,
# then black and red (a colour JPEG, three times the samples). The JPEG is
# written as it is made, so memory stays near the size of the BMP.
#   bash bench/converter_memory.sh [path/to/build]   (default build)
# Target: under 300 MB each.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
probe=$build/tests/output/converter_probe
[ -x "$probe" ] || { echo "no $probe: build first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }
export ZEBRIX_CONVERTER_DIR=$build/app # where the build puts the library
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# bmp FILE PALETTE: the header (62 bytes: 40-byte info, two colours as B G R 0), then random rows.
bmp() {
    printf 'BM\x36\x00\x00\x02\x00\x00\x00\x00\x3e\x00\x00\x00\x28\x00\x00\x00\xdc\xff\x00\x00\x02\x10\x00\x00'
    printf '\x01\x00\x01\x00\x00\x00\x00\x00\xf8\xff\xff\x01\xc4\x0e\x00\x00\xc4\x0e\x00\x00\x02\x00\x00\x00'
    printf '\x00\x00\x00\x00'"$1"
    head -c $((8188 * 4098)) /dev/urandom
}
for colours in 'black and white:\x00\x00\x00\x00\xff\xff\xff\x00' 'black and red:\x00\x00\x00\x00\x00\x00\xff\x00'; do
    bmp "${colours#*:}" >"$work/in.bmp"
    /usr/bin/time -v -o "$work/time" "$probe" "$work/in.bmp" "$work/out.jpg" >/dev/null ||
        { echo "the converter failed on the ${colours%%:*} picture" >&2; exit 1; }
    kib=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time")
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ { print $2 }' "$work/time")
    printf '%-16s peak %6.1f MiB  %s  JPEG %d MiB\n' "${colours%%:*}" "$(echo "$kib / 1024" | bc -l)" "$seconds" \
        $(($(stat -c %s "$work/out.jpg") >> 20))
done
