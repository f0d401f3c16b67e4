#!/usr/bin/env bash
# Builds 3dpoint and runs it in DIR (default: examples/), converting
# DIR/input.txt into DIR/3dpoint.dxf.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "${1:-$root/examples}" && pwd)
"$root/scripts/install-deps.sh" native
# A first configuration leaves the tests out, so the program alone needs no
# GoogleTest; scripts/test.sh turns them on. A configured tree keeps its choice.
if [ ! -f "$root/build/default/CMakeCache.txt" ]; then
  (cd "$root" && cmake --preset default -DBUILD_TESTING=OFF >/dev/null)
fi
cmake --build "$root/build/default" --target 3dpoint
cd "$dir"
status=0
"$root/build/default/3dpoint" || status=$?
[ "$status" -eq 0 ] && echo "wrote $dir/3dpoint.dxf" >&2
exit "$status"
