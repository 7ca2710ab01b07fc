#!/usr/bin/env python3
"""Plants the faults of faults.txt one at a time and sees whether the test suite notices.

Run by hand, never by CI. For a git revision (HEAD by default) it extracts the sources
into a scratch directory outside the repository, configures one plain build there
(-O1, no sanitizers, tests on), builds it once and runs the suite once to learn which
tests fail without any fault (those are left out of every later run). Then, for each
fault: the fault is applied, the build brought up to date, the whole suite run with
--stop-on-failure and a per-test timeout, the outcome recorded (caught, missed or does
not build) and the file restored. The repository's own working tree is never touched.

    tests/mutation/plant_faults.py results.md                 # every fault
    tests/mutation/plant_faults.py results.md --only copy. --only update.
    tests/mutation/plant_faults.py results.md --build-only    # does every fault build?
"""
import argparse
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
FAULT_LIST = HERE / "faults.txt"
PLANTED_MARK = ".planted-fault"   # names the file that holds a fault, while it does
REVISION_MARK = ".revision"


class Fault:
    def __init__(self, ident, path):
        self.ident, self.path = ident, path
        self.area = ident.split(".")[0]
        self.what = ""
        self.original, self.replacement = [], []


def read_faults(path):
    faults = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("- ") or line == "-":
            faults[-1].original.append(line[2:])
        elif line.startswith("+ ") or line == "+":
            faults[-1].replacement.append(line[2:])
        elif line.startswith("  "):
            faults[-1].what = line.strip()
        else:
            fields = line.split()
            if len(fields) != 2:
                sys.exit(f"{path}:{number}: expected 'ID FILE', got {line!r}")
            faults.append(Fault(*fields))
    for fault in faults:
        if not fault.original or not fault.replacement or not fault.what:
            sys.exit(f"{path}: fault {fault.ident} lacks its description, original or replacement")
    identifiers = [fault.ident for fault in faults]
    duplicates = {i for i in identifiers if identifiers.count(i) > 1}
    if duplicates:
        sys.exit(f"{path}: ids given twice: {', '.join(sorted(duplicates))}")
    return faults


def run(command, log=None):
    """Runs a command in a session of its own, so that an interruption ends all it started
    (make's compilers, ctest's tests). Returns its exit code and output (None with a log)."""
    with open(log or os.devnull, "w") as out:
        child = subprocess.Popen(command, stdout=subprocess.PIPE if log is None else out, stderr=subprocess.STDOUT,
                                 text=True, errors="replace", start_new_session=True)
        try:
            output = child.communicate()[0]
        except BaseException:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()
            raise
    return child.returncode, output


def git(repository, *arguments):
    result = subprocess.run(["git", "-C", str(repository), *arguments], stdout=subprocess.PIPE, check=True)
    return result.stdout


def planted_text(fault, source):
    """The file's text with the fault in it; exits when the original is missing or not unique."""
    original, replacement = "\n".join(fault.original), "\n".join(fault.replacement)
    count = source.count(original)
    if count != 1:
        sys.exit(f"fault {fault.ident}: its original text occurs {count} times in {fault.path}, not once")
    return source.replace(original, replacement)


def prepare_scratch(repository, revision, scratch):
    """Extracts the revision into the scratch directory, or reuses one made for it."""
    if scratch.resolve().is_relative_to(repository.resolve()):
        sys.exit(f"the scratch directory {scratch} must lie outside the repository")
    mark = scratch / REVISION_MARK
    if scratch.exists() and (not mark.exists() or mark.read_text() != revision):
        sys.exit(f"{scratch} exists and was not made for {revision}: remove it or choose another --scratch")
    if not scratch.exists():
        scratch.mkdir(parents=True)
        archive = subprocess.Popen(["git", "-C", str(repository), "archive", revision], stdout=subprocess.PIPE)
        subprocess.run(["tar", "-x", "-C", str(scratch)], stdin=archive.stdout, check=True)
        if archive.wait() != 0:
            sys.exit(f"git archive {revision} failed")
        mark.write_text(revision)
    # A run that was killed outright may have left its fault in place.
    planted = scratch / PLANTED_MARK
    if planted.exists():
        name = planted.read_text()
        (scratch / name).write_bytes(git(repository, "show", f"{revision}:{name}"))
        planted.unlink()


def configure_and_build(scratch, build):
    flags = "-O1 -DNDEBUG"
    result = run(["cmake", "-S", str(scratch), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                  f"-DCMAKE_CXX_FLAGS_RELWITHDEBINFO={flags}", "-DORVA_SANITIZE=OFF", "-DORVA_TESTS=ON"],
                 log=build.parent / "configure.log")
    if result[0] != 0 or not build_tree(build):
        sys.exit(f"the unchanged sources do not build: see {build.parent}")


def build_tree(build):
    return run(["cmake", "--build", str(build), "-j2"], log=build.parent / "build.log")[0] == 0


FAILED_LINE = re.compile(r"Test\s+#\d+: (.+?)\s*\.*\s*\*\*\*")


def run_suite(build, timeout, excluded, stop_on_failure, only=None):
    """Runs ctest (or the one test named by only); returns the failing tests in the
    order ctest reported them."""
    command = ["ctest", "--test-dir", str(build), "-j2", "--timeout", str(timeout), "--no-tests=error"]
    if stop_on_failure:
        command.append("--stop-on-failure")
    if only:
        command += ["-R", "^" + re.escape(only) + "$"]
    if excluded:
        command += ["-E", "|".join("^" + re.escape(name) + "$" for name in excluded)]
    code, output = run(command)
    failed = FAILED_LINE.findall(output)
    if code != 0 and not failed:
        failed = [f"(ctest exit {code}, no test named)"]
    return failed


