#!/bin/sh
# Times the size summation (/ST) against du adding up the same apparent sizes,
# alternately, on 100,000 files in 1,000 directories (target 1.0), and shows the peak
# memory of /ST at 10,000 and 1,000,000 entries.
set -eu

. "$(dirname "$0")/common.sh"

python3 "$here/bench/make_tree.py" "$work/tree" 100 >/dev/null
echo "size summation of 100,000 files"
python3 "$here/bench/alternate.py" --runs "$runs" --target 1.0 \
    orva "$orva /ST $(windows_path "$work/tree")" \
    du "du -s --apparent-size -B1 $work/tree"

report_peak_memory '/ST' '/ST'
