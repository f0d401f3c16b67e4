#!/usr/bin/env bash
# The exhaustive F0.1/F3.1 check on the 32-bit register path: the text cores
# pick that path from the pointer width at compile time, so the check and the
# cores are built -m32 (SSE arithmetic, as the Windows target) with the
# default build's optimisation, and run natively. Needs g++ with multilib.
# usage: tests/exhaustive/narrow_register_check.sh [FIRST END]   (hex, END exclusive)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${TMPDIR:-/tmp}/fixed_format_exhaustive_m32
g++ -m32 -msse2 -mfpmath=sse -O2 -DNDEBUG -std=c++20 -Wall -Wextra -Werror -pthread \
    -I"$root/src" -I"$root/tests" "$root/tests/exhaustive/fixed_format_exhaustive.cpp" \
    "$root"/src/io/format/*.cpp "$root/src/io/scan/decimal_conversion.cpp" "$root/src/io/scan/nearest_double.cpp" \
    "$root/src/io/scan/number_text.cpp" \
    -o "$out"
exec "$out" "$@"
