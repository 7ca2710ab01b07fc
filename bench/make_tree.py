#!/usr/bin/env python3
# Generates the benchmark tree: 10 x 10 x 10 directories holding FILES files each, half
# named in 8.3 form and half with long names that need aliases.
import os
import sys

root = sys.argv[1]
files_per_directory = int(sys.argv[2]) if len(sys.argv) > 2 else 100
count = 0
for a in range(10):
    for b in range(10):
        for c in range(10):
            d = os.path.join(root, "Project %02d" % a, "module%d" % b, "Data Set %d" % c)
            os.makedirs(d, exist_ok=True)
            for i in range(files_per_directory):
                name = ("FILE%04d.DAT" % i) if i % 2 else ("measurement record %04d.values" % i)
                with open(os.path.join(d, name), "w") as f:
                    f.write("x" * (i % 7))
                count += 1
print("%d files" % count)
