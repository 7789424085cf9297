#!/usr/bin/env bash
# The whole fault-injection campaign: every call of every scenario failed in turn with each
# error it really returns, in the sanitizer build. Prints the campaign's table (scenario, calls,
# errors, runs, invariant breaks) and exits non-zero when an invariant broke. The README's test
# command runs a sample of it (every seventh call) as part of the unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."
{ [ -f build/asan/CMakeCache.txt ] || cmake --preset asan >/dev/null; } &&
  cmake --build --preset asan --target unit_tests >/dev/null
SLOT_FAULT_CAMPAIGN=full build/asan/tests/unit_tests --gtest_filter='FaultCampaign.*' |
  grep -E '^\||FAILED|PASSED|Failure|lost|reported|wrote'
