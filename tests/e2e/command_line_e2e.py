#!/usr/bin/env python3
"""The command line as a user meets it: --help, --version, usage errors, the
input and output names, and "-" for standard input and output.

usage: command_line_e2e.py --program CMD --version-expected X.Y [unittest args]
"""
import fcntl
import os
import pty
import re
import select
import struct
import subprocess
import sys
import termios

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402
import program  # noqa: E402
from program import read_file  # noqa: E402

POINTS = [(1.5, -2.25, 0), (100.05, 200.15, 300.25)]
POINT_LIST = b"2\n1.5 -2.25 0\n100.05, 200.15, 300.25\n"
EXPECTED = ref.dxf_bytes(POINTS)


class Result:
    def __init__(self, directory, completed):
        self.dir = directory
        self.status = completed.returncode
        self.stdout = completed.stdout
        self.stderr = completed.stderr

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, name):
        return read_file(self.path(name))

    @property
    def message_line(self):
        end = self.stderr.find(b"\n")
        return self.stderr if end < 0 else self.stderr[: end + 1]


class CommandLine(program.FreshDirectories):
    def run_program(self, arguments, files=None, stdin=b"", stdout=subprocess.PIPE, env=None):
        """stdin: bytes to feed, or a file object. stdout: PIPE or a file object."""
        directory = self.new_directory(files)
        feed = stdin if isinstance(stdin, bytes) else None
        completed = subprocess.run(program.PROGRAM + list(arguments), cwd=directory,
                                   env=program.clean_environment(env),
                                   input=feed, stdin=None if feed is not None else stdin,
                                   stdout=stdout, stderr=subprocess.PIPE, timeout=120)
        return Result(directory, completed)

    def assert_usage_error(self, result, culprit):
        self.assertEqual(result.status, 2)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.stderr.count(b"\n"), 1, result.stderr)
        self.assertTrue(result.stderr.endswith(program.line_end()), result.stderr)
        self.assertIn(culprit, result.stderr)
        self.assertIn(b"--help", result.stderr)

    def assert_report(self, result, number, text, unit, shown_name):
        # Windows' text-mode stream adds its CR to the report's CR LF.
        end = "\r\r\n" if program.WINDOWS else "\r\n"
        if shown_name.startswith("/"):
            shown_name = program.shown_path(shown_name)
        line = "forrtl: severe (%d): %s, unit %d, file %s%s" % (number, text, unit, shown_name, end)
        self.assertEqual(result.message_line.decode(), line)
        self.assertEqual(result.status, number)


