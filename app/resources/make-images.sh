#!/usr/bin/env bash
# Renders the project's own artwork (svg/) into the PNGs the program embeds.
# Run after editing an SVG; needs rsvg-convert (librsvg2-bin), whose output
# matches the SVGs (ImageMagick's own renderer loses fills and text colours).
set -euo pipefail
cd "$(dirname "$0")"
for f in ping datetime readme web about ok cancel; do
  rsvg-convert -w 16 -h 16 "svg/$f.svg" -o "$f.png"
done
for s in 16 32; do
  rsvg-convert -w "$s" -h "$s" svg/vintrel.svg -o "vintrel-$s.png"
done
rsvg-convert svg/logo.svg -o logo.png
