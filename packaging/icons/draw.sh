#!/usr/bin/env bash
# Redraws the PNG icons from the same shapes as the SVGs (ImageMagick).
set -euo pipefail
cd "$(dirname "$0")"
convert -size 256x256 xc:none \
  -fill '#1f4e8c' -draw 'roundrectangle 8,8 247,247 40,40' \
  -fill '#173c6d' -draw 'roundrectangle 8,150 247,247 40,40' -draw 'rectangle 8,150 247,190' \
  -fill '#f2b705' -draw 'circle 128,112 198,112' \
  -draw 'rectangle 116,28 139,57' -draw 'rectangle 116,166 139,195' \
  -draw 'rectangle 44,100 73,123' -draw 'rectangle 182,100 211,123' \
  -fill '#1f4e8c' -draw 'circle 128,112 162,112' \
  -fill '#ffffff' -draw 'rectangle 60,214 195,231' \
  -draw 'path "M 108 92 L 128 92 C 146 92 146 110 132 112 C 150 114 150 134 128 134 L 108 134 Z"' \
  brelvo_256.png
convert -size 256x256 xc:none \
  -fill '#2e7d32' -draw 'roundrectangle 8,8 247,247 40,40' \
  -fill '#ffffff' -draw 'polygon 56,150 56,206 200,206 200,150 178,150 178,184 78,184 78,150' \
  -fill '#f2b705' -draw 'rectangle 114,40 141,121' -draw 'polygon 84,114 172,114 128,164' \
  brelvo-backup_256.png
for n in brelvo brelvo-backup; do
  for s in 48 64 128; do
    convert "${n}_256.png" -resize ${s}x${s} "${n}_${s}.png"
  done
done
