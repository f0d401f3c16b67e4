#!/usr/bin/env python3
"""The latency of a console event: the time from control-C (SIGINT; under
Wine, which turns it into the console event) to the end of the process,
for events sent at random moments in the middle of long runs, in both output
modes. The promise: a fraction of a second, typically under 0.1 s on Linux
and under 0.5 s under Wine. Absolute figures: run it on a quiet machine.

usage: bench/console_event_latency.py "PROGRAM ..." [--points N] [--runs K]

PROGRAM is a command: build/bench/3dpoint, or
"wine build/win32/3dpoint.exe" (with WINEPREFIX set as the win32 preset sets it).
"""
import argparse
import os
import random
import shlex
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from whole_program import make_point_list  # noqa: E402

# Events go to a moment between these fractions of an undisturbed run: past
# start-up (which under Wine is a good part of a run), well before the end.
WINDOW = (0.3, 0.6)


def environment(extra):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("FOR", "TBK"))}
    env.update(TDP_NO_PROGRESS="1", WINEDEBUG="-all", **extra)
    return env


def undisturbed(program, directory, env):
    """The median time of three whole runs."""
    times = []
    for _ in range(3):
        start = time.monotonic()
        status = subprocess.call(program, cwd=directory, env=env, stdout=subprocess.DEVNULL)
        times.append(time.monotonic() - start)
        if status != 0:
            sys.exit("%s failed with %d" % (program, status))
    return statistics.median(times)


def interrupted(program, directory, env, moment):
    """Seconds from the event to the end of the process, and its status."""
    process = subprocess.Popen(program, cwd=directory, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(moment)
    sent = time.monotonic()
    process.send_signal(signal.SIGINT)
    status = process.wait()
    return time.monotonic() - sent, status


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("program")
    parser.add_argument("--points", type=int, default=0, help="default: 200 000, 600 000 under Wine")
    parser.add_argument("--runs", type=int, default=30, help="interrupted runs per mode")
    args = parser.parse_args()
    program = shlex.split(args.program)
    program[-1] = os.path.abspath(program[-1]) if os.path.exists(program[-1]) else program[-1]
    windows = program[-1].lower().endswith(".exe")
    points = args.points or (600000 if windows else 200000)

    work = tempfile.mkdtemp(prefix="3dpoint-latency-")
    try:
        make_point_list(os.path.join(work, "input.txt"), points)
        rng = random.Random(points)
        print("%s, %d points, %d interrupted runs per mode, events at %.0f%% to %.0f%% of a run"
              % (" ".join(program), points, args.runs, WINDOW[0] * 100, WINDOW[1] * 100))
        for name, extra in (("one write per record", {}), ("buffered", {"FORT_BUFFERED": "y"})):
            env = environment(extra)
            whole = undisturbed(program, work, env)
            latencies = []
            missed = 0
            for _ in range(args.runs):
                latency, status = interrupted(program, work, env, whole * rng.uniform(*WINDOW))
                if status == 200:
                    latencies.append(latency)
                else:
                    missed += 1  # the run was over first, or the event was not acted on
            if not latencies:
                sys.exit("%s: no run ended by the event" % name)
            print("%-21s undisturbed run %.3f s; event to end: median %.1f ms, 90th percentile %.1f ms, "
                  "longest %.1f ms%s" % (name, whole, statistics.median(latencies) * 1000,
                                         percentile(latencies, 0.9) * 1000, max(latencies) * 1000,
                                         "; %d runs not ended by the event" % missed if missed else ""))
    finally:
        shutil.rmtree(work, True)


if __name__ == "__main__":
    main()
