#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and fuzzes
# each one, then runs every seed once as a regression test.
#
# usage: scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
#   Runs each target for a bounded time from its seed corpus. Inputs found along the way stay
#   in <build>/corpus/<target>; a crash is kept as <build>/artifacts/<target>-crash-* and fails
#   the run.
# usage: scripts/fuzz.sh --long [EXECUTIONS]    (default 10000000 a target)
#   Runs each target until its campaign has made that many executions, then merges what it found with
#   the committed inputs into a minimal corpus that replaces fuzz/corpus/<target> (hand-named
#   seeds are kept as they are), and measures the line coverage that corpus gives the files the
#   target exercises (a second clang build, <build>-coverage, with source-based coverage).
#   Prints a table, also written to <build>/long/report.md: executions, time, executions a
#   second, new corpus entries, line coverage. SLOT_FUZZ_LONG_SECONDS caps the time of each
#   target (the table then shows the executions actually made); SLOT_FUZZ_TARGETS picks targets.
#   A campaign may take several runs, since one run rarely has the hours: every run adds a line
#   to fuzz/long_runs.tsv (committed with the corpus it left), and the next run of a target
#   goes on from that corpus for the executions its campaign still lacks.
#
# <build> is build/fuzz (the "fuzz" preset) unless SLOT_FUZZ_BUILD names another folder.
# SLOT_FUZZ_SEED fixes libFuzzer's random seed, so that a run on unchanged code walks the same
# inputs (CI sets it).
set -uo pipefail
cd "$(dirname "$0")/.."
mode=short
if [ "${1:-}" = "--long" ]; then
  mode=long
  executions=${2:-10000000}
else
  seconds=${1:-60}
fi
targets=(${SLOT_FUZZ_TARGETS:-reg_file drive_lookups definitions tolket})

build=${SLOT_FUZZ_BUILD:-build/fuzz}
# Configured each time, so that SLOT_WARNINGS_AS_ERRORS (set by scripts/test.sh) reaches a tree
# configured before.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DSLOT_FUZZ=ON \
  -DSLOT_WARNINGS_AS_ERRORS="${SLOT_WARNINGS_AS_ERRORS:-OFF}" >/dev/null || exit 1
cmake --build "$build" -j2 --target fuzz_targets >/dev/null ||
  { cmake --build "$build" -j2 --target fuzz_targets; exit 1; }

mkdir -p "$build/artifacts"

# libFuzzer's options shared by both modes; the registry-image targets and Tolket's get their
# dictionaries.
# The entropic schedule keeps as rare every feature seen fewer times than the threshold (255 by
# default) and searches that list, one by one, for each feature of each execution: loaded from
# a corpus of a thousand inputs it held thousands, and that search took up to 44 % of a target's
# time. At 1 it keeps the rarest hundred its other default names.
fuzz_options() {
  local t=$1
  echo "-timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=$build/artifacts/$t-"
  echo "-entropic_feature_frequency_threshold=1"
  [ -n "${SLOT_FUZZ_SEED:-}" ] && echo "-seed=$SLOT_FUZZ_SEED"
  case $t in
    drive_lookups|definitions) echo "-dict=fuzz/dict/registry_image.dict" ;;
    tolket) echo "-dict=fuzz/dict/tolket.dict" ;;
  esac
}

# The files whose line coverage a target's corpus is measured on: the parsers and lookups it
# drives, not the in-memory twins around them.
coverage_files() {
  case $1 in
    reg_file) echo platform/reg_files/reg_file.cpp platform/reg_files/reg_file_export.cpp ;;
    drive_lookups)
      echo common/slot_drive_finder.cpp common/slot_drive_assigner.cpp common/disk_enum.cpp \
        common/mount_records.cpp common/present_devices_9x.cpp common/slot_id.cpp \
        common/fixed_buffer_reads.cpp ;;
    definitions)
      echo tavrik/reader_definitions.cpp tavrik/reader_definition.cpp \
        platform/owners/scoped_reg_key.cpp common/fixed_buffer_reads.cpp ;;
    tolket)
      echo tavrik/icon_entry.cpp tools/tolket/drive_icon_whitelist.cpp \
        tools/tolket/tolket_run.cpp ;;
  esac
}

