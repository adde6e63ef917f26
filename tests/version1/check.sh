#!/usr/bin/env bash
# Files of the first version keep opening to what the 1.0.0 program showed: for each NAME.bruvik,
# NAME.replay.json is what 1.0.0 printed for `--headless --replay NAME.bruvik --format json`, and
# NAME.at-MS.json for `--headless --replay NAME.bruvik --dump-at MS`; the program under test must
# print the same bytes.
# Usage: check.sh PROGRAM FILES:EXPECTED...   (each a folder of .bruvik files and one of outputs)
set -uo pipefail
program="$1"
shift
failures=0
checked=0
got="$(mktemp)"
trap 'rm -f "$got"' EXIT
for pair in "$@"; do
  files="${pair%%:*}"
  expected="${pair#*:}"
  for file in "$files"/*.bruvik; do
    name="$(basename "$file" .bruvik)"
    # A file without its outputs would pass unseen.
    if [[ ! -f "$expected/$name.replay.json" ]]; then
      echo "$name: no $expected/$name.replay.json" >&2
      failures=$((failures + 1))
    fi
  done
  for want in "$expected"/*.json; do
    base="$(basename "$want" .json)"
    name="${base%.*}"
    what="${base##*.}"
    if [[ "$what" == replay ]]; then
      args=(--format json)
    else
      args=(--dump-at "${what#at-}")
    fi
    (cd "$files" && "$program" --headless --replay "$name.bruvik" "${args[@]}") >"$got" 2>&1
    if ! cmp -s "$got" "$want"; then
      echo "$base: differs from what 1.0.0 printed:" >&2
      diff "$got" "$want" | head -20 >&2
      failures=$((failures + 1))
    fi
    checked=$((checked + 1))
  done
done
echo "$checked outputs checked, $failures wrong"
[[ "$checked" -gt 0 && "$failures" -eq 0 ]]
