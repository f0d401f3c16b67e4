#!/usr/bin/env python3
"""Console events sent to the running program, as a terminal, `timeout` or a
service manager sends them: to a POSIX build as SIGINT, SIGQUIT, SIGHUP and
SIGTERM; to a Windows build under Wine as SIGINT, which Wine hands to the
program's console control handler as control-C.

Whatever the moment and the mode: the run ends with one report, the event's
exit status, and the output either left as it was or a proper prefix of the
correct file made of whole records. How soon it ends is measured against an
undisturbed run of the same program under the same load, started beside it:
an event in the first half of that run's life must end the interrupted run
before the undisturbed one ends, short of the whole file. No bound in
seconds: a loaded machine stretches both runs alike. The latency itself is
measured by bench/console_event_latency.py.

This is the one suite that sends events at random moments.
TDP_SIGNAL_TRIES scales the number of runs (1 = the default).

usage: console_events_e2e.py --program "CMD ..." [unittest options]
"""
import argparse
import functools
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
import run_e2e  # noqa: E402
from hardening_e2e import point_list, records  # noqa: E402
from run_e2e import Host  # noqa: E402

OLD = b"old file, to be kept when the input is interrupted\r\n"
# Signal, event name, exit status. Wine turns only SIGINT into a console event.
POSIX_EVENTS = [(signal.SIGINT, b"control-C", 200), (signal.SIGQUIT, b"control-BREAK", 1),
                (signal.SIGHUP, b"window-CLOSE", 2), (signal.SIGTERM, b"window-CLOSE", 2)]
WINE_EVENTS = POSIX_EVENTS[:1]


def events():
    return WINE_EVENTS if Host.windows else POSIX_EVENTS


def tries(count):
    return max(1, int(count * float(os.environ.get("TDP_SIGNAL_TRIES", "1"))))


# A survey run of the same list: double precision, labels and extents,
# written in large blocks by default.
SURVEY_OPTIONS = ["--decimals", "3", "--labels", "--extents", "input.txt", "3dpoint.dxf"]


@functools.lru_cache(maxsize=None)
def undisturbed_environment():
    """The environment of the undisturbed run beside an interrupted one.
    Under Wine it has a Wine prefix, and so a Wine server, of its own: two
    programs writing a record at a time through one server keep the event's
    thread waiting on it until the other program ends."""
    if not Host.windows:
        return {}
    base = os.environ.get("WINEPREFIX") or os.path.join(os.path.expanduser("~"), ".wine")
    prefix = base.rstrip("/") + "-undisturbed"
    os.makedirs(prefix, exist_ok=True)
    # Made now, so that no run's standard error gets Wine's notices about it.
    subprocess.run(Host.launcher + ["cmd", "/c", "exit"], env=run_e2e.clean_environment({"WINEPREFIX": prefix}),
                   stdin=subprocess.DEVNULL, capture_output=True, check=True, timeout=300)
    return {"WINEPREFIX": prefix}


def block_events():
    """Run in the child before the program starts: the events wait, blocked,
    until the program watches them, as a terminal's would not reach a program
    that is not yet running. The program unblocks them when it watches."""
    signal.pthread_sigmask(signal.SIG_BLOCK, [s for s, _, _ in POSIX_EVENTS])


class Watched:
    """A started program whose end is taken the moment it comes, by a thread
    of its own, while the test goes on with another."""

    def __init__(self, process):
        self.process = process
        self.started = time.monotonic()
        self.ended = None
        self.err = b""
        self.thread = threading.Thread(target=self.wait_for_the_end, daemon=True)
        self.thread.start()

    def wait_for_the_end(self):
        _, self.err = self.process.communicate()
        self.ended = time.monotonic()

    def life(self, until=None):
        """Seconds from the start to the end; None when the end has not come
        by `until` seconds after the start."""
        if until is not None:
            self.thread.join(max(0.0, self.started + until - time.monotonic()))
        return None if self.ended is None else self.ended - self.started

    def stop(self):
        if self.ended is None:
            self.process.kill()
        self.thread.join()


