#!/usr/bin/env bash
# Draws the about dialog's pictures again into about/resources/ (they are
# committed; run this only after changing about/tools/MakeAboutPictures.cpp).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target zebrix-about-pictures
out=about/resources
QT_QPA_PLATFORM=offscreen ./build/about/zebrix-about-pictures "$out"
# The donation button is a GIF: 256 colours are plenty for it.
convert "$out/donate.png" -colors 256 "$out/donate.gif"
rm -f "$out/donate.png"
