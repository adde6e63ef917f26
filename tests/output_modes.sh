#!/usr/bin/env bash
# Every file the terminal writes gets the permissions any new file gets under the umask (0644
# under 022), whether it is new or replaces one: it is written under a private temporary name
# first, which must not leave it private.
# Usage: output_modes.sh PROGRAM
set -uo pipefail
program="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
export QT_QPA_PLATFORM=offscreen
failures=0
run=(--headless --seed 3 --max-time 3000)
sweep=(--headless --runs 1 --sweep rate=4..5 --max-time 2000)
check() {  # check UMASK WANTED FILE ARGS...
  local mask="$1" wanted="$2" file="$3"
  shift 3
  (umask "$mask" && "$program" "$@" >/dev/null 2>err.txt) || {
    echo "$file: the program failed: $(cat err.txt)" >&2
    failures=$((failures + 1))
    return
  }
  local mode
  mode="$(stat -c %a "$file")"
  if [[ "$mode" != "$wanted" ]]; then
    echo "$file under umask $mask: mode $mode, wanted $wanted" >&2
    failures=$((failures + 1))
  fi
}
for round in new replaced; do
  check 022 644 trace.csv "${run[@]}" --trace trace.csv
  check 022 644 run.bruvik "${run[@]}" --save-experiment run.bruvik
  check 022 644 timeline.svg "${run[@]}" --timeline timeline.svg
  check 022 644 timeline.png "${run[@]}" --timeline timeline.png
  check 022 644 plot.svg "${sweep[@]}" --plot plot.svg
  check 022 644 plot.png "${sweep[@]}" --plot plot.png
done
check 027 640 other.bruvik "${run[@]}" --save-experiment other.bruvik
echo "$failures wrong"
[[ "$failures" -eq 0 ]]
