#!/usr/bin/env bash
# Turns the artwork the Qt program embeds (../../resources/*.png) into what a
# Win32 resource script can hold: an icon file and 24-bit bitmaps. The glyphs
# are flattened on silver with their bottom-left pixel silver too, the colour
# the menu look and the buttons leave out; the logo on the window's colour.
# Run after the PNGs change; needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
src=../../resources
convert "$src/vintrel-16.png" "$src/vintrel-32.png" vintrel.ico
for f in ping datetime readme web about ok cancel; do
  convert "$src/$f.png" -background '#C0C0C0' -flatten -fill '#C0C0C0' -draw 'point 0,15' \
    -type TrueColor "BMP3:$f.bmp"
done
convert "$src/logo.png" -background '#404040' -flatten -type TrueColor BMP3:logo.bmp
