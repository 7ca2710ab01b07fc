#!/bin/sh
# Times the program's CRC32 listing (/FD) over 1 GB of files against cksum and Python's
# zlib.crc32 reading the same files, and prints the throughput of each.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-bench}
data=$(mktemp -d /tmp/orva-bench-XXXXXX)
trap 'rm -rf "$data"' EXIT

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVA_BENCH=ON -DORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target orva -j2 >/dev/null

# Sixteen files of 64 MB of random bytes: 1 GB, read from the page cache by every tool.
for i in $(seq -w 1 16); do
    head -c 67108864 /dev/urandom >"$data/part$i.bin"
done
megabytes=1024

seconds() {
    start=$(date +%s.%N); "$@" >/dev/null || true; end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
best() { sort -n | head -1; }
zlib_crc() {
    python3 -c '
import sys, zlib
for name in sys.argv[1:]:
    crc = 0
    with open(name, "rb") as f:
        while True:
            block = f.read(65536)
            if not block:
                break
            crc = zlib.crc32(block, crc)
    print("%08x %s" % (crc, name))
' "$@"
}

cat "$data"/* >/dev/null
orva_time=$(for i in 1 2 3; do seconds "$build/orva" /FD "Z:$(printf '%s' "$data" | tr '/' '\\')\\"; done | best)
cksum_time=$(for i in 1 2 3; do seconds cksum -a crc "$data"/*; done | best)
zlib_time=$(for i in 1 2 3; do seconds zlib_crc "$data"/*; done | best)
for tool in orva cksum zlib; do
    eval "t=\$${tool}_time"
    printf '%-6s %.3f s  %6.0f MB/s\n' "$tool" "$t" "$(echo "$megabytes / $t" | bc -l)"
done
