#!/usr/bin/env bash
# Matching alone (bench_match: every placement chosen, none painted), this
# checkout against an earlier revision (default: main), side by side in one
# run: CPU seconds of the whole process, best of REPEATS, alternating the two
# programs, and whether their choices agree (a checksum of every tile and
# its gains). Cases: the standard case at magnification 1 and 10, and with
# --metric lab and --min-distance 8. Prints a Markdown section for
# bench/RESULTS.md.
#   bench/matching.sh [REVISION] [REPEATS]
set -euo pipefail
cd "$(dirname "$0")/.."
revision=${1:-main}
repeats=${2:-3}
build=${TESSELOR_BENCH_BUILD:-build-bench}
work=$build/compare
backgrounds=/usr/share/backgrounds/mate
# One folder per commit: git archive stamps files with the commit's time, so a
# folder reused for another commit would keep objects built from the old one.
before=$build/before-$(git rev-parse --short "$revision")
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELOR_BUILD_BENCH=ON \
  -DTESSELOR_BUILD_APP=OFF -DTESSELOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target tesselor-cli bench_match >/dev/null
cli=$build/bin/tesselor-cli
mkdir -p "$work"
. bench/inputs.sh

# The earlier revision's engine with this checkout's bench_match.
rm -rf "$before/src"
mkdir -p "$before/src"
git archive "$revision" | tar -x -C "$before/src"
cp bench/match_comparison.cpp "$before/src/bench/"
grep -q bench_match "$before/src/bench/CMakeLists.txt" ||
  printf '%s\n' 'add_executable(bench_match match_comparison.cpp)' \
    'target_link_libraries(bench_match PRIVATE tesselor_engine tesselor_scripted_shell)' \
    >> "$before/src/bench/CMakeLists.txt"
cmake -S "$before/src" -B "$before/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSELOR_BUILD_BENCH=ON -DTESSELOR_BUILD_APP=OFF -DTESSELOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$before/build" --target bench_match >/dev/null

value() { grep "^$1:" | cut -d: -f2 | xargs; }
measure() {  # measure ARGS... -> "before_cpu after_cpu same"
  local bestBefore= bestAfter= sumBefore sumAfter out t
  for _ in $(seq "$repeats"); do
    out=$(nice -n 10 "$before/build/bin/bench_match" "$photo" "$library" "$@")
    t=$(value 'matching CPU seconds' <<<"$out"); sumBefore=$(value 'choices checksum' <<<"$out")
    if [ -z "$bestBefore" ] || awk "BEGIN{exit !($t < $bestBefore)}"; then bestBefore=$t; fi
    out=$(nice -n 10 "$build/bin/bench_match" "$photo" "$library" "$@")
    t=$(value 'matching CPU seconds' <<<"$out"); sumAfter=$(value 'choices checksum' <<<"$out")
    if [ -z "$bestAfter" ] || awk "BEGIN{exit !($t < $bestAfter)}"; then bestAfter=$t; fi
  done
  echo "$bestBefore $bestAfter $([ "$sumBefore" = "$sumAfter" ] && echo yes || echo NO)"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=""
for case in "1" "1 lab" "1 min-distance 8" "10"; do
  read -r b a same < <(measure $case)
  label="magnification ${case%% *}"
  case "$case" in *lab*) label+=", \`--metric lab\`" ;; *min-distance*) label+=", \`--min-distance 8\`" ;; esac
  rows+="| $label | $b | $a | $(awk "BEGIN{printf \"%.2f\", $b / $a}") x | $same |"$'\n'
done
cat <<MD
## Matching alone, before and after (\`bench/matching.sh\`)

Made by \`bench/matching.sh $revision $repeats\` on $(date -u +%Y-%m-%d), $(nproc) cores: \`bench_match\`
built from \`$revision\` and from this checkout, run alternately, best of $repeats each. CPU seconds
of the whole process (every thread) while every placement of the standard case is chosen and
none painted. Load average before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg).

| case | before (CPU s) | after (CPU s) | less CPU | same choices |
|---|---|---|---|---|
$rows
MD
