#!/usr/bin/env bash
# Renders the icon from hattsheet.svg into the committed PNGs: 16, 32 and 48
# pixels in 16 colours for the window, and 64, 128 and 256 pixels in full
# colour for the desktop's icon theme (installed only). Needs rsvg-convert
# (Debian: librsvg2-bin) and ImageMagick; only run it after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48; do
  rsvg-convert -w "$size" -h "$size" hattsheet.svg -o "/tmp/hattsheet-$size.png"
  convert "/tmp/hattsheet-$size.png" -colors 16 "PNG8:hattsheet-$size.png"
  rm -f "/tmp/hattsheet-$size.png"
done
for size in 64 128 256; do
  rsvg-convert -w "$size" -h "$size" hattsheet.svg -o "hattsheet-$size.png"
done
# The Windows icon (hattsheet.rc puts it into hattsheet.exe): every size in
# one .ico, the 256-pixel one PNG-compressed.
convert hattsheet-16.png hattsheet-32.png hattsheet-48.png hattsheet-64.png hattsheet-128.png \
  hattsheet-256.png hattsheet.ico
