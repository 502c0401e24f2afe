#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are
# missing and we may install (root). Quiet when everything is there.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev
          libbenchmark-dev libfast-float-dev libedit-dev python3)
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
apt-get update -qq </dev/null
apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null >/dev/null
