#!/usr/bin/env python3
"""Survey runs through the Linux program and the Windows program under Wine:
random point tables (names and codes in several scripts, quotes, decimal
commas, line codes with their control words) under every kind of survey
option; the drawing, the exit status and standard error (CR LF as LF) must
agree byte for byte. A differing input is kept and named.

usage: WINEPREFIX=... tests/exhaustive/survey_agreement.py LINUX_3DPOINT WIN32_3DPOINT_EXE COUNT SEED
"""
import os, random, shutil, subprocess, sys, tempfile

LINUX, WINEXE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
N, SEED = int(sys.argv[3]), int(sys.argv[4])
ENV = {k: v for k, v in os.environ.items()
       if not k.startswith(("FOR", "TBK", "TDP_", "f77_dump_flag", "decfort_dump_flag"))}
ENV["TDP_NO_PROGRESS"] = "1"
rng = random.Random(SEED)
WORDS = ["TREE", "tree", "EP", "EP1", "EP2", "FL", "Höhe", "столб", "σημείο", "测量点", "Zaun; alt", "%%d", "a^b",
         "", "BLDG", "x\\U+41"]
OPTIONS = [
    ["--columns", "pnezd"],
    ["--columns", "pnezd", "--labels", "name,elevation,description", "--layers", "--text-height", "0.5"],
    ["--columns", "pnezd", "--blocks", "--layers", "--decimals", "2"],
    ["--columns", "pnezd", "--lines", "EP,FL,BLDG", "--labels"],
    ["--columns", "pnezd", "--lines", "EP,BLDG", "--flat", "--lines-only", "--extents"],
    ["--columns", "pnezd", "--layers", "--codepage", "ANSI_1251", "--point-style", "35,0.25"],
    ["--columns", "pnezd", "--layers", "--labels", "--decimal-comma", "--delimiter", ";"],
]


def number(comma):
    text = f"{rng.uniform(-1e6, 1e6):.{rng.randint(0, 5)}f}"
    return text.replace(".", ",") if comma else text


def table(comma):
    delimiter = ";" if comma else rng.choice([",", ";", "\t"])
    rows = []
    for i in range(rng.randint(1, 40)):
        code = rng.choice(WORDS)
        if code.startswith(("EP", "BLDG", "FL")) and rng.random() < 0.3:
            code += " " + rng.choice(["B", "E", "C", "b", "note"])
        name = rng.choice([str(i + 1), "P" + str(i), rng.choice(WORDS)])
        quote = lambda t: '"' + t.replace('"', '""') + '"' if (delimiter in t or '"' in t or rng.random() < 0.1) else t
        rows.append(delimiter.join([quote(name), number(comma), number(comma), number(comma), quote(code)]))
    return ("\ufeff" if rng.random() < 0.3 else "") + "\r\n".join(rows) + "\r\n"


def run(command, directory):
    done = subprocess.run(command, cwd=directory, env=ENV, capture_output=True, timeout=120)
    path = os.path.join(directory, "out.dxf")
    drawing = open(path, "rb").read() if os.path.exists(path) else None
    return done.returncode, drawing, done.stderr.replace(b"\r\n", b"\n")


def as_windows_shows(stderr):
    """A message as the Windows program writes it for a person: in the ANSI
    code page (1252 in a fresh Wine prefix), '?' for what it cannot hold."""
    return stderr.decode("utf-8").encode("cp1252", errors="replace")


def main():
    for k in range(N):
        options = rng.choice(OPTIONS)
        text = table("--decimal-comma" in options).encode("utf-8")
        results = []
        for program in ([LINUX], ["wine", WINEXE]):
            directory = tempfile.mkdtemp(prefix="3dpoint-agree-")
            with open(os.path.join(directory, "s.csv"), "wb") as f:
                f.write(text)
            results.append(run(program + options + ["s.csv", "out.dxf"], directory))
            shutil.rmtree(directory)
        linux, windows = results
        if (linux[0], linux[1], as_windows_shows(linux[2])) != windows:
            kept = os.path.abspath(f"survey-disagreement-{SEED}-{k}.csv")
            with open(kept, "wb") as f:
                f.write(text)
            sys.exit(f"run {k}: {' '.join(options)} differs on {kept}: status {results[0][0]} / {results[1][0]}\n"
                     f"{results[0][2]!r}\n{results[1][2]!r}")
    print(f"{N} survey runs agree byte for byte")


if __name__ == "__main__":
    main()
