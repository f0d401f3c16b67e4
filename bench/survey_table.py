#!/usr/bin/env python3
"""Survey-table benchmark: a point table of N points (no count line) through
the survey options against the classic buffered run of the same points as a
point list, all in one interleaved run. Prints medians, the ratios per point,
and each run's peak memory against the budget of 24 bytes per point + 4 MiB.

With --before, an earlier build of 3dpoint runs the same commands in the same
round robin, and the ratios of each command to its earlier self are printed.

usage: bench/survey_table.py BUILD_DIR [--points N] [--repeat K] [--before PROGRAM]
"""
import argparse
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile
import time


def make_inputs(directory, points, seed=20261207):
    """The same points as a classic list, an xyz table and a PNEZD table with a header."""
    rng = random.Random(seed)
    codes = ["TREE", "FENCE", "WALL", "MH", "EP", ""]
    with open(os.path.join(directory, "list.txt"), "w") as classic, \
            open(os.path.join(directory, "table.xyz"), "w") as xyz, \
            open(os.path.join(directory, "table.csv"), "w") as pnezd, \
            open(os.path.join(directory, "coded.csv"), "w") as coded:
        classic.write("%d\n" % points)
        pnezd.write("Point,Northing,Easting,Elevation,Description\n")
        coded.write("Point,Northing,Easting,Elevation,Description\n")
        for i in range(1, points + 1):
            e = "%.3f" % rng.uniform(300000, 310000)
            n = "%.3f" % rng.uniform(4500000, 4510000)
            z = "%.3f" % rng.uniform(0, 500)
            classic.write("%s %s %s\n" % (e, n, z))
            xyz.write("%s %s %s\n" % (e, n, z))
            pnezd.write("%d,%s,%s,%s,%s\n" % (i, n, e, z, codes[i % len(codes)]))
            # 100 strings of points shot in turn, each begun once.
            string = i % 100
            coded.write("%d,%s,%s,%s,L%d%s\n" % (i, n, e, z, string, " B" if i <= 100 else ""))


def run(peak_tool, command, directory, env):
    """Wall time and processor time (user + system) in seconds, and peak
    resident memory in KiB, of one run. The wall time also holds the wait for
    the file system, which on a busy machine varies more than the work."""
    peak_file = os.path.join(directory, "peak_kib")
    os.sync()  # no run pays for the write-back of the one before
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    status = subprocess.call([peak_tool, peak_file] + command, cwd=directory, env=env, stdout=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if status != 0:
        sys.exit("%s failed with %d" % (command, status))
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    with open(peak_file) as f:
        return elapsed, cpu, int(f.read())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--before", help="an earlier 3dpoint to compare in the same run")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    program = os.path.join(build, "3dpoint")
    peak_tool = os.path.join(build, "bench", "peak_memory")
    env = {k: v for k, v in os.environ.items() if not k.startswith(("FOR", "TBK"))}
    env["TDP_NO_PROGRESS"] = "1"
    buffered = dict(env, FORT_BUFFERED="y")
    pnezd = [program, "--columns", "pnezd", "--skip", "1", "--decimals", "3"]
    lines = ["--lines", ",".join("L%d" % k for k in range(100))]
    # Each command with the entities it writes per point, for the cost per entity.
    commands = {
        "classic list, default": ([program, "list.txt", "classic0.dxf"], env, 1),
        "classic list, buffered": ([program, "list.txt", "classic.dxf"], buffered, 1),
        "xyz table, 3 decimals, buffered": ([program, "--columns", "xyz", "--decimals", "3", "table.xyz", "xyz3.dxf"],
                                            buffered, 1),
        "pnezd, labels+layers, buffered": (pnezd + ["--labels", "--layers", "table.csv", "p1.dxf"], buffered, 2),
        "pnezd, labels+layers, as it comes": (pnezd + ["--labels", "--layers", "table.csv", "p0.dxf"], env, 2),
        "pnezd, three labels, buffered": (pnezd + ["--labels", "name,elevation,description", "table.csv", "p3.dxf"],
                                          buffered, 4),
        "pnezd, blocks, buffered": (pnezd + ["--blocks", "table.csv", "pb.dxf"], buffered, 5),
        "coded, layers, buffered": (pnezd + ["--layers", "coded.csv", "c0.dxf"], buffered, 1),
        "coded, 100 lines, buffered": (pnezd + lines + ["coded.csv", "c1.dxf"], buffered, 2),
    }
    if args.before:
        # Only what the earlier build had: the classic runs and the xyz table.
        before = os.path.abspath(args.before)
        for name in ["classic list, default", "classic list, buffered", "xyz table, 3 decimals, buffered"]:
            command, command_env, entities = commands[name]
            commands["before: " + name] = ([before] + command[1:-1] + ["before-" + command[-1]], command_env, entities)
    with tempfile.TemporaryDirectory(prefix="3dpoint-survey-bench-") as directory:
        make_inputs(directory, args.points)
        # Round robin, median of each: a slow moment hits every command alike.
        runs = {name: [] for name in commands}
        for _ in range(args.repeat):
            for name, (command, command_env, _) in commands.items():
                runs[name].append(run(peak_tool, command, directory, command_env))
    base = statistics.median(t for t, _, _ in runs["classic list, buffered"])
    base_cpu = statistics.median(c for _, c, _ in runs["classic list, buffered"])
    budget_mib = (24 * args.points + 4 * 2**20) / 2**20
    print("%d points, medians of %d interleaved runs" % (args.points, args.repeat))
    print("%-40s %8s %8s %9s %9s %12s %9s" % ("", "wall (s)", "/classic", "cpu (s)", "/classic",
                                              "/classic/ent", "peak MiB"))
    for name, r in runs.items():
        t = statistics.median(x for x, _, _ in r)
        cpu = statistics.median(c for _, c, _ in r)
        peak = max(m for _, _, m in r) / 1024
        entities = commands[name][2]
        print("%-40s %8.3f %8.2f %9.3f %9.2f %12.2f %9.1f" % (name, t, t / base, cpu, cpu / base_cpu,
                                                           cpu / base_cpu / entities, peak))
    print("memory budget: 24 B/point + 4 MiB = %.1f MiB" % budget_mib)
    def cpu_of(name):
        return statistics.median(c for _, c, _ in runs[name])
    print("as it comes / buffered (labels+layers): %.3f" % (cpu_of("pnezd, labels+layers, as it comes") /
                                                            cpu_of("pnezd, labels+layers, buffered")))
    print("100 lines / no lines (coded points):   %.3f" % (cpu_of("coded, 100 lines, buffered") /
                                                           cpu_of("coded, layers, buffered")))
    if args.before:
        print("processor time, now / before (medians of the same round robin):")
        for name in [n for n in runs if n.startswith("before: ")]:
            name = name[len("before: "):]
            now = statistics.median(c for _, c, _ in runs[name])
            then = statistics.median(c for _, c, _ in runs["before: " + name])
            print("  %-40s %6.3f" % (name, now / then))


if __name__ == "__main__":
    main()
