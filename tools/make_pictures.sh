#!/bin/sh
# Redraws resources/note.jpg (54 x 62) and resources/about.jpg (109 x 124). Needs g++ and
# libjpeg-dev, which the editor's build needs anyway.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O2 -Wall -Wextra -o "$work/draw_pictures" "$here/draw_pictures.cpp" -ljpeg
"$work/draw_pictures" "$root/resources/note.jpg" "$root/resources/about.jpg"
