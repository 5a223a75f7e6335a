#!/usr/bin/env bash
# Shows the about dialog on a virtual X server and saves the screen as docs/about.png.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target about_screenshot
mkdir -p docs
xvfb-run -a -s "-screen 0 640x360x24" env QT_QPA_PLATFORM=xcb ./build/tests/about/about_screenshot docs/about.png
echo "docs/about.png"
