#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (cmake --preset fuzz) and runs each
# for a bounded time (FUZZ_SECONDS, default 60) from its seed corpus in
# fuzz/corpus/. Fails on any finding, and keeps the input that found it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
# "zebrix_fuzzer(name corpus ..." lines name each target and its corpus.
targets=$(sed -n 's/^zebrix_fuzzer(\([a-z0-9_]*\) \([a-z0-9_]*\).*/\1 \2/p' fuzz/CMakeLists.txt)
cmake --preset fuzz >/dev/null
# Only the fuzz targets and what they use (the rest is not meant for this build).
cmake --build --preset fuzz -j "$(nproc)" --target $(echo "$targets" | cut -d' ' -f1)
echo "$targets" |
while read -r target corpus; do
  work=$(mktemp -d)
  echo "== $target: ${seconds}s from fuzz/corpus/$corpus"
  if ! ./build-fuzz/fuzz/"$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$work/" "$work" "fuzz/corpus/$corpus" >"$work/log" 2>&1; then
    tail -n 40 "$work/log" >&2
    echo "fuzz: $target found a fault; the input is kept in $work" >&2
    exit 1
  fi
  grep -E "^stat::number_of_executed_units" "$work/log" || true
  rm -rf "$work"
done
echo "fuzz: every target ran clean"
