#!/usr/bin/env python3
"""Mutation run over the shipped portable code (`make mutate`).

One small change at a time goes into a private copy of the sources under
build/mutate/src; the native unit tests are rebuilt there (only that target,
incrementally) and run with a time limit. A change that leaves every test
passing is a survivor: either a gap in the tests, or a change no test could
ever observe, which tools/mutate-equivalent.txt then names with a reason.

The working tree is never written: a run can go on while the sources are
edited, and an interrupted run leaves nothing behind but the copy, which the
next run refreshes (the copy's mutated file is restored on any exit too).

Usage: tools/mutate.py [--only PATH-SUBSTRING] [--list] [--jobs N]
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from mutants import scan_file  # noqa: E402  (beside this script)

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "mutate"
COPY = WORK / "src"
TREE = WORK / "tree"
EQUIVALENT_FILE = ROOT / "tools" / "mutate-equivalent.txt"

# The shipped code that builds and is tested natively.
TARGET_GLOBS = ["driver/*.cpp", "driver/*.h", "maintenance/*.cpp", "maintenance/*.h", "shell/logic/*.cpp",
                "shell/logic/*.h", "platform/*.cpp", "platform/*.h"]
# The native stand-in for <windows.h>: its values are Windows', not ours.
SKIP_FILES = {"platform/WinTypes.h"}
# What the copy needs to configure and build the unit tests.
COPY_DIRS = ["CMakeLists.txt", "cmake", "platform", "driver", "maintenance", "shell", "tests", "resources",
             "framework", "tools"]
LIB_TARGETS = ["raylet_platform", "raylet_driver", "raylet_maintenance", "raylet_shell_logic"]
TEST_TARGET = "raylet_unit_tests"
BUILD_TIMEOUT = 600
RUN_TIMEOUT = 5

# ---------------------------------------------------------------- equivalents


def read_equivalents():
    """{(path, description): reason} from the checked-in list, whose lines
    read `path: description -- reason`."""
    known = {}
    if not EQUIVALENT_FILE.exists():
        return known
    for number, raw in enumerate(EQUIVALENT_FILE.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        path, _, rest = line.partition(": ")
        description, _, reason = rest.rpartition(" -- ")
        if not path or not description or not reason:
            sys.exit(f"{EQUIVALENT_FILE.name}:{number}: want 'path: description -- reason'")
        known[(path, description)] = reason
    return known


# ---------------------------------------------------------------- building and running


def sync_copy():
    """Brings build/mutate/src up to date with the working tree, touching only
    files whose content differs, so the tree builds incrementally."""
    wanted = set()
    for top in COPY_DIRS:
        src = ROOT / top
        paths = [src] if src.is_file() else [p for p in src.rglob("*") if p.is_file()]
        for path in paths:
            rel = path.relative_to(ROOT)
            wanted.add(rel)
            dst = COPY / rel
            if dst.exists() and dst.read_bytes() == path.read_bytes():
                continue
            dst.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(path, dst)
    for path in list(COPY.rglob("*")):
        if path.is_file() and path.relative_to(COPY) not in wanted:
            path.unlink()


def configure():
    flags = ["-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS_DEBUG=-O0", "-DRAYLET_WINE_TESTS=OFF",
             # Discovery at build time would run a mutant that hangs.
             "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST"]
    if shutil.which("ld.lld"):
        flags.append("-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld")
    # Ninja decides what to rebuild far faster than make, which counts here.
    if shutil.which("ninja") and not (TREE / "Makefile").exists():
        flags += ["-G", "Ninja"]
    subprocess.run(["cmake", "-S", str(COPY), "-B", str(TREE), *flags], check=True, stdout=subprocess.DEVNULL)


def build(targets, jobs):
    """'ok', 'failed' or 'timeout'."""
    try:
        result = subprocess.run(["cmake", "--build", str(TREE), "-j", str(jobs), "--target", *targets],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=BUILD_TIMEOUT)
    except subprocess.TimeoutExpired:
        return "timeout"
    return "ok" if result.returncode == 0 else "failed"


def run_tests(limit):
    """'passed', 'failed' or 'timeout'."""
    binary = TREE / "tests" / "unit" / TEST_TARGET
    try:
        result = subprocess.run([str(binary), "--gtest_brief=1", "--gtest_fail_fast"], cwd=binary.parent,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=limit,
                                start_new_session=True)
    except subprocess.TimeoutExpired:
        return "timeout"
    return "passed" if result.returncode == 0 else "failed"


class Restorer:
    """Puts the copy's file back however the run ends (Ctrl-C included)."""

    def __init__(self):
        self.path = None
        self.original = None

    def write(self, path, original, mutated):
        self.path, self.original = path, original
        path.write_text(mutated, encoding="utf-8")

    def restore(self):
        if self.path is not None:
            self.path.write_text(self.original, encoding="utf-8")
            self.path = None


