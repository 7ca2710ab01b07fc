#!/bin/sh
# Times the program listing a chain of 600 one-letter directories (about 1,000 entries,
# walked to layer 512) against find printing the same facts, alternating the two, and
# prints the median ratios of cpu and wall time: the cost of an entry must not grow with
# its depth.
set -eu

. "$(dirname "$0")/common.sh"
runs=${RUNS:-7}

# chain\a\a\...: 600 layers, two small files in every third one.
python3 - "$work/chain" <<'EOF'
import os
import sys

path = sys.argv[1]
count = 0
for layer in range(600):
    os.mkdir(path)
    count += 1
    if layer % 3 == 0:
        for name in ("f0.txt", "f1.txt"):
            with open(os.path.join(path, name), "w") as f:
                f.write("x" * (layer % 7))
            count += 1
    path = os.path.join(path, "a")
print("%d entries in 600 layers" % count)
EOF

export TZ=UTC LC_ALL=C
cd "$work"
# "wall cpu" of one run, to the microsecond; the program's exit code is its count of files.
measure() {
    python3 -c '
import os, subprocess, sys, time
start = time.monotonic()
child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL)
_, _, usage = os.wait4(child.pid, 0)
print("%.6f %.6f" % (time.monotonic() - start, usage.ru_utime + usage.ru_stime))
' "$@"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Warm the caches once, then alternate: each pair runs under the same load.
"$orva" /512 chain >/dev/null || true
find chain -printf '%M %s %TY-%Tm-%Td %TT %p\n' >/dev/null
i=0
while [ "$i" -lt "$runs" ]; do
    orva_run=$(measure "$orva" /512 chain)
    find_run=$(measure find chain -printf '%M %s %TY-%Tm-%Td %TT %p\n')
    echo "$orva_run $find_run"
    i=$((i + 1))
done >"$work/pairs"

# Columns: orva wall, orva cpu, find wall, find cpu.
column() { awk -v c="$1" '{ print $c }' "$work/pairs" | median; }
ratio() { awk -v a="$1" -v b="$2" '{ print $a / ($b > 0 ? $b : 1e-6) }' "$work/pairs" | median; }
printf 'find: %.3f s wall, %.3f s cpu (median of %d)\n' "$(column 3)" "$(column 4)" "$runs"
printf 'orva: %.3f s wall, %.3f s cpu\n' "$(column 1)" "$(column 2)"
printf 'ratio: %.2f wall, %.2f cpu (median of the pairs; target: at most 3)\n' "$(ratio 1 3)" "$(ratio 2 4)"
