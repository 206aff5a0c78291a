#!/usr/bin/env bash
# Measures the engine on the standard case side by side with the plain model
# kept in the tests, and writes bench/RESULTS.md:
#   a 1600 x 1200 photograph, a library of 2000 tile files (4000 tiles with
#   mirroring), 16-pixel tiles, medium accuracy, low randomization.
# Reports wall time and peak memory of the whole `tesselor-cli mosaic` run
# (library loading included), the matching time of engine and model on the
# same build with the speed-up and whether the mosaics are identical, and
# the fidelity (PSNR of cell means, see bench/build_comparison.cpp) at
# colour adjustment 0, 20 and 45.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSELOR_BENCH_BUILD:-build-bench}
work=$build/compare
backgrounds=/usr/share/backgrounds/mate

command -v /usr/bin/time >/dev/null || apt-get install -y time
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELOR_BUILD_BENCH=ON \
  -DTESSELOR_BUILD_APP=OFF -DTESSELOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target tesselor-cli bench_build bench_engine >/dev/null
cli=$build/bin/tesselor-cli
mkdir -p "$work"

. bench/inputs.sh
files=$(ls "$library" | wc -l)

run_cli() {  # run_cli OUT COLOUR_ADJUST -> "seconds max_rss_kib"
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$cli" mosaic "$photo" -o "$1" \
    --library "$library" --tile-size 16 --accuracy medium --randomization low \
    --colour-adjust "$2" --blend 0 >/dev/null 2>&1
  cat "$work/time.txt"
}
read -r cliSeconds0 cliKib0 < <(run_cli "$work/mosaic-c0.jpg" 0)
read -r cliSeconds20 cliKib20 < <(run_cli "$work/mosaic-c20.jpg" 20)

"$build/bin/bench_build" "$photo" "$library" 16 1 5 0 > "$work/build-c0.txt"
"$build/bin/bench_build" "$photo" "$library" 16 1 5 20 --no-reference > "$work/build-c20.txt"
"$build/bin/bench_build" "$photo" "$library" 16 1 5 45 --no-reference > "$work/build-c45.txt"
"$build/bin/bench_engine" --benchmark_min_time=0.5 > "$work/benchmark.txt" 2>/dev/null

value() { grep "^$2:" "$1" | cut -d: -f2- | xargs; }
c0=$work/build-c0.txt
{
  echo "# Benchmark results"
  echo
  echo "Made by \`bench/compare.sh\` on $(date -u +%Y-%m-%d), $(nproc) cores,"
  echo "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(free -g | awk '/Mem:/ {print $2}') GiB."
  echo
  echo "Case: a $(value "$c0" photo) photograph, $files tile files ($(value "$c0" tiles) tiles"
  echo "with mirroring), 16-pixel tiles, medium accuracy, low randomization, blend 0."
  echo
  echo "## Whole run: \`tesselor-cli mosaic\`, library loading included"
  echo
  echo "| colour adjustment | wall time (s) | peak memory (MiB) |"
  echo "|---|---|---|"
  echo "| 0 | $cliSeconds0 | $((cliKib0 / 1024)) |"
  echo "| 20 | $cliSeconds20 | $((cliKib20 / 1024)) |"
  echo
  echo "Tile set in memory: $(value "$c0" 'tile set MiB') MiB; photograph and mosaic bitmaps:"
  echo "$(value "$c0" 'bitmaps MiB') MiB."
  echo
  echo "## Matching: engine against the plain model, same build, same process"
  echo
  echo "| | seconds |"
  echo "|---|---|"
  echo "| library loading | $(value "$c0" 'load seconds') |"
  echo "| engine matching and painting | $(value "$c0" 'engine matching seconds') |"
  echo "| plain model matching and painting | $(value "$c0" 'reference matching seconds') |"
  echo
  echo "Speed-up: **$(value "$c0" speed-up) x**. Mosaics identical to the byte: **$(value "$c0" identical)**."
  echo
  echo "## Fidelity"
  echo
  echo "PSNR between photograph and mosaic after both are box-averaged to one pixel per"
  echo "16 x 16 cell (the mean of each channel over the pixels the cell covers), over all"
  echo "cells and channels:"
  echo
  echo "| colour adjustment | PSNR (dB) |"
  echo "|---|---|"
  for c in 0 20 45; do echo "| $c | $(value "$work/build-c$c.txt" 'fidelity PSNR dB (cell means)') |"; done
  echo
  echo "## Google Benchmark (\`bench_engine\`, synthetic 640 x 480 photograph)"
  echo
  echo '```'
  grep -E '^(BM_|Benchmark|-)' "$work/benchmark.txt"
  echo '```'
} > "$work/results.md"
# bench/poster.sh keeps its figures at the end; they stay until it runs again.
sed -n '/^## Posters: /,$p' bench/RESULTS.md >> "$work/results.md"
mv "$work/results.md" bench/RESULTS.md
cat bench/RESULTS.md
