#!/bin/sh
# Times the copy operations against the standard tools on the same data, alternately:
#   /CI of 100,000 small files in 1,000 directories against cp -a (target 0.8),
#   /CI of one 1 GB file against cp (target 1.1),
#   /UI over an up-to-date copy of the tree against rsync -a doing the same no-op
#   (target 0.7).
# The peak memory of copy and update is measured by run_memory.sh.
set -eu

. "$(dirname "$0")/common.sh"
require_tool rsync

python3 "$here/bench/make_tree.py" "$work/tree" 100 >/dev/null
mkdir "$work/big"
head -c 1073741824 /dev/urandom >"$work/big/one.bin"
cat "$work/big/one.bin" >/dev/null

echo "copy a tree of 100,000 files"
# Both old copies are deleted and written out before each timed run, so that neither
# side waits for the other's deletion to reach the disk.
python3 "$here/bench/alternate.py" --runs "$runs" --target 0.8 --prepare "rm -rf $work/a $work/b && sync" \
    orva "$orva /CI $(windows_path "$work/tree") $(windows_path "$work/a")" \
    "cp -a" "cp -a $work/tree $work/b"

# On some disks most of a copy's time goes to the file system's search for free inodes,
# the same for both tools; into a tmpfs (as root) only the tools' own work is timed.
if [ "$(id -u)" = 0 ]; then
    echo "copy a tree of 100,000 files into a tmpfs"
    mkdir "$work/memory"
    mount -t tmpfs -o size=4g tmpfs "$work/memory"
    python3 "$here/bench/alternate.py" --runs "$runs" --target 0.8 --prepare "rm -rf $work/memory/a $work/memory/b" \
        orva "$orva /CI $(windows_path "$work/tree") $(windows_path "$work/memory/a")" \
        "cp -a" "cp -a $work/tree $work/memory/b"
    umount "$work/memory"
fi

echo "copy a 1 GB file"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.1 --prepare "rm -rf $work/a $work/b; mkdir $work/a $work/b" \
    orva "$orva /CI $(windows_path "$work/big/one.bin") $(windows_path "$work/a")" \
    cp "cp $work/big/one.bin $work/b/"
rm -rf "$work/big" "$work/a" "$work/b"

echo "update with nothing to do"
# The exit code is the number of files copied, so it is not a failure here.
sh -c "$orva /CI $(windows_path "$work/tree") $(windows_path "$work/up")" >/dev/null || true
rsync -a "$work/tree" "$work/rs"
python3 "$here/bench/alternate.py" --runs "$runs" --target 0.7 \
    orva "$orva /UI $(windows_path "$work/tree") $(windows_path "$work/up")" \
    "rsync -a" "rsync -a $work/tree $work/rs"
