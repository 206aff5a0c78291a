#!/usr/bin/env bash
# Configures, builds and runs every test. Extra arguments go to ctest
# (for example: scripts/test.sh -L unit).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESSELOR_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TESSELOR_CMAKE_ARGS:-}
cmake --build "$build"
cd "$build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure "$@"
