#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the normal build,
# then the whole suite again under AddressSanitizer + UndefinedBehaviorSanitizer,
# then each libFuzzer target for a bounded time).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

if [ "${ZEBRIX_SKIP_ASAN:-0}" != 1 ]; then
  cmake --preset asan >/dev/null
  cmake --build --preset asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --preset asan -j "$jobs"
fi

if [ "${ZEBRIX_SKIP_FUZZ:-0}" != 1 ]; then
  bash scripts/fuzz.sh
fi