# Executions libFuzzer reports in the log (the last run in it).
executions_in() {
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$1" | grep -o '[0-9]*$' | tail -1)
  echo "${runs:-0}"
}

# A failed target: the count goes up and the first lines of the report are shown.
report_failure() {
  failed=$((failed + 1))
  echo "$1 (see $2)"
  grep -E 'ERROR|broken:|SUMMARY' "$2" | head -5
}

# The executions the long runs of a target have made so far, from the ledger.
campaign_executions() {
  awk -F'\t' -v t="$1" '$2 == t { n += $3 } END { print n + 0 }' fuzz/long_runs.tsv 2>/dev/null ||
    echo 0
}

llvm_tool() {
  command -v "$1-14" || command -v "$1" || { echo "fuzz: $1 not found (scripts/setup.sh)" >&2; exit 1; }
}

# "covered/total (percent)" of the lines of the target's files over its committed corpus.
line_coverage() {
  local t=$1 cov=$2
  local raw=$cov/profiles/$t.profraw data=$cov/profiles/$t.profdata
  mkdir -p "$cov/profiles"
  rm -f "$raw"
  LLVM_PROFILE_FILE=$raw "$cov/fuzz/fuzz_$t" fuzz/corpus/$t/* >"$cov/profiles/$t.log" 2>&1
  "$(llvm_tool llvm-profdata)" merge -sparse "$raw" -o "$data" || return 1
  # shellcheck disable=SC2046
  "$(llvm_tool llvm-cov)" report "$cov/fuzz/fuzz_$t" -instr-profile="$data" \
      $(coverage_files "$t") >"$cov/profiles/$t.txt" || return 1
  # A build made from another checkout names its files by that checkout's paths; none of ours
  # would match, and llvm-cov would total every file instead. That is refused, not reported.
  # shellcheck disable=SC2046
  "$(llvm_tool llvm-cov)" export -summary-only "$cov/fuzz/fuzz_$t" -instr-profile="$data" \
      $(coverage_files "$t") |
    python3 -c 'import json, sys
data = json.load(sys.stdin)["data"][0]
if len(data["files"]) != int(sys.argv[1]):
    sys.exit("coverage: the build does not name the files of this checkout"
             " (built elsewhere, or with CCACHE_BASEDIR: rebuild it)")
lines = data["totals"]["lines"]
print("%d/%d (%.1f %%)" % (lines["covered"], lines["count"], lines["percent"]))' \
      "$(coverage_files "$t" | wc -w)"
}

if [ "$mode" = long ]; then
  cov=$build-coverage
  if [ ! -f "$cov/CMakeCache.txt" ]; then
    cmake -S . -B "$cov" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DSLOT_FUZZ=ON -DSLOT_FUZZ_COVERAGE=ON >/dev/null || exit 1
  fi
  # ccache with CCACHE_BASEDIR hands the compiler relative source paths, and the coverage
  # mapping keeps them: llvm-cov would then find none of the files named below.
  env -u CCACHE_BASEDIR cmake --build "$cov" -j2 --target fuzz_targets >/dev/null ||
    { env -u CCACHE_BASEDIR cmake --build "$cov" -j2 --target fuzz_targets; exit 1; }
  report=$build/long/report.md
  ledger=fuzz/long_runs.tsv
  [ -f "$ledger" ] ||
    printf 'date\ttarget\texecutions\tseconds\tnew corpus entries\tcorpus files\tline coverage\n' \
      >"$ledger"
  mkdir -p "$build/long"
  {
    echo "| target | executions | time | executions/s | new corpus entries | corpus | line coverage | campaign |"
    echo "|---|---:|---:|---:|---:|---:|---:|---:|"
  } >"$report"
  failed=0
  for t in "${targets[@]}"; do
    done_before=$(campaign_executions "$t")
    wanted=$((executions - done_before))
    if [ "$wanted" -le 0 ]; then
      echo "fuzz_$t: its campaign has $done_before executions already"
      continue
    fi
    bin=$build/fuzz/fuzz_$t
    work=$build/long/$t
    rm -rf "$work"
    mkdir -p "$work/found" "$work/merged"
    log=$work/fuzz.log
    cap=()
    [ -n "${SLOT_FUZZ_LONG_SECONDS:-}" ] && cap=(-max_total_time="$SLOT_FUZZ_LONG_SECONDS")
    start=$(date +%s)
    # shellcheck disable=SC2046
    "$bin" -runs="$wanted" "${cap[@]}" $(fuzz_options "$t") "$work/found" "fuzz/corpus/$t" \
      >"$log" 2>&1
    rc=$?
    elapsed=$(( $(date +%s) - start ))
    runs=$(executions_in "$log")
    # The minimal corpus: the hand-named seeds as they are, then whatever else adds coverage.
    # (posix-extended: find's default regex syntax has no repeat counts.)
    ls "fuzz/corpus/$t" >"$work/before.txt"
    find "fuzz/corpus/$t" -regextype posix-extended -type f ! -regex '.*/[0-9a-f]{40}' \
      -exec cp {} "$work/merged/" \;
    "$bin" -merge=1 -timeout=10 -rss_limit_mb=2048 "$work/merged" "fuzz/corpus/$t" "$work/found" \
      >"$work/merge.log" 2>&1 || rc=1
    if [ -n "$(ls "$work/merged")" ]; then
      rm -f fuzz/corpus/$t/*
      cp "$work"/merged/* "fuzz/corpus/$t/"
    fi
    added=$(ls "fuzz/corpus/$t" | grep -cvxF -f "$work/before.txt")
    coverage=$(line_coverage "$t" "$cov") || coverage="(no coverage)"
    rate=$(( runs / (elapsed > 0 ? elapsed : 1) ))
    files=$(ls "fuzz/corpus/$t" | wc -l)
    [ $rc -eq 0 ] &&
      printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date +%F)" "$t" "$runs" "$elapsed" "$added" \
        "$files" "$coverage" >>"$ledger"
    campaign=$(campaign_executions "$t")
    row="| fuzz_$t | $runs | ${elapsed} s | $rate | $added | $files | $coverage | $campaign |"
    echo "$row" >>"$report"
    if [ $rc -eq 0 ]; then
      echo "fuzz_$t: $runs executions in $elapsed s ($rate a second), $added new corpus entries, line coverage $coverage; $campaign in its campaign"
      [ "$campaign" -lt "$executions" ] && echo "fuzz_$t: stopped at the time cap, short of $executions executions"
    else
      report_failure "fuzz_$t: FAILED after $runs executions" "$log"
    fi
  done
  cat "$report"
  echo "fuzz --long: $(( ${#targets[@]} - failed )) passed, $failed failed"
  [ $failed -eq 0 ]
  exit
fi

passed=0
failed=0
for t in "${targets[@]}"; do
  bin=$build/fuzz/fuzz_$t
  work=$build/corpus/$t
  mkdir -p "$work"
  log=$build/fuzz_$t.log
  # New inputs go to the first folder; the committed seeds are only read.
  # shellcheck disable=SC2046
  "$bin" -max_total_time="$seconds" $(fuzz_options "$t") "$work" "fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  # Every seed once more, as a regression test.
  "$bin" fuzz/corpus/$t/* >>"$log" 2>&1 || rc=1
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    echo "fuzz_$t: $(executions_in "$log") runs in ${seconds} s, $(ls "$work" | wc -l) inputs in the corpus: ok"
  else
    report_failure "fuzz_$t: FAILED" "$log"
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
