"""Timing and peak memory of programs, for bench/run.sh.

  measure.py BUILD ROUNDS RAYCTL EMPTY WINDOW DIALOG
      under Wine ($WINE): `RAYCTL /K` (A) against EMPTY (B), WINDOW (C)
      and DIALOG (D), one run of each per round, the order rotating from
      round to round; BUILD (x64, i686) names the build in the A/D line
  measure.py --native RUNS EXE    wall time of EXE, RUNS times

Wall time is taken around the whole Wine start of the program (loader,
process, program, exit). Peak memory is the maximum resident set of that
process as the kernel reports it to wait4 (ru_maxrss): Wine runs the
Windows program inside the process it starts, so this is the program plus
Wine's own DLLs; the difference between the two programs is ours.

D shows the same dialog from the same resource script, minimized, and
ends: the least any program pays to put that window on the screen, so A/D
is what rayctl.exe itself adds to an unattended run.
"""
import os
import statistics
import subprocess
import sys
import time


def run(command):
    """(seconds, peak resident KiB, exit status) of one run."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    return seconds, usage.ru_maxrss, child.returncode


def milliseconds(values):
    return "median %.1f ms (min %.1f, max %.1f)" % (
        1000 * statistics.median(values), 1000 * min(values), 1000 * max(values))


def wine(build, rounds, rayctl, empty, window, dialog):
    wine_loader = os.environ["WINE"]
    programs = [
        ("A rayctl.exe /K (message 53)", [wine_loader, rayctl, "/K"]),
        ("B empty program", [wine_loader, empty]),
        ("C one-window program", [wine_loader, window]),
        ("D same-dialog program", [wine_loader, dialog]),
    ]
    # Warm-up: the first GUI program starts Wine's desktop process, and the
    # page cache fills.
    for _ in range(3):
        for _, command in programs:
            run(command)
    times = [[] for _ in programs]
    memory = [[] for _ in programs]
    ratios_ab, ratios_ac, ratios_ad = [], [], []
    failures = 0
    for round_number in range(rounds):
        # Each round starts with the next program, so drift and cache effects
        # fall on all of them alike.
        results = [None] * len(programs)
        for step in range(len(programs)):
            index = (round_number + step) % len(programs)
            results[index] = run(programs[index][1])
        for index, (seconds, peak, status) in enumerate(results):
            times[index].append(seconds)
            memory[index].append(peak)
            if status != 0:
                failures += 1
        ratios_ab.append(results[0][0] / results[1][0])
        ratios_ac.append(results[0][0] / results[2][0])
        ratios_ad.append(results[0][0] / results[3][0])
    print("Under Wine, %d rounds, order rotating:" % rounds)
    for index, (name, _) in enumerate(programs):
        print("  %-30s %s; peak resident %d KiB (max %d)" % (
            name + ":", milliseconds(times[index]), statistics.median(memory[index]), max(memory[index])))
    print("  ratio A/B: median %.3f (min %.3f, max %.3f): rayctl against a program that does nothing" % (
        statistics.median(ratios_ab), min(ratios_ab), max(ratios_ab)))
    print("  ratio A/C: median %.3f (min %.3f, max %.3f): rayctl against Wine's cost of a first window" % (
        statistics.median(ratios_ac), min(ratios_ac), max(ratios_ac)))
    print("  ratio A/D: median %.3f (min %.3f, max %.3f): rayctl against the same dialog shown; goal <= 1.10" % (
        statistics.median(ratios_ad), min(ratios_ad), max(ratios_ad)))
    print("  peak memory is ru_maxrss of the Wine process (program and Wine's DLLs); A - B %+d KiB, A - C %+d KiB,"
          " A - D %+d KiB" % (statistics.median(memory[0]) - statistics.median(memory[1]),
                              statistics.median(memory[0]) - statistics.median(memory[2]),
                              statistics.median(memory[0]) - statistics.median(memory[3])))
    print("%s: /K to same-dialog program: %.2f" % (build, statistics.median(ratios_ad)))
    if failures:
        print("  %d runs ended with a non-zero exit status" % failures)
        return 1
    return 0


def native(runs, program):
    times, memory = [], []
    for _ in range(runs):
        seconds, peak, status = run([program])
        if status != 0:
            print("%s ended with %d" % (program, status))
            return 1
        times.append(seconds)
        memory.append(peak)
    print("Native unit suite (%s, %d runs): %s, peak %d KiB" % (
        os.path.basename(program), runs, milliseconds(times), max(memory)))
    return 0


def main(argv):
    if len(argv) == 3 and argv[0] == "--native":
        return native(int(argv[1]), argv[2])
    if len(argv) == 6:
        return wine(argv[0], int(argv[1]), *argv[2:])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
