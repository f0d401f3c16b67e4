#!/usr/bin/env python3
"""The Windows program under Wine against the same straightforward converter
(bench/tools/baseline_converter.cpp) cross-built with the Windows build's own
compiler and flags, buffered output, one Wine server kept up for the whole
run, interleaved runs, medians. Reports processor time (the program's, user
and system: Wine's server does the same work for both) and wall time.

usage: bench/windows_program.py WIN32_BUILD_DIR [--points N] [--repeat K] [--before EXE]

WIN32_BUILD_DIR is a configured and built win32 preset directory (it has
3dpoint.exe and CMakeCache.txt). With --before, an earlier 3dpoint.exe runs
in the same round robin, so before/after ratios come from one run.
"""
import argparse
import os
import re
import shlex
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from whole_program import make_point_list  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        for line in f:
            m = re.match(r"%s:[A-Z]+=(.*)$" % re.escape(name), line.rstrip("\n"))
            if m:
                return m.group(1)
    return ""


def build_converter(build, out):
    """The converter with the compiler, flags and link options of the Windows build."""
    compiler = cache_value(build, "CMAKE_CXX_COMPILER")
    if not compiler:  # set by the toolchain file: CMake records it beside the cache
        import glob
        for found in glob.glob(os.path.join(build, "CMakeFiles", "*", "CMakeCXXCompiler.cmake")):
            with open(found) as f:
                m = re.search(r'^set\(CMAKE_CXX_COMPILER "([^"]+)"\)', f.read(), re.M)
                compiler = m.group(1) if m else compiler
    flags = (cache_value(build, "CMAKE_CXX_FLAGS") + " " +
             cache_value(build, "CMAKE_CXX_FLAGS_" + (cache_value(build, "CMAKE_BUILD_TYPE") or "RELWITHDEBINFO").upper()))
    link = cache_value(build, "CMAKE_EXE_LINKER_FLAGS")
    subprocess.check_call([compiler, "-std=c++20"] + shlex.split(flags) + shlex.split(link) +
                          [os.path.join(HERE, "tools", "baseline_converter.cpp"), "-o", out])


def run(command, directory, env):
    """Processor time (user + system) and wall time of one run, in seconds."""
    start = time.perf_counter()
    child = subprocess.Popen(["wine"] + command, cwd=directory, env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        sys.exit("%s failed with status %d" % (command, status))
    return usage.ru_utime + usage.ru_stime, wall


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--before", help="an earlier 3dpoint.exe to compare in the same run")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    env = {k: v for k, v in os.environ.items() if not k.startswith(("FOR", "TBK"))}
    env.setdefault("WINEPREFIX", os.path.join(os.path.dirname(build), "wine"))
    env["WINEDEBUG"] = "-all"
    env["FORT_BUFFERED"] = "y"
    with tempfile.TemporaryDirectory(prefix="3dpoint-wine-bench-") as work:
        converter = os.path.join(work, "baseline_converter.exe")
        build_converter(build, converter)
        make_point_list(os.path.join(work, "input.txt"), args.points)
        commands = {"3dpoint.exe": [os.path.join(build, "3dpoint.exe")], "converter": [converter]}
        if args.before:
            commands["before 3dpoint.exe"] = [os.path.abspath(args.before)]
        # One server for every run, as a user's session has: no run pays
        # for starting it.
        server = subprocess.Popen(["wineserver", "-p", "-f"], env=env, stderr=subprocess.DEVNULL)
        try:
            subprocess.call(["wine", "cmd", "/c", "exit"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            outputs = {}
            for name, command in commands.items():  # warm, and the outputs agree
                run(command, work, env)
                with open(os.path.join(work, "3dpoint.dxf"), "rb") as f:
                    outputs[name] = f.read()
            if len(set(outputs.values())) != 1:
                sys.exit("the outputs differ: %s" % ", ".join(outputs))
            runs = {name: [] for name in commands}
            for _ in range(args.repeat):
                for name, command in commands.items():
                    runs[name].append(run(command, work, env))
        finally:
            subprocess.call(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
            server.wait()
    cpu = {n: statistics.median(c for c, _ in r) for n, r in runs.items()}
    wall = {n: statistics.median(w for _, w in r) for n, r in runs.items()}
    print("%-20s %10s %10s   (%d points, buffered, medians of %d interleaved runs under Wine)" % (
        "", "CPU (s)", "wall (s)", args.points, args.repeat))
    for name in commands:
        print("%-20s %10.3f %10.3f" % (name, cpu[name], wall[name]))
    print()
    print("3dpoint.exe / converter, CPU:   %.2f  (target <= 0.45)" % (cpu["3dpoint.exe"] / cpu["converter"]))
    print("3dpoint.exe / converter, wall:  %.2f" % (wall["3dpoint.exe"] / wall["converter"]))
    if args.before:
        print("before / converter, CPU:        %.2f" % (cpu["before 3dpoint.exe"] / cpu["converter"]))
        print("before / converter, wall:       %.2f" % (wall["before 3dpoint.exe"] / wall["converter"]))
        print("now / before, CPU:              %.2f" % (cpu["3dpoint.exe"] / cpu["before 3dpoint.exe"]))


if __name__ == "__main__":
    main()
