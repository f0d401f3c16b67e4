#!/usr/bin/env python3
"""The progress line, seen through a pseudo-terminal: it appears on a long
run, stays within the terminal's width, is erased at the end and before a
report, and never appears where it does not belong.

A run is made long by its input: the points come through a pipe, and the
feed pauses for a while before the rest. The pause only makes the run last;
nothing here depends on how fast the program is.

usage: progress_e2e.py --program CMD [unittest args]
"""
import fcntl
import os
import pty
import re
import signal
import struct
import subprocess
import sys
import termios
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402
import program  # noqa: E402

PAUSE = 1.3  # seconds: longer than the program waits before its first draw
POINTS = 15000
POINT_LINES = [b"%d 0 -%d\n" % (i, i) for i in range(POINTS)]
EXPECTED = ref.dxf_bytes([(i, 0, -i) for i in range(POINTS)])
COLUMNS = 72


class Terminal:
    """A pseudo-terminal of a given width; a thread collects what reaches it."""

    def __init__(self, columns=COLUMNS):
        self.columns = columns
        self.master, self.slave = pty.openpty()
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, columns, 0, 0))
        self.chunks = []
        self.reader = threading.Thread(target=self._collect, daemon=True)

    def started(self):
        """Call once the program holds the terminal: the reader ends when it lets go."""
        os.close(self.slave)
        self.reader.start()

    def _collect(self):
        while True:
            try:
                data = os.read(self.master, 65536)
            except OSError:  # every end of the terminal is closed
                break
            if not data:
                break
            self.chunks.append(data)

    def output(self):
        self.reader.join(timeout=60)
        os.close(self.master)
        return b"".join(self.chunks)


def screen(data, columns):
    """The lines a terminal of that width shows after `data`, trailing blanks dropped."""
    lines, row, column = [[]], 0, 0
    for byte in data:
        if byte == 0x0D:
            column = 0
        elif byte == 0x0A:
            row += 1
        else:
            if column == columns:
                row, column = row + 1, 0
            while len(lines) <= row:
                lines.append([])
            line = lines[row]
            line.extend(" " * (column + 1 - len(line)))
            line[column] = chr(byte)
            column += 1
        while len(lines) <= row:
            lines.append([])
    return ["".join(line).rstrip() for line in lines]


