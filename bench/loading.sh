#!/usr/bin/env bash
# Library loading against the decode floor, side by side in one run: the
# loader of this tree, the loader as it was before it read each tile with
# one read into a kept buffer ($LOADER_BEFORE, built from an export of that
# commit), and a plain libjpeg-turbo loop over the same files (see
# bench/load_comparison.cpp). Rounds alternate between the two builds; each
# reports its fastest round. The checksums of the loaded tiles must agree.
# Figures go to the Loading section at the end of bench/RESULTS.md.
#   Library: the standard case's 2000 tile files (bench/inputs.sh), mirrored,
#   16-pixel tiles.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSELOR_BENCH_BUILD:-build-bench}
before=${LOADER_BEFORE:-19bd030}
work=$build/loading
backgrounds=/usr/share/backgrounds/mate
rounds=${LOAD_ROUNDS:-7}
flags=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELOR_BUILD_BENCH=ON
  -DTESSELOR_BUILD_APP=OFF -DTESSELOR_BUILD_TESTS=OFF ${TESSELOR_CMAKE_ARGS:-})

cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" --target tesselor-cli bench_load >/dev/null
cli=$build/bin/tesselor-cli
mkdir -p "$work"
. bench/inputs.sh

# The earlier loader, with this tree's benchmark program.
old=$work/before-$before
if [ ! -x "$old/build/bin/bench_load" ]; then
  rm -rf "$old" && mkdir -p "$old/src"
  git archive "$before" | tar -x -C "$old/src"
  # The bench build lists every benchmark program; only bench_load is built.
  cp bench/CMakeLists.txt bench/*.cpp bench/*.h "$old/src/bench/"
  cmake -S "$old/src" -B "$old/build" "${flags[@]}" >/dev/null
  nice -n 10 cmake --build "$old/build" --target bench_load >/dev/null
fi

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for round in 1 2 3; do
  nice -n 10 "$old/build/bin/bench_load" "$library" 16 "$rounds" > "$work/before-$round.txt"
  nice -n 10 "$build/bin/bench_load" "$library" 16 "$rounds" > "$work/after-$round.txt"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

value() { grep -h "^$2:" "$work"/$1-*.txt | cut -d: -f2- | xargs -n1 | sort -g | head -1; }
same=$([ "$(value before checksum)" = "$(value after checksum)" ] && echo yes || echo NO)
section=$work/section.md
{
  echo "## Loading against the decode floor (\`bench/loading.sh\`)"
  echo
  echo "Made by \`bench/loading.sh\` on $(date -u +%F), $(nproc) cores; load average before:"
  echo "$load_before, after: $load_after. The fastest of $((3 * rounds)) rounds of each."
  echo
  echo "Case: $(value after files) tile files ($(value after tiles) tiles with mirroring), 16-pixel tiles."
  echo "The plain loop reads each file with one read and decodes it whole to 4-byte pixels with"
  echo "the loader's decoder settings, on every core; the loader also reduces and mirrors."
  echo
  echo "| build | loader (ms) | plain decode, every core (ms) | plain decode, one core (ms) | loader / plain |"
  echo "|---|---|---|---|---|"
  for kind in before after; do
    label=$([ $kind = before ] && echo "before ($before)" || echo "this tree")
    printf '| %s | %.1f | %.1f | %.1f | %.2f |\n' "$label" \
      "$(echo "$(value $kind 'loader seconds') * 1000" | bc -l)" \
      "$(echo "$(value $kind 'plain decode seconds') * 1000" | bc -l)" \
      "$(echo "$(value $kind 'plain decode seconds on one thread') * 1000" | bc -l)" \
      "$(echo "$(value $kind 'loader seconds') / $(value $kind 'plain decode seconds')" | bc -l)"
  done
  echo
  echo "Loaded tiles identical in both builds (checksum $(value after checksum)): $same."
} > "$section"
. bench/section.sh
replace_section "## Loading against the decode floor" "$section"
cat "$section"
[ "$same" = yes ]
