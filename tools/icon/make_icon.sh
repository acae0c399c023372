#!/bin/sh
# Redraws res/pelmo.ico, its PNG copy, the SVG and the PNGs of the desktop install's
# hicolor sizes (needs a C++ compiler and ImageMagick). Sizes above 32 repeat each
# pixel; 16 is the drawing scaled down.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
res="$here/../../res"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -std=c++20 -Wall -Wextra -o "$work/draw_icon" "$here/draw_icon.cpp"
"$work/draw_icon" "$res/pelmo.ico"
"$work/draw_icon" --svg "$res/pelmo.svg"
convert "$res/pelmo.ico" -strip "$res/pelmo.png"
for size in 16 32 48 64 128 256; do
  mkdir -p "$res/icons/${size}x${size}"
  if [ "$size" = 16 ]; then filter=Box; else filter=Point; fi
  convert "$res/pelmo.png" -filter "$filter" -resize "${size}x${size}" -strip \
    "$res/icons/${size}x${size}/pelmo.png"
done
