#!/usr/bin/env bash
# The benchmark tables of docs/performance.md: every benchmark beside its registry floor on
# images of 200, 2,000 and 20,000 mount records, natively on the in-memory registry and as a
# Windows program under Wine on Wine's real registry (a fresh prefix).
# usage: scripts/bench.sh [MIN_SECONDS_PER_BENCHMARK]   (default 0.5)
# Builds with the native and win32 presets unless SLOT_BENCH_NATIVE / SLOT_BENCH_WIN32 name
# build folders that already hold slot_bench.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-0.5}
native=${SLOT_BENCH_NATIVE:-build/native}
win32=${SLOT_BENCH_WIN32:-build/win32}
if [ -z "${SLOT_BENCH_NATIVE:-}" ]; then bash scripts/build.sh >/dev/null; fi

echo "## In-memory registry (native)"
"$native/bench/slot_bench" --min-time="$seconds"

. scripts/wine-env.sh
wine_prefix_start
trap wine_prefix_stop EXIT
definitions="Z:$(pwd | tr / '\\')\\resources\\definitions\\tavrik_definitions.reg"
echo
echo "## Win32 registry (Wine)"
wine "$win32/bench/slot_bench.exe" --min-time="$seconds" --definitions="$definitions" \
  2> >(tr -d '\r' >&2) | tr -d '\r'
