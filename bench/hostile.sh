#!/usr/bin/env bash
# Measures what hostile files cost: each case of bench/hostile_cases.py, and a
# pipe named like a picture, through tesselor-cli info and convert under GNU
# time. Every case should be refused or decoded within 1 s and 200 MB.
#   bench/hostile.sh [BUILD_FOLDER]     (build/ by default)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build}/bin/tesselor-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/hostile_cases.py "$work"

# Wall time and processor time (user + system, which a busy machine inflates
# less) in seconds and peak resident memory in MB of one command; its own
# output is kept out of the table.
measure() {
  local label=$1
  shift
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" timeout 60 "$@" >/dev/null 2>"$work/err" || true
  read -r seconds user system kilobytes < <(tail -n 1 "$work/time")
  printf '%-34s %-8s %6s s %6s s %5s MB  %s\n' "$label" "$2" "$seconds" \
    "$(awk "BEGIN { print $user + $system }")" "$((kilobytes / 1024))" \
    "$(tail -c 70 "$work/err" | tr '\n' ' ')"
}

printf '%-34s %-8s %8s %8s %8s  %s\n' case command wall cpu 'peak RSS' 'what it said'
for file in "$work"/*.*; do
  name=$(basename "$file")
  measure "$name ($(stat -c %s "$file") bytes)" "$cli" info "$file"
  measure "$name" "$cli" convert "$file" "$work/out.jpg"
  rm -f "$work/out.jpg"
done

# A pipe nobody writes to, as a photograph and inside a tile library.
mkfifo "$work/pipe.jpg"
measure "pipe.jpg (a named pipe)" "$cli" info "$work/pipe.jpg"
mkdir -p "$work/photos"
mkfifo "$work/photos/b.jpg"
/usr/bin/python3 -c 'from PIL import Image; Image.new("RGB", (64, 64), (90, 120, 30)).save("'"$work"'/photos/a.jpg")'
measure "tiles from a folder with a pipe" "$cli" tiles "$work/photos" --library "$work/lib"
mkfifo "$work/lib/c.jpg"
measure "mosaic with a pipe in the library" "$cli" mosaic "$work/photos/a.jpg" -o "$work/m.jpg" \
  --library "$work/lib" --tile-size 16
