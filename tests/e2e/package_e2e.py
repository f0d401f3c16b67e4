#!/usr/bin/env python3
"""The program as it is installed: `cmake --install` into a scratch prefix,
and the Debian package made by CPack unpacked into a scratch root with
`dpkg -x`; the unpacked program then converts the example.

usage: package_e2e.py --build DIR --source DIR --version-expected X.Y [unittest args]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dxf_reference as ref  # noqa: E402
import program  # noqa: E402

# examples/input.txt: the last point's "3*7" gives z and two values never read.
EXAMPLE_POINTS = [(0, 0, 0), (1.5, -2.25, 0), (100.05, 200.15, 300.25), (-0.04, 1000, 7)]
OPTIONS = {}  # build, source, version


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, timeout=300, **kwargs)


class Installed(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix="3dpoint-package-")
        self.addCleanup(shutil.rmtree, self.tmp, True)

    def convert_example(self, installed_program):
        work = os.path.join(self.tmp, "work")
        os.makedirs(work, exist_ok=True)
        shutil.copy(os.path.join(OPTIONS["source"], "examples", "input.txt"), work)
        completed = run([installed_program], cwd=work, env=program.clean_environment())
        self.assertEqual((completed.returncode, completed.stderr, completed.stdout), (0, b"", b""))
        self.assertEqual(program.read_file(os.path.join(work, "3dpoint.dxf")), ref.dxf_bytes(EXAMPLE_POINTS))

    def assert_version(self, installed_program):
        completed = run([installed_program, "--version"])
        self.assertEqual(completed.returncode, 0)
        self.assertTrue(completed.stdout.startswith(b"3dpoint %s" % OPTIONS["version"].encode()), completed.stdout)

    def test_cmake_install(self):
        prefix = os.path.join(self.tmp, "prefix")
        completed = run(["cmake", "--install", OPTIONS["build"], "--prefix", prefix])
        self.assertEqual(completed.returncode, 0, completed.stderr)
        self.assertTrue(os.access(os.path.join(prefix, "bin", "3dpoint"), os.X_OK))
        self.assertTrue(os.path.isfile(os.path.join(prefix, "share", "man", "man1", "3dpoint.1")))
        self.assert_version(os.path.join(prefix, "bin", "3dpoint"))

    def test_debian_package(self):
        packages = os.path.join(self.tmp, "packages")
        completed = run(["cpack", "-G", "DEB", "--config", os.path.join(OPTIONS["build"], "CPackConfig.cmake"),
                         "-B", packages])
        self.assertEqual(completed.returncode, 0, completed.stdout + completed.stderr)
        debs = [name for name in os.listdir(packages) if name.endswith(".deb")]
        self.assertEqual(len(debs), 1, os.listdir(packages))
        deb = os.path.join(packages, debs[0])

        fields = run(["dpkg-deb", "--field", deb, "Package", "Version", "Depends"]).stdout.decode()
        self.assertIn("Package: 3dpoint\n", fields)
        self.assertIn("Version: %s\n" % OPTIONS["version"], fields)
        self.assertRegex(fields, r"Depends: .*\blibunwind8\b", "the unwinder is declared")
        self.assertRegex(fields, r"Depends: .*\blibc6\b")

        root = os.path.join(self.tmp, "root")
        completed = run(["dpkg", "-x", deb, root])
        self.assertEqual(completed.returncode, 0, completed.stderr)
        installed = os.path.join(root, "usr", "bin", "3dpoint")
        manual = os.path.join(root, "usr", "share", "man", "man1", "3dpoint.1")
        self.assertTrue(os.path.isfile(manual))
        # The licence where Debian keeps it, in its machine-readable form.
        with open(os.path.join(root, "usr", "share", "doc", "3dpoint", "copyright"), encoding="ascii") as f:
            copyright_file = f.read()
        self.assertTrue(copyright_file.startswith(
            "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"), copyright_file[:100])
        self.assertIn("\nFiles: *\nCopyright: 2026 the 3dpoint authors\nLicense: Expat\n Permission is hereby granted",
                      copyright_file)
        self.assertNotRegex(copyright_file, r"\n\n(?!Files)", "a blank line inside the licence ends its paragraph")
        self.assert_version(installed)
        self.convert_example(installed)

    def test_manual_page_is_well_formed(self):
        if shutil.which("groff") is None:
            self.skipTest("groff is not installed")
        page = os.path.join(OPTIONS["source"], "docs", "3dpoint.1")
        completed = run(["groff", "-man", "-ww", "-z", page])
        self.assertEqual((completed.returncode, completed.stderr), (0, b""))
        with open(page, encoding="ascii") as f:
            text = f.read()
        for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "INPUT FORMAT", "OUTPUT", "EXIT STATUS",
                        "ENVIRONMENT", "EXAMPLES"):
            self.assertRegex(text, r"(?m)^\.SH %s$" % re.escape(section))
        # Each status once, among them those the suites make the program end with.
        statuses = text.split(".SH EXIT STATUS\n")[1].split("\n.SH ")[0]
        listed = [int(n) for entry in re.findall(r"(?m)^\.TP\n\.BR? (.*)$", statuses)
                  for n in re.findall(r"\d+", entry)]
        self.assertEqual(len(listed), len(set(listed)), listed)
        self.assertLessEqual({1, 2, 9, 24, 28, 29, 30, 38, 43, 47, 59, 64, 65, 66, 99, 106, 107, 200}, set(listed))


def main():
    parser = argparse.ArgumentParser(add_help=False)
    for name in ("--build", "--source", "--version-expected"):
        parser.add_argument(name, required=True)
    args, rest = parser.parse_known_args()
    OPTIONS.update(build=args.build, source=args.source, version=args.version_expected)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
