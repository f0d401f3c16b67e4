#!/usr/bin/env python3
"""Control-C sent to the running program, as a terminal sends it: to a
POSIX build as SIGINT, to a Windows build under Wine as SIGINT too, which
Wine hands to the program's console control handler.

Whatever the moment: one report, "control-C" in it, exit status 200, and the
output either left as it was or a prefix of the correct file made of whole
records.

usage: console_events_e2e.py --program "CMD ..." [unittest options]
"""
import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402
import run_e2e  # noqa: E402
from hardening_e2e import point_list, records  # noqa: E402
from run_e2e import Host  # noqa: E402

REPORT = b"forrtl: error (200): program aborting due to control-C event"


class ControlC(unittest.TestCase):
    def setUp(self):
        self.dir = os.path.realpath(tempfile.mkdtemp(prefix="3dpoint-ctrlc-"))
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.files = run_e2e.Run(self.dir, None, b"")  # its path and read serve here

    def write(self, name, data):
        with open(self.files.path(name), "wb") as f:
            f.write(data)

    def start(self):
        return subprocess.Popen(run_e2e.PROGRAM, cwd=self.dir, env=run_e2e.clean_environment({}),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def finish(self, process, timeout=60):
        try:
            _, err = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            self.fail("the program did not end after control-C")
        return process.returncode, err

    def assert_one_report(self, status, err):
        self.assertEqual(status, Host.exit_status(200), err[-600:])
        self.assertEqual(err.count(b"forrtl:"), 1, err[-600:])
        self.assertTrue(err.startswith(REPORT + Host.message_end()), err[:200])
        self.assertIn(b"\nImage ", err, "a traceback follows the message line")

    def feed_slowly(self, name, lines, pause):
        """Writes the lines into the FIFO one at a time; stops when the reader has gone."""
        def feed():
            try:
                with open(self.files.path(name), "wb", buffering=0) as f:
                    for line in lines:
                        f.write(line)
                        time.sleep(pause)
            except (BrokenPipeError, OSError):
                pass
        writer = threading.Thread(target=feed, daemon=True)
        writer.start()
        return writer

    def test_control_c_during_a_slow_read(self):
        """The input comes a line at a time; control-C comes while the program
        waits for the next one. Where the system cannot break off the waiting
        read (Wine), the event is acted on when the read returns."""
        os.mkfifo(self.files.path("input.txt"))
        old = b"old file, to be kept when the input is interrupted\r\n"
        self.write("3dpoint.dxf", old)
        lines = [b"100\n"] + [b"%d 2 3\n" % i for i in range(100)]
        self.feed_slowly("input.txt", lines, pause=0.2)
        process = self.start()
        time.sleep(1.5)  # a few lines read; the next is on its way
        process.send_signal(signal.SIGINT)
        status, err = self.finish(process)
        self.assert_one_report(status, err)
        self.assertEqual(self.files.read("3dpoint.dxf"), old, "the output is not touched while the input is read")

    def test_control_c_at_random_moments(self):
        points, data = point_list(100000, seed=5)
        self.write("input.txt", data)
        correct = ref.dxf_bytes(points)
        old = b"old file, to be kept when the input is interrupted\r\n"
        rng = random.Random(17)
        for attempt in range(int(os.environ.get("TDP_SIGNAL_TRIES", "6"))):
            self.write("3dpoint.dxf", old)
            process = self.start()
            time.sleep(rng.uniform(0.05, 1.5))
            process.send_signal(signal.SIGINT)
            status, err = self.finish(process)
            with self.subTest(attempt=attempt):
                output = self.files.read("3dpoint.dxf")
                if status == 0:  # the run finished before the event
                    self.assertEqual(output, correct)
                    continue
                self.assert_one_report(status, err)
                if output != old:
                    whole, tail = records(output)
                    self.assertEqual(tail, b"", "a cut record")
                    self.assertTrue(correct.startswith(whole), "not a prefix of the correct output")


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", default=os.environ.get("TDP_PROGRAM"))
    args, rest = parser.parse_known_args()
    if not args.program:
        sys.exit("console_events_e2e.py: give the program with --program or TDP_PROGRAM")
    run_e2e.take_program(args.program)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
