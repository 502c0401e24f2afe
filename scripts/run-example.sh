#!/usr/bin/env bash
# Builds sshsum and runs it on the bundled example data in a scratch copy of
# examples/, choosing Dat/ssh.dat non-interactively (the name comes from
# standard input). Prints the report; the report file is left in the copy.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" "$root/build" >/dev/null
scratch=$(mktemp -d "${TMPDIR:-/tmp}/sshsum-example.XXXXXX")
cp -R "$root/examples/." "$scratch/"
cd "$scratch"
echo "sshsum: running in $scratch" >&2
status=0
echo "ssh.dat" | "$root/build/sshsum" || status=$?
echo "sshsum: exit status $status" >&2
exit "$status"