def first_confirmed_failure(build, timeout, excluded, flaky):
    """The first failing test of a suite run that also fails twice when run alone. A
    test that passes alone on the same build failed by chance: it is left out from then
    on (flaky keeps it) and the suite runs again."""
    while True:
        failed = run_suite(build, timeout, excluded + sorted(flaky), True)
        if not failed:
            return None
        first = failed[0]
        if first.startswith("(") or all(run_suite(build, timeout, [], False, first) for _ in range(2)):
            return first
        flaky.add(first)


def try_fault(fault, scratch, build, timeout, excluded, flaky, build_only):
    """Applies the fault, builds, runs the suite, restores. Returns (outcome, first failing test)."""
    target = scratch / fault.path
    source = target.read_text(encoding="utf-8")
    planted = planted_text(fault, source)
    (scratch / PLANTED_MARK).write_text(fault.path)
    try:
        target.write_text(planted, encoding="utf-8")
        if not build_tree(build):
            return "does not build", ""
        if build_only:
            return "builds", ""
        first = first_confirmed_failure(build, timeout, excluded, flaky)
        return ("caught", first) if first else ("missed", "")
    finally:
        target.write_text(source, encoding="utf-8")
        (scratch / PLANTED_MARK).unlink()


def write_results(path, header, rows, counts):
    lines = header + ["", "| id | area | file | outcome | first failing test | what it breaks |",
                      "| --- | --- | --- | --- | --- | --- |"]
    for fault, outcome, test in rows:
        lines.append(f"| `{fault.ident}` | {fault.area} | `{fault.path}` | {outcome} | {test and f'`{test}`'} "
                     f"| {fault.what} |")
    lines += ["", "Counts: " + ", ".join(f"{outcome} {number}" for outcome, number in counts.items()), ""]
    Path(path).write_text("\n".join(lines))


def stop_by_signal(number, frame):
    raise KeyboardInterrupt


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("results", help="the Markdown file the results are written to")
    parser.add_argument("--revision", default="HEAD", help="the git revision to plant the faults in")
    parser.add_argument("--only", action="append", default=[], metavar="PREFIX",
                        help="only the faults whose id begins so (may be given more than once)")
    parser.add_argument("--build-only", action="store_true", help="check that each fault builds; run no test")
    parser.add_argument("--scratch", help="the scratch directory (default /tmp/orva-mutation-REVISION)")
    parser.add_argument("--timeout", type=int, default=120, help="seconds a single test may take")
    arguments = parser.parse_args()
    # Set for SIGINT too: a run started in the background inherits it ignored.
    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, stop_by_signal)

    repository = Path(git(HERE, "rev-parse", "--show-toplevel").decode().strip())
    revision = git(repository, "rev-parse", "--verify", arguments.revision + "^{commit}").decode().strip()
    faults = read_faults(FAULT_LIST)
    chosen = [f for f in faults if not arguments.only or any(f.ident.startswith(p) for p in arguments.only)]
    if not chosen:
        sys.exit("no fault has an id with the given prefixes")
    scratch = Path(arguments.scratch or f"/tmp/orva-mutation-{revision[:12]}")
    prepare_scratch(repository, revision, scratch)
    # Every fault is checked against the sources before any is planted.
    for fault in chosen:
        planted_text(fault, (scratch / fault.path).read_text(encoding="utf-8"))

    started = time.monotonic()
    build = scratch / "build"
    print(f"building {revision[:12]} in {scratch}", flush=True)
    try:
        configure_and_build(scratch, build)
    except KeyboardInterrupt:
        sys.exit("interrupted while building the unchanged sources")
    excluded = [] if arguments.build_only else run_suite(build, arguments.timeout, [], False)
    if excluded:
        print("failing without any fault, left out of every run: " + ", ".join(excluded), flush=True)
    header = [f"# Planted faults: {'build check' if arguments.build_only else 'results'}", "",
              f"Revision `{revision}`, {time.strftime('%Y-%m-%d %H:%M %Z')}. One build (RelWithDebInfo at -O1, "
              f"no sanitizers); per fault: `ctest --stop-on-failure -j2 --timeout {arguments.timeout}`.",
              "", "Failing without any fault, and so left out of every run: "
              + (", ".join(f"`{name}`" for name in excluded) or "none") + "."]
    rows, counts, flaky = [], {}, set()
    try:
        for index, fault in enumerate(chosen, 1):
            began = time.monotonic()
            outcome, test = try_fault(fault, scratch, build, arguments.timeout, excluded, flaky,
                                      arguments.build_only)
            rows.append((fault, outcome, test))
            counts[outcome] = counts.get(outcome, 0) + 1
            print(f"[{index}/{len(chosen)}] {fault.ident}: {outcome} {test} ({time.monotonic() - began:.0f} s)",
                  flush=True)
            write_results(arguments.results, header, rows, counts)
    except KeyboardInterrupt:
        print("interrupted: the file of the fault in place is restored", flush=True)
        header.append("\nInterrupted before the last faults.")
    header.append("\nFailed in a run and passed twice alone on the same build, so left out from then on: "
                  + (", ".join(f"`{name}`" for name in sorted(flaky)) or "none") + ".")
    minutes = (time.monotonic() - started) / 60
    header[2] += f" The run took {minutes:.0f} minutes."
    write_results(arguments.results, header, rows, counts)
    print(f"{len(rows)} faults in {minutes:.0f} minutes: " + ", ".join(f"{o} {n}" for o, n in counts.items()))
    return 1 if counts.get("does not build") else 0


if __name__ == "__main__":
    sys.exit(main())
