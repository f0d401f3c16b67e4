"""The expected DXF text for a list of points, built independently of the program."""
import math
import struct
from decimal import Decimal, Context, ROUND_HALF_EVEN

HEADER = [
    "  0", "SECTION", "  2", "HEADER",
    "  9", "$ACADVER", "  1", "AC1009",
    "  9", "$PDMODE", " 70", "    35",
    "  9", "$PDSIZE", " 40", "0.0",
    "  0", "ENDSEC",
    "  0", "SECTION", "  2", "TABLES", "  0", "ENDSEC",
    "  0", "SECTION", "  2", "BLOCKS", "  0", "ENDSEC",
    "  0", "SECTION", "  2", "ENTITIES",
]
TRAILER = ["  0", "ENDSEC", "  0", "EOF"]


def single(x):
    """The single-precision value nearest to x, as a Python float (exactly)."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


def f0_1(value):
    """Minimal-width real field with one decimal, from the exact single value."""
    if math.isnan(value):
        return "NaN"
    if math.isinf(value):
        return "-Infinity" if value < 0 else "Infinity"
    exact = Decimal(value)  # exact binary value
    if abs(exact) >= Decimal(10) ** 37:
        # At most 37 significant digits; later integer positions read "0".
        text = format(Context(prec=37, rounding=ROUND_HALF_EVEN).plus(exact), "f") + ".0"
    else:
        text = format(exact.quantize(Decimal("0.1"), rounding=ROUND_HALF_EVEN), "f")
    if text.startswith("-") and set(text[1:]) <= set("0."):
        text = text[1:]  # no sign on a zero result
    negative = text.startswith("-")
    body = text[1:] if negative else text
    if body.startswith("0."):
        body = body[1:]
    return ("-" if negative else "") + body


def records(points):
    out = list(HEADER)
    for i, (x, y, z) in enumerate(points, start=1):
        out += ["  0", "POINT", "  5", str(i), "  8", "0",
                " 10", f0_1(single(x)), " 20", f0_1(single(y)), " 30", f0_1(single(z))]
    return out + TRAILER


def dxf_bytes(points, terminator=b"\r\n"):
    return b"".join(r.encode("ascii") + terminator for r in records(points))
