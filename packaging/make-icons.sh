#!/usr/bin/env bash
# Renders the program's icon (app/resources/svg/vintrel.svg) into the PNG sizes
# that the installed hicolor icon theme carries. Run after editing the SVG and
# commit the PNGs; needs rsvg-convert (librsvg2-bin). ImageMagick's own SVG
# renderer is not used: it draws black outlines that the SVG does not ask for.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
svg="$here/../app/resources/svg/vintrel.svg"
for size in 16 32 48 256; do
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio "$svg" \
    --output "$here/icons/vintrel-$size.png"
done
