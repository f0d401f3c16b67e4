#!/usr/bin/env python3
"""Runs the built program as a user would: a fresh directory, an input.txt,
the program with no arguments; then the exact bytes of 3dpoint.dxf, the exit
status and standard error.

The program is given as a command (`--program "CMD ..."` or TDP_PROGRAM), so
the same suite can run another build of it, through an emulator for one. A
Windows program (the command names an .exe) runs under Wine; the suite then
expects what Windows shows: paths as Wine maps them (Z:\\...), the message line
ended by CR CR LF (the text-mode stream turns its LF into CR LF), and exit
statuses as Wine hands them to Linux.
"""
import argparse
import functools
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402

PROGRAM = []
# Windows reads variable names in any case.
OWN_VARIABLES = tuple(v.upper() for v in ("FOR", "TBK", "f77_dump_flag", "decfort_dump_flag"))
NOBODY = 65534


class Host:
    """How the program's system shows through to this suite."""
    windows = False
    launcher = []  # the Wine command in front of a Windows program

    @classmethod
    def message_end(cls):
        return b"\r\r\n" if cls.windows else b"\r\n"

    @classmethod
    def exit_status(cls, number):
        if not cls.windows:
            # Eight bits on POSIX: the program ends with 255 for a larger number.
            return min(number, 255)
        # Wine keeps the low byte; a status whose low byte is 0 becomes 1.
        return (number & 0xFF) or (1 if number else 0)

    @classmethod
    def shown_path(cls, path):
        """The absolute path as the program names it."""
        if not cls.windows:
            return path
        root = os.path.realpath(tempfile.gettempdir())
        if os.path.commonpath([root, path]) != root:
            return windows_path(path)
        return windows_path(root).rstrip("\\") + path[len(root):].replace("/", "\\")


@functools.lru_cache(maxsize=None)
def windows_path(path):
    completed = subprocess.run(Host.launcher + ["winepath", "-w", path], capture_output=True, check=True,
                               stdin=subprocess.DEVNULL, timeout=120)
    return completed.stdout.decode().strip()


@functools.lru_cache(maxsize=None)
def nobody_wine_prefix():
    """A Wine prefix owned by nobody: Wine checks permissions as the user it runs as,
    so only a plain user is refused a read-only file. Raises SkipTest when there is none."""
    base = os.environ.get("WINEPREFIX") or os.path.join(tempfile.gettempdir(), "3dpoint-wine")
    prefix = base.rstrip("/") + "-nobody"
    try:
        os.makedirs(prefix, exist_ok=True)
        os.chown(prefix, NOBODY, NOBODY)
        # Creates the prefix now, so that no run's standard error gets Wine's notices about it.
        subprocess.run(as_nobody_command(Host.launcher + ["cmd", "/c", "exit"]),
                       env=nobody_wine_environment(prefix), stdin=subprocess.DEVNULL, capture_output=True,
                       check=True, timeout=300)
    except (OSError, subprocess.SubprocessError) as e:
        raise unittest.SkipTest("read-only files cannot be shown to Wine run as root, and no Wine prefix for "
                                "nobody could be made in %s: %s" % (prefix, e))
    return prefix


def nobody_wine_environment(prefix, extra=None):
    return clean_environment(dict(extra or {}, WINEPREFIX=prefix, HOME=prefix))


def as_nobody_command(command):
    return ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"] + command


def clean_environment(extra):
    env = {k: v for k, v in os.environ.items() if not k.upper().startswith(OWN_VARIABLES)}
    env.update(extra or {})
    return env


