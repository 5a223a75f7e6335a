#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 60) from its seed corpus. Fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZEBRIX_FUZZ=ON -DZEBRIX_TESTS=OFF -DZEBRIX_BENCHMARKS=OFF >/dev/null
targets=$(sed -n 's/^zebrix_fuzzer(\([a-z0-9_]*\).*/\1/p' fuzz/CMakeLists.txt)
cmake --build build-fuzz -j "$(nproc)" --target $targets
for t in $targets; do
  corpus=fuzz/corpus/${t%_fuzz}
  work=$(mktemp -d)
  cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== $t: ${seconds}s"
  (cd "$work" && "$OLDPWD/build-fuzz/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -print_final_stats=0 \
      -artifact_prefix="$work/" "$work" 2>&1 | tail -n 3) || { echo "$t found a fault; input kept in $work" >&2; exit 1; }
  rm -rf "$work"
done
echo "fuzz: all targets clean"
