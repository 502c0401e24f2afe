#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default build/); extra arguments go
# to CMake. Usage: scripts/build.sh [BUILD_DIR] [-DOPTION=VALUE ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
case " $* " in
  *SSHSUM_BENCH=ON*|*SSHSUM_FUZZ=ON*) bash "$root/scripts/setup-deps.sh" --all ;;
  *) bash "$root/scripts/setup-deps.sh" ;;
esac
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
