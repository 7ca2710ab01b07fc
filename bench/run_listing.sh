#!/bin/sh
# Times the listing against find printing the same facts, alternately: 100,000 files in
# 1,000 directories with TZ=UTC on both sides (target 1.0 wall, 1.3 cpu) and without TZ
# on both sides (target 0.5), and this machine's /usr. Its peak memory is measured by
# run_memory.sh.
set -eu

. "$(dirname "$0")/common.sh"
require_tool bfs

format='%M %s %TY-%Tm-%Td %TT %p\n'
python3 "$here/bench/make_tree.py" "$work/tree" 100 >/dev/null
echo "listing of 100,000 files, TZ=UTC"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 \
    orva "$orva $(windows_path "$work/tree")" \
    find "find $work/tree -printf '$format'"
echo "listing of 100,000 files against bfs, TZ=UTC"
python3 "$here/bench/alternate.py" --runs "$runs" --target 0.8 \
    orva "$orva $(windows_path "$work/tree")" \
    bfs "bfs $work/tree -printf '$format'"
echo "listing of 100,000 files, no TZ on either side"
python3 "$here/bench/alternate.py" --runs "$runs" --target 0.5 \
    orva "env -u TZ $orva $(windows_path "$work/tree")" \
    find "env -u TZ find $work/tree -printf '$format'"
echo "listing of /usr, TZ=UTC"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 \
    orva "$orva $(windows_path /usr)" \
    find "find /usr -printf '$format'"
