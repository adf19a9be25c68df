#!/usr/bin/env bash
# The budget of whole processes on the sample disc, RUNS times each (default 11), as medians:
#   `tarvo player SOURCE 7 --json`, wall time (target under 30 ms);
#   the desktop program from its start to the main window's first showing (target under 500 ms);
#   the desktop program's peak memory with the player editor open (target under 150 MB).
# The desktop program runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
# Usage: bench/process_figures.sh [BUILD] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-11}
tarvo=$build/cli/tarvo
editor=$build/src/app/Tarvo_Riviza_Editor
for tool in /usr/bin/time "$tarvo" "$editor"; do
  command -v "$tool" >/dev/null || { echo "process_figures: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tarvo" make-sample "$work" >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_RUNTIME_DIR=$work XDG_DATA_HOME=$work/data
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for _ in $(seq "$runs"); do
  start=$EPOCHREALTIME
  "$tarvo" player "$work/sample.bin" 7 --json >/dev/null
  echo "($EPOCHREALTIME - $start) * 1000" | bc -l >>"$work/json"
  TARVO_STARTUP_TIMING=exit "$editor" "$work/sample.bin" 2>&1 | sed -n 's/^startup: \([0-9.]*\) ms$/\1/p' >>"$work/startup"
  TARVO_STARTUP_TIMING=player /usr/bin/time -f "%M" -o "$work/m" "$editor" "$work/sample.bin" >/dev/null 2>&1
  awk '{ print $1 / 1024 }' "$work/m" >>"$work/memory"
done
printf 'tarvo player --json:       %6.1f ms  (target < 30 ms)\n' "$(median <"$work/json")"
printf 'start to main window:      %6.1f ms  (target < 500 ms)\n' "$(median <"$work/startup")"
printf 'peak memory, player editor: %5.1f MiB (target < 150 MB)\n' "$(median <"$work/memory")"
echo "($runs runs each, medians; desktop on the $QT_QPA_PLATFORM platform)"
