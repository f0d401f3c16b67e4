#!/usr/bin/env python3
"""The system calls of a whole run, seen through strace: every write on the
output file and every read on the input file must be the one the per-record
rules give, under several block, buffer, record-length and terminator
settings in both output modes. The rules are modelled here from the finished
files alone, so the model and the program share nothing.

usage: system_calls_e2e.py --program PATH [unittest options]
Skipped, with a message, when strace is not installed or cannot trace.
"""
import os
import random
import re
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import program  # noqa: E402

DEFAULT_RECORD_LENGTH = 132
DEFAULT_BLOCK_SIZE_VALUE = 131072  # the largest piece of one unbuffered write
DEFAULT_BUFFER_BLOCK = 8192
# The output's terminator under each FOR_FMT_TERMINATOR used below; the input
# keeps LF as its delimiter under all of them.
TERMINATORS = {None: b"\r\n", "LF": b"\n", "CR:20": b"\r"}


class Sizes:
    """The unit's sizes under the settings, as the open fixes them."""

    def __init__(self, env):
        block = int(env.get("FORT_BLOCKSIZE", "0"))
        block = (block + 511) // 512 * 512
        count = int(env.get("FORT_BUFFERCOUNT", "0")) or 1
        length = int(env.get("FORT_FMT_RECL", "0"))
        # The record area: the record length and one position each for the
        # default length's end and the carriage control.
        self.area = (length if length > 0 else DEFAULT_RECORD_LENGTH + 1) + 1
        self.block_size_value = block or DEFAULT_BLOCK_SIZE_VALUE
        self.buffer = max(self.area + 4, count * (block or DEFAULT_BUFFER_BLOCK))


def split_records(data, terminator):
    """The records of an output file, each with its terminator."""
    parts = data.split(terminator)
    assert parts[-1] == b"", "the output does not end with a whole record"
    return [part + terminator for part in parts[:-1]]


def expected_writes(data, terminator, sizes, buffered):
    """The sizes of the writes that put `data` into the file, record by record."""
    writes = []

    def write_through(length):
        while length > 0:
            writes.append(min(length, sizes.block_size_value))
            length -= writes[-1]

    pending = 0
    for record in split_records(data, terminator):
        assert len(record) - len(terminator) <= sizes.area, "a record longer than the area would grow it"
        if not buffered:
            write_through(len(record))
            continue
        # A record stays in the buffer while room for two more record areas follows it.
        stop = pending + len(record)
        if stop + 2 * sizes.area < sizes.buffer:
            pending = stop
        else:
            write_through(stop)
            pending = 0
    if pending:
        writes.append(pending)  # the close writes what is left, in one piece
    return writes


def expected_reads(data, records_wanted, sizes):
    """(bytes asked, bytes got) of each read that yields the first
    `records_wanted` records of `data`, LF ending a record."""
    reads = []
    position = 0  # in the file
    buffer = sizes.buffer
    ahead = b""  # bytes read and not yet taken
    for _ in range(records_wanted):
        if b"\n" in ahead:
            ahead = ahead[ahead.index(b"\n") + 1:]
            continue
        # The unfinished record moves to the buffer start; the rest is filled.
        while True:
            if len(ahead) == buffer:
                buffer *= 2
            asked = buffer - len(ahead)
            got = data[position:position + asked]
            position += len(got)
            reads.append((asked, len(got)))
            if not got:
                assert ahead, "the model ran past the end of the input"
                ahead = b""
                break
            ahead += got
            if b"\n" in got:
                ahead = ahead[ahead.index(b"\n") + 1:]
                break
    return reads


CALL = re.compile(r"^\d+\s+(\w+)\((.*)\)\s+=\s+(-?\d+)")


def traced_calls(log, name):
    """The reads and writes on the descriptor opened for the file `name`, in order."""
    calls = []
    descriptor = None
    with open(log) as f:
        for line in f:
            m = CALL.match(line)
            if not m:
                continue
            call, args, result = m.group(1), m.group(2), int(m.group(3))
            if call in ("open", "openat") and ('/%s"' % name in args or args.startswith('"%s"' % name)):
                descriptor = result if result >= 0 else descriptor
            elif call in ("open", "openat") and descriptor is not None and '"/proc/self/fd/%d"' % descriptor in args:
                # The name is held by a path handle and opened through it.
                descriptor = result if result >= 0 else descriptor
            elif call == "close" and descriptor is not None and args == str(descriptor):
                descriptor = None
            elif call in ("read", "write") and descriptor is not None and args.startswith("%d," % descriptor):
                asked = int(args.rsplit(",", 1)[1])
                calls.append((call, asked, result))
    return calls


