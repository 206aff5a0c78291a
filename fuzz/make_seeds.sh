#!/usr/bin/env bash
# Makes small seed files of every format for the fuzz targets, with Debian's
# ImageMagick and libtiff tools: fuzz/make_seeds.sh OUTPUT_FOLDER
set -euo pipefail
out=${1:?usage: make_seeds.sh OUTPUT_FOLDER}
mkdir -p "$out"/{any,bmp,jpeg,tga,tiff,png,pcx,pict,wmf,emf,webp,heif,roundtrip,legacy_tile,tile_cache}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same bytes on every run: ImageMagick stamps PNG and TIFF files with the
# time they were written unless told not to, and its random plasma follows
# -seed only when the seed comes first.
convert() {
  command convert -define png:exclude-chunks=date,time +set date:create +set date:modify "$@"
}
export SOURCE_DATE_EPOCH=0

# A small picture with colour, edges and a gradient, in a few sizes.
convert -size 13x9 gradient:red-blue -fill yellow -draw "rectangle 2,2 6,5" "$work/a.png"
convert -seed 7 -size 8x8 plasma:fractal "$work/b.png"

# Each decoder reads its seeds behind a first byte that picks the depth.
seed() {  # seed FOLDER NAME FILE
  { printf '\001'; cat "$3"; } > "$out/$1/$2"
  cp "$3" "$out/any/$2"
  cp "$3" "$out/roundtrip/$2"
}

for src in a b; do
  s="$work/$src.png"
  convert "$s" BMP3:"$work/$src-24.bmp";                      seed bmp "$src-24.bmp" "$work/$src-24.bmp"
  convert "$s" -type Palette BMP3:"$work/$src-8.bmp";         seed bmp "$src-8.bmp" "$work/$src-8.bmp"
  convert "$s" -type Palette -compress RLE BMP3:"$work/$src-rle8.bmp"; seed bmp "$src-rle8.bmp" "$work/$src-rle8.bmp"
  convert "$s" -monochrome BMP3:"$work/$src-1.bmp";           seed bmp "$src-1.bmp" "$work/$src-1.bmp"
  convert "$s" -alpha set BMP:"$work/$src-32.bmp";            seed bmp "$src-32.bmp" "$work/$src-32.bmp"
  convert "$s" -quality 75 "$work/$src.jpg";                  seed jpeg "$src.jpg" "$work/$src.jpg"
  convert "$s" -interlace JPEG "$work/$src-prog.jpg";         seed jpeg "$src-prog.jpg" "$work/$src-prog.jpg"
  convert "$s" -colorspace Gray "$work/$src-grey.jpg";        seed jpeg "$src-grey.jpg" "$work/$src-grey.jpg"
  convert "$s" -colorspace CMYK "$work/$src-cmyk.jpg";        seed jpeg "$src-cmyk.jpg" "$work/$src-cmyk.jpg"
  convert "$s" -compress None "$work/$src.tga";               seed tga "$src.tga" "$work/$src.tga"
  convert "$s" -compress RLE "$work/$src-rle.tga";            seed tga "$src-rle.tga" "$work/$src-rle.tga"
  convert "$s" -type Palette "$work/$src-pal.tga";            seed tga "$src-pal.tga" "$work/$src-pal.tga"
  convert "$s" "$work/$src.tif";                              seed tiff "$src.tif" "$work/$src.tif"
  convert "$s" -type Palette "$work/$src-pal.tif";            seed tiff "$src-pal.tif" "$work/$src-pal.tif"
  tiffcp -t -w 16 -l 16 "$work/$src.tif" "$work/$src-tiled.tif" && seed tiff "$src-tiled.tif" "$work/$src-tiled.tif"
  convert "$s" -depth 16 "$work/$src-16.tif";                 seed tiff "$src-16.tif" "$work/$src-16.tif"
  convert "$s" "$work/$src.png.png";                          seed png "$src.png" "$work/$src.png.png"
  convert "$s" -type Palette PNG8:"$work/$src-pal.png";       seed png "$src-pal.png" "$work/$src-pal.png"
  convert "$s" -colorspace Gray "$work/$src-grey.png";        seed png "$src-grey.png" "$work/$src-grey.png"
  convert "$s" -alpha set -channel A -evaluate set 50% PNG32:"$work/$src-rgba.png"; seed png "$src-rgba.png" "$work/$src-rgba.png"
  convert "$s" -depth 16 PNG48:"$work/$src-16.png";           seed png "$src-16.png" "$work/$src-16.png"
  convert "$s" -monochrome "$work/$src-1.png";                seed png "$src-1.png" "$work/$src-1.png"
  convert "$s" "$work/$src.pcx";                              seed pcx "$src.pcx" "$work/$src.pcx"
  convert "$s" -type Palette "$work/$src-8.pcx";              seed pcx "$src-8.pcx" "$work/$src-8.pcx"
  convert "$s" -monochrome "$work/$src-1.pcx";                seed pcx "$src-1.pcx" "$work/$src-1.pcx"
  convert "$s" "$work/$src.pict" 2>/dev/null && seed pict "$src.pict" "$work/$src.pict"
  cwebp -quiet -q 75 "$s" -o "$work/$src.webp";               seed webp "$src.webp" "$work/$src.webp"
  cwebp -quiet -lossless "$s" -o "$work/$src-lossless.webp";  seed webp "$src-lossless.webp" "$work/$src-lossless.webp"
  # heif-enc wants whole chroma pairs, and its AVIF encoder on Debian 12 fails
  # on palette and grey PNGs.
  convert "$s" -resize 16x16! PNG24:"$work/$src-16.png"
  heif-enc -q 50 "$work/$src-16.png" -o "$work/$src.heic" >/dev/null 2>&1 && seed heif "$src.heic" "$work/$src.heic"
  heif-enc -A -q 50 "$work/$src-16.png" -o "$work/$src.avif" >/dev/null 2>&1 && seed heif "$src.avif" "$work/$src.avif"
  cp "$work/$src.jpg" "$work/$src-turned.jpg"
  exiftool -q -overwrite_original -n -Orientation=6 "$work/$src-turned.jpg" && cp "$work/$src-turned.jpg" "$out/any/$src-turned.jpg"
