#!/usr/bin/env bash
# Makes the wizard's ten pictures with the program's own mosaic engine, from
# photographs of Debian's mate-backgrounds package (see NOTE.md).
#
#   resources/wizard/make_pictures.sh PATH/TO/tesselor-cli
#
# Needs ImageMagick's convert. The pictures are written beside this script;
# the same engine and photographs give the same pictures every time.
set -euo pipefail

cli=${1:?usage: make_pictures.sh PATH/TO/tesselor-cli}
here=$(cd "$(dirname "$0")" && pwd)
photos=/usr/share/backgrounds/mate
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tile library: many square crops of every nature photograph.
mkdir -p "$work/photos"
cp "$photos"/nature/*.jpg "$photos"/abstract/Elephants.jpg "$photos"/desktop/GreenTraditional.jpg \
  "$work/photos/"
"$cli" tiles "$work/photos" --library "$work/library" --crops >/dev/null

# A photograph cut to the picture frame's size (WIDTHxHEIGHT).
frame() { convert "$photos/$1" -resize "$2^" -gravity center -extent "$2" -quality 95 "$3"; }

mosaic() { "$cli" mosaic "$1" -o "$2" --library "$work/library" "${@:3}" >/dev/null; }

# Welcome (159, one row taller than the rest): a finished mosaic of small tiles.
frame nature/YellowFlower.jpg 248x188 "$work/welcome.jpg"
mosaic "$work/welcome.jpg" "$here/welcome.jpg" --wizard 12

# The two styles, with tiles left as they are so they read as photographs.
frame nature/Garden.jpg 248x187 "$work/style.jpg"
mosaic "$work/style.jpg" "$here/grid.jpg" --tile-size 48 --colour-adjust 0 --randomization high
mosaic "$work/style.jpg" "$here/random.jpg" --tile-size 48 --colour-adjust 0 --randomization high \
  --random-placement

# One sample photograph at each tile size, built as the wizard builds.
frame nature/Dune.jpg 248x187 "$work/sample.jpg"
for size in 64 48 32 24 16 12 8; do
  mosaic "$work/sample.jpg" "$here/tiles-$size.jpg" --wizard "$size"
done
