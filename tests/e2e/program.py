"""What the suites beside run_e2e.py share: the program under test, given as a
command (`--program "CMD ..."` or TDP_PROGRAM, so that another build or an
emulator can stand in), a clean environment and a fresh directory per run.
"""
import argparse
import os
import shlex
import shutil
import sys
import tempfile
import unittest

PROGRAM = []
OPTIONS = argparse.Namespace()
# Set by main(): the program is a Windows one (run under Wine here).
WINDOWS = False
# The program's own variables: none may leak in from the caller.
OWN_VARIABLES = ("FOR", "TBK", "TDP_NO_PROGRESS", "f77_dump_flag", "decfort_dump_flag")


def clean_environment(extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith(OWN_VARIABLES)}
    env.update(extra or {})
    return env


def line_end():
    """How a line of text for a person ends on the program's system."""
    return b"\r\n" if WINDOWS else b"\n"


def shown_path(path):
    """An absolute path as the program shows it: under Wine the Unix root is drive Z:."""
    return "Z:" + path.replace("/", "\\") if WINDOWS else path


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def read_file(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


class FreshDirectories(unittest.TestCase):
    """Each call of new_directory() gives an empty directory of its own."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="3dpoint-e2e-")
        self.addCleanup(shutil.rmtree, self.tmp, True)
        self.count = 0

    def new_directory(self, files=None):
        """files: name -> bytes, written into the directory (with the folders the name has)."""
        self.count += 1
        directory = os.path.realpath(os.path.join(self.tmp, "run%d" % self.count))
        os.mkdir(directory)
        for name, data in (files or {}).items():
            path = os.path.join(directory, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            write_file(path, data)
        return directory

    def listing(self, directory):
        """Every file below the directory with its bytes."""
        found = {}
        for root, _, names in os.walk(directory):
            for name in names:
                path = os.path.join(root, name)
                found[os.path.relpath(path, directory)] = read_file(path)
        return found


def main(extra_options=()):
    """Parses --program and the suite's own options, then runs the suite."""
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", default=os.environ.get("TDP_PROGRAM"))
    for name, default in extra_options:
        parser.add_argument(name, default=default)
    args, rest = parser.parse_known_args()
    if not args.program:
        sys.exit("%s: give the program with --program or TDP_PROGRAM" % os.path.basename(sys.argv[0]))
    PROGRAM.extend(shlex.split(args.program))
    PROGRAM[0] = os.path.abspath(PROGRAM[0]) if os.path.exists(PROGRAM[0]) else PROGRAM[0]
    global WINDOWS
    WINDOWS = PROGRAM[-1].lower().endswith(".exe")
    vars(OPTIONS).update(vars(args))
    unittest.main(module="__main__", argv=[sys.argv[0]] + rest, verbosity=2)
