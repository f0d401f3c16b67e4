#!/usr/bin/env python3
"""Instructions per value of the text cores on a 64-bit and a 32-bit target:
the scanner (recognise a coordinate's text and convert it to single), the
F0.1 formatter of a coordinate, and the I0 field of a point's handle. Builds
bench/instructions/text_cores_per_value.cpp with the host compiler, -O2, once
as is and once with -m32 -msse2 -mfpmath=sse -fno-pie (the Windows
program's code generation), and counts with callgrind inside the measured loops only.

usage: bench/text_core_instructions.py [--compiler g++] [--source DIR]

Needs g++-multilib and valgrind (scripts/install-deps.sh bench). --source
counts another tree's cores, such as an earlier commit's, the same way.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
# The 32-bit code without position independence, as the Windows program's is.
TARGETS = {"64-bit": [], "32-bit": ["-m32", "-msse2", "-mfpmath=sse", "-fno-pie", "-no-pie"]}
CORES = ["io/format/field_format.cpp", "io/format/float_digits.cpp",
         "io/scan/decimal_conversion.cpp", "io/scan/nearest_double.cpp", "io/scan/number_text.cpp"]
MEASURES = ("scan", "format", "handle")


def build(compiler, source, flags, out):
    # An earlier tree may not have every core yet.
    sources = [os.path.join(source, "src", c) for c in CORES if os.path.exists(os.path.join(source, "src", c))]
    sources.append(os.path.join(HERE, "instructions", "text_cores_per_value.cpp"))
    subprocess.check_call([compiler, "-std=c++20", "-O2", "-DNDEBUG", "-I", os.path.join(source, "src")]
                          + flags + sources + ["-o", out])


def count(program, what):
    """Instructions per value inside measure_<what>."""
    run = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null",
                          "--collect-atstart=no", "--toggle-collect=measure_" + what, program, what],
                         capture_output=True, text=True, check=True)
    collected = int(re.search(r"Collected : (\d+)", run.stderr).group(1))
    values = int(run.stdout.split()[0])
    return collected / values


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--compiler", default="g++")
    parser.add_argument("--source", default=os.path.dirname(HERE), help="the tree whose cores are counted")
    args = parser.parse_args()
    counts = {}
    with tempfile.TemporaryDirectory(prefix="3dpoint-instructions-") as work:
        for target, flags in TARGETS.items():
            program = os.path.join(work, target)
            build(args.compiler, os.path.abspath(args.source), flags, program)
            counts[target] = {what: count(program, what) for what in MEASURES}
    print("%-34s %10s %10s %8s" % ("instructions per value", "64-bit", "32-bit", "32/64"))
    names = {"scan": "scanner (text to single)", "format": "formatter (F0.1 coordinate)",
             "handle": "formatter (I0 handle)"}
    for what in MEASURES:
        wide, narrow = counts["64-bit"][what], counts["32-bit"][what]
        print("%-34s %10.1f %10.1f %8.2f" % (names[what], wide, narrow, narrow / wide))


if __name__ == "__main__":
    sys.exit(main())
