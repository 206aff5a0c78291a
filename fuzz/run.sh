#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one.
#   fuzz/run.sh --seconds 5         each target for 5 seconds
#   fuzz/run.sh --runs 20000        each target for 20000 executions (what CI does)
#   fuzz/run.sh --runs 1000000      each target for a million executions
#   fuzz/run.sh --runs N TARGET...  only the named targets (bmp, jpeg, ...)
# Findings land in build-fuzz/findings/ (TESSELOR_FUZZ_BUILD_DIR picks another
# build folder); the summary shows executions per target. The mutations follow
# a fixed seed (TESSELOR_FUZZ_SEED, 1 unless set), so a run of a given number
# of executions explores the same inputs every time: CI's verdict does not
# depend on luck, and a finding can be reproduced by running again.
set -euo pipefail
cd "$(dirname "$0")/.."
limit="-max_total_time=10"
case "${1:-}" in
  --seconds) limit="-max_total_time=$2"; shift 2 ;;
  --runs) limit="-runs=$2"; shift 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(any bmp jpeg tga tiff png pcx pict wmf emf webp heif roundtrip legacy_tile tile_cache)

build=${TESSELOR_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSELOR_FUZZ=ON -DTESSELOR_BUILD_APP=OFF -DTESSELOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target $(printf 'fuzz_%s ' "${targets[@]}")
bash fuzz/make_seeds.sh "$build/seeds" >/dev/null
mkdir -p "$build/findings" "$build/corpus"

# Every input is decoded or refused in well under a second and a few tens of
# megabytes, so one slower than 3 s or larger than 512 MB is a finding: an
# amplification a small file should not be able to cause. The pixel budget
# is lowered to 1 megapixel (4 MB as 32-bit pixels), which keeps honest
# large pictures far under that limit and, as a drawing costs at least its
# frame and the metafile work budget follows the pixel budget, lets metafile
# inputs run in milliseconds; every rule and limit is still explored at that
# scale. AddressSanitizer keeps freed memory aside to catch late uses; its
# default 256 MB of it, added to the working set, would read as an
# amplification after enough large honest pictures, so it keeps 64 MB.
pixels=1048576

# Runs one target; its log and verdict line land in the build folder.
fuzz_target() {
  local target=$1 corpus="$build/corpus/$1" log="$build/fuzz_$1.log" result=ok
  mkdir -p "$corpus"
  # Regression inputs kept in the tree run first, then the fuzzer explores.
  local regressions=()
  [ -d "fuzz/regressions/$target" ] && regressions=("fuzz/regressions/$target")
  ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64 LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan-suppressions.txt \
    TESSELOR_MAX_PIXELS=$pixels "$build/bin/fuzz_$target" "$limit" \
    -seed="${TESSELOR_FUZZ_SEED:-1}" -timeout=3 -rss_limit_mb=512 \
    -max_len=65536 -artifact_prefix="$build/findings/$target-" \
    "$corpus" "$build/seeds/$target" "${regressions[@]}" >"$log" 2>&1 || result=FINDING
  local runs
  runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  echo "fuzz_$target: $result, ${runs:-0} executions" >"$build/fuzz_$target.verdict"
}

# One target per core at a time; the verdicts are printed in the targets' order.
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  fuzz_target "$target" &
done
wait
status=0
for target in "${targets[@]}"; do
  cat "$build/fuzz_$target.verdict"
  grep -q ": ok," "$build/fuzz_$target.verdict" || status=1
done
exit $status