class Answers(CommandLine):
    def test_help_touches_no_file(self):
        for arguments in (["--help"], ["-h"], ["survey.txt", "out.dxf", "--help"], ["--help", "--bogus"]):
            with self.subTest(arguments=arguments):
                result = self.run_program(arguments)
                self.assertEqual((result.status, result.stderr), (0, b""))
                self.assert_lines(result.stdout)
                self.assertTrue(result.stdout.startswith(b"Usage: 3dpoint [OPTION...] [INPUT [OUTPUT]]"), result.stdout)
                self.assertEqual(self.listing(result.dir), {}, "no input.txt is created")

    def assert_lines(self, text):
        """Every line ends as the system's text lines do, the last one too."""
        end = program.line_end()
        self.assertTrue(text.endswith(end), text)
        self.assertEqual(text.count(b"\n"), text.count(end), text)
        # What `awk 'length > 79'` would print: an 80-column console wraps it.
        self.assertEqual([line for line in text.split(b"\n") if len(line) > 79], [])

    def test_help_points_to_what_the_system_has(self):
        help_text = self.run_program(["--help"]).stdout
        if program.WINDOWS:
            self.assertTrue(help_text.endswith(b"README.txt, in the ZIP that holds 3dpoint.exe, tells the rest.\r\n"))
            self.assertNotIn(b"3dpoint(1)", help_text)
        else:
            self.assertTrue(help_text.endswith(b"The manual page 3dpoint(1) tells the rest.\n"), help_text)

    def test_slash_question_mark(self):
        """The help on Windows, where "/?" can name no file; a file name elsewhere."""
        result = self.run_program(["/?"], files={"input.txt": POINT_LIST})
        if program.WINDOWS:
            self.assertEqual((result.status, result.stderr), (0, b""))
            self.assertEqual(result.stdout, self.run_program(["--help"]).stdout)
            self.assertIn(b"/?", result.stdout)
        else:
            self.assertNotEqual(result.status, 0)
            self.assertNotIn(b"/?", self.run_program(["--help"]).stdout)
        self.assertEqual(self.listing(result.dir), {"input.txt": POINT_LIST}, "nothing is converted")

    def test_version(self):
        result = self.run_program(["--version"], files={"input.txt": POINT_LIST})
        self.assertEqual((result.status, result.stderr), (0, b""))
        pattern = r"3dpoint %s( \(commit [0-9a-f]{7,}(-dirty)?\))?%s" % (
            re.escape(program.OPTIONS.version_expected), re.escape(program.line_end().decode()))
        self.assertRegex(result.stdout.decode(), "^" + pattern + "$")
        self.assertEqual(self.listing(result.dir), {"input.txt": POINT_LIST}, "nothing is converted")

    def test_usage_errors_touch_no_file(self):
        cases = [
            (["-x"], b"'-x'"),
            (["--bogus"], b"'--bogus'"),
            (["--help=yes"], b"'--help=yes'"),
            (["--Version"], b"'--Version'"),
            (["-x", "input.txt"], b"'-x'"),
            (["input.txt", "out.dxf", "extra.dxf"], b"'extra.dxf'"),
            ([""], b"empty file name"),
            (["input.txt", "3dpoint.dxf "], b"'3dpoint.dxf '"),
            ([" input.txt"], b"' input.txt'"),
            (["  "], b"'  '"),
            (["-\nsecond line"], b"'-\\nsecond line'"),
            # A name with a control character, first, inside or last.
            (["input.txt", "3dpoint.dxf\r"], b"'3dpoint.dxf\\r'"),
            (["\tinput.txt"], b"'\\tinput.txt'"),
            (["in\x1bput.txt", "out.dxf"], b"'in\\x1bput.txt'"),
        ]
        old_output = b"old drawing\r\n"
        for arguments, culprit in cases:
            with self.subTest(arguments=arguments):
                files = {"input.txt": POINT_LIST, "3dpoint.dxf": old_output}
                result = self.run_program(arguments, files=files)
                self.assert_usage_error(result, culprit)
                self.assertEqual(self.listing(result.dir), files)

    def test_usage_error_in_an_empty_directory_creates_nothing(self):
        result = self.run_program(["--bogus"])
        self.assert_usage_error(result, b"--bogus")
        self.assertEqual(self.listing(result.dir), {})

    def test_help_that_cannot_be_written(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        with open("/dev/full", "wb") as full:
            result = self.run_program(["--help"], stdout=full)
        self.assertEqual(result.status, 1)
        self.assertEqual(result.stderr, b"3dpoint: cannot write to standard output" + program.line_end())


class FileNames(CommandLine):
    def test_no_arguments_and_the_default_names_agree(self):
        plain = self.run_program([], files={"input.txt": POINT_LIST})
        named = self.run_program(["input.txt", "3dpoint.dxf"], files={"input.txt": POINT_LIST})
        for result in (plain, named):
            self.assertEqual((result.status, result.stdout, result.stderr), (0, b"", b""))
            self.assertEqual(result.read("3dpoint.dxf"), EXPECTED)

    def test_named_input_and_output(self):
        cases = [
            # arguments, where the drawing goes
            (["survey.txt"], "3dpoint.dxf"),
            (["survey.txt", "survey.dxf"], "survey.dxf"),
            (["sub/../survey.txt", "sub/drawing.dxf"], "sub/drawing.dxf"),
            (["--", "-odd.txt", "-odd.dxf"], "-odd.dxf"),
        ]
        for arguments, output in cases:
            with self.subTest(arguments=arguments):
                files = {"survey.txt": POINT_LIST, "-odd.txt": POINT_LIST, "sub/keep": b""}
                result = self.run_program(arguments, files=files)
                self.assertEqual((result.status, result.stderr), (0, b""))
                self.assertEqual(result.read(output), EXPECTED)
                self.assertIsNone(result.read("input.txt"), "input.txt is not touched")
                if output != "3dpoint.dxf":
                    self.assertIsNone(result.read("3dpoint.dxf"))

    # A typed name that is not there is a typo, not a wish for an empty
    # file; the classic run keeps creating its input.txt.
    def test_missing_named_input_is_not_found_and_not_created(self):
        for arguments in (["missing.txt", "out.dxf"], ["missing.txt"], ["input.txt"]):
            with self.subTest(arguments=arguments):
                result = self.run_program(arguments)
                self.assert_report(result, 29, "file not found", 10, result.path(arguments[0]))
                self.assertEqual(self.listing(result.dir), {})
        result = self.run_program([])
        self.assert_report(result, 24, "end-of-file during read", 10, result.path("input.txt"))
        self.assertEqual(self.listing(result.dir), {"input.txt": b""})

    def test_reports_name_the_absolute_path_of_the_given_name(self):
        result = self.run_program(["sub/../short.txt", "out.dxf"], files={"short.txt": b"3\n1 2 3\n"})
        self.assert_report(result, 24, "end-of-file during read", 10, result.path("short.txt"))
        self.assertIsNone(result.read("out.dxf"))

        result = self.run_program(["-", "drawings"], files={"drawings/keep": b""}, stdin=b"0\n")
        self.assert_report(result, 9, "permission to access file denied", 20, result.path("drawings"))

    def test_failed_read_leaves_the_named_output_untouched(self):
        files = {"short.txt": b"2\n1 2 3\n", "out.dxf": b"old drawing\r\n"}
        result = self.run_program(["short.txt", "out.dxf"], files=files)
        self.assertEqual(result.status, 24)
        self.assertEqual(result.read("out.dxf"), b"old drawing\r\n")

    def test_the_same_file_for_both_is_read_then_replaced(self):
        result = self.run_program(["both.txt", "both.txt"], files={"both.txt": POINT_LIST})
        self.assertEqual((result.status, result.stderr), (0, b""))
        self.assertEqual(result.read("both.txt"), EXPECTED)


class Names(CommandLine):
    """Names in any script the system allows, and reports that show them."""

    NAME = "\u6d4b\u91cf\u70b9"  # a survey's points, in Chinese: outside every Western code page

    def test_a_name_in_another_script_is_converted(self):
        names = [self.NAME + ".txt", self.NAME + ".dxf"]
        result = self.run_program(names, files={names[0]: POINT_LIST})
        self.assertEqual((result.status, result.stderr), (0, b""))
        self.assertEqual(result.read(names[1]), EXPECTED)
        self.assertEqual(sorted(self.listing(result.dir)), sorted(names))

    def test_a_report_shows_the_name_on_a_terminal(self):
        """A console (a terminal under Wine) shows the characters of the name."""
        directory = self.new_directory({"input.txt": POINT_LIST})
        missing = os.path.join("absent", self.NAME + ".dxf")
        leader, follower = pty.openpty()
        # Wide enough that no line of the report wraps.
        fcntl.ioctl(follower, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 1000, 0, 0))
        child = subprocess.Popen(program.PROGRAM + ["input.txt", missing], cwd=directory,
                                 env=program.clean_environment({"TDP_NO_PROGRESS": "1"}),
                                 stdin=follower, stdout=follower, stderr=follower)
        os.close(follower)
        shown = b""
        while select.select([leader], [], [], 60)[0]:
            try:
                chunk = os.read(leader, 4096)
            except OSError:  # the terminal closes with the program
                break
            if not chunk:
                break
            shown += chunk
        os.close(leader)
        status = child.wait(timeout=60)
        self.assertEqual(status, 29, shown)  # the folder is missing
        self.assertIn(program.shown_path(os.path.join(directory, missing)).encode(), shown)


    def test_a_report_redirected_to_a_file_shows_no_look_alikes(self):
        """Redirected, a Windows report is in the ANSI code page (1252 under
        Wine in a UTF-8 locale): a character it lacks is '?', never one that
        looks like it (sigma as s, mu as the micro sign)."""
        name = "\u03c3\u03b7\u03bc.txt"  # a note, in Greek
        result = self.run_program([name], env={"LC_ALL": "C.UTF-8"})
        shown = "???.txt" if program.WINDOWS else name
        self.assert_report(result, 29, "file not found", 10, result.path(shown))

    def test_the_name_limit_counts_characters_as_the_system_does(self):
        """90 Chinese characters take 270 bytes as UTF-8: far under 256 as
        Windows counts, in characters; over it as Linux counts, in bytes."""
        name = "/".join([self.NAME * 10] * 3) + ".txt"
        result = self.run_program([name, "out.dxf"], files={name: POINT_LIST})
        if program.WINDOWS:
            self.assertEqual((result.status, result.stderr), (0, b""))
            self.assertEqual(result.read("out.dxf"), EXPECTED)
        else:
            self.assert_report(result, 43, "file name specification error", 10, name)
            self.assertIsNone(result.read("out.dxf"))


