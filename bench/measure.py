"""Timing and peak memory of programs, for bench/run.sh.

  measure.py PAIRS RAYCTL EMPTY   under Wine ($WINE): `RAYCTL /K` against
                                  EMPTY, alternating A/B in PAIRS pairs
  measure.py --native RUNS EXE    wall time of EXE, RUNS times

Wall time is taken around the whole Wine start of the program (loader,
process, program, exit). Peak memory is the maximum resident set of that
process as the kernel reports it to wait4 (ru_maxrss): Wine runs the
Windows program inside the process it starts, so this is the program plus
Wine's own DLLs; the difference between the two programs is ours.
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


def wine(pairs, rayctl, empty):
    wine_loader = os.environ["WINE"]
    program_a = [wine_loader, rayctl, "/K"]
    program_b = [wine_loader, empty]
    # Warm-up: the first GUI program starts Wine's desktop process, and the
    # page cache fills.
    for _ in range(3):
        run(program_a)
        run(program_b)
    times_a, times_b, ratios, memory_a, memory_b = [], [], [], [], []
    failures = 0
    for pair in range(pairs):
        # Alternate which goes first, so drift and cache effects fall on both.
        if pair % 2 == 0:
            a, b = run(program_a), run(program_b)
        else:
            b, a = run(program_b), run(program_a)
        if a[2] != 0 or b[2] != 0:
            failures += 1
        times_a.append(a[0])
        times_b.append(b[0])
        ratios.append(a[0] / b[0])
        memory_a.append(a[1])
        memory_b.append(b[1])
    print("Under Wine, %d pairs A/B alternating:" % pairs)
    print("  A rayctl.exe /K (message 53): %s" % milliseconds(times_a))
    print("  B empty program:              %s" % milliseconds(times_b))
    print("  ratio A/B: median %.3f (min %.3f, max %.3f); goal <= 1.10" % (
        statistics.median(ratios), min(ratios), max(ratios)))
    print("  peak resident memory (ru_maxrss of the Wine process): A median %d KiB (max %d),"
          " B median %d KiB (max %d), A - B %+d KiB" % (
              statistics.median(memory_a), max(memory_a), statistics.median(memory_b), max(memory_b),
              statistics.median(memory_a) - statistics.median(memory_b)))
    if failures:
        print("  %d pairs had a non-zero exit status" % failures)
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
    if len(argv) == 3:
        return wine(int(argv[0]), argv[1], argv[2])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
