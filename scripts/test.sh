#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test: the native suite,
# then the Windows programs under Wine. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
status=0
echo "== native tests"
ctest --preset native -j2 || status=1
echo "== Windows tests under Wine"
start=$(date +%s)
ctest --preset win32 || status=1
echo "Wine stage took $(( $(date +%s) - start )) s"
exit $status
