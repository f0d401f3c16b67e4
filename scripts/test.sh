#!/usr/bin/env bash
# Builds and runs every test, in the normal build, under AddressSanitizer
# and UndefinedBehaviorSanitizer, under ThreadSanitizer (the console events
# and the process endings have a thread of the system's to meet), and for
# 32-bit Windows under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh tests win32
for preset in default sanitize tsan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$(nproc)"
  ctest --preset "$preset"
done
scripts/test-win32.sh
