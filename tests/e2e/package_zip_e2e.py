#!/usr/bin/env python3
"""The Windows ZIP as a user unpacks it: the program, and README.txt beside it
in CR LF, which the program's help names.

usage: package_zip_e2e.py --program CMD --build DIR [unittest args]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import program  # noqa: E402


class WindowsZip(unittest.TestCase):
    def test_the_zip_holds_the_readme_the_help_names(self):
        tmp = tempfile.mkdtemp(prefix="3dpoint-zip-")
        self.addCleanup(shutil.rmtree, tmp, True)
        made = subprocess.run(["cpack", "-G", "ZIP", "-B", tmp], cwd=program.OPTIONS.build,
                              capture_output=True, timeout=300)
        self.assertEqual(made.returncode, 0, made.stdout + made.stderr)
        [archive] = [name for name in os.listdir(tmp) if name.endswith(".zip")]
        with zipfile.ZipFile(os.path.join(tmp, archive)) as z:
            z.extractall(tmp)
            names = z.namelist()
        top = archive[: -len(".zip")]
        self.assertIn(top + "/bin/3dpoint.exe", names)
        self.assertIn(top + "/README.txt", names)
        self.assertFalse([n for n in names if n.endswith(".1")], "no manual page on Windows")
        with open(os.path.join(tmp, top, "README.txt"), "rb") as f:
            readme = f.read()
        self.assertTrue(readme.startswith(b"# 3dpoint\r\n"))
        self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"), "every line ends in CR LF")
        self.assertIn(b"3dpoint.exe /?", readme)
        # The unpacked program's help sends the reader there.
        helped = subprocess.run(program.PROGRAM[:-1] + [os.path.join(tmp, top, "bin", "3dpoint.exe"), "/?"],
                                capture_output=True, timeout=120)
        self.assertEqual(helped.returncode, 0)
        self.assertTrue(helped.stdout.endswith(b"README.txt, in the ZIP that holds 3dpoint.exe, tells the rest.\r\n"))


if __name__ == "__main__":
    program.main([("--build", "")])