def strace_works():
    if shutil.which("strace") is None:
        return False
    return subprocess.call(["strace", "-qq", "-o", os.devnull, "true"]) == 0


def point_list(count, seed, long_lines=False):
    rng = random.Random(seed)
    lines = ["%d" % count]
    for i in range(count):
        values = ["%.*f" % (rng.randint(0, 3), rng.uniform(-60000, 60000)) for _ in range(3)]
        # Now and then a line longer than the smallest buffers, which must grow.
        gap = " " * (1500 if long_lines and i % 97 == 5 else rng.randint(1, 3))
        lines.append(gap.join(values))
    return ("\n".join(lines) + "\n").encode()


@unittest.skipUnless(strace_works(), "strace is missing or cannot trace here: system calls not checked")
class SystemCalls(program.FreshDirectories):
    def traced_run(self, input_bytes, env):
        directory = self.new_directory({"input.txt": input_bytes})
        log = os.path.join(directory, "..", os.path.basename(directory) + ".strace")
        command = ["strace", "-f", "-qq", "-s", "0", "-e", "trace=open,openat,read,write,close", "-o", log]
        # The leak check cannot run under a tracer; other suites make it.
        traced_env = dict(env, ASAN_OPTIONS="detect_leaks=0")
        result = subprocess.run(command + program.PROGRAM, cwd=directory, env=program.clean_environment(traced_env),
                                capture_output=True)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        with open(os.path.join(directory, "3dpoint.dxf"), "rb") as f:
            output = f.read()
        return output, log

    def check(self, input_bytes, env, records_read):
        output, log = self.traced_run(input_bytes, env)
        sizes = Sizes(env)
        terminator = TERMINATORS[env.get("FOR_FMT_TERMINATOR")]
        buffered = env.get("FORT_BUFFERED", "").startswith(("y", "Y", "t", "T", "1"))

        writes = [(asked, got) for call, asked, got in traced_calls(log, "3dpoint.dxf") if call == "write"]
        self.assertTrue(all(asked == got for asked, got in writes), "a short write in a healthy run")
        self.assertEqual([asked for asked, _ in writes], expected_writes(output, terminator, sizes, buffered))

        reads = [(asked, got) for call, asked, got in traced_calls(log, "input.txt") if call == "read"]
        self.assertEqual(reads, expected_reads(input_bytes, records_read, sizes))

    def test_every_setting(self):
        settings = [
            {},
            {"FORT_BUFFERED": "y"},
            {"FORT_BUFFERED": "y", "FORT_BLOCKSIZE": "512"},
            {"FORT_BUFFERED": "y", "FORT_BLOCKSIZE": "1000", "FORT_BUFFERCOUNT": "3"},
            {"FORT_BUFFERED": "yes", "FORT_BUFFERCOUNT": "2", "FOR_FMT_TERMINATOR": "LF"},
            {"FORT_BUFFERED": "y", "FORT_FMT_RECL": "60", "FOR_FMT_TERMINATOR": "CR:20"},
            # A short record length: the coordinates' scratch no longer fits the area.
            {"FORT_BUFFERED": "y", "FORT_FMT_RECL": "20", "FORT_BLOCKSIZE": "512"},
            {"FORT_FMT_RECL": "20"},
            {"FORT_BLOCKSIZE": "512", "FOR_FMT_TERMINATOR": "LF"},
        ]
        count = 400
        for env in settings:
            for long_lines in (False, True):
                with self.subTest(env=env, long_lines=long_lines):
                    self.check(point_list(count, seed=len(str(env)), long_lines=long_lines), env, count + 1)

    def test_no_points_and_one_point(self):
        for env in ({}, {"FORT_BUFFERED": "y"}):
            for count in (0, 1):
                with self.subTest(env=env, count=count):
                    self.check(point_list(count, seed=count), env, count + 1)


if __name__ == "__main__":
    program.main()
