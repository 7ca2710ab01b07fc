#!/bin/sh
# Times the program deleting a tree of 100,000 files in 1,000 directories (/RI) against
# rm -rf on an identical copy. Before every timed run both victims are copied afresh
# from one master tree, untimed.
set -eu

. "$(dirname "$0")/common.sh"
python3 "$here/bench/make_tree.py" "$work/master" 100

# Each command removes only its own copy; the other one is already gone or is made
# again, so the prepare step starts from nothing. Both copies reach the disk before the
# timed run: a copy still being written out makes its deletion wait for the disk, and the
# copy made first would be the slower one to delete, whoever deletes it.
prepare="rm -rf '$work/tree1' '$work/tree2' && cp -a '$work/master' '$work/tree1' && cp -a '$work/master' '$work/tree2' && sync"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 --prepare "$prepare" \
    orva "$orva /RI $(windows_path "$work/tree1")" \
    "rm -rf" "rm -rf '$work/tree2'"
