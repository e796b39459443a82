#!/usr/bin/env bash
# Renders the window icon from hattsheet.svg into the committed 16, 32 and
# 48 pixel PNGs (16 colours). Needs rsvg-convert (Debian: librsvg2-bin) and
# ImageMagick; only run it after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48; do
  rsvg-convert -w "$size" -h "$size" hattsheet.svg -o "/tmp/hattsheet-$size.png"
  convert "/tmp/hattsheet-$size.png" -colors 16 "PNG8:hattsheet-$size.png"
  rm -f "/tmp/hattsheet-$size.png"
done
