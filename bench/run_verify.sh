#!/bin/sh
# Times the program verifying a tree of 100,000 files against an exact copy (/V, by
# contents) against diff -rq comparing the same two trees.
set -eu

. "$(dirname "$0")/common.sh"
python3 "$here/bench/make_tree.py" "$work/src" 100
cp -a "$work/src" "$work/dst"

# The trailing separator compares the contents of src with those of dst.
orva_command="$orva /V $(windows_path "$work/src/") $(windows_path "$work/dst")"
verified=$(sh -c "$orva_command" >/dev/null && echo 0 || echo $?)
echo "orva /V: exit code $verified (254 = every file agreed, capped)"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 orva "$orva_command" "diff -rq" "diff -rq '$work/src' '$work/dst'"

