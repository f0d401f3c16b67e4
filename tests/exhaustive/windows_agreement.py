#!/usr/bin/env python3
"""Random point lists in every free form a user writes (commas, blank lines,
"/", repeat counts, D and Q exponents, INF/NaN words, ties of one decimal,
long significands, a few malformed values) through the Linux program and the
Windows program under Wine: the output file, the exit status and the first
line of standard error must agree byte for byte. Shown paths are compared in
Unix form, and the Windows error line's CR CR LF (its text-mode stream) as
the Linux CR LF. A differing input is kept and named.

usage: WINEPREFIX=... tests/exhaustive/windows_agreement.py LINUX_3DPOINT WIN32_3DPOINT_EXE COUNT SEED [clean]
(keep one `wineserver -p` up for the prefix; "clean" leaves out the malformed values)
"""
import os, random, re, shutil, subprocess, sys, tempfile

LINUX, WINEXE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
N, SEED = int(sys.argv[3]), int(sys.argv[4])
# The programs' own variables change their reports: none may leak in.
ENV = {k: v for k, v in os.environ.items()
       if not k.startswith(("FOR", "TBK", "TDP_", "f77_dump_flag", "decfort_dump_flag"))}
rng = random.Random(SEED)
CLEAN = len(sys.argv) > 5  # no malformed values, exponents kept in range

def real():
    k = rng.random()
    if k < 0.25:
        return repr(round(rng.uniform(-1e4, 1e4), rng.randint(0, 6)))
    if k < 0.35:
        return str(rng.randint(-100000, 100000))
    if k < 0.5:
        m = f"{rng.uniform(-10, 10):.{rng.randint(0, 9)}f}"
        return m + rng.choice("DdEeQq") + rng.choice(["", "+", "-"]) + str(rng.randint(0, 30 if CLEAN else 45))
    if k < 0.55:
        return rng.choice(["INF", "-inf", "Infinity", "+INFINITY", "NaN", "-nan", "nan(1_a)", "+NAN"])
    if k < 0.62:
        return rng.choice(["0", "-0", ".5", "5.", "-.05", "0.05", "0.15", "0.25", "-0.25", "999.95", "1.5+3", "2-1", "1.5E"])
    if k < 0.7:   # ties and near-ties of one decimal
        return f"{rng.randint(-2000, 2000)}.{rng.choice(['05','15','25','35','45','55','65','75','85','95'])}"
    if k < 0.75:  # long significands
        return "".join(rng.choice("0123456789") for _ in range(rng.randint(20, 40))) + "." + "".join(rng.choice("0123456789") for _ in range(rng.randint(0, 10)))
    if k < 0.8:
        return f"{rng.uniform(0, 1):.9e}".replace("e", rng.choice("EDd"))
    if k < 0.83 and not CLEAN:  # rare faults
        return rng.choice(["1.2.3", "abc", "1e5x", "--1", "'x'", "T", "1;", "(1.5,2.0)"])
    return f"{rng.uniform(-1e6, 1e6):.{rng.randint(1, 4)}f}"

def sep():
    return rng.choice([" ", "  ", ",", ", ", " ,", "\t", "\n", "\r\n", " \n\n", ",\n", "\n\n  \n"])

def point_text():
    vals = [real() for _ in range(3)]
    k = rng.random()
    if k < 0.08:        # repeat counts
        r = rng.randint(1, 3)
        vals = [f"{r}*{vals[0]}"] + vals[1:][: 3 - r] if r < 3 else [f"3*{vals[0]}"]
    elif k < 0.12:
        vals = [f"{rng.randint(1,3)}*"] + vals[1:]
    elif k < 0.16:      # slash ends early
        vals = vals[: rng.randint(0, 2)] + ["/"]
    elif k < 0.20:      # null values
        i = rng.randint(0, 2)
        vals[i] = ""
        return ",".join(vals)
    return sep().join(vals)

def make_input():
    n = rng.choice([0, 1, 2, 3, 5, 10, 37, rng.randint(1, 300)])
    count = str(n)
    if rng.random() < 0.1 and not CLEAN:
        count = rng.choice([f"{n}.7", f"+{n}", f"{n}e0", f"0{n}", f"{n},", f"{n} /"])
    lines = [count]
    written = n if CLEAN or rng.random() > 0.05 else max(0, n - 1)
    for _ in range(written):
        lines.append(point_text())
        if rng.random() < 0.05:
            lines.append("")
    end = rng.choice(["\n", "\r\n"])
    text = end.join(lines) + rng.choice([end, "", end + end])
    return text.encode()

def run(cmd, d):
    p = subprocess.run(cmd, cwd=d, capture_output=True, timeout=120, env=ENV)
    dxf = None
    if os.path.exists(os.path.join(d, "3dpoint.dxf")):
        dxf = open(os.path.join(d, "3dpoint.dxf"), "rb").read()
    first = p.stderr.split(b"\n")[0].rstrip(b"\r").decode("latin-1")  # CR CR LF on Windows by design
    first = re.sub(r"Z:(\\[^ ,]*)", lambda m: m.group(1).replace("\\", "/"), first)
    return p.returncode, first, dxf, p.stdout

diffs = 0
kinds = {}
root = tempfile.mkdtemp(prefix="windows-agreement-")
for i in range(N):
    data = make_input()
    res = []
    for tag, cmd in (("lin", [LINUX]), ("win", ["wine", WINEXE])):
        d = os.path.join(root, f"{i}-{tag}")
        os.makedirs(d)
        open(os.path.join(d, "input.txt"), "wb").write(data)
        res.append(run(cmd, d))
    a, b = res
    a = (a[0], a[1].replace(os.path.join(root, f"{i}-lin"), "DIR"), a[2], a[3])
    b = (b[0], b[1].replace(os.path.join(root, f"{i}-win"), "DIR"), b[2], b[3])
    kinds[(a[0], a[2] is not None)] = kinds.get((a[0], a[2] is not None), 0) + 1
    if a != b:
        diffs += 1
        keep = os.path.join(tempfile.gettempdir(), f"windows-agreement-{SEED}-{i}.txt")
        open(keep, "wb").write(data)
        print(f"DIFF input {i} ({keep}): status {a[0]}/{b[0]}; stderr {a[1]!r} / {b[1]!r}; "
              f"dxf equal {a[2] == b[2]} (sizes {len(a[2] or b'')}/{len(b[2] or b'')}); stdout equal {a[3] == b[3]}")
    else:
        shutil.rmtree(os.path.join(root, f"{i}-lin")); shutil.rmtree(os.path.join(root, f"{i}-win"))
if not diffs:
    shutil.rmtree(root, True)  # a differing pair stays for a look
print(f"{N} inputs, seed {SEED}: {diffs} differ; (status, dxf written) counts: {kinds}")
sys.exit(1 if diffs else 0)