def collect(only):
    mutants = []
    for pattern in TARGET_GLOBS:
        for path in sorted(ROOT.glob(pattern)):
            rel = path.relative_to(ROOT).as_posix()
            if rel in SKIP_FILES or (only and only not in rel):
                continue
            mutants.extend(scan_file(rel, path.read_text(encoding="utf-8")))
    # Sources before headers: a header change rebuilds much more.
    mutants.sort(key=lambda m: (m.path.endswith(".h"), m.path, m.line))
    return mutants


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", help="only files whose path contains this text")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--jobs", type=int, default=int(os.environ.get("JOBS", "2")))
    args = parser.parse_args()

    mutants = collect(args.only)
    equivalents = read_equivalents()
    if args.list:
        for m in mutants:
            print(f"{m.path}:{m.line}: {m.description}")
        print(f"{len(mutants)} mutants")
        return 0

    started = time.monotonic()
    WORK.mkdir(parents=True, exist_ok=True)
    sync_copy()
    configure()
    if build(LIB_TARGETS + [TEST_TARGET], args.jobs) != "ok":
        sys.exit("mutate: the unmutated tree does not build")
    # The unmutated run both proves the suite passes and sets the time limit.
    base_start = time.monotonic()
    if run_tests(120) != "passed":
        sys.exit("mutate: the unmutated tree does not pass its unit tests")
    limit = max(RUN_TIMEOUT, 50 * (time.monotonic() - base_start))

    restorer = Restorer()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    results = {"killed": [], "survived": [], "equivalent": [], "timeout": [], "build-failure": []}
    seen_equivalents = set()
    try:
        for number, m in enumerate(mutants, 1):
            target = COPY / m.path
            original = target.read_text(encoding="utf-8")
            mutated = "\n".join(m.apply(original.split("\n")))
            restorer.write(target, original, mutated)
            built = build([TEST_TARGET], args.jobs)
            if built == "failed":
                # The shipped code itself does not build, or a compile-time
                # check of the tests caught the change.
                outcome = "build-failure" if build(LIB_TARGETS, args.jobs) != "ok" else "killed"
            elif built == "timeout":
                outcome = "timeout"
            else:
                ran = run_tests(limit)
                outcome = {"failed": "killed", "timeout": "timeout", "passed": "survived"}[ran]
            restorer.restore()
            key = (m.path, m.description)
            if outcome == "survived" and key in equivalents:
                outcome = "equivalent"
                seen_equivalents.add(key)
            results[outcome].append(m)
            print(f"[{number}/{len(mutants)}] {outcome:13} {m.path}:{m.line}: {m.description}", flush=True)
    except KeyboardInterrupt:
        print("\nmutate: interrupted", file=sys.stderr)
        return 130
    finally:
        restorer.restore()

    elapsed = time.monotonic() - started
    print()
    for m in results["survived"]:
        print(f"SURVIVED {m.path}:{m.line}: {m.description}")
    for m in results["equivalent"]:
        print(f"equivalent {m.path}:{m.line}: {m.description} -- {equivalents[(m.path, m.description)]}")
    for m in results["timeout"]:
        print(f"timeout {m.path}:{m.line}: {m.description}")
    stale = [k for k in equivalents if k not in seen_equivalents and (not args.only or args.only in k[0])]
    for path, description in stale:
        print(f"stale equivalent entry (no such surviving change): {path} | {description}")

    killed = len(results["killed"]) + len(results["timeout"])
    scored = killed + len(results["survived"])
    score = 100.0 * killed / scored if scored else 100.0
    print(f"\n{len(mutants)} mutants: {len(results['killed'])} killed, {len(results['timeout'])} timed out "
          f"(counted as killed), {len(results['survived'])} survived, {len(results['equivalent'])} equivalent, "
          f"{len(results['build-failure'])} did not build")
    print(f"score {score:.1f}% of {scored} non-equivalent mutants killed; {elapsed / 60:.1f} min")
    return 0 if score >= 95.0 else 1


if __name__ == "__main__":
    sys.exit(main())
