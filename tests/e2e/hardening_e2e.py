#!/usr/bin/env python3
"""The program under hostile conditions a POSIX user can create: closed
standard descriptors, FIFOs, a file-size limit, a broken standard-error pipe,
a second run in the same directory. (Console events at random moments are
console_events_e2e.py's.)

Every case checks that nothing on disk is lost or corrupted and that the run
ends with a report and its number, never silently and never by a signal.

usage: hardening_e2e.py --program PATH [unittest options]
"""
import argparse
import os
import random
import resource
import shutil
import stat
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402

PROGRAM = None
OWN_VARIABLES = ("FOR", "TBK", "f77_dump_flag", "decfort_dump_flag")


def environment(extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith(OWN_VARIABLES)}
    env.update(extra or {})
    return env


def point_list(count, seed=7):
    rng = random.Random(seed)
    points = [tuple(round(rng.uniform(-1000, 1000), 2) for _ in range(3)) for _ in range(count)]
    text = "%d\n" % count + "".join("%r %r %r\n" % p for p in points)
    return points, text.encode()


def records(data):
    """The whole CR LF records of a DXF text and whatever follows the last one."""
    whole, _, tail = data.rpartition(b"\r\n")
    return (whole + b"\r\n" if whole or data.startswith(b"\r\n") else b""), tail


