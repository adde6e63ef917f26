#!/usr/bin/env bash
# A terminal run loads no Qt; the window, a screenshot, a plot and a timeline picture load it
# from the window library. Without that library the terminal still runs, and a picture is
# refused in one sentence.
# Usage: qt_on_demand.sh PROGRAM
set -uo pipefail
program="$(realpath "$1")"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
export QT_QPA_PLATFORM=offscreen
failures=0
run=(--headless --seed 3 --max-time 3000)
loads_qt() {  # loads_qt yes|no ARGS...: what the dynamic loader opened, by its own account
  local wanted="$1"
  shift
  LD_DEBUG=libs "$program" "$@" >/dev/null 2>loader.txt
  local found=no
  grep -q 'calling init: .*libQt6Core' loader.txt && found=yes
  if [[ "$found" != "$wanted" ]]; then
    echo "$*: Qt loaded: $found, wanted $wanted" >&2
    failures=$((failures + 1))
  fi
}
loads_qt no "${run[@]}" --format json
loads_qt no "${run[@]}" --runs 2 --threads 2 --format csv
loads_qt no "${run[@]}" --trace trace.csv --save-experiment run.bruvik
loads_qt no --headless --dump-at 1000 --start --seed 3
loads_qt no --help
loads_qt yes "${run[@]}" --timeline timeline.png
loads_qt no "${run[@]}" --timeline timeline.svg
loads_qt yes --headless --runs 1 --sweep rate=4..5 --max-time 2000 --plot plot.svg
loads_qt yes --screenshot window.png --seed 3

mkdir alone && cp "$program" alone/bruvik
if ! alone/bruvik "${run[@]}" >/dev/null 2>err.txt; then
  echo "without the window library a terminal run failed: $(cat err.txt)" >&2
  failures=$((failures + 1))
fi
if ! alone/bruvik "${run[@]}" --timeline timeline.svg >/dev/null 2>err.txt; then
  echo "without the window library an SVG timeline failed: $(cat err.txt)" >&2
  failures=$((failures + 1))
fi
alone/bruvik "${run[@]}" --timeline timeline.png >/dev/null 2>err.txt
code=$?
if [[ "$code" -ne 1 || "$(wc -l <err.txt)" -ne 1 ]] ||
   ! grep -q '^bruvik: the window and the pictures need libbruvik-gui.so' err.txt; then
  echo "without the window library a timeline gave exit $code and: $(cat err.txt)" >&2
  failures=$((failures + 1))
fi
echo "$failures wrong"
[[ "$failures" -eq 0 ]]
