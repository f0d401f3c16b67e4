#!/usr/bin/env bash
# An exhaustive check on the 32-bit register path: the text cores pick that
# path from the pointer width at compile time, so the check and the cores
# are built -m32 (SSE arithmetic, as the Windows target) with the default
# build's optimisation, and run natively. Needs g++ with multilib.
# usage: tests/exhaustive/narrow_register_check.sh [CHECK] [ARGUMENTS]
#   CHECK names tests/exhaustive/CHECK_exhaustive.cpp (default fixed_format,
#   whose arguments are FIRST END in hex, END exclusive; decimal_conversion
#   takes COUNT [SEED]).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
check=fixed_format
if [[ $# -gt 0 && -f "$root/tests/exhaustive/$1_exhaustive.cpp" ]]; then
    check=$1
    shift
fi
out=${TMPDIR:-/tmp}/${check}_exhaustive_m32
g++ -m32 -msse2 -mfpmath=sse -O2 -DNDEBUG -std=c++20 -Wall -Wextra -Werror -pthread \
    -I"$root/src" -I"$root/tests" "$root/tests/exhaustive/${check}_exhaustive.cpp" \
    "$root"/src/io/format/*.cpp "$root/src/io/scan/decimal_conversion.cpp" "$root/src/io/scan/nearest_double.cpp" \
    "$root/src/io/scan/number_text.cpp" \
    -o "$out"
exec "$out" "$@"