class Hardening(unittest.TestCase):
    def setUp(self):
        self.dir = os.path.realpath(tempfile.mkdtemp(prefix="3dpoint-hard-"))
        self.addCleanup(subprocess.call, ["rm", "-rf", self.dir])

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def start(self, env=None, **kwargs):
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.PIPE)
        return subprocess.Popen([PROGRAM], cwd=self.dir, env=environment(env), **kwargs)

    def finish(self, process, timeout=60):
        try:
            _, err = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            self.fail("the program hung")
        return process.returncode, err or b""

    def assert_message(self, err, number, text):
        self.assertIn(b"forrtl: severe (%d): %s" % (number, text.encode()), err)

    # A closed standard descriptor must never be taken by one of the
    # program's files: its report would land inside them.
    def test_closed_standard_descriptors_never_receive_a_file(self):
        data = b"2\n1 2 3\n"
        for closed in ("stderr", "stdout", "stdin", "all"):
            with self.subTest(closed=closed):
                self.write("input.txt", data)
                fds = {"stdin": 0, "stdout": 1, "stderr": 2}
                shut = list(fds.values()) if closed == "all" else [fds[closed]]
                script = "exec %s %s" % (PROGRAM, " ".join("%d>&-" % fd if fd else "<&-" for fd in shut))
                status = subprocess.call(["/bin/sh", "-c", script], cwd=self.dir, env=environment(),
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                self.assertEqual(status, 24)
                self.assertEqual(self.read("input.txt"), data, "the input is never modified")
                self.assertFalse(os.path.exists(self.path("3dpoint.dxf")))

    # "-" names a stream the user gives: a closed one is refused at the
    # open, never written to (or read from) the null device in its place.
    def test_dash_for_a_closed_standard_stream_is_refused(self):
        points, data = point_list(3)
        for arguments, shut, unit, name in ((["input.txt", "-"], ">&-", 20, "standard output"),
                                            (["-", "out.dxf"], "<&-", 10, "standard input")):
            with self.subTest(arguments=arguments):
                self.write("input.txt", data)
                script = "exec %s %s %s" % (PROGRAM, " ".join(arguments), shut)
                process = subprocess.run(["/bin/sh", "-c", script], cwd=self.dir, env=environment(),
                                         stderr=subprocess.PIPE, timeout=60)
                self.assertEqual(process.returncode, 30, process.stderr[-400:])
                self.assert_message(process.stderr, 30, "open failure, unit %d, file %s" % (unit, name))
                self.assertIn(b"forrtl: Bad file descriptor", process.stderr)
                self.assertEqual(sorted(os.listdir(self.dir)), ["input.txt"])
        # Given to it, even the null device is a stream like any other.
        self.assertEqual(subprocess.call([PROGRAM, "input.txt", "-"], cwd=self.dir, env=environment(),
                                         stdout=subprocess.DEVNULL), 0)

    def test_closed_standard_error_with_a_successful_run(self):
        points, data = point_list(3)
        self.write("input.txt", data)
        status = subprocess.call(["/bin/sh", "-c", "exec %s 2>&-" % PROGRAM], cwd=self.dir, env=environment())
        self.assertEqual(status, 0)
        self.assertEqual(self.read("3dpoint.dxf"), ref.dxf_bytes(points))
        self.assertEqual(self.read("input.txt"), data)

    # A report that cannot be written is dropped; the number stays the status.
    def test_standard_error_a_broken_pipe(self):
        self.write("input.txt", b"2\n1 2 3\n")
        read_end, write_end = os.pipe()
        os.close(read_end)
        try:
            process = self.start(stderr=write_end)
        finally:
            os.close(write_end)
        status, _ = self.finish(process)
        self.assertEqual(status, 24)

    # The write that meets the limit goes out in part, then fails: the file
    # is cut back to the whole records before it.
    def test_file_size_limit_is_a_write_error(self):
        points, data = point_list(2000)
        self.write("input.txt", data)
        correct = ref.dxf_bytes(points)

        # Small blocks: a buffer goes out in several writes, and the one that
        # meets the limit follows whole blocks that end inside records.
        blocks = {"FORT_BUFFERED": "y", "FORT_BLOCKSIZE": "512", "FORT_BUFFERCOUNT": "4"}
        cases = [(size, mode) for size in (1024, 8192) for mode in ({}, {"FORT_BUFFERED": "y"})]
        for size, mode in cases + [(2048, blocks)]:
            with self.subTest(size=size, mode=mode):
                def limit():
                    resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))

                process = self.start(mode, preexec_fn=limit)
                status, err = self.finish(process)
                self.assertEqual(status, 38, err[-400:])
                self.assertIn(b"forrtl: File too large", err)
                self.assert_message(err, 38, "error during write, unit 20, file %s" % self.path("3dpoint.dxf"))
                output = self.read("3dpoint.dxf")
                self.assertLessEqual(len(output), size)
                self.assertEqual(records(output)[1], b"", "a torn record")
                self.assertTrue(correct.startswith(output), "not a prefix of the correct output")

    def feed_fifo(self, name, data, delay=0.2):
        def writer():
            with open(self.path(name), "wb") as f:
                time.sleep(delay)
                f.write(data)

        thread = threading.Thread(target=writer, daemon=True)
        thread.start()
        return thread

    def test_fifo_input_ends_when_its_writer_closes(self):
        points, full = point_list(5)
        for data, status in ((b"2\n1 2 3\n", 24), (full, 0)):
            with self.subTest(status=status):
                for name in ("input.txt", "3dpoint.dxf"):
                    if os.path.lexists(self.path(name)):
                        os.unlink(self.path(name))
                os.mkfifo(self.path("input.txt"))
                process = self.start()
                writer = self.feed_fifo("input.txt", data)
                got, err = self.finish(process, timeout=20)
                writer.join(5)
                self.assertEqual(got, status, err[-400:])
                if status == 0:
                    self.assertEqual(self.read("3dpoint.dxf"), ref.dxf_bytes(points))

    def test_fifo_output_whose_reader_has_gone(self):
        _, data = point_list(50000)
        self.write("input.txt", data)
        os.mkfifo(self.path("3dpoint.dxf"))

        def reader():
            with open(self.path("3dpoint.dxf"), "rb") as f:
                f.read(1000)

        thread = threading.Thread(target=reader, daemon=True)
        thread.start()
        process = self.start()
        status, err = self.finish(process, timeout=20)
        thread.join(5)
        self.assertEqual(status, 38, err[-400:])

    def test_fifo_output_read_to_its_end(self):
        points, data = point_list(2000)
        self.write("input.txt", data)
        os.mkfifo(self.path("3dpoint.dxf"))
        got = []

        def reader():
            with open(self.path("3dpoint.dxf"), "rb") as f:
                got.append(f.read())

        thread = threading.Thread(target=reader, daemon=True)
        thread.start()
        status, err = self.finish(self.start(), timeout=20)
        thread.join(5)
        self.assertEqual(status, 0, err[-400:])
        self.assertEqual(got, [ref.dxf_bytes(points)])

    # The FIFO named as the output is replaced by a regular file while the
    # open looks at it (strace holds every call on the path for a second, a
    # window that is otherwise microseconds wide): what was opened is a
    # FIFO, and the drawing goes there; the regular file is never written.
    @unittest.skipUnless(shutil.which("strace") and subprocess.call(
        ["strace", "-qq", "-o", os.devnull, "true"]) == 0, "strace is missing or cannot trace here")
    def test_fifo_swapped_for_a_file_while_it_is_opened(self):
        points, data = point_list(3)
        os.mkfifo(self.path("input.txt"))
        os.mkfifo(self.path("3dpoint.dxf"))
        got = []

        def reader():  # opened before the swap; waits for the writer
            with open(self.path("3dpoint.dxf"), "rb") as f:
                got.append(f.read())

        thread = threading.Thread(target=reader, daemon=True)
        thread.start()
        command = ["strace", "-f", "-qq", "-o", os.devnull, "-P", self.path("3dpoint.dxf"),
                   "-e", "inject=open,openat,stat,lstat,newfstatat,statx:delay_exit=1000000", PROGRAM]
        # The leak checker cannot work under strace's ptrace.
        traced = environment({"ASAN_OPTIONS": "detect_leaks=0"})
        process = subprocess.Popen(command, cwd=self.dir, env=traced, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        with open(self.path("input.txt"), "wb") as f:
            f.write(data)
        # The input is read at once and the output is opened; its first call
        # on the path is held.
        time.sleep(0.4)
        old = b"an old drawing, which must stay as it is\r\n"
        self.write("swap.dxf", old)
        os.replace(self.path("swap.dxf"), self.path("3dpoint.dxf"))
        status, err = self.finish(process, timeout=60)
        thread.join(10)
        self.assertEqual(status, 0, err[-400:])
        self.assertEqual(self.read("3dpoint.dxf"), old)
        self.assertEqual(got, [ref.dxf_bytes(points)])

    # A second run meets the first's share mode: refused, never interleaved.
    def test_second_run_in_the_same_directory(self):
        points, big = point_list(150000)
        self.write("input.txt", big)
        first = self.start()
        deadline = time.time() + 30
        while time.time() < deadline:
            try:
                if os.path.getsize(self.path("3dpoint.dxf")) > 0:
                    break
            except FileNotFoundError:
                pass
            time.sleep(0.002)
        else:
            self.fail("the first run never began writing")
        with open(self.path("input.txt.new"), "wb") as f:
            f.write(b"2\n1 2 3\n4 5 6\n")
        os.replace(self.path("input.txt.new"), self.path("input.txt"))
        second = self.start()
        second_status, second_err = self.finish(second)
        first_status, first_err = self.finish(first)
        self.assertEqual(first_status, 0, first_err[-400:])
        self.assertEqual(second_status, 47, second_err[-400:])
        self.assert_message(second_err, 47, "write to READONLY file, unit 20, file %s" % self.path("3dpoint.dxf"))
        self.assertEqual(self.read("3dpoint.dxf"), ref.dxf_bytes(points))


def main():
    global PROGRAM
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", required=True)
    args, rest = parser.parse_known_args()
    PROGRAM = os.path.abspath(args.program)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
