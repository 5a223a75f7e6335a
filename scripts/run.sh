#!/usr/bin/env bash
# Installs what is missing, builds the program alone (no tests, no
# benchmarks: build-run/), and starts Zebrix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEBRIX_TESTS=OFF -DZEBRIX_BENCHMARKS=OFF >/dev/null
cmake --build build-run --target zebrix -j "$(nproc)"
exec ./build-run/app/zebrix "$@"
