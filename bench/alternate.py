#!/usr/bin/env python3
# Runs two commands alternately (A B A B ...) on the same data and prints the median
# ratio A/B of their cpu time and of their wall time. The machines are shared and
# noisy, so only ratios taken in the same run mean something.
#
#   alternate.py [--runs N] [--target R] [--prepare CMD] NAME_A CMD_A NAME_B CMD_B
#
# Each command runs through /bin/sh with TZ=UTC LC_ALL=C and its output thrown away;
# --prepare runs untimed before every timed run (for example to remove a copy made by
# the previous one). A first untimed run of each warms the cache.
import argparse
import os
import statistics
import subprocess
import sys
import time

parser = argparse.ArgumentParser()
parser.add_argument("--runs", type=int, default=5)
parser.add_argument("--target", type=float, default=None, help="largest wall ratio allowed")
parser.add_argument("--prepare", default=None)
parser.add_argument("name_a")
parser.add_argument("command_a")
parser.add_argument("name_b")
parser.add_argument("command_b")
args = parser.parse_args()

environment = dict(os.environ, TZ="UTC", LC_ALL="C")


def run(command):
    if args.prepare:
        subprocess.run(args.prepare, shell=True, env=environment, check=True)
    start = time.monotonic()
    process = subprocess.Popen(command, shell=True, env=environment,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(process.pid, 0)
    wall = time.monotonic() - start
    return wall, usage.ru_utime + usage.ru_stime


run(args.command_a)
run(args.command_b)
samples = {"a": [], "b": []}
for _ in range(args.runs):
    samples["a"].append(run(args.command_a))
    samples["b"].append(run(args.command_b))

wall_ratios = [a[0] / b[0] for a, b in zip(samples["a"], samples["b"]) if b[0] > 0]
cpu_ratios = [a[1] / b[1] for a, b in zip(samples["a"], samples["b"]) if b[1] > 0]
for key, name in (("a", args.name_a), ("b", args.name_b)):
    print("%-10s wall %8.3f s  cpu %8.3f s  (medians of %d)" % (
        name, statistics.median(s[0] for s in samples[key]),
        statistics.median(s[1] for s in samples[key]), args.runs))
wall_ratio = statistics.median(wall_ratios)
cpu_ratio = statistics.median(cpu_ratios) if cpu_ratios else float("nan")
verdict = ""
if args.target is not None:
    verdict = "  target %.2f: %s" % (args.target, "met" if wall_ratio <= args.target else "NOT met")
print("ratio %s/%s: wall %.2f, cpu %.2f%s" % (args.name_a, args.name_b, wall_ratio, cpu_ratio, verdict))
sys.stdout.flush()
