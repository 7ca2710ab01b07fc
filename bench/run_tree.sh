#!/bin/sh
# Times the tree display against tree(1) drawing the same tree with sizes and dates,
# alternately, on 100,000 files in 1,000 directories (target 0.8). Needs Debian's tree
# (apt-get install tree). Its peak memory is measured by run_memory.sh.
set -eu

. "$(dirname "$0")/common.sh"
require_tool tree

python3 "$here/bench/make_tree.py" "$work/tree" 100 >/dev/null
echo "tree display of 100,000 files"
python3 "$here/bench/alternate.py" --runs "$runs" --target 0.8 \
    orva "$orva /T $(windows_path "$work/tree")" \
    tree "tree -a -D -s --timefmt '%y-%m-%d %H:%M:%S' $work/tree"
