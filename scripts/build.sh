#!/usr/bin/env bash
# Configures and builds every target: native (logic, tests, slotdrive), the 32-bit Windows
# programs (win32) and the Windows GoogleTest programs (win32-tests, another thread model).
# SLOT_WARNINGS_AS_ERRORS=ON (as scripts/test.sh sets it) makes every warning an error; each
# configure passes it, so that a tree configured before picks it up too.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native win32 win32-tests; do
  cmake --preset "$preset" -DSLOT_WARNINGS_AS_ERRORS="${SLOT_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
  cmake --build --preset "$preset"
done
