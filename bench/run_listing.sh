#!/bin/sh
# Times the program listing a tree of 100,000 files in 1,000 directories against find
# printing the same facts, and shows that the program's memory does not grow with the
# tree (10,000 against 100,000 files).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-bench}
tree=$(mktemp -d /tmp/orva-bench-XXXXXX)
small=$(mktemp -d /tmp/orva-bench-XXXXXX)
trap 'rm -rf "$tree" "$small"' EXIT

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVA_BENCH=ON -DORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target orva -j2 >/dev/null
python3 "$here/bench/make_tree.py" "$tree" 100
python3 "$here/bench/make_tree.py" "$small" 10

windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }
seconds() {
    start=$(date +%s.%N); "$@" >/dev/null || true; end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}
best() { sort -n | head -1; }
max_rss_kb() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1 || true; }

orva="$build/orva"
find "$tree" -printf '%M %s %TY-%Tm-%Td %TT %p\n' >/dev/null
"$orva" "$(windows_path "$tree")" >/dev/null || true
find_time=$(for i in 1 2 3; do seconds find "$tree" -printf '%M %s %TY-%Tm-%Td %TT %p\n'; done | best)
orva_time=$(for i in 1 2 3; do seconds "$orva" "$(windows_path "$tree")"; done | best)
printf 'find: %.3f s\norva: %.3f s\nratio: %.2f (target: at most 1.50)\n' \
    "$find_time" "$orva_time" "$(echo "$orva_time / $find_time" | bc -l)"
printf 'memory: %s KB for 10,000 files, %s KB for 100,000 files\n' \
    "$(max_rss_kb "$orva" "$(windows_path "$small")")" "$(max_rss_kb "$orva" "$(windows_path "$tree")")"
