#!/bin/sh
# Renders plimo.svg into the PNG sizes that are installed beside it. The PNGs are committed, so
# the build never runs this; run it after changing the drawing. Needs ImageMagick.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}"
  convert -background none -density 384 plimo.svg -resize "${size}x${size}" -depth 8 \
    "PNG32:hicolor/${size}x${size}/plimo.png"
done
