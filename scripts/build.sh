#!/usr/bin/env bash
# Configures and builds every target: native (logic, tests, slotdrive), the 32-bit Windows
# programs (win32) and the Windows GoogleTest programs (win32-tests, another thread model).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native win32 win32-tests; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
