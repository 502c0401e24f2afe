#!/usr/bin/env bash
# Installs the Debian packages the build needs, when they are missing and we
# may install (root). Quiet when everything is there.
# Usage: scripts/setup-deps.sh [--all]
#   default: what the program and its tests need
#   --all:   also what the benchmarks and the fuzzers need
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libedit-dev)
if [ "${1:-}" = "--all" ]; then
  packages+=(libbenchmark-dev libfast-float-dev clang libclang-rt-14-dev python3)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "setup-deps: missing Debian packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "setup-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
for attempt in 1 2 3; do
  if apt-get update -qq </dev/null &&
     apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null; then
    exit 0
  fi
  echo "setup-deps: apt-get failed (attempt $attempt)" >&2
  sleep 10
done
exit 1
