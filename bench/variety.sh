#!/usr/bin/env bash
# Measures the variety options on the standard case of compare.sh and
# prints a Markdown section for bench/RESULTS.md: the time of
# --min-distance 8 and of --metric lab against the default build (whole
# runs, side by side, best of ten rounds), the most equal photos in any 8 x 8
# window of cells (from the --tiles-used record), and the fidelity of rgb
# against lab as PSNR and mean Delta-E of the 16 x 16 cell means.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSELOR_BENCH_BUILD:-build-bench}
work=$build/compare
backgrounds=/usr/share/backgrounds/mate
if [ ! -d "$build" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELOR_BUILD_APP=OFF \
    -DTESSELOR_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target tesselor-cli >/dev/null
cli=$build/bin/tesselor-cli
mkdir -p "$work"
. bench/inputs.sh

once() {  # once NAME OPTIONS... -> wall seconds of one run, to the millisecond
  local start=$EPOCHREALTIME
  "$cli" mosaic "$photo" -o "$work/$1.bmp" --library "$library" --tile-size 16 \
    --accuracy medium --randomization low --tiles-used "$work/$1.csv" "${@:2}" >/dev/null 2>&1
  awk "BEGIN{printf \"%.3f\", $EPOCHREALTIME - $start}"
}
lower() { if [ -z "$1" ] || awk "BEGIN{exit !($2 < $1)}"; then echo "$2"; else echo "$1"; fi; }
# The three in turn, ten rounds, so that a change in the machine's load
# touches all three alike; the best of each.
default= distance= lab=
for _ in $(seq 10); do
  default=$(lower "$default" "$(once default)")
  distance=$(lower "$distance" "$(once distance --min-distance 8)")
  lab=$(lower "$lab" "$(once lab --metric lab)")
done

python3 - "$photo" "$work" "$default" "$distance" "$lab" <<'PY'
import csv, math, sys
from collections import Counter
from PIL import Image

photo, work, t_default, t_distance, t_lab = sys.argv[1:]

def crowding(name):
    # The most placements of one photo in any 8 x 8 window of cells.
    cells = {}
    for row in csv.DictReader(open(f"{work}/{name}.csv")):
        cells[(int(row["x"]) // 16, int(row["y"]) // 16)] = row["tile"]
    columns = max(c for c, _ in cells) + 1
    rows = max(r for _, r in cells) + 1
    worst = 0
    for c0 in range(columns - 7):
        for r0 in range(rows - 7):
            counts = Counter(cells[(c, r)] for c in range(c0, c0 + 8) for r in range(r0, r0 + 8))
            worst = max(worst, max(counts.values()))
    return worst

def linear(v):
    v /= 255
    return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4

def lab(rgb):
    r, g, b = (linear(v) for v in rgb)
    xyz = ((0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047,
           0.2126729 * r + 0.7151522 * g + 0.0721750 * b,
           (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883)
    f = [t ** (1 / 3) if t > 216 / 24389 else t * 24389 / 3132 + 4 / 29 for t in xyz]
    return 116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])

def fidelity(name):
    # Cell means of photograph and mosaic, by box averaging to one pixel a cell.
    size = (100, 75)
    a = list(Image.open(photo).convert("RGB").resize(size, Image.BOX).getdata())
    b = list(Image.open(f"{work}/{name}.bmp").convert("RGB").resize(size, Image.BOX).getdata())
    squared = sum((p - q) ** 2 for x, y in zip(a, b) for p, q in zip(x, y)) / (3 * len(a))
    delta = sum(math.dist(lab(x), lab(y)) for x, y in zip(a, b)) / len(a)
    return 10 * math.log10(255 ** 2 / squared), delta

td = float(t_default)
print("## Variety and the Lab metric")
print()
print("Made by `bench/variety.sh`: the same case, whole `tesselor-cli mosaic` runs,")
print("the three in turn, ten rounds, the best of each.")
print()
print("| build | wall time (s) | against the default | most equal photos in an 8 x 8 window |")
print("|---|---|---|---|")
for label, name, t in (("default", "default", t_default),
                       ("`--min-distance 8`", "distance", t_distance),
                       ("`--metric lab`", "lab", t_lab)):
    print(f"| {label} | {t} | {float(t) / td:.2f} x | {crowding(name)} |")
print()
print("Fidelity of the 16 x 16 cell means against the photograph's:")
print()
print("| metric | PSNR (dB) | mean Delta-E 1976 |")
print("|---|---|---|")
for label, name in (("rgb", "default"), ("lab", "lab")):
    psnr, delta = fidelity(name)
    print(f"| {label} | {psnr:.2f} | {delta:.2f} |")
PY
