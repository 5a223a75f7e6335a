#!/usr/bin/env bash
# Writes the label font's glyph table (barcode/LabelFontGlyphs.cpp) again from
# Liberation Sans (fonts-liberation), checking every pair of characters
# against Qt. The table is committed; run this only to change the font.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target zebrix-make-label-font
QT_QPA_PLATFORM=offscreen ./build/barcode/zebrix-make-label-font barcode/LabelFontGlyphs.cpp
