#!/usr/bin/env bash
# Builds everything and runs the whole test suite through CTest.
# Usage: scripts/test.sh [--sanitize]   (ASan + UBSan build in build-sanitize/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--sanitize" ]; then
  build=$root/build-sanitize
  bash "$root/scripts/build.sh" "$build" -DSSHSUM_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  build=$root/build
  bash "$root/scripts/build.sh" "$build"
fi
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" </dev/null
