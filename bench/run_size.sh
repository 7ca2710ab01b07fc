#!/bin/sh
# Times the size summation (/ST) against du adding up the same apparent sizes,
# alternately, on 100,000 files in 1,000 directories (target 1.0). Its peak memory is
# measured with every other operation's by run_memory.sh.
set -eu

. "$(dirname "$0")/common.sh"

python3 "$here/bench/make_tree.py" "$work/tree" 100 >/dev/null
echo "size summation of 100,000 files"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 \
    orva "$orva /ST $(windows_path "$work/tree")" \
    du "du -s --apparent-size -B1 $work/tree"
