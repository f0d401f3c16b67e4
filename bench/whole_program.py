#!/usr/bin/env python3
"""Whole-program benchmark: 3dpoint (default and buffered output) against a
straightforward C++ converter and against the one-write-per-record floor,
all measured in one run on the same point list. Prints ratios, peak memory
and the growth from 100 thousand to one million points.

usage: bench/whole_program.py BUILD_DIR [--points N] [--repeat K] [--before PROGRAM]

With --before, an earlier build of 3dpoint runs in the same round robin, so
before/after ratios come from one run.
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time


def make_point_list(path, points, seed=20261207):
    rng = random.Random(seed)
    with open(path, "w") as f:
        f.write("%d\n" % points)
        for _ in range(points):
            f.write(" ".join("%.*f" % (rng.randint(1, 3), rng.uniform(-50000, 50000)) for _ in range(3)))
            f.write("\n")


PEAK_MEMORY = None  # the bench/peak_memory tool of the build


def run(command, directory, env=None):
    """Wall time in seconds and peak resident memory in KiB of one run."""
    peak_file = os.path.join(directory, "peak_kib")
    os.sync()  # no run pays for the write-back of the one before
    start = time.perf_counter()
    status = subprocess.call([PEAK_MEMORY, peak_file] + command, cwd=directory, env=env, stdout=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit("%s failed with %d" % (command, status))
    with open(peak_file) as f:
        return elapsed, int(f.read())


def measure(build, points, repeat, work, before=None):
    directory = os.path.join(work, "p%d" % points)
    os.makedirs(directory, exist_ok=True)
    make_point_list(os.path.join(directory, "input.txt"), points)
    program = [os.path.join(build, "3dpoint")]
    env = {k: v for k, v in os.environ.items() if not k.startswith(("FOR", "TBK"))}
    buffered_env = dict(env, FORT_BUFFERED="y")

    def output():
        with open(os.path.join(directory, "3dpoint.dxf"), "rb") as f:
            return f.read()

    # The yardsticks need a finished output file: ours, checked first.
    run(program, directory, buffered_env)
    ours = output()
    run(program, directory, env)
    if output() != ours:
        sys.exit("default and buffered output differ")
    run([os.path.join(build, "bench", "baseline_converter")], directory)
    if output() != ours:
        sys.exit("the C++ converter's output differs from ours")
    reference = os.path.join(work, "reference.dxf")
    with open(reference, "wb") as f:
        f.write(ours)
    os.sync()

    commands = {
        "3dpoint buffered": (program, buffered_env),
        "3dpoint default": (program, env),
        "C++ converter": ([os.path.join(build, "bench", "baseline_converter")], None),
        "write floor": ([os.path.join(build, "bench", "record_write_floor"), reference,
                         os.path.join(directory, "floor.dxf")], None),
    }
    if before:
        commands["before buffered"] = ([before], buffered_env)
        commands["before default"] = ([before], env)
    # Round robin, median of each: a slow moment of the machine hits every
    # command alike instead of all the runs of one.
    runs = {name: [] for name in commands}
    for _ in range(repeat):
        for name, (command, command_env) in commands.items():
            runs[name].append(run(command, directory, command_env))
            if name.startswith("before") and output() != ours:
                sys.exit("the earlier build's output differs from ours")
    return {name: (statistics.median(t for t, _ in r), max(m for _, m in r)) for name, r in runs.items()}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--before", help="an earlier 3dpoint to compare in the same run")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    global PEAK_MEMORY
    PEAK_MEMORY = os.path.join(args.build, "bench", "peak_memory")
    with tempfile.TemporaryDirectory(prefix="3dpoint-bench-") as work:
        before = os.path.abspath(args.before) if args.before else None
        small = measure(args.build, args.points // 10, args.repeat, work, before)
        large = measure(args.build, args.points, args.repeat, work, before)
    print("%-20s %12s %12s %14s" % ("", "%d pts (s)" % (args.points // 10), "%d pts (s)" % args.points, "peak MiB"))
    for name in large:
        print("%-20s %12.3f %12.3f %14.1f" % (name, small[name][0], large[name][0], large[name][1] / 1024))
    t = {k: v[0] for k, v in large.items()}
    budget = (12 * args.points + 4 * 2**20) / 2**20
    print()
    print("medians of %d interleaved runs" % args.repeat)
    print("buffered / C++ converter:   %.2f  (target <= 0.75)" % (t["3dpoint buffered"] / t["C++ converter"]))
    print("default / write floor:      %.2f  (target <= 1.05; %d pts: %.2f)" % (
        t["3dpoint default"] / t["write floor"], args.points // 10,
        small["3dpoint default"][0] / small["write floor"][0]))
    if args.before:
        print("buffered now / before:      %.2f" % (t["3dpoint buffered"] / t["before buffered"]))
        print("default now / before:       %.2f" % (t["3dpoint default"] / t["before default"]))
    print("peak memory, buffered:      %.1f MiB (budget %.1f MiB)" % (large["3dpoint buffered"][1] / 1024, budget))
    print("peak memory, default:       %.1f MiB" % (large["3dpoint default"][1] / 1024))
    for name in ("3dpoint buffered", "3dpoint default"):
        print("growth x10 points, %-9s %.2f x time" % (name.split()[1] + ":", large[name][0] / small[name][0]))


if __name__ == "__main__":
    main()
