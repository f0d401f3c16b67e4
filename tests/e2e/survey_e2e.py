#!/usr/bin/env python3
"""The survey options run as a user runs them: a PNEZD table with a header in,
a drawing that ezdxf (and GDAL's ogrinfo, where installed) reads back; a
refused table line told in one line with nothing written; the classic list
at three decimals.

usage: survey_e2e.py --program "CMD ..." [unittest options]
"""
import os
import resource
import shutil
import subprocess
import unittest

import ezdxf
import ezdxf.lldxf.encoding

import program
from program import PROGRAM, FreshDirectories, clean_environment, line_end, main, read_file

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
        self.assertEqual([p.dxf.layer for p in points], ["TREE", "oak tree", "TREE", "0", "TREE"])
        self.assertEqual({t.dxf.layer for t in labels}, {"LABEL-NAME"})
        self.assertEqual(sorted(layer.dxf.name for layer in doc.layers if layer.dxf.name != "Defpoints"),
                         ["0", "LABEL-NAME", "TREE", "oak tree"])
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
        self.assertEqual(done.stderr,
                         b"3dpoint: s.txt, line 3, field 3 (easting): not a number: '300O20.25'" + line_end())
        self.assertEqual(read_file(os.path.join(directory, "3dpoint.dxf")), old)
        # A name outside ASCII as every other message shows it: the system's
        # own text for a person (Windows: the ANSI code page, not UTF-8).
        _, done = self.convert(SURVEY_OPTIONS + ["Höhe.csv"], {"Höhe.csv": table})
        self.assertEqual(done.returncode, 65)
        name = "Höhe.csv".encode("cp1252" if program.WINDOWS else "utf-8")
        self.assertTrue(done.stderr.startswith(b"3dpoint: " + name + b", line 3"), done.stderr)
        self.assertTrue(done.stderr.endswith(line_end()) and not done.stderr.endswith(b"\r" + line_end()))

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

    def test_a_table_keeps_every_digit_typed(self):
        """Double precision, and as many decimals as the most precise coordinate has."""
        table = b"1.5 -2.25 0\r\n4500000.1235 300000.45 0.35\r\n1e3 7 -0.04\r\n"
        directory, done = self.convert(["--columns", "xyz"], {"input.txt": table})
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        doc = ezdxf.readfile(os.path.join(directory, "3dpoint.dxf"))
        self.assertEqual([tuple(p.dxf.location) for p in doc.modelspace().query("POINT")],
                         [(1.5, -2.25, 0.0), (4500000.1235, 300000.45, 0.35), (1000.0, 7.0, -0.04)])
        text = read_file(os.path.join(directory, "3dpoint.dxf"))
        self.assertIn(b"\r\n 10\r\n4500000.1235\r\n 20\r\n300000.4500\r\n", text)
        self.assertIn(b"$DWGCODEPAGE\r\n  3\r\nANSI_1252\r\n", text)

    def test_a_spreadsheet_export_reads_as_its_clean_twin(self):
        """A comma-decimal spreadsheet's CSV: mark, header, ';', decimal commas, quotes, CR LF."""
        export = ("\ufeffPunkt;Nord;Ost;Höhe;Code\r\n"
                  "1;4500000,125;300000,5;12,25;\"Eiche; alt\"\r\n"
                  "\"P 2\";4500010,5;300020,25;13;Zaun\r\n").encode("utf-8")
        twin = ("1,4500000.125,300000.5,12.25,Eiche; alt\n"
                "P 2,4500010.5,300020.25,13,Zaun\n").encode("utf-8")
        exported_dir, done = self.convert(["--columns", "pnezd", "--labels", "name,description", "--layers", "e.csv",
                                           "e.dxf"], {"e.csv": export})
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        twin_dir, twin_done = self.convert(["--columns", "pnezd", "--labels", "name,description", "--layers",
                                            "--delimiter", ",", "--decimals", "3", "t.csv", "t.dxf"], {"t.csv": twin})
        self.assertEqual((twin_done.returncode, twin_done.stderr), (0, b""))
        self.assertEqual(read_file(os.path.join(exported_dir, "e.dxf")), read_file(os.path.join(twin_dir, "t.dxf")))
        doc = ezdxf.readfile(os.path.join(exported_dir, "e.dxf"))
        self.assertEqual([t.dxf.text for t in doc.modelspace().query("TEXT")], ["1", "Eiche; alt", "P 2", "Zaun"])
        self.assertEqual(tuple(doc.modelspace().query("POINT")[1].dxf.location), (300020.25, 4500010.5, 13.0))

    def test_names_in_any_script_read_back_as_typed(self):
        names = ["Höhe", "столб", "σημείο", "测量点", "点🙂", "Hähe", "СТОЛБ"]
        table = "".join("%s,%d,%d,0,%s\n" % (n, i, i, n) for i, n in enumerate(names)).encode("utf-8")
        directory, done = self.convert(["--columns", "pxyzd", "--labels", "--layers", "s.csv"], {"s.csv": table})
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        doc = ezdxf.readfile(os.path.join(directory, "3dpoint.dxf"))
        self.assertEqual(doc.audit().has_errors, False)
        decoded = [ezdxf.lldxf.encoding.decode_dxf_unicode(t.dxf.text).encode("utf-16", "surrogatepass").decode("utf-16")
                   for t in doc.modelspace().query("TEXT")]
        self.assertEqual(decoded, names)
        layers = [p.dxf.layer for p in doc.modelspace().query("POINT")]
        self.assertEqual(len(set(layers)), len(names) - 1)  # СТОЛБ is столб in another case
        self.assertEqual(layers[1], layers[6])

    def test_one_script_tables_read_in_its_code_page(self):
        for names, page in ((["столб", "забор"], "ANSI_1251"), (["测量点", "道路"], "ANSI_936"),
                            (["Höhe", "Straße"], "ANSI_1252")):
            table = "".join("%s,%d,%d,0\n" % (n, i, i) for i, n in enumerate(names)).encode("utf-8")
            directory, done = self.convert(["--columns", "pxyz", "--labels", "s.csv"], {"s.csv": table})
            self.assertEqual((done.returncode, done.stderr), (0, b""))
            doc = ezdxf.readfile(os.path.join(directory, "3dpoint.dxf"))
            self.assertEqual(doc.header["$DWGCODEPAGE"], page)
            self.assertEqual([t.dxf.text for t in doc.modelspace().query("TEXT")], names)

    def test_code_page_inputs_draw_as_their_utf8_twins(self):
        for names, encoding in ((["Höhe", "Straße", "Gebäude"], "cp1252"), (["測量点", "道路"], "cp932")):
            rows = "".join("%s;%d;%d;0;%s\r\n" % (n, i, i, n) for i, n in enumerate(names))
            options = ["--columns", "pxyzd", "--labels", "--layers"]
            utf8_dir, done = self.convert(options + ["s.csv"], {"s.csv": rows.encode("utf-8")})
            self.assertEqual((done.returncode, done.stderr), (0, b""), encoding)
            page_dir, done = self.convert(options + ["--encoding", encoding, "s.csv"], {"s.csv": rows.encode(encoding)})
            self.assertEqual((done.returncode, done.stderr), (0, b""), encoding)
            self.assertEqual(read_file(os.path.join(page_dir, "3dpoint.dxf")),
                             read_file(os.path.join(utf8_dir, "3dpoint.dxf")), encoding)
        # A byte that is no character of the encoding is refused, not guessed.
        _, done = self.convert(["--columns", "pxy", "--encoding", "cp1252", "s.csv"], {"s.csv": b"a\x81b 1 2\n"})
        self.assertEqual(done.returncode, 65)
        self.assertIn(b"(point name): not ANSI_1252 text: 'a\\x81b'", done.stderr)

    def test_a_coded_survey_draws_its_lines(self):
        """Two road edges shot in turn, a closed building, a restart and a one-point string."""
        coded = (b"P,N,E,Z,D\r\n1,0,0,1,EP1 B\r\n2,0,10,1,EP2\r\n3,20,0,2,EP1\r\n4,20,10,2,EP2\r\n"
                 b"5,5,30,3,BLDG B\r\n6,5,40,3,BLDG\r\n7,15,40,3,BLDG\r\n8,15,30,3,BLDG C\r\n"
                 b"9,40,0,3,EP1\r\n10,60,1,3,EP1 b restart\r\n11,80,2,4,ep1\r\n12,9,9,9,FL\r\n")
        codes = b"code,layer,colour,line\r\nBLDG,Buildings,5,line\r\nEP,,,yes\r\n"
        directory, done = self.convert(["--columns", "pnezd", "--codes", "codes.csv", "--lines", "FL", "s.csv"],
                                       {"s.csv": coded, "codes.csv": codes})
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stderr, b"3dpoint: 4 lines drawn, 1 one-point string skipped (code FL)" + line_end())
        doc = ezdxf.readfile(os.path.join(directory, "3dpoint.dxf"))
        self.assertEqual(doc.audit().has_errors, False)
        lines = [(p.dxf.layer, p.is_closed, [tuple(v.dxf.location)[:2] for v in p.vertices])
                 for p in doc.modelspace().query("POLYLINE")]
        self.assertEqual(lines, [("EP1", False, [(0, 0), (0, 20), (0, 40)]),
                                 ("EP2", False, [(10, 0), (10, 20)]),
                                 ("Buildings", True, [(30, 5), (40, 5), (40, 15), (30, 15)]),
                                 ("EP1", False, [(1, 60), (2, 80)])])
        self.assertEqual(doc.layers.get("Buildings").dxf.color, 5)
        self.assertEqual(len(doc.modelspace().query("POINT")), 12)
        # A bad codes file and a bad control word are refused with the old drawing kept.
        for files, told in (({"codes.csv": b"BLDG,Buildings,300\r\n"}, b"line 1, field 3 (colour)"),
                            ({"codes.csv": codes, "s.csv": coded.replace(b"EP1 B", b"EP1 B E")},
                             b"line 2, field 5 (description)")):
            files = dict({"s.csv": coded, "3dpoint.dxf": b"old\r\n"}, **files)
            directory, done = self.convert(["--columns", "pnezd", "--codes", "codes.csv", "s.csv"], files)
            self.assertEqual(done.returncode, 65, done.stderr)
            self.assertIn(told, done.stderr)
            self.assertEqual(read_file(os.path.join(directory, "3dpoint.dxf")), b"old\r\n")

    def test_hostile_names_give_a_drawing_every_reader_takes(self):
        hostile = [b"CR\rLF", b"%%d", b"0", b"EOF", b"SECTION", b"a^b", b"C:\\U+0041", b"tab\there"]
        table = b"".join(b"\"%s\",%d,%d,0,\"%s\"\n" % (n, i, i, n) for i, n in enumerate(hostile))
        directory, done = self.convert(["--columns", "pxyzd", "--labels", "name,description", "--layers", "s.csv"],
                                       {"s.csv": table})
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        doc = ezdxf.readfile(os.path.join(directory, "3dpoint.dxf"))
        auditor = doc.audit()
        self.assertEqual([str(e) for e in auditor.errors], [])
        self.assertEqual(len(doc.modelspace().query("POINT")), len(hostile))
        long_name = b"n" * 300
        directory, done = self.convert(["--columns", "pxy", "--labels", "s.csv"], {"s.csv": long_name + b" 1 2\n"})
        self.assertEqual(done.returncode, 65)
        self.assertIn(b"longer than 255 characters", done.stderr)

    def test_running_out_of_memory_is_always_the_numbered_report(self):
        if program.WINDOWS:
            self.skipTest("an address-space limit on Wine limits Wine itself")
        with open(PROGRAM[-1], "rb") as f:
            if b"__asan_init" in f.read():
                self.skipTest("AddressSanitizer reserves more address space than any limit here")
        table = b"".join(b"%d %d 0 C%d\n" % (i, i, i) for i in range(200000))
        for limit in (20, 30, 40, 60, 80, 120):
            directory = self.new_directory({"s.txt": table})
            done = subprocess.run(PROGRAM + ["--columns", "xyzd", "--layers", "s.txt", "s.dxf"], cwd=directory,
                                  env=clean_environment({"TDP_NO_PROGRESS": "1"}), capture_output=True, timeout=120,
                                  preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_AS, (limit << 20, limit << 20)))
            self.assertIn(done.returncode, (0, 41), done.stderr)
            if done.returncode == 41:
                self.assertIn(b"forrtl: severe (41): insufficient virtual memory", done.stderr)
                self.assertFalse(os.path.exists(os.path.join(directory, "s.dxf")))


if __name__ == "__main__":
    main()
