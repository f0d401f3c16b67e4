#!/usr/bin/env python3
"""What the progress line costs: the same conversion with standard error on a
pseudo-terminal (the line is drawn), on the terminal with TDP_NO_PROGRESS
(the line is off but its checks still run), and on /dev/null (no terminal),
in round robin so that a slow moment of the machine hits every variant
alike. Prints the best and median wall and processor (user + system) times
and the best's ratios to the run without a terminal, for the buffered and the default output mode. With --baseline,
another build's program (one without the line, say) joins the round robin,
without a terminal.

usage: bench/progress_cost.py BUILD_DIR [--points N] [--repeat K] [--modes buffered,default]
                              [--baseline PROGRAM]
"""
import argparse
import os
import pty
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from whole_program import make_point_list  # noqa: E402


def drain(master):
    while True:
        try:
            if not os.read(master, 65536):
                return
        except OSError:
            return


def run(program, directory, env, on_terminal):
    """Wall and processor time of one run; standard error on a fresh terminal or on /dev/null."""
    os.sync()  # no run pays for the write-back of the one before
    if on_terminal:
        master, slave = pty.openpty()
        reader = threading.Thread(target=drain, args=(master,), daemon=True)
        stderr = slave
    else:
        stderr = subprocess.DEVNULL
    start = time.perf_counter()
    process = subprocess.Popen([program], cwd=directory, env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=stderr)
    if on_terminal:
        os.close(slave)
        reader.start()
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = status
    if on_terminal:
        reader.join()
        os.close(master)
    if status != 0:
        sys.exit("%s failed with status %#x" % (program, status))
    return elapsed, usage.ru_utime + usage.ru_stime


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--modes", default="buffered,default", help="output modes to measure, comma-separated")
    parser.add_argument("--baseline", help="another program to run without a terminal")
    args = parser.parse_args()
    program = os.path.join(os.path.abspath(args.build), "3dpoint")
    base = {k: v for k, v in os.environ.items() if not k.startswith(("FOR", "TBK", "TDP_NO_PROGRESS"))}
    with tempfile.TemporaryDirectory(prefix="3dpoint-progress-") as work:
        make_point_list(os.path.join(work, "input.txt"), args.points)
        modes = {"buffered": {"FORT_BUFFERED": "y"}, "default": {}}
        for mode in args.modes.split(","):
            mode_env = modes[mode]
            variants = {
                "terminal, line drawn": (program, dict(base, **mode_env), True),
                "terminal, TDP_NO_PROGRESS": (program, dict(base, TDP_NO_PROGRESS="1", **mode_env), True),
                "no terminal": (program, dict(base, **mode_env), False),
            }
            if args.baseline:
                variants["baseline, no terminal"] = (os.path.abspath(args.baseline), dict(base, **mode_env), False)
            times = {name: [] for name in variants}
            for _ in range(args.repeat):
                for name, (command, env, on_terminal) in variants.items():
                    times[name].append(run(command, work, env, on_terminal))
            print("%s output, %d points, %d rounds; best / no terminal in brackets" % (mode, args.points, args.repeat))
            for kind, index in (("wall", 0), ("processor", 1)):
                reference = min(m[index] for m in times["no terminal"])
                for name, measured in times.items():
                    values = [m[index] for m in measured]
                    print("  %-9s %-28s best %7.3f s (%.3f)  median %7.3f s"
                          % (kind, name, min(values), min(values) / reference, statistics.median(values)))


if __name__ == "__main__":
    main()
