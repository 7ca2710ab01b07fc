#!/bin/sh
# The peak memory of every operation over 10,000 and 1,000,000 files (target: at most
# 16,384 KB, the same at both sizes): listing, tree, sizes, copy, update with nothing to
# do, verify, and the deletion of the copy. Run as root, the trees stand on a tmpfs of
# their own (a million files are made and copied in a minute there, not in half an hour).
set -eu

. "$(dirname "$0")/common.sh"
if [ "$(id -u)" = 0 ]; then
    mount -t tmpfs -o size=12g,nr_inodes=4m tmpfs "$work"
    trap 'umount "$work"; rm -rf "$work"' EXIT
fi

for files in 10 1000; do
    tree="$work/t$files"
    copy="$work/c$files"
    python3 "$here/bench/make_tree.py" "$tree" "$files" >/dev/null
    source=$(windows_path "$tree")
    printf '%s files, peak KB:' "$(find "$tree" -type f | wc -l)"
    printf ' listing %s' "$(max_rss_kb "exec $orva $source")"
    printf ' /T %s' "$(max_rss_kb "exec $orva /T $source")"
    printf ' /ST %s' "$(max_rss_kb "exec $orva /ST $source")"
    printf ' /CI %s' "$(max_rss_kb "exec $orva /CI $source $(windows_path "$copy")")"
    printf ' /UI %s' "$(max_rss_kb "exec $orva /UI $source $(windows_path "$copy")")"
    printf ' /V %s' "$(max_rss_kb "exec $orva /V $(windows_path "$tree/") $(windows_path "$copy/t$files")")"
    printf ' /RI %s\n' "$(max_rss_kb "exec $orva /RI $(windows_path "$copy")")"
    rm -rf "$tree"
done
