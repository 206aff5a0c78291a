#!/usr/bin/env bash
# From a fresh checkout to a photomosaic: installs what Tesselor needs, builds
# it, makes the "Demo Tile Library" beside the programs from the photographs of
# Debian's mate-backgrounds package, and writes build/demo-mosaic.jpg.
# TESSELOR_BUILD_DIR picks another build folder; DEMO_SKIP_SETUP=1 skips the
# package installation on a machine that has everything already.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TESSELOR_BUILD_DIR:-build}
backgrounds=/usr/share/backgrounds/mate
subject=$backgrounds/nature/Garden.jpg
# The library must land beside the program, not in another program folder.
unset TESSELOR_HOME

if [ "${DEMO_SKIP_SETUP:-0}" != 1 ]; then bash scripts/setup.sh; fi

echo "== Building in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tesselor-cli
cli=$build/bin/tesselor-cli
library="$build/bin/Demo Tile Library"

# Tiles are made from files named *.jpg, so the PNG wallpapers become JPEG
# files first; everything is brought down to 1600 pixels, which leaves crops
# far larger than a tile and keeps the run short. Elephants comes in three
# sizes of one picture: one is enough.
photos=$(mktemp -d)
trap 'rm -rf "$photos"' EXIT
echo "== Preparing photographs in $photos"
for picture in "$backgrounds"/nature/*.jpg "$backgrounds"/abstract/*.png \
               "$backgrounds"/abstract/Elephants.jpg "$backgrounds"/desktop/*.jpg \
               "$backgrounds"/desktop/*.png; do
  [ -e "$picture" ] || continue
  name=$(basename "${picture%.*}")
  convert "$picture" -background black -flatten -resize '1600x1600>' -quality 92 "$photos/$name.jpg"
done

echo "== Making tiles in $library"
"$cli" tiles "$photos" --crops --library "$library"

echo "== Building the demo mosaic of $(basename "$subject")"
"$cli" mosaic "$subject" -o "$build/demo-mosaic.jpg" --library "$library" \
  --tile-size 32 --magnification 2 --randomization medium --colour-adjust 30
echo "== Done: $build/demo-mosaic.jpg"
