#!/bin/sh
# Redraws res/pelmo.ico and its PNG copy for the desktop install (needs a C++ compiler
# and ImageMagick).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -std=c++20 -Wall -Wextra -o "$work/draw_icon" "$here/draw_icon.cpp"
"$work/draw_icon" "$here/../../res/pelmo.ico"
convert "$here/../../res/pelmo.ico" -strip "$here/../../res/pelmo.png"
