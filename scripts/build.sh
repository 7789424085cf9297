#!/usr/bin/env bash
# Configures and builds both targets: native (logic, tests, slotdrive) and 32-bit Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native win32; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