class StandardStreams(CommandLine):
    def test_standard_input_and_output(self):
        cases = [
            # arguments, drawing on standard output, drawing in this file
            (["-", "out.dxf"], False, "out.dxf"),
            (["-"], False, "3dpoint.dxf"),
            (["points.txt", "-"], True, None),
            (["-", "-"], True, None),
        ]
        for arguments, on_stdout, output in cases:
            with self.subTest(arguments=arguments):
                stdin = b"" if "points.txt" in arguments else POINT_LIST
                result = self.run_program(arguments, files={"points.txt": POINT_LIST}, stdin=stdin)
                self.assertEqual((result.status, result.stderr), (0, b""))
                self.assertEqual(result.stdout, EXPECTED if on_stdout else b"")
                expected_files = {"points.txt": POINT_LIST}
                if output:
                    expected_files[output] = EXPECTED
                self.assertEqual(self.listing(result.dir), expected_files)

    def test_standard_input_that_ends_early(self):
        for data in (b"", b"2\n1 2 3\n"):
            with self.subTest(data=data):
                result = self.run_program(["-", "out.dxf"], stdin=data)
                self.assert_report(result, 24, "end-of-file during read", 10, "standard input")
                self.assertEqual(self.listing(result.dir), {})

    def test_malformed_value_on_standard_input(self):
        result = self.run_program(["-", "-"], stdin=b"1\n1 2 x\n")
        self.assert_report(result, 59, "list-directed I/O syntax error", 10, "standard input")
        self.assertEqual(result.stdout, b"")

    def test_standard_output_is_written_in_place_not_cut(self):
        path = os.path.join(self.tmp, "longer.dxf")
        program.write_file(path, b"x" * (len(EXPECTED) + 10))
        with open(path, "r+b") as target:
            result = self.run_program(["points.txt", "-"], files={"points.txt": POINT_LIST}, stdout=target)
        self.assertEqual((result.status, result.stderr), (0, b""))
        self.assertEqual(read_file(path), EXPECTED + b"x" * 10)

    def test_buffering_asked_for_standard_output(self):
        result = self.run_program(["-", "-"], stdin=POINT_LIST, env={"FORT_BUFFERED": "yes"})
        self.assertEqual((result.status, result.stderr, result.stdout), (0, b"", EXPECTED))

    def test_failing_write_on_standard_output(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        with open("/dev/full", "wb") as full:
            result = self.run_program(["-", "-"], stdin=POINT_LIST, stdout=full)
        self.assertEqual(result.status, 38)
        first, _, rest = result.stderr.partition(b"\n")
        # The system's own words: "No space left on device", "Disk full."
        self.assertTrue(first.startswith(b"forrtl: ") and re.search(rb"space|full", first.lower()), first)
        end = b"\r\r\n" if program.WINDOWS else b"\r\n"
        self.assertTrue(rest.startswith(b"forrtl: severe (38): error during write, unit 20, file standard output" + end),
                        rest[:120])


if __name__ == "__main__":
    program.main([("--version-expected", "")])
