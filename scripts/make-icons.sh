#!/usr/bin/env bash
# Draws the program's own pictures with ImageMagick and writes them to
# app/resources/: the application icon (a barcode card crossed by a scanner
# line) at 32, 64 and 128 pixels drawn cell by cell, at 48 and 256 pixels
# rendered from zebrix.svg (the same picture, kept by hand, installed as the
# scalable icon), and the 15 x 21 picture of the "A Propos"
# button (an "i" over a small barcode). The PNG files are committed; run this
# again only to change the pictures.
set -euo pipefail
cd "$(dirname "$0")/../app/resources"

# Icon designed on a 32 x 32 grid; s scales every grid cell to s x s pixels.
icon() {
  local s=$1 out=$2 draw=()
  local px=$((32 * s))
  rect() { draw+=(-draw "rectangle $(($1 * s)),$(($2 * s)) $((($3 + 1) * s - 1)),$((($4 + 1) * s - 1))"); }
  draw+=(-fill '#303030' -draw "roundrectangle 1,$((3 * s)) $((31 * s - 1)),$((29 * s - 1)) $((3 * s)),$((3 * s))")
  draw+=(-fill white -draw "roundrectangle $((2 * s)),$((4 * s)) $((30 * s - 1)),$((28 * s - 1)) $((2 * s)),$((2 * s))")
  draw+=(-fill black)
  for bar in 5:5 7:8 10:10 12:14 16:16 18:19 21:21 23:23 25:26; do
    rect "${bar%%:*}" 8 "${bar##*:}" 21
  done
  draw+=(-fill '#808080')
  rect 8 24 23 25
  draw+=(-fill '#e02020')
  rect 3 14 28 14
  if [ "$s" -eq 1 ]; then
    convert -size ${px}x${px} xc:none +antialias "${draw[@]}" -colors 256 "PNG8:$out"
  else
    convert -size ${px}x${px} xc:none "${draw[@]}" "PNG32:$out"
  fi
}

icon 1 zebrix-32.png
icon 2 zebrix-64.png
icon 4 zebrix-128.png
for size in 48 256; do
  convert -background none -density $((96 * size / 128)) MSVG:zebrix.svg -resize "${size}x${size}!" -strip "PNG32:zebrix-$size.png"
done

# "A Propos": 15 x 21, 24 bits, on the buttons' light grey.
convert -size 15x21 xc:'#efefef' \
  -fill '#1f5fbf' -draw 'circle 7,7 7,1' \
  +antialias -fill white -draw 'rectangle 6,3 8,4' -draw 'rectangle 6,6 8,11' -draw 'rectangle 5,6 5,6' \
  -draw 'rectangle 5,11 9,11' \
  -fill black -draw 'rectangle 1,15 1,20' -draw 'rectangle 3,15 4,20' -draw 'rectangle 6,15 6,20' \
  -draw 'rectangle 8,15 10,20' -draw 'rectangle 12,15 12,20' -draw 'rectangle 13,15 13,20' \
  -type TrueColor "PNG24:about.png"