class ProgressLine(program.FreshDirectories):
    def run_slowly(self, arguments=("-", "out.dxf"), count=POINTS, feeds=(5000, POINTS - 5000), env=None,
                   stderr="terminal", stdout=subprocess.DEVNULL, interrupt=False, columns=COLUMNS, count_line=True):
        """Feeds `count` and then the points in `feeds` pieces, pausing between
        them; with `interrupt`, the last pause ends in control-C instead.
        stderr: "terminal", or a file object. stdout: a file object,
        "terminal" or DEVNULL. Returns (status, terminal bytes, directory)."""
        directory = self.new_directory()
        terminal = Terminal(columns)
        process = subprocess.Popen(
            program.PROGRAM + list(arguments), cwd=directory, env=program.clean_environment(env),
            stdin=subprocess.PIPE,
            stdout=terminal.slave if stdout == "terminal" else stdout,
            stderr=terminal.slave if stderr == "terminal" else stderr,
            # The test's runner may hand down an ignored control-C, which stays ignored.
            preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        terminal.started()
        try:
            if count_line:
                process.stdin.write(b"%d\n" % count)
            sent = 0
            for number, piece in enumerate(feeds):
                if number > 0:
                    time.sleep(PAUSE)
                process.stdin.write(b"".join(POINT_LINES[sent:sent + piece]))
                process.stdin.flush()
                sent += piece
            if interrupt:
                time.sleep(PAUSE)
                process.send_signal(signal.SIGINT)
                # The input stays open: its end would race the interrupt's report.
                process.wait(timeout=120)
            process.stdin.close()
        except BrokenPipeError:
            pass
        status = process.wait(timeout=120)
        return status, terminal.output(), directory

    def assert_drawn_within(self, output, columns):
        self.assertIn(b"\r3dpoint: reading ", output, "the line appeared")
        for piece in output.split(b"\r"):
            if piece.startswith(b"3dpoint: "):
                self.assertLess(len(piece), columns, piece)
                self.assertRegex(piece.decode().rstrip(),
                                 r"^3dpoint: (reading|writing) \d+ of %d points \(\d+%%\)(, \d+ points/s)?$" % POINTS)

    def test_long_run_shows_the_line_and_erases_it(self):
        status, output, directory = self.run_slowly(feeds=(5000, 5000, POINTS - 10000))
        self.assertEqual(status, 0)
        self.assert_drawn_within(output, COLUMNS)
        self.assertTrue(output.endswith(b"\r"), output[-100:])
        self.assertEqual(set(screen(output, COLUMNS)), {""}, "a successful run leaves nothing on the screen")
        self.assertEqual(program.read_file(os.path.join(directory, "out.dxf")), EXPECTED)

    def test_a_table_shows_the_lines_read_then_the_points_written(self):
        status, output, directory = self.run_slowly(arguments=("--columns", "xyz", "-", "out.dxf"), count_line=False,
                                                    feeds=(5000, 5000, POINTS - 10000))
        self.assertEqual(status, 0)
        pieces = [p.decode().rstrip() for p in output.split(b"\r") if p.startswith(b"3dpoint: ")]
        self.assertTrue(any(re.match(r"^3dpoint: reading \d+ lines(, \d+ points/s)?$", p) for p in pieces), pieces)
        for piece in pieces:
            self.assertLess(len(piece), COLUMNS, piece)
        self.assertEqual(set(screen(output, COLUMNS)), {""}, "a successful run leaves nothing on the screen")

    def test_a_narrow_terminal_gets_a_shorter_line(self):
        status, output, _ = self.run_slowly(columns=30)
        self.assertEqual(status, 0)
        self.assertIn(b"\r3dpoint: reading ", output)
        for piece in output.split(b"\r"):
            self.assertLess(len(piece), 30, piece)
        self.assertEqual(set(screen(output, 30)), {""})

    def test_a_report_starts_on_a_clean_line(self):
        status, output, _ = self.run_slowly(count=POINTS + 1)
        self.assertEqual(status, 24)
        self.assertIn(b"\r3dpoint: reading ", output)
        lines = screen(output, COLUMNS)
        report = "forrtl: severe (24): end-of-file during read, unit 10, file standard input"
        self.assertEqual(lines[0], report[:COLUMNS])
        self.assertFalse([line for line in lines if "3dpoint:" in line], lines)
        self.assertRegex(output, rb"\r +\rforrtl: severe \(24\)", "erased just before the report")

    def test_an_interrupt_report_starts_on_a_clean_line(self):
        status, output, _ = self.run_slowly(count=POINTS, feeds=(5000, 5000), interrupt=True)
        self.assertEqual(status, 200)
        self.assertIn(b"\r3dpoint: reading ", output)
        lines = screen(output, COLUMNS)
        self.assertTrue(lines[0].startswith("forrtl: error (200): program aborting due to control-C event"), lines)
        self.assertFalse([line for line in lines if "3dpoint:" in line], lines)

    def test_nothing_when_standard_error_is_a_file(self):
        path = os.path.join(self.tmp, "stderr.txt")
        with open(path, "wb") as target:
            status, output, _ = self.run_slowly(stderr=target)
        self.assertEqual(status, 0)
        self.assertEqual(program.read_file(path), b"")
        self.assertEqual(output, b"")

    def test_nothing_when_turned_off(self):
        for value in ("1", "", "0"):
            with self.subTest(value=value):
                status, output, _ = self.run_slowly(env={"TDP_NO_PROGRESS": value})
                self.assertEqual((status, output), (0, b""))

    def test_nothing_when_the_drawing_goes_to_the_same_terminal(self):
        status, output, _ = self.run_slowly(arguments=("-", "-"), stdout="terminal")
        self.assertEqual(status, 0)
        self.assertNotIn(b"3dpoint:", output)
        self.assertIn(b"ENTITIES", output)


if __name__ == "__main__":
    program.main()
