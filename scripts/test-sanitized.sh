#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in a
# folder of its own (build-asan, or TESSELOR_BUILD_DIR) and runs every test
# under them with leak detection on: any report fails the test that caused
# it. Extra arguments go to ctest, as with scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
export TESSELOR_BUILD_DIR=${TESSELOR_BUILD_DIR:-build-asan}
export TESSELOR_CMAKE_ARGS="${TESSELOR_CMAKE_ARGS:-} -DTESSELOR_SANITIZE=ON"
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec bash scripts/test.sh "$@"
