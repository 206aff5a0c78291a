#!/usr/bin/env bash
# Memory and time of `tesselor-cli mosaic` built in memory (BMP output) and
# streamed band by band (PNG and TIFF output), side by side in one run, up to
# a 40000 x 30000 poster, and puts the figures in the Posters section at the
# end of bench/RESULTS.md (replacing the section from an earlier run).
#   Photograph: Garden.jpg of mate-backgrounds cut to 2000 x 1500; library:
#   the Demo Tile Library (scripts/demo.sh makes it); 16-pixel tiles,
#   medium accuracy, low randomization.
# The in-memory build cannot go past 4 GiB of mosaic, so the poster is
# streamed only. Where both run, the streamed PNG is checked pixel for pixel
# against the in-memory bitmap with Pillow.
# The machine may be shared: every run is niced, and the load average before
# and after is written beside the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSELOR_BENCH_BUILD:-build}
cli=$build/bin/tesselor-cli
library=$(realpath "$build/bin/Demo Tile Library")
work=$build/poster
sizes=${POSTER_SIZES:-"8000 16000 40000"}
mkdir -p "$work"
[ -d "$library" ] || { echo "no $library: run scripts/demo.sh first" >&2; exit 1; }

photo=$work/photo.jpg
[ -f "$photo" ] || convert /usr/share/backgrounds/mate/nature/Garden.jpg -resize '2000x1500^' \
  -gravity center -extent 2000x1500 -quality 92 "$photo"

run() {  # run OUT WIDTH -> "wall user max_rss_kib"
  nice -n 10 /usr/bin/time -f '%e %U %M' -o "$work/time.txt" "$cli" mosaic "$photo" -o "$1" \
    --library "$library" --tile-size 16 --accuracy medium --randomization low --width "$2" \
    >/dev/null 2>&1
  cat "$work/time.txt"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=""
for width in $sizes; do
  height=$((width * 3 / 4))
  megapixels=$(echo "$width * $height / 1000000" | bc -l)
  for kind in bmp png tif; do
    out=$work/mosaic-$width.$kind
    if [ "$width" -gt 20000 ]; then
      # Past 4 GiB only the streamed build runs; one format keeps the run short.
      [ "$kind" = bmp ] && rows+="| $width x $height | in memory (BMP) | refused: past 4 GiB | | | |"$'\n'
      [ "$kind" = tif ] || continue
    fi
    read -r wall user kib < <(run "$out" "$width")
    bytes=$(stat -c %s "$out")
    perMp=$(printf '%.3f' "$(echo "$wall / $megapixels" | bc -l)")
    label=$([ "$kind" = bmp ] && echo "in memory (BMP)" || echo "streamed (${kind^^})")
    rows+="| $width x $height | $label | $wall | $user | $((kib / 1024)) | $perMp |"$'\n'
  done
  if [ -f "$work/mosaic-$width.bmp" ]; then
    same=$(/usr/bin/python3 -c "
import sys
from PIL import Image
Image.MAX_IMAGE_PIXELS = None
a = Image.open(sys.argv[1]).convert('RGB').tobytes()
for other in sys.argv[2:]:
    if Image.open(other).convert('RGB').tobytes() != a: print('no'); sys.exit()
print('yes')" "$work/mosaic-$width.bmp" "$work/mosaic-$width.png" "$work/mosaic-$width.tif")
    rows+="| $width x $height | streamed PNG and TIFF identical to the bitmap | $same | | | |"$'\n'
    rm -f "$work/mosaic-$width.bmp"
  fi
  rm -f "$work/mosaic-$width.png" "$work/mosaic-$width.tif"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

section=$work/section.md
{
  echo "## Posters: in-memory and streamed builds (\`bench/poster.sh\`)"
  echo
  echo "Made by \`bench/poster.sh\` on $(date -u +%F), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)."
  echo "Load average before: $load_before; after: $load_after (the machine is shared;"
  echo "every run is niced, so the wall times are upper bounds; a load above the core count means"
  echo "other builds and tests ran beside it)."
  echo
  echo "Case: a 2000 x 1500 photograph, the Demo Tile Library ($(ls "$library" | wc -l) files, mirrored),"
  echo "16-pixel tiles, medium accuracy, low randomization, \`--width\` setting the size."
  echo
  echo "| mosaic | build | wall (s) | user CPU (s) | peak memory (MiB) | wall s per megapixel |"
  echo "|---|---|---|---|---|---|"
  printf '%s' "$rows"
} > "$section"
sed -i '/^## Posters: /,$d' bench/RESULTS.md
cat "$section" >> bench/RESULTS.md
cat "$section"
