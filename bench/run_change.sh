#!/bin/sh
# Times the attribute and date changes over a tree of 10,000 files in 1,000 directories
# against the standard tools on the same tree, alternately:
#   /+AI (every entry asked to keep archive) against chmod -R u+w (target 1.5),
#   /DI (every entry set to the moment of the run) against find -exec touch (target 1.5).
set -eu

. "$(dirname "$0")/common.sh"

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
