#!/usr/bin/env bash
# The test script's own helpers: the count of skipped tests that tools/test prints at its end.
set -uo pipefail
cd "$(dirname "$0")/.."
failures=0
expect() {  # expect NAME WANTED_CODE WANTED_OUTPUT INPUT
  local out code
  out="$(printf '%b' "$4" | tools/ctest-summary)"
  code=$?
  if [[ "$code" != "$2" || "$out" != "$3" ]]; then
    echo "$1: exit $code, output:"$'\n'"$out"$'\n'"wanted exit $2, output:"$'\n'"$3" >&2
    failures=$((failures + 1))
  fi
}
expect "none skipped" 0 "skipped tests: 0" \
  "100% tests passed, 0 tests failed out of 256\n"
expect "a skipped process test and a skipped gtest" 3 \
  $'skipped tests: 2\n  restart_twenty_times\n  Window.Pane/Shown' \
  "The following tests did not run:\n\t253 - restart_twenty_times (Skipped)\n\t 12 - Window.Pane/Shown (Skipped)\n"
expect "a failed test is not a skipped one" 0 "skipped tests: 0" \
  "The following tests FAILED:\n\t254 - soak_200_runs (Timeout)\n\t 9 - A.B (Failed)\n"
exit $((failures > 0))
