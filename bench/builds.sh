#!/usr/bin/env bash
# First and cached builds side by side in one run, and their memory and time
# from the standard case up to a 40000 x 30000 poster; the figures go to the
# "Builds and the tile cache" section of bench/RESULTS.md.
#   Case: the standard case of bench/inputs.sh (a 1600 x 1200 photograph,
#   2000 tile files, mirrored), 16-pixel tiles, medium accuracy, low
#   randomization, written as TIFF (streamed) at magnification 1, 4 and 10 and
#   at 40000 x 30000.
# Each size runs `tesselor-cli mosaic` three ways, alternating: --no-cache,
# a first build (its cache folder emptied before it, so it decodes every tile
# and writes the cache) and a cached build right after it. Every round of a
# size must give the same bytes; each row shows the fastest round. The
# loading alone is timed by bench_cache in the same run.
# The machine may be shared: every run is niced, and the load average before
# and after is written beside the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSELOR_BENCH_BUILD:-build-bench}
work=$build/builds
backgrounds=/usr/share/backgrounds/mate
sizes=${BUILD_SIZES:-"1 4 10 poster"}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELOR_BUILD_BENCH=ON \
  -DTESSELOR_BUILD_APP=OFF -DTESSELOR_BUILD_TESTS=OFF ${TESSELOR_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --target tesselor-cli bench_cache >/dev/null
cli=$build/bin/tesselor-cli
mkdir -p "$work"
. bench/inputs.sh
# An absolute path: the XDG rules have a relative one ignored.
export XDG_CACHE_HOME=$(realpath -m "$work/cache")

run() {  # run OUT SIZE_ARGS... -> "wall user max_rss_kib"
  local out=$1
  shift
  nice -n 10 /usr/bin/time -f '%e %U %M' -o "$work/time.txt" "$cli" mosaic "$photo" -o "$out" \
    --library "$library" --tile-size 16 --accuracy medium --randomization low "$@" \
    >/dev/null 2>&1
  cat "$work/time.txt"
}
fastest() { sort -g -k1,1 | head -1; }  # the line of the shortest wall time

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
nice -n 10 "$build/bin/bench_cache" "$library" 16 7 > "$work/loading.txt"
rows=""
for size in $sizes; do
  if [ "$size" = poster ]; then
    args=(--width 40000) label="40000 x 30000" rounds=1 kinds="first cached"
  else
    args=(--magnification "$size") rounds=$((size == 1 ? 5 : size == 4 ? 2 : 1))
    label="$((1600 * size)) x $((1200 * size)) (magnification $size)" kinds="plain first cached"
  fi
  same=yes
  : > "$work/plain.txt"; : > "$work/first.txt"; : > "$work/cached.txt"
  for ((round = 1; round <= rounds; round++)); do
    for kind in $kinds; do
      extra=()
      [ "$kind" = plain ] && extra=(--no-cache)
      [ "$kind" = first ] && rm -rf "$XDG_CACHE_HOME"
      run "$work/$kind.tif" "${args[@]}" "${extra[@]}" >> "$work/$kind.txt"
    done
    for kind in $kinds; do
      [ -f "$work/reference.tif" ] || mv "$work/$kind.tif" "$work/reference.tif"
      [ -f "$work/$kind.tif" ] || continue
      cmp -s "$work/$kind.tif" "$work/reference.tif" || same=NO
      rm -f "$work/$kind.tif"
    done
  done
  rm -f "$work/reference.tif"
  for kind in $kinds; do
    read -r wall user kib < <(fastest < "$work/$kind.txt")
    name=$([ $kind = plain ] && echo "--no-cache" || { [ $kind = first ] && echo "first (writes the cache)" || echo "cached"; })
    rows+="| $label | $name | $wall | $user | $((kib / 1024)) | |"$'\n'
  done
  firstWall=$(fastest < "$work/first.txt" | cut -d' ' -f1)
  cachedWall=$(fastest < "$work/cached.txt" | cut -d' ' -f1)
  ratio=$(printf '%.2f' "$(echo "$firstWall / $cachedWall" | bc -l)")
  rows+="| $label | first / cached wall, bytes identical | | | | $ratio, $same |"$'\n'
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

value() { grep "^$1:" "$work/loading.txt" | cut -d: -f2- | xargs; }
ms() { printf '%.1f' "$(echo "$(value "$1") * 1000" | bc -l)"; }
section=$work/section.md
{
  echo "## Builds and the tile cache (\`bench/builds.sh\`)"
  echo
  echo "Made by \`bench/builds.sh\` on $(date -u +%F), $(nproc) cores; load average before:"
  echo "$load_before, after: $load_after (every run niced: the wall times are upper bounds)."
  echo
  echo "Case: a 1600 x 1200 photograph, $(ls "$library" | wc -l) tile files (mirrored), 16-pixel"
  echo "tiles, medium accuracy, low randomization, TIFF output (streamed). \"first\" builds"
  echo "with an empty cache folder and writes the cache, \"cached\" is the build after it."
  echo
  echo "Loading alone (\`bench_cache\`, fastest of 7 rounds each): without the cache"
  echo "$(ms 'loader seconds without cache') ms, writing the cache $(ms 'loader seconds writing the cache') ms,"
  echo "from the cache $(ms 'loader seconds from the cache') ms; tiles identical: $(value 'tiles identical')."
  echo
  echo "| mosaic | build | wall (s) | user CPU (s) | peak memory (MiB) | first / cached, identical |"
  echo "|---|---|---|---|---|---|"
  printf '%s' "$rows"
} > "$section"
. bench/section.sh
replace_section "## Builds and the tile cache" "$section"
cat "$section"
! grep -q NO "$section"
