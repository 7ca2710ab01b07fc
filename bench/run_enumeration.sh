#!/bin/sh
# Times the layer enumerating a tree of 100,000 files in 1,000 directories the way the
# walker does, against find printing the same facts, and prints both and their ratio.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-bench}
tree=$(mktemp -d /tmp/orva-bench-XXXXXX)
trap 'rm -rf "$tree"' EXIT

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVA_BENCH=ON -DORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target enumerate_tree -j2 >/dev/null

python3 "$here/bench/make_tree.py" "$tree" 100

windows_tree="Z:$(printf '%s' "$tree" | tr '/' '\\')"
best() { sort -n | head -1; }

# Warm the caches once, then take the best of three runs of each.
find "$tree" -printf '%M %s %T@ %p\n' >/dev/null
"$build/bench/enumerate_tree" "$windows_tree" >/dev/null
find_time=$(for i in 1 2 3; do
    start=$(date +%s.%N); find "$tree" -printf '%M %s %T@ %p\n' >/dev/null; end=$(date +%s.%N)
    echo "$end - $start" | bc -l
done | best)
layer_time=$(for i in 1 2 3; do
    "$build/bench/enumerate_tree" "$windows_tree" | awk '{print $1}'
done | best)
"$build/bench/enumerate_tree" "$windows_tree"
printf 'find:  %.3f s\nlayer: %.3f s\nratio: %.2f (target: at most 1.50)\n' \
    "$find_time" "$layer_time" "$(echo "$layer_time / $find_time" | bc -l)"
