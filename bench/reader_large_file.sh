#!/usr/bin/env bash
# The reader on a 1 GiB file: 64 lines of 16 MiB, each 120 values and then a
# long tail of further values. Measures the peak resident size (/usr/bin/time
# -v) and the time of the reader against `wc -l` on the same file (page cache
# warm for both). The file is made in /tmp and deleted afterwards.
# Usage: bench/reader_large_file.sh [BUILD_DIR]   (default build-bench/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
file=/tmp/sshsum_reader_large.dat
line_bytes=$((16 * 1024 * 1024))

need=$((1100 * 1024 * 1024))
avail=$(df --output=avail -B1 /tmp | tail -1)
if [ "$avail" -lt "$need" ]; then
  echo "not enough space in /tmp: $avail bytes free, $need needed" >&2
  exit 1
fi
trap 'rm -f "$file"' EXIT

cmake -S "$root" -B "$build" -G Ninja -DSSHSUM_BENCH=ON -DSSHSUM_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target reader_bench >/dev/null

python3 - "$file" "$line_bytes" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2])
head = " ".join("%d.%03d" % (i, i * 7 % 1000) for i in range(1, 121))
unit = " 9.87654321"
tail = unit * ((size - 1 - len(head)) // len(unit))
line = (head + tail).ljust(size - 1) + "\n"
with open(path, "w") as f:
    for _ in range(64):
        f.write(line)
PY
echo "file: $(stat -c %s "$file") bytes, $(wc -l < "$file") lines"

profile() { # command...: wall and CPU seconds, peak resident size
  /usr/bin/time -f '%e s wall, %U + %S s CPU, peak RSS %M KiB' "$@" \
    2>&1 >/dev/null | tail -1
}

wc -l "$file" >/dev/null # the page cache holds the file for both
for _ in 1 2 3; do
  echo "wc -l: $(profile wc -l "$file")"
done

export SSHSUM_READER_FILE=$file
bench=$build/bench/reader_bench
echo "reader process, 3 readings of the file:" \
  "$(profile "$bench" --benchmark_filter=BM_ReadDatasetFile)"
"$bench" --benchmark_filter=File 2>&1 | grep -E '^BM_|^Benchmark'
