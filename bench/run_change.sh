#!/bin/sh
# Times the attribute and date changes over a tree of 10,000 files in 1,000 directories
# against the standard tools on the same tree, alternately:
#   /+AI (every entry asked to keep archive) against chmod -R u+w (target 1.5),
#   /DI (every entry set to the moment of the run) against find -exec touch (target 1.5).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build-bench}
runs=${RUNS:-5}
work=$(mktemp -d /tmp/orva-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVA_BENCH=ON -DORVA_TESTS=OFF >/dev/null
cmake --build "$build" --target orva -j2 >/dev/null
orva="$build/orva"
# Quoted for the shell that alternate.py runs the command in, which would eat '\'.
windows_path() { printf "'Z:%s'" "$1" | tr '/' '\\'; }

python3 "$here/bench/make_tree.py" "$work/tree" 10

# The exit code is the number of files changed, so it is not a failure here.
echo "attributes of 10,000 files"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.5 \
    orva "$orva /+AI $(windows_path "$work/tree") || true" \
    "chmod -R" "chmod -R u+w $work/tree"

echo "dates of 10,000 files"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.5 \
    orva "$orva /DI $(windows_path "$work/tree") || true" \
    "find+touch" "find $work/tree -exec touch {} +"