class Run:
    def __init__(self, directory, status, stderr, peak_kib=None):
        self.dir = directory
        self.status = status
        self.stderr = stderr
        self.peak_kib = peak_kib  # peak resident memory, when measured

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, name):
        try:
            with open(self.path(name), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    @property
    def dxf(self):
        return self.read("3dpoint.dxf")

    @property
    def message_line(self):
        end = self.stderr.find(b"\n")
        return self.stderr if end < 0 else self.stderr[: end + 1]


class EndToEnd(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="3dpoint-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.count = 0

    def run_program(self, input_bytes=b"", env=None, setup=None, as_nobody=False, measure=False):
        """input_bytes None: no input.txt. setup(dir) prepares the directory.
        measure: also take the program's peak resident memory."""
        self.count += 1
        directory = os.path.realpath(os.path.join(self.tmp, "run%d" % self.count))
        os.mkdir(directory)
        if input_bytes is not None:
            with open(os.path.join(directory, "input.txt"), "wb") as f:
                f.write(input_bytes)
        if setup:
            setup(directory)
        command = list(PROGRAM)
        environment = clean_environment(env)
        if as_nobody:
            if Host.windows:
                environment = nobody_wine_environment(nobody_wine_prefix(), env)
            os.chmod(self.tmp, 0o755)
            # Root opens read-only files for writing anyway; a plain user does not.
            for name in [directory] + [os.path.join(directory, n) for n in os.listdir(directory)]:
                os.chown(name, NOBODY, NOBODY)
            command = as_nobody_command(command)
        if measure:
            return self.run_measured(command, directory, environment)
        completed = subprocess.run(command, cwd=directory, env=environment,
                                   stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        self.assertEqual(completed.stdout, b"", "nothing is written to standard output")
        return Run(directory, completed.returncode, completed.stderr)

    def run_measured(self, command, directory, env):
        # wait4 gives the child's own resource use; the outputs go to files
        # so that nothing but wait4 reaps the child.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            child = subprocess.Popen(command, cwd=directory, env=env,
                                     stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            _, wait_status, usage = os.wait4(child.pid, 0)
            child.returncode = os.waitstatus_to_exitcode(wait_status)
            out.seek(0)
            err.seek(0)
            self.assertEqual(out.read(), b"", "nothing is written to standard output")
            return Run(directory, child.returncode, err.read(), usage.ru_maxrss)

    def assert_converted(self, run, points, terminator=b"\r\n"):
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.status, 0)
        self.assertEqual(run.dxf, ref.dxf_bytes(points, terminator))

    def assert_failed(self, run, number, text, unit=None, name=None, traceback=True):
        line = "forrtl: severe (%d): %s" % (number, text)
        if unit is not None:
            line += ", unit %d, file %s" % (unit, Host.shown_path(run.path(name)))
        self.assertEqual(run.message_line, line.encode() + Host.message_end())
        self.assertEqual(run.status, Host.exit_status(number))
        rest = run.stderr[len(run.message_line):]
        if traceback:
            self.assertTrue(rest.startswith(b"Image"), rest[:200])
        else:
            self.assertEqual(rest, b"")


class Conversions(EndToEnd):
    def test_one_point_example_file(self):
        run = self.run_program(b"1\r\n1.5 -2.25 0\r\n")
        expected = "\r\n".join(ref.HEADER + [
            "  0", "POINT", "  5", "1", "  8", "0", " 10", "1.5", " 20", "-2.2", " 30", ".0"]
            + ref.TRAILER) + "\r\n"
        self.assertEqual(run.status, 0)
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.dxf, expected.encode())

    def test_point_lists(self):
        cases = [
            # input, points written
            (b"0\nanything at all\n", []),
            (b"-5\n1 2 3\n", []),
            (b"2.9\n1 2 3\n4 5 6\n7 8 9\n", [(1, 2, 3), (4, 5, 6)]),
            (b"-2.5\n1 2 3\n", []),
            (b"1\n1 2 3\n4 5 6\nnot numbers\n", [(1, 2, 3)]),
            (b"2\n1 2 3 4 5 6\n7 8 9", [(1, 2, 3), (7, 8, 9)]),
            (b"3 points follow\n1,2,3\n\n4\n5\n6\n 7 , 8 ,9\n", [(1, 2, 3), (4, 5, 6), (7, 8, 9)]),
            (b"1\n1.5\n\n2.5, 3.5\n", [(1.5, 2.5, 3.5)]),
            (b"1\n7 /\n", [(7, 0, 0)]),
            (b"1\n7,,9\n", [(7, 0, 9)]),
            (b"2\n3*0\n,2,,\n", [(0, 0, 0), (0, 2, 0)]),
            (b"1\n1.5D2 1.5+3 -.5q-1\n", [(150, 1500, -0.05)]),
            (b"1\r\n0.25 0.35 9.96\r\n", [(0.25, 0.35, 9.96)]),
            (b"1\n3.4028235e38 -3.4028235e38 1e-45\n", [(3.4028235e38, -3.4028235e38, 0)]),
            (b"1\nINF -Infinity NaN\n", [(float("inf"), float("-inf"), float("nan"))]),
            (b"12\n" + b"".join(b"%d 0 -%d.05\n" % (i, i) for i in range(12)),
             [(i, 0, -(i + 0.05)) for i in range(12)]),
        ]
        for data, points in cases:
            with self.subTest(data=data):
                self.assert_converted(self.run_program(data), points)

    def test_line_ends_give_the_same_file(self):
        expected = ref.dxf_bytes([(1, 2, 3), (4, 5, 6)])
        for data in (b"2\n1 2 3\n4 5 6\n", b"2\r\n1 2 3\r\n4 5 6\r\n", b"2\r\n1 2 3\n4 5 6",
                     b"2\r\r\n1 2 3\r\n4 5 6\r\n\x1a\r\ngarbage\n"):
            with self.subTest(data=data):
                run = self.run_program(data)
                self.assertEqual((run.status, run.stderr, run.dxf), (0, b"", expected))

    def test_existing_longer_output_is_replaced(self):
        def old_output(directory):
            with open(os.path.join(directory, "3dpoint.dxf"), "wb") as f:
                f.write(b"x" * 100000)
        for env in ({}, {"FORT_BUFFERED": "yes"}):
            with self.subTest(env=env):
                self.assert_converted(self.run_program(b"1\n1 2 3\n", env, old_output), [(1, 2, 3)])

    def test_output_settings(self):
        points = [(1, 2, 3)]
        cases = [
            ({"FORT_BUFFERED": "y"}, b"\r\n"),
            ({"FORT_BUFFERED": "1", "FORT_BLOCKSIZE": "512", "FORT_BUFFERCOUNT": "3"}, b"\r\n"),
            ({"FOR_FMT_TERMINATOR": "LF"}, b"\n"),
            ({"FOR_FMT_TERMINATOR": "CRLF;LF:20"}, b"\n"),
            ({"FOR_FMT_TERMINATOR": "LF:10-19,21"}, b"\r\n"),
        ]
        for env, terminator in cases:
            with self.subTest(env=env):
                self.assert_converted(self.run_program(b"1\n1 2 3\n", env), points, terminator)

    def test_record_length_limits_the_text_only(self):
        # The longest record of a one-point file is 8 characters ("$ACADVER");
        # a record holds the record length plus one carriage-control position.
        expected = ref.dxf_bytes([(1, 2, 3)])
        for length in range(1, 42):
            with self.subTest(length=length):
                run = self.run_program(b"1\n1 2 3\n", {"FORT_FMT_RECL": str(length)})
                if length + 1 >= 8:
                    self.assert_converted(run, [(1, 2, 3)])
                else:
                    self.assert_failed(run, 66, "output statement overflows record", 20, "3dpoint.dxf")
                    self.assertTrue(expected.startswith(run.dxf), run.dxf)
        # The negative largest coordinate is the longest record: 42 characters.
        points = [(-3.4028235e38, 0, 0)]
        data = b"1\n-3.4028235e38 0 0\n"
        self.assert_converted(self.run_program(data, {"FORT_FMT_RECL": "41"}), points)
        run = self.run_program(data, {"FORT_FMT_RECL": "40"})
        self.assert_failed(run, 66, "output statement overflows record", 20, "3dpoint.dxf")
        whole = ref.dxf_bytes(points)
        self.assertEqual(run.dxf, whole[:whole.index(b" 10\r\n") + 5], "every record before the x coordinate")

    def test_bad_terminator_rule_warns_once_and_goes_on(self):
        warning = (b"forrtl: warning (400): FOR_FMT_TERMINATOR environment variable has erroneous syntax, ignored"
                   + Host.message_end())
        for rule in ("LF:", ""):
            with self.subTest(rule=rule):
                run = self.run_program(b"1\n1 2 3\n", {"FOR_FMT_TERMINATOR": rule})
                self.assertEqual(run.status, 0)
                self.assertEqual(run.dxf, ref.dxf_bytes([(1, 2, 3)]))
                self.assertEqual(run.stderr, warning)


class Failures(EndToEnd):
    def test_input_errors(self):
        texts = {24: "end-of-file during read", 59: "list-directed I/O syntax error", 64: "input conversion error"}
        cases = [
            # input, number
            (b"", 24), (b"3\n1 2 3\n4 5 6\n", 24), (b"1\n1 2\n", 24), (b"\x1a\n5\n", 24),
            (b"\xef\xbb\xbf1\n1 2 3\n", 59), (b"1\n1 2 x\n", 59), (b"1\n1.2.3 0 0\n", 59), (b"1\n1 2 'abc\n", 59),
            (b"1\n1 2 '3'\n", 64), (b"1\n1 2 .T.\n", 64), (b"1\n1e39 0 0\n", 64), (b"2147483648\n", 64),
            (b"NaN\n", 64),
        ]
        for data, number in cases:
            with self.subTest(data=data):
                run = self.run_program(data)
                self.assert_failed(run, number, texts[number], 10, "input.txt")
                self.assertIsNone(run.dxf, "no output is created")

    def test_failed_read_leaves_existing_output_untouched(self):
        def old_output(directory):
            with open(os.path.join(directory, "3dpoint.dxf"), "wb") as f:
                f.write(b"old contents\r\n")
        run = self.run_program(b"2\n1 2 3\n", setup=old_output)
        self.assert_failed(run, 24, "end-of-file during read", 10, "input.txt")
        self.assertEqual(run.dxf, b"old contents\r\n")

    def test_missing_input_is_created_empty(self):
        run = self.run_program(None)
        self.assert_failed(run, 24, "end-of-file during read", 10, "input.txt")
        self.assertEqual(run.read("input.txt"), b"")
        self.assertIsNone(run.dxf)

    def test_directories_are_refused(self):
        for name, unit, data in (("input.txt", 10, None), ("3dpoint.dxf", 20, b"0\n")):
            with self.subTest(name=name):
                run = self.run_program(data, setup=lambda d, n=name: os.mkdir(os.path.join(d, n)))
                self.assert_failed(run, 9, "permission to access file denied", unit, name)

    def test_read_only_output_is_left_unchanged(self):
        def read_only_output(directory):
            path = os.path.join(directory, "3dpoint.dxf")
            with open(path, "wb") as f:
                f.write(b"keep me\r\n")
            os.chmod(path, 0o444)
        run = self.run_program(b"1\n1 2 3\n", setup=read_only_output, as_nobody=os.geteuid() == 0)
        self.assert_failed(run, 47, "write to READONLY file", 20, "3dpoint.dxf")
        self.assertEqual(run.dxf, b"keep me\r\n")

    def test_read_only_input_is_read(self):
        def read_only_input(directory):
            os.chmod(os.path.join(directory, "input.txt"), 0o444)
        run = self.run_program(b"1\n1 2 3\n", setup=read_only_input, as_nobody=os.geteuid() == 0)
        self.assert_converted(run, [(1, 2, 3)])

    def test_environment_settings_with_bad_syntax(self):
        cases = [
            ({"FORT_FMT_RECL": "-1"}, 99, "FORT_FMT_RECL environment variable has erroneous syntax"),
            ({"FORT_BLOCKSIZE": "abc"}, 106, "FORT_BLOCKSIZE environment variable has erroneous syntax"),
            ({"FORT_BUFFERCOUNT": "128"}, 107, "FORT_BUFFERCOUNT environment variable has erroneous syntax"),
            # Set but empty is text that does not convert.
            ({"FORT_FMT_RECL": ""}, 99, "FORT_FMT_RECL environment variable has erroneous syntax"),
            ({"FORT_BLOCKSIZE": ""}, 106, "FORT_BLOCKSIZE environment variable has erroneous syntax"),
            ({"FORT_BUFFERCOUNT": ""}, 107, "FORT_BUFFERCOUNT environment variable has erroneous syntax"),
        ]
        for env, number, text in cases:
            with self.subTest(env=env):
                run = self.run_program(b"0\n", env)
                self.assertEqual(run.status, number)
                line = b"forrtl: severe (%d): %s" % (number, text.encode())
                self.assertEqual(run.message_line, line + Host.message_end())

    def test_memory_grows_with_the_points_read(self):
        # A huge count with one point: the arrays (3 x 256 MiB, page-backed)
        # come zeroed from the system and are not written again, so the run
        # touches hardly more memory than one of a single point.
        small = self.run_program(b"2\n1 2 3\n", measure=True)
        huge = self.run_program(b"67108864\n1 2 3\n", measure=True)
        for run in (small, huge):
            self.assert_failed(run, 24, "end-of-file during read", 10, "input.txt")
        self.assertLess(huge.peak_kib - small.peak_kib, 32 * 1024, (small.peak_kib, huge.peak_kib))

    def test_array_size_overflow(self):
        run = self.run_program(b"1073741824\n")
        self.assertEqual(run.message_line, b"forrtl: severe (179): Cannot allocate array - overflow on array size "
                                           b"calculation." + Host.message_end())
        self.assertEqual(run.status, 179)
        self.assertIsNone(run.dxf)

    def test_failing_write(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        run = self.run_program(b"0\n", setup=lambda d: os.symlink("/dev/full", os.path.join(d, "3dpoint.dxf")))
        self.assertEqual(run.status, 38)
        first, _, rest = run.stderr.partition(b"\n")
        # The system's own text: "space" on Linux and Windows, "Disk full." under Wine.
        self.assertTrue(first.startswith(b"forrtl: "), first)
        self.assertTrue(b"space" in first.lower() or b"disk full" in first.lower(), first)
        self.assertTrue(rest.startswith(b"forrtl: severe (38): error during write, unit 20, file "), rest[:120])

    def test_full_disk(self):
        """A small tmpfs fills up while the records are written: a write
        succeeds in part, the next one fails, and what reached the disk stays."""
        mount = os.path.join(self.tmp, "small-disk")
        os.mkdir(mount)
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", mount],
                                 stdin=subprocess.DEVNULL, capture_output=True)
        if mounted.returncode != 0:
            self.skipTest("a small tmpfs cannot be mounted here: %s" % mounted.stderr.decode().strip())
        self.addCleanup(subprocess.run, ["umount", "-l", mount], stdin=subprocess.DEVNULL, capture_output=True)
        points = [(i, -i, 0.5) for i in range(2000)]
        data = b"%d\n" % len(points) + b"".join(b"%r %r %r\n" % p for p in points)
        run = self.run_program(data, setup=lambda d: os.symlink(os.path.join(mount, "out.dxf"),
                                                                 os.path.join(d, "3dpoint.dxf")))
        self.assertEqual(run.status, 38)
        first, _, rest = run.stderr.partition(b"\n")
        self.assertTrue(b"space" in first.lower() or b"disk full" in first.lower(), first)
        self.assertTrue(rest.startswith(b"forrtl: severe (38): error during write, unit 20, file %s"
                                        % Host.shown_path(run.path("3dpoint.dxf")).encode()), rest[:200])
        written = run.dxf
        self.assertGreater(len(written), 32768)
        self.assertEqual(written, ref.dxf_bytes(points)[:len(written)], "every byte written is the file's own")

    def test_output_held_open_by_another_program(self):
        """Another program writes 3dpoint.dxf and lets others only read it: the
        open falls back to reading, and the first write statement fails."""
        if not Host.windows:
            self.skipTest("POSIX has no share modes for a second program to hold")

        def holder(directory):
            # The command interpreter appending its input to the file holds it
            # open, for writing, until that input ends.
            process = subprocess.Popen(Host.launcher + ["cmd", "/c", "more >> 3dpoint.dxf"], cwd=directory,
                                       stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.addCleanup(process.wait, 120)
            self.addCleanup(process.stdin.close)
            for _ in range(1200):
                if os.path.exists(os.path.join(directory, "3dpoint.dxf")):
                    return
                time.sleep(0.05)
            self.fail("the holder never opened 3dpoint.dxf")
        run = self.run_program(b"1\n1 2 3\n", setup=holder)
        self.assert_failed(run, 47, "write to READONLY file", 20, "3dpoint.dxf")
        self.assertEqual(run.dxf, b"")


class Reporting(EndToEnd):
    EMPTY = b""

    def test_traceback_switch(self):
        for value, traceback in (("1", False), ("yes", False), ("0", True), ("false", True)):
            with self.subTest(value=value):
                run = self.run_program(self.EMPTY, {"FOR_DISABLE_STACK_TRACE": value})
                self.assert_failed(run, 24, "end-of-file during read", 10, "input.txt", traceback)

    def test_terse_traceback_rows(self):
        run = self.run_program(self.EMPTY)
        lines = run.stderr[len(run.message_line):].decode().splitlines()
        self.assertGreater(len(lines), 2)
        # The PC column is as wide as the target's program counters (8 digits
        # on 32-bit Windows, 12 on x86-64), so every value stands under its heading.
        digits = len(lines[1][19:].split(" ")[0])
        self.assertIn(digits, (8, 12))
        self.assertEqual(lines[0], "%-19s%-*s%-19s%-12s%-19s" % ("Image", digits + 2, "PC", "Routine", "Line", "Source"))
        for row in lines[1:]:
            self.assertRegex(row, r"^.{17}  [0-9A-F]{%d}  .{17}  .{10}  " % digits)

    def test_log_file_without_display(self):
        log = os.path.join(self.tmp, "diagnostics.log")
        env = {"FOR_DIAGNOSTIC_LOG_FILE": log, "FOR_DISABLE_DIAGNOSTIC_DISPLAY": "yes"}
        run = self.run_program(self.EMPTY, env)
        self.assertEqual((run.status, run.stderr), (24, b""))
        with open(log, "rb") as f:
            logged = f.read()
        self.assertTrue(logged.startswith(b"forrtl: severe (24): end-of-file during read, unit 10"), logged[:100])
        self.assertIn(b"Image", logged)

    def test_log_file_and_display(self):
        log = os.path.join(self.tmp, "both.log")
        run = self.run_program(self.EMPTY, {"FOR_DIAGNOSTIC_LOG_FILE": log})
        with open(log, "rb") as f:
            self.assertEqual(f.read(), run.stderr)

    def test_standard_error_redirected_by_fort0(self):
        target = os.path.join(self.tmp, "fort0.txt")
        with open(target, "wb") as f:
            f.write(b"earlier\n")
        run = self.run_program(self.EMPTY, {"FORT0": target})
        self.assertEqual((run.status, run.stderr), (24, b""))
        with open(target, "rb") as f:
            content = f.read()
        self.assertTrue(content.startswith(b"earlier\nforrtl: severe (24): "), content[:100])

    def test_files_named_outside_the_ansi_code_page(self):
        """The names come whole from the environment, in any script."""
        fort0 = os.path.join(self.tmp, "\u6d4b\u91cf\u70b9-fort0.txt")
        log = os.path.join(self.tmp, "\u6d4b\u91cf\u70b9.log")
        run = self.run_program(self.EMPTY, {"FORT0": fort0, "FOR_DIAGNOSTIC_LOG_FILE": log})
        self.assertEqual((run.status, run.stderr), (24, b""))
        for name in (fort0, log):
            with open(name, "rb") as f:
                self.assertTrue(f.read().startswith(b"forrtl: severe (24): "), name)

    def test_unopenable_fort0_keeps_standard_error(self):
        run = self.run_program(self.EMPTY, {"FORT0": os.path.join(self.tmp, "missing", "dir", "x")})
        self.assert_failed(run, 24, "end-of-file during read", 10, "input.txt")


class DxfReader(EndToEnd):
    """A real DXF reader must find the same points on layer 0."""

    def test_reader_accepts_our_files(self):
        try:
            import ezdxf  # noqa: F401
        except ImportError:
            self.skipTest("ezdxf is not installed for this interpreter")
        points = [(1.5, -2.25, 0), (1000.25, 0.05, -7), (123456.789, -0.04, 3.75)]
        data = b"%d\n" % len(points) + b"".join(b"%r %r %r\n" % p for p in points)
        run = self.run_program(data)
        self.assertEqual(run.status, 0)
        import ezdxf
        document = ezdxf.readfile(run.path("3dpoint.dxf"))
        found = [(e.dxf.layer, tuple(e.dxf.location)) for e in document.modelspace().query("POINT")]
        expected = [("0", tuple(float(ref.f0_1(ref.single(c))) for c in p)) for p in points]
        self.assertEqual(found, expected)


def take_program(command):
    """The program to run, as a command; a Windows program (an .exe) runs
    under the launcher in front of it."""
    # Every run has a directory of its own as its working directory.
    PROGRAM[:] = [os.path.abspath(w) if os.path.exists(w) else w for w in shlex.split(command)]
    executable = [i for i, w in enumerate(PROGRAM) if w.lower().endswith(".exe")]
    if executable:
        Host.windows = True
        Host.launcher = PROGRAM[: executable[0]]


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", default=os.environ.get("TDP_PROGRAM"))
    args, rest = parser.parse_known_args()
    if not args.program:
        sys.exit("run_e2e.py: give the program with --program or TDP_PROGRAM")
    take_program(args.program)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