done

# Metafiles: a placeable WMF with a rectangle and an ellipse, and an EMF
# header with a rectangle, written byte by byte.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
{
  le32 0x9AC6CDD7; le16 0; le16 0; le16 0; le16 100; le16 80; le16 1440; le32 0; le16 0
  le16 1; le16 9; le16 0x300; le32 40; le16 1; le32 7; le16 0
  le16 7; le16 0; le32 7; le16 0x041B; le16 70; le16 90; le16 10; le16 10   # Rectangle
  le16 7; le16 0; le32 7; le16 0x0418; le16 60; le16 50; le16 20; le16 30   # Ellipse
  le32 3; le16 0
} > "$work/shapes.wmf"
{ printf '\000'; cat "$work/shapes.wmf"; } > "$out/wmf/shapes.wmf"
{
  le32 1; le32 88; le32 0; le32 0; le32 99; le32 79; le32 0; le32 0; le32 2000; le32 1500
  le32 0x464D4520; le32 0x10000; le32 136; le32 3; le16 0; le16 0; le32 0; le32 0; le32 0
  le32 1024; le32 768; le32 320; le32 240
  le32 43; le32 24; le32 10; le32 10; le32 60; le32 40   # EMR_RECTANGLE
  le32 14; le32 24; le32 0; le32 16; le32 24             # EMR_EOF
} > "$work/shapes.emf"
{ printf '\000'; cat "$work/shapes.emf"; } > "$out/emf/shapes.emf"

# Legacy tiles: 12288 bytes of three planes (the picture's colours, so the
# encoder meets edges and gradients, not only noise or black), one cut short
# and one with bytes to spare.
for src in a b; do
  convert "$work/$src.png" -resize '64x64!' -separate -depth 8 gray:"$work/$src.planes"
  cp "$work/$src.planes" "$out/legacy_tile/$src.raw"
done
head -c 12288 /dev/zero > "$out/legacy_tile/black.raw"
head -c 5000 "$work/a.planes" > "$out/legacy_tile/short.raw"
cat "$work/a.planes" "$work/b.planes" > "$out/legacy_tile/long.raw"

# A tile cache body (the checksum left off) for the library "/l/" at tile
# size 8: two tiles, one named "a.jpg".
{
  printf 'TSLTILE1'; le32 8; le32 3; printf '/l/'; le32 2
  for name in a.jpg bb.jpg; do
    le16 ${#name}; printf '%s' "$name"; le32 1323; le32 0; le32 1700000000; le32 0; le32 5
    head -c 192 "$work/a.planes"
  done
} > "$out/tile_cache/two-tiles"
echo "seeds in $out"
