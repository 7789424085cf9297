#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer), runs each
# for a bounded time from its seed corpus, then runs every seed once as a regression test.
# usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
# Inputs found along the way stay in <build>/corpus/<target>; a crash is kept as
# <build>/artifacts/<target>-crash-* and fails the run. <build> is build/fuzz (the "fuzz"
# preset) unless SLOT_FUZZ_BUILD names another folder. SLOT_FUZZ_SEED fixes libFuzzer's random
# seed, so that a run on unchanged code walks the same inputs (CI sets it).
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(reg_file drive_lookups definitions tolket)

build=${SLOT_FUZZ_BUILD:-build/fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DSLOT_FUZZ=ON >/dev/null || exit 1
fi
cmake --build "$build" -j2 --target fuzz_targets >/dev/null ||
  { cmake --build "$build" -j2 --target fuzz_targets; exit 1; }

passed=0
failed=0
mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
  bin=$build/fuzz/fuzz_$t
  work=$build/corpus/$t
  mkdir -p "$work"
  log=$build/fuzz_$t.log
  seed=()
  [ -n "${SLOT_FUZZ_SEED:-}" ] && seed=(-seed="$SLOT_FUZZ_SEED")
  dict=()
  case $t in drive_lookups|definitions) dict=(-dict=fuzz/dict/registry_image.dict) ;; esac
  # New inputs go to the first folder; the committed seeds are only read.
  "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${seed[@]}" "${dict[@]}" -artifact_prefix="$build/artifacts/$t-" \
    "$work" "fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  # Every seed once more, as a regression test.
  "$bin" fuzz/corpus/$t/* >>"$log" 2>&1 || rc=1
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz_$t: ${runs:-0} runs in ${seconds} s, $(ls "$work" | wc -l) inputs in the corpus: ok"
  else
    failed=$((failed + 1))
    echo "fuzz_$t: FAILED (see $log)"
    grep -E 'ERROR|broken:|SUMMARY' "$log" | head -5
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
