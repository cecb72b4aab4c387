#!/usr/bin/env bash
# Renders the project's own artwork (svg/) into the PNGs the program embeds.
# Run after editing an SVG; needs rsvg-convert (librsvg2-bin), whose output
# matches the SVGs (ImageMagick's own renderer loses fills and text colours).
set -euo pipefail
cd "$(dirname "$0")"
# Each image also at twice and three times its size (name@2x.png, name@3x.png),
# which Qt takes on its own on screens of that scale: sharp instead of blown up.
for f in ping datetime readme web about ok cancel; do
  rsvg-convert -w 16 -h 16 "svg/$f.svg" -o "$f.png"
  for n in 2 3; do
    rsvg-convert -w $((16 * n)) -h $((16 * n)) "svg/$f.svg" -o "$f@${n}x.png"
  done
done
for s in 16 32; do
  rsvg-convert -w "$s" -h "$s" svg/vintrel.svg -o "vintrel-$s.png"
  for n in 2 3; do
    rsvg-convert -w $((s * n)) -h $((s * n)) svg/vintrel.svg -o "vintrel-$s@${n}x.png"
  done
done
rsvg-convert svg/logo.svg -o logo.png
for n in 2 3; do
  rsvg-convert -z "$n" svg/logo.svg -o "logo@${n}x.png"
done
