#!/usr/bin/env bash
# The Windows lane: builds the 32-bit Windows program and its tests with
# mingw-w64 and runs every suite under Wine, with one Wine server kept up for
# the whole run (otherwise each test program starts and stops its own).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh win32

# The same prefix as the win32 preset's environment.
export WINEPREFIX="$root/build/wine"
export WINEDEBUG=-all

now() { date +%s.%N; }
took() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

start=$(now)
mkdir -p "$WINEPREFIX"
# Fails when a server for the prefix is already up, which serves as well.
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
# Creates the prefix on first use; a later run finds it ready.
wine cmd /c exit >/dev/null 2>&1
prefix_time=$(took "$start")

start=$(now)
cmake --preset win32
cmake --build --preset win32 -j "$(nproc)"
build_time=$(took "$start")

start=$(now)
ctest --preset win32
echo "Windows lane: Wine server and prefix $prefix_time, build $build_time, tests $(took "$start")" >&2
