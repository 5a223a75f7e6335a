#!/usr/bin/env bash
# Saves the about dialog, as the real program shows it on a virtual X server, as docs/about.png.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target zebrix
bash tests/app/xvfb_typing_test.sh build/app/zebrix build/screenshots
mkdir -p docs && cp build/screenshots/about.png docs/about.png
echo "docs/about.png"