class ConsoleEvents(unittest.TestCase):
    def setUp(self):
        self.dir = os.path.realpath(tempfile.mkdtemp(prefix="3dpoint-event-"))
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.files = run_e2e.Run(self.dir, None, b"")  # its path and read serve here

    def write(self, name, data, directory=None):
        with open(os.path.join(directory or self.dir, name), "wb") as f:
            f.write(data)

    def read(self, name, directory):
        return run_e2e.Run(directory, None, b"").read(name)

    def start(self, env=None, cwd=None, **kwargs):
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        if not Host.windows:
            kwargs.setdefault("preexec_fn", block_events)
        return subprocess.Popen(run_e2e.PROGRAM + kwargs.pop("args", []), cwd=cwd or self.dir,
                                env=run_e2e.clean_environment(env or {}), stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, **kwargs)

    def finish(self, process, timeout=60):
        """Exit status, standard error, and the seconds from now to the end."""
        sent = time.monotonic()
        try:
            _, err = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            self.fail("the program did not end after the event")
        return process.returncode, err, time.monotonic() - sent

    def assert_one_report(self, status, err, name=b"control-C", number=200):
        self.assertNotIn(status, [-s for s, _, _ in POSIX_EVENTS], "ended by the signal itself")
        self.assertEqual(status, Host.exit_status(number), err[-600:])
        self.assertEqual(err.count(b"forrtl:"), 1, err[-600:])
        self.assertTrue(err.startswith(b"forrtl: error (200): program aborting due to %s event" % name
                                       + Host.message_end()), err[:200])
        self.assertIn(b"\nImage ", err, "a traceback follows the message line")

    def undisturbed(self, env, directory, runs=2, args=()):
        """The output of a whole run and the shortest of the runs' times."""
        times = []
        for _ in range(runs):
            started = time.monotonic()
            process = self.start(env, cwd=directory, args=list(args))
            status, err, _ = self.finish(process)
            times.append(time.monotonic() - started)
            self.assertEqual(status, 0, err[-600:])
        return self.read("3dpoint.dxf", directory), min(times)

    def feed(self, name, lines, pause, hold):
        """Writes the lines into the FIFO, `pause` apart, then keeps it open
        without writing for `hold` seconds; stops when the reader has gone."""
        def run():
            try:
                with open(self.files.path(name), "wb", buffering=0) as f:
                    for line in lines:
                        f.write(line)
                        time.sleep(pause)
                    time.sleep(hold)
            except OSError:
                pass
        writer = threading.Thread(target=run, daemon=True)
        writer.start()
        return writer

    def test_event_while_a_read_waits(self):
        """The input stops coming and its writer keeps it open: the event
        comes while the program waits in a read that nothing would end.
        Where the system cannot break off that read (a pipe under Wine), the
        run must end all the same, long before the writer lets go, when an
        undisturbed run would end."""
        hold = 30
        os.mkfifo(self.files.path("input.txt"))
        self.write("3dpoint.dxf", OLD)
        self.feed("input.txt", [b"100\n"] + [b"%d 2 3\n" % i for i in range(5)], pause=0.05, hold=hold)
        process = self.start()
        time.sleep(3 if Host.windows else 1)  # the lines read; the read waits
        process.send_signal(signal.SIGINT)
        status, err, elapsed = self.finish(process)
        self.assert_one_report(status, err)
        self.assertLess(elapsed, hold / 3, "%.2f s from the event to the end" % elapsed)
        self.assertEqual(self.files.read("3dpoint.dxf"), OLD, "the output is not touched while the input is read")

    def test_event_that_ends_the_producer_too(self):
        """Control-C to a pipeline reaches its producer as well: the producer
        dies and the input ends. The event is what is reported, not the end
        of the input it caused."""
        # At most 10 000 points a second: an undisturbed run would read for
        # 100 seconds.
        points, pace = 1000000, 10000
        producer = ("import sys, time\nsys.stdout.write('%d\\n')\n"
                    "while True:\n    sys.stdout.write('1 2 3\\n' * 100); sys.stdout.flush(); time.sleep(0.01)\n"
                    % points)
        for attempt in range(tries(5)):
            feeder = subprocess.Popen([sys.executable, "-c", producer], stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL,
                                      preexec_fn=None if Host.windows else lambda: os.setpgid(0, 0))
            # One process group, as a shell makes for a pipeline.
            process = self.start(args=["-", "out.dxf"], stdin=feeder.stdout,
                                 preexec_fn=None if Host.windows else lambda: (os.setpgid(0, feeder.pid),
                                                                                block_events()))
            feeder.stdout.close()
            time.sleep(3 if Host.windows else 0.5)
            if Host.windows:
                feeder.send_signal(signal.SIGINT)
                process.send_signal(signal.SIGINT)
            else:
                os.killpg(feeder.pid, signal.SIGINT)
            status, err, elapsed = self.finish(process)
            feeder.wait()
            with self.subTest(attempt=attempt):
                self.assert_one_report(status, err)
                self.assertLess(elapsed, points / pace / 10, "%.2f s from the event to the end" % elapsed)

    def events_at_random_moments(self, modes, count, window, first_part):
        """`count` runs, the modes (a number of points, the environment and,
        for a survey run, its options) in turn, an event at a random moment in `window`
        (fractions of an undisturbed run's time). With `first_part`, an
        undisturbed run starts beside each interrupted one: an event within
        that fraction of the undisturbed run's life must end the interrupted
        run before the undisturbed one ends, short of the whole file. Returns
        the counts of what the runs met."""
        directories, correct, took = [], [], []
        for index, (points, env, *options) in enumerate(modes):
            args = options[0] if options else ()
            # A directory per mode, and one beside it for the undisturbed run.
            directory = os.path.join(self.dir, "mode%d" % index)
            os.makedirs(os.path.join(directory, "undisturbed"))
            _, data = point_list(points, seed=5)
            for where in (directory, os.path.join(directory, "undisturbed")):
                self.write("input.txt", data, where)
            directories.append(directory)
            output, life = self.undisturbed(env, directory, args=args)
            correct.append(output)
            took.append(life)  # the latest life of an undisturbed run, by mode
        rng = random.Random(count)
        counted = {"reported": 0, "kept old": 0, "finished": 0, "in the first part": 0, "longest wait": 0.0}
        for attempt in range(count):
            mode = attempt % len(modes)
            directory, env = directories[mode], modes[mode][1]
            args = list(modes[mode][2]) if len(modes[mode]) > 2 else []
            sig, name, number = rng.choice(events())
            if not first_part:
                # A short run's time under the load of the moment.
                took[mode] = self.undisturbed(env, directory, runs=1, args=args)[1]
            moment = took[mode] * rng.uniform(*window)
            self.write("3dpoint.dxf", OLD, directory)
            twin = None
            if first_part:
                twin = Watched(self.start(dict(env, **undisturbed_environment()),
                                          cwd=os.path.join(directory, "undisturbed"), args=args))
            run = Watched(self.start(env, cwd=directory, args=args))
            time.sleep(max(0.0, run.started + moment - time.monotonic()))
            sent = time.monotonic()
            run.process.send_signal(sig)
            life = run.life(until=sent - run.started + 60)
            if life is None:
                run.stop()
                if twin:
                    twin.stop()
                self.fail("the program did not end after the event")
            at_event = sent - run.started
            status, err, elapsed = run.process.returncode, run.err, run.ended - sent
            # The undisturbed run decides: it is waited for only as long as it
            # takes to know that the event came in its first part and that it
            # outlives the interrupted run.
            twin_life = twin.life(until=max(life, at_event / first_part) + 0.001) if twin else None
            in_first_part = twin is not None and (twin_life is None or at_event < twin_life * first_part)
            if twin:
                twin.stop()
                if twin_life is not None:
                    self.assertEqual(twin.process.returncode, 0, twin.err[-600:])
                    took[mode] = twin_life
            output = self.read("3dpoint.dxf", directory)
            what = dict(attempt=attempt, signal=sig, env=env, event="%.3f s after the start" % at_event,
                        ended="%.3f s after the start" % life,
                        undisturbed="none" if twin is None else "%.3f s" % twin_life if twin_life else "outlived it")
            with self.subTest(**what):
                counted["in the first part"] += in_first_part
                if status == 0:  # the run was over before the event
                    self.assertFalse(in_first_part, "the event was not acted on")
                    self.assertEqual(output, correct[mode])
                    self.assertEqual(err, b"")
                    counted["finished"] += 1
                    continue
                self.assert_one_report(status, err, name, number)
                counted["reported"] += 1
                counted["longest wait"] = max(counted["longest wait"], round(elapsed, 3))
                if in_first_part:
                    # Still running when the wait for it ended: it outlived this run.
                    if twin_life is not None:
                        self.assertLess(life, twin_life, "ended after the undisturbed run")
                    self.assertNotEqual(output, correct[mode], "the whole file was written after the event")
                if output == OLD:
                    counted["kept old"] += 1
                    continue
                whole, tail = records(output)
                self.assertEqual(tail, b"", "a cut record")
                self.assertTrue(correct[mode].startswith(whole), "not a prefix of the correct output")
        print("\n%s, %d runs: %s" % (", ".join("%d points" % m[0] for m in modes), count, counted), file=sys.stderr)
        return counted

    def test_events_during_long_runs(self):
        """Runs long enough that an event in their first half must stop them
        well before an undisturbed run beside them ends: tenths of a second
        at least, many times the time from an event to the end."""
        if Host.windows:
            # Start-up is a good part of a short run under Wine, an event
            # that comes before Wine hands events on waits for it, and Wine
            # takes tenths of a second from the event to the end: a run of
            # one write per record lasts seconds, a buffered one too short.
            modes, window, tried = [(300000, {})], (0.3, 0.5), 6
        else:
            modes, window, tried = [(200000, {}), (1000000, {"FORT_BUFFERED": "y"}),
                                    (300000, {}, SURVEY_OPTIONS)], (0.05, 0.5), 12
        counted = self.events_at_random_moments(modes, tries(tried), window, 0.5)
        self.assertGreaterEqual(counted["in the first part"], tries(tried) // 2,
                                "too few events came in the first half of a run: the moments are off")

    def test_events_all_over_short_runs(self):
        """Many short runs, the event anywhere from the first instruction to a
        little past the usual end: opening, reading, writing, closing."""
        if Host.windows:
            self.skipTest("each run under Wine takes most of a second to start")
        modes = [(2000, {}), (2000, {"FORT_BUFFERED": "y"}), (2000, {}, SURVEY_OPTIONS)]
        counted = self.events_at_random_moments(modes, tries(120), (0.0, 1.1), 0.0)
        self.assertGreater(counted["reported"], tries(120) // 4, "too few events met the run: the moments are off")


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
