#!/usr/bin/env python3
"""The Windows ZIP as a user unpacks it: the program with its version in its
properties, a README for Windows users that every Notepad shows right (which
the program's help names), the licence and samples that convert.

usage: package_zip_e2e.py --program CMD --build DIR --version-expected X.Y [unittest args]
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402
import program  # noqa: E402

# samples/input.txt: the last point's "3*7" gives z and two values never read.
SAMPLE_POINTS = [(0, 0, 0), (1.5, -2.25, 0), (100.05, 200.15, 300.25), (-0.04, 1000, 7)]
# VS_FIXEDFILEINFO begins with this signature.
FIXED_FILE_INFO = struct.pack("<I", 0xFEEF04BD)


def version_words(version):
    """The version as the resource's two 32-bit words: major.minor, patch.build."""
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    return (parts[0] << 16 | parts[1], parts[2] << 16 | parts[3])


def resource_string(exe, key):
    """A value of the version resource's string table: key and value are
    UTF-16 strings, the value after the key's zero and padding."""
    at = exe.find(key.encode("utf-16-le") + b"\0\0")
    if at < 0:
        return None
    at += len(key) * 2 + 2
    at += (4 - at % 4) % 4  # values start on a 32-bit boundary
    end = at
    while exe[end:end + 2] != b"\0\0":
        end += 2
    return exe[at:end].decode("utf-16-le")


class WindowsZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="3dpoint-zip-")
        made = subprocess.run(["cpack", "-G", "ZIP", "-B", cls.tmp], cwd=program.OPTIONS.build,
                              capture_output=True, timeout=300)
        cls.made = made
        archives = [name for name in os.listdir(cls.tmp) if name.endswith(".zip")]
        cls.names = []
        if made.returncode == 0 and len(archives) == 1:
            with zipfile.ZipFile(os.path.join(cls.tmp, archives[0])) as z:
                z.extractall(cls.tmp)
                cls.names = z.namelist()
            cls.top = os.path.join(cls.tmp, archives[0][: -len(".zip")])

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, True)

    def setUp(self):
        self.assertEqual(self.made.returncode, 0, self.made.stdout + self.made.stderr)
        self.assertTrue(self.names, os.listdir(self.tmp))

    def read(self, *path):
        with open(os.path.join(self.top, *path), "rb") as f:
            return f.read()

    def run_unpacked(self, arguments, cwd):
        return subprocess.run(program.PROGRAM[:-1] + [os.path.join(self.top, "bin", "3dpoint.exe")] + arguments,
                              cwd=cwd, env=program.clean_environment(), capture_output=True, timeout=120)

    def test_what_the_zip_holds(self):
        top = os.path.basename(self.top)
        expected = {"bin/3dpoint.exe", "README.txt", "LICENSE.txt", "samples/input.txt", "samples/survey.csv",
                    "samples/coded.csv"}
        self.assertEqual({n[len(top) + 1:] for n in self.names if not n.endswith("/")}, expected)

    def test_texts_every_notepad_shows_right(self):
        """ASCII, which every code page spells alike, in CR LF lines no wider
        than a console."""
        for name in ("README.txt", "LICENSE.txt", "samples/input.txt", "samples/survey.csv", "samples/coded.csv"):
            with self.subTest(name=name):
                text = self.read(*name.split("/"))
                self.assertTrue(text.endswith(b"\r\n"))
                self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "every line ends in CR LF")
                self.assertEqual(text.count(b"\r"), text.count(b"\r\n"), "no CR alone")
                self.assertEqual([c for c in set(text) if c >= 0x80], [], "ASCII only")
                self.assertEqual([line for line in text.split(b"\r\n") if len(line) > 79], [])

    def test_the_readme_is_for_windows_users(self):
        readme = self.read("README.txt")
        self.assertTrue(readme.startswith(b"3dpoint for Windows\r\n"), readme[:80])
        for told in (b"bin\\3dpoint.exe", b"3dpoint.exe /?", b"%ERRORLEVEL%", b"Explorer", b"--columns",
                     b" ^\r\n", b"200  stopped with Ctrl-C", b"LICENSE.txt", b"samples\\survey.csv"):
            self.assertIn(told, readme)
        for linux in (b"apt", b"scripts/", b"cmake", b"SIGTERM", b"man 3dpoint"):
            self.assertNotIn(linux, readme)
        self.assertIn(b"Permission is hereby granted", self.read("LICENSE.txt"))
        # The unpacked program's help sends the reader there.
        helped = self.run_unpacked(["/?"], self.tmp)
        self.assertEqual(helped.returncode, 0)
        self.assertTrue(helped.stdout.endswith(b"README.txt, in the ZIP that holds 3dpoint.exe, tells the rest.\r\n"))

    def test_the_samples_convert(self):
        samples = os.path.join(self.top, "samples")
        plain = self.run_unpacked([], samples)
        self.assertEqual((plain.returncode, plain.stderr), (0, b""))
        self.assertEqual(self.read("samples", "3dpoint.dxf"), ref.dxf_bytes(SAMPLE_POINTS))
        # The survey command the README shows.
        survey = self.run_unpacked(["--columns", "pnezd", "--skip", "1", "--labels", "--layers", "--decimals", "3",
                                    "survey.csv", "survey.dxf"], samples)
        self.assertEqual((survey.returncode, survey.stderr), (0, b""))
        drawing = self.read("samples", "survey.dxf")
        self.assertEqual(drawing.count(b"\r\nPOINT\r\n"), 4)
        self.assertIn(b"\r\nMANHOLE\r\n", drawing)
        # The linework sample the README points to.
        lines = self.run_unpacked(["--columns", "pnezd", "--lines", "EP,BLDG", "coded.csv", "coded.dxf"], samples)
        self.assertEqual(lines.returncode, 0, lines.stderr)
        self.assertEqual(self.read("samples", "coded.dxf").count(b"\r\nPOLYLINE\r\n"), 4)

    def test_the_version_resource_names_the_version(self):
        exe = self.read("bin", "3dpoint.exe")
        at = exe.find(FIXED_FILE_INFO)
        self.assertGreaterEqual(at, 0, "no version resource")
        _, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", exe, at)
        words = version_words(program.OPTIONS.version_expected)
        self.assertEqual((file_ms, file_ls), words)
        self.assertEqual((product_ms, product_ls), words)
        for key in ("FileVersion", "ProductVersion"):
            self.assertEqual(resource_string(exe, key), program.OPTIONS.version_expected, key)
        self.assertIn("DXF", resource_string(exe, "FileDescription") or "")
        self.assertEqual(resource_string(exe, "ProductName"), "3dpoint")


if __name__ == "__main__":
    program.main([("--build", ""), ("--version-expected", "")])
