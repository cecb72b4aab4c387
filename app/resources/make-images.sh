#!/usr/bin/env bash
# Renders the project's own artwork (svg/) into the PNGs the program embeds.
# Run after editing an SVG; needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
for f in ping datetime readme web about ok cancel; do
  convert -background none "svg/$f.svg" -resize 16x16 "$f.png"
done
for s in 16 32; do
  convert -background none svg/vintrel.svg -resize ${s}x${s} "vintrel-$s.png"
done
convert -background none svg/logo.svg logo.png
