#!/usr/bin/env python3
"""The survey options run as a user runs them: a PNEZD table with a header in,
a drawing that ezdxf (and GDAL's ogrinfo, where installed) reads back; a
refused table line told in one line with nothing written; the classic list
at three decimals.

usage: survey_e2e.py --program "CMD ..." [unittest options]
"""
import os
import shutil
import subprocess

import ezdxf

from program import PROGRAM, FreshDirectories, clean_environment, main, read_file

PNEZD = (b"Point,Northing,Easting,Elevation,Description\r\n"
         b"1,4500000.1235,300000.4565,12.3455,TREE\r\n"
         b"2,4500010.5,300020.25,13,oak tree\r\n"
         b"# a remark\r\n"
         b"\r\n"
         b"3,4499990.0005,299990,11.9,Tree\r\n"
         b"100,4500005,300005,12,\r\n"
         b",4500006,300006,12,TREE\r\n")  # no name: a point without a label
SURVEY_OPTIONS = ["--columns", "pnezd", "--skip", "1", "--labels", "--layers", "--decimals", "3"]


class SurveyRun(FreshDirectories):
    def convert(self, arguments, files):
        directory = self.new_directory(files)
        done = subprocess.run(PROGRAM + arguments, cwd=directory, env=clean_environment({"TDP_NO_PROGRESS": "1"}),
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        return directory, done

    def test_pnezd_table_with_labels_layers_and_three_decimals(self):
        directory, done = self.convert(SURVEY_OPTIONS + ["--delimiter", ",", "survey.csv", "survey.dxf"],
                                       {"survey.csv": PNEZD})
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        path = os.path.join(directory, "survey.dxf")
        doc = ezdxf.readfile(path)
        auditor = doc.audit()
        self.assertEqual([str(e) for e in auditor.errors], [])
        self.assertEqual([f.message for f in auditor.fixes], [])
        entities = list(doc.modelspace())
        points = [e for e in entities if e.dxftype() == "POINT"]
        labels = [e for e in entities if e.dxftype() == "TEXT"]
        self.assertEqual(len(points), 5)
        self.assertEqual([t.dxf.text for t in labels], ["1", "2", "3", "100"])
        self.assertEqual([p.dxf.layer for p in points], ["TREE", "OAK_TREE", "TREE", "0", "TREE"])
        self.assertEqual({t.dxf.layer for t in labels}, {"LABEL-NAME"})
        self.assertEqual(sorted(layer.dxf.name for layer in doc.layers if layer.dxf.name != "Defpoints"),
                         ["0", "LABEL-NAME", "OAK_TREE", "TREE"])
        handles = [e.dxf.handle for e in entities]
        self.assertEqual(len(set(handles)), len(handles))
        # Millimetres, rounded half to even from the exact double: x is the easting.
        text = read_file(path).decode("ascii")
        self.assertIn("\r\n 10\r\n300000.456\r\n 20\r\n4500000.123\r\n 30\r\n12.345\r\n", text)
        self.assertIn("\r\n 10\r\n299990.000\r\n 20\r\n4499990.001\r\n 30\r\n11.900\r\n", text)
        self.assertEqual(tuple(points[1].dxf.location), (300020.25, 4500010.5, 13.0))
        self.assertEqual(labels[0].dxf.height, 1.0)
        ogrinfo = shutil.which("ogrinfo")
        if ogrinfo:
            listing = subprocess.run([ogrinfo, "-ro", "-al", "-q", path], capture_output=True, text=True, timeout=120)
            self.assertEqual(listing.returncode, 0, listing.stderr)
            self.assertEqual(listing.stdout.count("POINT Z ("), 9, listing.stdout)
            self.assertIn("POINT Z (300000.456 4500000.123 12.345)", listing.stdout)

    def test_style_and_extents_reach_the_header(self):
        directory, done = self.convert(SURVEY_OPTIONS + ["--point-style", "34,0.25", "--extents", "s.txt"],
                                       {"s.txt": PNEZD})
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        doc = ezdxf.readfile(os.path.join(directory, "3dpoint.dxf"))
        self.assertEqual(doc.audit().has_errors, False)
        self.assertEqual(doc.header["$PDMODE"], 34)
        self.assertEqual(doc.header["$PDSIZE"], 0.25)
        self.assertEqual(tuple(doc.header["$EXTMIN"]), (299990.0, 4499990.001, 11.9))
        self.assertEqual(tuple(doc.header["$EXTMAX"]), (300020.25, 4500010.5, 13.0))
        self.assertEqual({t.dxf.height for t in doc.modelspace().query("TEXT")}, {0.25})

    def test_refused_line_is_told_and_nothing_is_written(self):
        table = PNEZD.replace(b"300020.25", b"300O20.25")
        old = b"an older drawing\r\n"
        directory, done = self.convert(SURVEY_OPTIONS + ["s.txt"], {"s.txt": table, "3dpoint.dxf": old})
        self.assertEqual(done.returncode, 65)
        self.assertEqual(done.stderr, b"3dpoint: s.txt, line 3, field 3 (easting): not a number: '300O20.25'\n")
        self.assertEqual(read_file(os.path.join(directory, "3dpoint.dxf")), old)

    def test_classic_list_and_decimal_comma_table_at_three_decimals(self):
        for arguments, data in (
                (["--decimals", "3"], b"2\r\n0.35 4500000.1235 -0.0004\r\n1 2 3\r\n"),
                (["--columns", "xyz", "--decimal-comma", "--decimals", "3"],
                 b"0,35;4500000,1235;-0,0004\r\n1;2;3\r\n")):
            directory, done = self.convert(arguments, {"input.txt": data})
            self.assertEqual((done.returncode, done.stderr), (0, b""), arguments)
            text = read_file(os.path.join(directory, "3dpoint.dxf"))
            self.assertIn(b"\r\n 10\r\n0.350\r\n 20\r\n4500000.123\r\n 30\r\n0.000\r\n", text)
            self.assertIn(b"\r\n 10\r\n1.000\r\n 20\r\n2.000\r\n 30\r\n3.000\r\n", text)
            self.assertEqual(ezdxf.readfile(os.path.join(directory, "3dpoint.dxf")).audit().has_errors, False)

    def test_table_without_other_options_draws_the_classic_file(self):
        """Single precision and one decimal, as the classic list of the same points."""
        points = b"1.5 -2.25 0\r\n4500000.1235 300000.45 0.35\r\n1e3 7 -0.04\r\n"
        directory, done = self.convert([], {"input.txt": b"3\r\n" + points})
        self.assertEqual(done.returncode, 0)
        classic = read_file(os.path.join(directory, "3dpoint.dxf"))
        for arguments, table in ((["--columns", "xyz"], points),
                                 (["--columns", "p-xyz", "--skip", "2"], b"h1\r\nh2\r\n" + b"".join(
                                     b"P%d x " % i + line + b"\r\n" for i, line in enumerate(points.split(b"\r\n")[:3])))):
            directory, done = self.convert(arguments, {"input.txt": table})
            self.assertEqual((done.returncode, done.stderr), (0, b""), arguments)
            self.assertEqual(read_file(os.path.join(directory, "3dpoint.dxf")), classic, arguments)


if __name__ == "__main__":
    main()
